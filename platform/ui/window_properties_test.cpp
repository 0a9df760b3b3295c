// Every registered property of every family, written and read back on an open window, by
// number and by name: what a family stores comes back as stored, normalised to its kind; what
// the runtime answers itself ignores the program's set.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/window_test.h"
#include "platform/ui/property_registry.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using testing::Log;
using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    Menubar(),
    Menu("?FileMenu", "&File"),
    Item("?OpenItem", "&Open", "?FileMenu"),
    Separator("?FileMenu"),
    Menu("?RecentMenu", "&Recent", "?FileMenu"),
    Item("?FirstItem", "&1", "?RecentMenu"),
    Separator("?FileMenu"),
    Item("?ExitItem", "E&xit", "?FileMenu"),
    Entry("?Name", {4, 4, 100, 10}),
    List("?Rows", {4, 20, 180, 50}).Format("80L(2)|M~Name~@s20@40R(2)~Count~@n5@").From("a|b|c"),
    Sheet("?Sheet", {4, 80, 180, 30}),
    Tab("?Tab1", "One", "?Sheet"),
    Tab("?Tab2", "Two", "?Sheet"),
    Ole("?Ole", "Agent.Control.2", {0, 0, 0, 0}),
};
constexpr WindowStructure kWindow{"test$properties", "P1$WINDOW",      WindowKind::kPlain,
                                  "Properties",      {0, 0, 200, 120}, kControls};

// A value of each kind, and a second one for the pass by name.
std::string_view Sample(ValueKind kind, bool second) {
  switch (kind) {
    case ValueKind::kText:
      return second ? "xyz" : " a b ";
    case ValueKind::kNumber:
      return second ? "3" : "2";
    case ValueKind::kFlag:
      return second ? "yes" : "1";
    case ValueKind::kColour:
      return second ? "2147483666" : "255";
    case ValueKind::kPicture:
      return second ? "other.ico" : "a.ico";
    case ValueKind::kKey:
      return second ? "1619" : "13";
  }
  return {};
}

// Reads and writes one object's properties through `get` and `set`; answers the failures.
template <class Get, class Set>
std::vector<std::string> Exercise(Families family, const PropertyTable& table, Get get, Set set) {
  std::vector<std::string> failures;
  for (const PropertyInfo& info : AllProperties()) {
    if ((info.families & family) == 0) continue;
    const int32_t index = info.indexed ? 2 : 0;
    for (const bool by_name : {false, true}) {
      const Prop p = by_name ? FindProperty(info.name)->prop : info.prop;
      const std::string before = get(p, index);
      const std::string_view sample = Sample(info.kind, by_name);
      set(p, sample, index);
      std::string expected = before;
      if (!info.read_only) {
        const PropertyDef* def = by_name ? table.Find(info.name) : table.Find(info.prop);
        if (def == nullptr) {
          failures.push_back(std::string(info.name) + ": not in the family's table");
          continue;
        }
        expected = NormalizeProperty(def->kind, sample);
      }
      const std::string after = get(p, index);
      if (after != expected) {
        failures.push_back(std::string(info.name) + (by_name ? " by name" : "") + ": " + after +
                           " instead of " + expected);
      }
      if (!info.read_only) set(p, before, index);  // leave the object as it was
    }
  }
  return failures;
}

class WindowPropertiesTest : public WindowTest {};

TEST_F(WindowPropertiesTest, EveryRegisteredPropertyOfEveryFamilyReadsBackWhatWasWritten) {
  std::vector<std::string> failures;
  runtime.StartMain([&] {
    Window window(kWindow);
    window.Open();
    auto add = [&](std::string_view who, std::vector<std::string> more) {
      for (std::string& f : more) failures.push_back(std::string(who) + " " + f);
    };
    struct Object {
      std::string_view name;
      FieldId field;
      Families family;
      const PropertyTable& table;
    };
    const Object kObjects[] = {
        {"entry", kWindow.Equate("?Name"), kFamilyControl, ControlProperties()},
        {"list", kWindow.Equate("?Rows"), kFamilyControl | kFamilyList, ListProperties()},
        {"sheet", kWindow.Equate("?Sheet"), kFamilyControl | kFamilySheet, SheetProperties()},
        {"menu", kWindow.Equate("?FileMenu"), kFamilyControl | kFamilyMenu, MenuProperties()},
        {"menu item", kWindow.Equate("?OpenItem"), kFamilyControl | kFamilyMenu, MenuProperties()},
        {"separator", kWindow.FieldAt(3), kFamilyControl | kFamilyMenu, MenuProperties()},
        {"ole", kWindow.Equate("?Ole"), kFamilyControl | kFamilyOle, OleProperties()},
        {"window", kNoField, kFamilyWindow, WindowProperties()},
    };
    for (const Object& o : kObjects) {
      add(o.name,
          Exercise(
              o.family, o.table, [&](Prop p, int32_t index) { return GetProp(o.field, p, index); },
              [&](Prop p, std::string_view v, int32_t index) { SetProp(o.field, p, v, index); }));
    }
    add("system",
        Exercise(
            kFamilySystem, SystemProperties(), [](Prop p, int32_t) { return GetSystemProp(p); },
            [](Prop p, std::string_view v, int32_t) { SetSystemProp(p, v); }));
    SetProp(0, Prop::Timer, 0);
  });
  runtime.Join();
  EXPECT_EQ(failures, std::vector<std::string>{});
}

// The font's character set is kept with the rest of the font, on controls and on the window;
// nothing is in a toolbar, whatever the program sets.
TEST_F(WindowPropertiesTest, FontsKeepTheirCharacterSetAndNothingIsInAToolbar) {
  std::vector<std::string> seen;
  runtime.StartMain([&] {
    Window window(kWindow);
    window.Open();
    const FieldId name = kWindow.Equate("?Name");
    const FieldId rows = kWindow.Equate("?Rows");
    SetFont(name, "Symbol", 10, 0, 400, 2);
    SetFont(rows, "Arial", 9);  // the character set left as it was
    SetProp(0, Prop::FontCharSet, 204);
    SetProp(rows, Prop::InToolBar, 1);
    for (const FieldId field : {name, rows, kNoField}) {
      seen.push_back(GetProp(field, Prop::Font) + " " + GetProp(field, Prop::FontCharSet) + " '" +
                     GetProp(field, Prop::InToolBar) + "'");
    }
  });
  runtime.Join();
  EXPECT_EQ(seen, (std::vector<std::string>{"Symbol 2 ''", "Arial  ''", " 204 ''"}));
}

// A menu lists its entries as children in the order declared, the separators among them
// as menu items without text, numbered after the named entries; each entry's ChildIndex is
// its place there, and a menu's on the menu bar counts menus only.
TEST_F(WindowPropertiesTest, MenusListTheirEntriesAndSeparatorsAsChildrenInDeclaredOrder) {
  std::vector<std::string> children;
  std::vector<std::string> indexes;
  std::vector<std::string> separators;
  std::string past_last;
  std::string entry_children;
  runtime.StartMain([&] {
    Window window(kWindow);
    window.Open();
    const FieldId file = kWindow.Equate("?FileMenu");
    for (int32_t i = 1; i <= 5; ++i) children.push_back(GetProp(file, Prop::Child, i));
    past_last = GetProp(file, Prop::Child, 6);
    for (const std::string& c : children) {
      indexes.push_back(GetProp(static_cast<FieldId>(std::stoi(c)), Prop::ChildIndex));
    }
    indexes.push_back(GetProp(file, Prop::ChildIndex));
    indexes.push_back(GetProp(kWindow.Equate("?FirstItem"), Prop::ChildIndex));
    entry_children = GetProp(kWindow.Equate("?Name"), Prop::Child, 1);
    for (const size_t at : {3u, 6u}) {
      const FieldId f = kWindow.FieldAt(at);
      separators.push_back(std::to_string(f) + " " + GetProp(f, Prop::Type) + " [" +
                           GetProp(f, Prop::Text) + "] " + GetProp(f, Prop::Parent));
    }
  });
  runtime.Join();
  // ?OpenItem -2, the first separator -6, ?RecentMenu -3, the second separator -7, ?ExitItem -5.
  EXPECT_EQ(children, (std::vector<std::string>{"-2", "-6", "-3", "-7", "-5"}));
  EXPECT_EQ(past_last, "");
  EXPECT_EQ(indexes, (std::vector<std::string>{"1", "2", "3", "4", "5", "1", "1"}));
  EXPECT_EQ(entry_children, "");
  EXPECT_EQ(separators, (std::vector<std::string>{"-6 20 [] -1", "-7 20 [] -1"}));
}

// Menus keep three colours by index; every other control keeps one, whatever the index.
TEST_F(WindowPropertiesTest, MenusKeepColoursByIndex) {
  std::vector<std::string> menu;
  std::vector<std::string> entry;
  runtime.StartMain([&] {
    Window window(kWindow);
    window.Open();
    for (const FieldId f : {kWindow.Equate("?OpenItem"), kWindow.Equate("?Name")}) {
      std::vector<std::string>& out = f < 0 ? menu : entry;
      SetProp(f, Prop::Color, "255", 1);
      SetProp(f, Prop::Color, "65280", 2);
      SetProp(f, Prop::Color, "16711680", 3);
      for (int32_t i = 0; i <= 3; ++i) out.push_back(GetProp(f, Prop::Color, i));
    }
  });
  runtime.Join();
  EXPECT_EQ(menu, (std::vector<std::string>{"-1", "255", "65280", "16711680"}));
  EXPECT_EQ(entry, (std::vector<std::string>{"16711680", "16711680", "16711680", "16711680"}));
}

constexpr ControlDecl kFrameControls[] = {
    Menubar(),
    Menu("?FileMenu", "&File"),
    Item("?Open", "&Open", "?FileMenu"),
    Menu("?HelpMenu", "&Help"),
    Item("?About", "&About", "?HelpMenu"),
    Button("?Go", "Go", {4, 4, 40, 12}),
    Entry("?Text", {4, 20, 40, 10}),
};
constexpr WindowStructure kFrame{"test$properties", "P1$APPFRAME",    WindowKind::kFrame,
                                 "Frame",           {0, 0, 300, 200}, kFrameControls};
constexpr WindowStructure kChild{"test$properties", "P2$WINDOW",       WindowKind::kMdiChild,
                                 "Child",           {10, 20, 120, 80}, kControls};

TEST_F(WindowPropertiesTest, TheFrameIsOfTypeApplicationAndEveryOtherWindowOfTypeWindow) {
  std::vector<std::string> types;
  runtime.StartMain([&] {
    Window frame(kFrame);
    frame.Open();
    Window window(kWindow);
    window.Open();
    types = {frame.Get(0, Prop::Type), window.Get(0, Prop::Type)};
  });
  runtime.Join();
  EXPECT_EQ(types, (std::vector<std::string>{"24", "25"}));
}

// The separators and the menu bar are fields too, walked after the named menu entries.
TEST_F(WindowPropertiesTest, NextFieldWalksTheControlsThenTheMenusAndItems) {
  std::vector<FieldId> frame_walk;
  std::vector<FieldId> window_walk;
  runtime.StartMain([&] {
    const auto walk = [](const WindowStructure& structure, std::vector<FieldId>& out) {
      Window window(structure);
      window.Open();
      FieldId field = 0;
      while ((field = static_cast<FieldId>(GetPropNumber(0, Prop::NextField, field))) != 0) {
        out.push_back(field);
        if (out.size() > 20) break;  // a walk that never ends
      }
    };
    walk(kFrame, frame_walk);
    walk(kWindow, window_walk);
  });
  runtime.Join();
  EXPECT_EQ(frame_walk, (std::vector<FieldId>{1, 2, -1, -2, -3, -4, -5}));
  EXPECT_EQ(window_walk, (std::vector<FieldId>{1, 2, 3, 4, 5, 6, -1, -2, -3, -4, -5, -6, -7, -8}));
}

// The menu bar is a control of type 22 without text, holding the top-level menus as its
// children: each names it as its Parent, and counts its place among them.
TEST_F(WindowPropertiesTest, TheMenuBarIsAFieldThatHoldsTheTopLevelMenus) {
  std::vector<std::string> bar;
  std::vector<std::string> menus;
  runtime.StartMain([&] {
    Window frame(kFrame);
    frame.Open();
    const FieldId menubar = kFrame.FieldAt(0);
    bar = {std::to_string(menubar), GetProp(menubar, Prop::Type), GetProp(menubar, Prop::Parent),
           GetProp(menubar, Prop::Text)};
    for (int32_t i = 1; i <= 3; ++i) bar.push_back(GetProp(menubar, Prop::Child, i));
    for (const std::string_view equate : {"?FileMenu", "?HelpMenu", "?Open"}) {
      const FieldId f = kFrame.FindEquate(equate);
      menus.push_back(GetProp(f, Prop::Parent) + " " + GetProp(f, Prop::ChildIndex));
    }
    // The frame's own controls sit on the window, not on the bar.
    menus.push_back(GetProp(kFrame.Equate("?Go"), Prop::Parent));
  });
  runtime.Join();
  EXPECT_EQ(bar, (std::vector<std::string>{"-5", "22", "0", "", "-1", "-3", ""}));
  EXPECT_EQ(menus, (std::vector<std::string>{"-5 1", "-5 2", "-1 1", "0"}));
}

TEST_F(WindowPropertiesTest, AMaximizedWindowAnswersItsRestoredSizeOnceMaximizeIsOff) {
  std::vector<std::string> seen;
  runtime.StartMain([&] {
    Window frame(kFrame);
    frame.Open();
    Window child(kChild);
    child.Open();
    auto geometry = [&] {
      seen.push_back(child.Get(0, Prop::Xpos) + "," + child.Get(0, Prop::Ypos) + " " +
                     child.Get(0, Prop::Width) + "x" + child.Get(0, Prop::Height));
    };
    child.Set(0, Prop::Maximize, "1");
    geometry();  // the frame's area
    child.Set(0, Prop::Maximize, "");
    geometry();
    child.Set(0, Prop::Maximize, "1");
    child.Set(0, Prop::Width, "150");  // while maximized: the size it is restored to
    geometry();
    child.Set(0, Prop::Maximize, "0");
    geometry();
  });
  runtime.Join();
  EXPECT_EQ(seen, (std::vector<std::string>{"0,0 300x200", "10,20 120x80", "0,0 300x200",
                                            "10,20 150x80"}));
}

}  // namespace
}  // namespace platform::ui
