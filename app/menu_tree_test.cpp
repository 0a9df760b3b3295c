// The tree menu of the program's frame, with the menu look stored before the program starts:
// which menu entries enter the tree and leave the menu bar, the rows' texts, icons and styles,
// the look value, the events between the frame and the tree-menu thread (whose window stands
// in with one that records them), and the menu bar coming back whenever the tree stops.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/procedure_frame.h"
#include "app/program.h"
#include "platform/core/text.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/backend.h"
#include "platform/ui/codes.h"
#include "platform/ui/prop.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/property_table.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_file_builder.h"

namespace app::testing {
namespace {

using platform::testing::ScriptedUser;
using platform::ui::FieldId;
using platform::ui::Prop;
using platform::ui::WindowHandle;
using restyle::ZOVRestyleClass;
using restyle::testing::RestyleFileBuilder;

constexpr platform::ui::EventId kOnFrame = platform::ui::kEventUser + 0x77;
// An event the recording tree window is made to end on.
constexpr platform::ui::EventId kEndsItself = 0x5FF;
constexpr platform::ui::EventId kConnectionChanged = 0x999;
constexpr std::string_view kFrameGroup = "ControlType 24";
constexpr FieldId kTopLevel[] = {-1, -7, -10, -14, -18};
const std::string kDashes(255, '-');

// A tree row as the tree window reads it.
struct Row {
  FieldId field = 0;
  std::string text;
  int32_t level = 0;
  int16_t icon = 0;
  int16_t style = 0;
};

std::vector<Row> Rows(const ZOVRestyleClass& r) {
  std::vector<Row> rows;
  for (size_t i = 1; i <= r.MENUSTRUCTUREQUEUE->Records(); ++i) {
    const restyle::MenuStructureRecord row = r.MENUSTRUCTUREQUEUE->entry(i);
    rows.push_back({row.CONTROLEQUATE, row.MENUITEM.str(), row.LEVEL, row.ICON, row.STYLE});
  }
  return rows;
}

const Row* RowOf(const std::vector<Row>& rows, FieldId field) {
  const auto it = std::ranges::find(rows, field, &Row::field);
  return it == rows.end() ? nullptr : &*it;
}

// The look value: the look, then the size and the four colours, the "hide last started"
// flag, the typeface and the icon, each at its positions; blank fields are left blank.
std::string Look(std::string_view look, std::string_view size = "",
                 std::vector<std::string_view> colours = {}, std::string_view hide_last = "",
                 std::string_view face = "", std::string_view icon = "") {
  std::string value(look);
  const auto put = [&](size_t first, std::string_view text) {
    if (value.size() < first - 1) value.resize(first - 1, ' ');
    value += text;
  };
  put(2, size);
  const size_t starts[] = {5, 16, 26, 36};
  for (size_t i = 0; i < colours.size(); ++i) put(starts[i], colours[i]);
  put(46, hide_last);
  put(47, face);
  put(87, icon);
  return value;
}

class MenuTreeTest : public ProgramTest {
 protected:
  // The restyle files hold the frame's look and nothing else.
  void StoreLook(std::string_view look) {
    ForgetRestyleFiles();
    restyle::testing::WriteRestyleFiles([&](RestyleFileBuilder& b) {
      b.Value(b.Set("Main", kFrameGroup), restyle::kCustomMenuLook, look);
    });
  }

  // Changes the stored value of `property` for the frame while the program runs. Requires the
  // runtime lock.
  static void StoreWhileRunning(int32_t property, std::string_view value) {
    stylemanager::ZOVStylemanagerClass& manager = Program().StyleManager;
    const std::string kept = manager.PROCEDURENAME.str();
    RestyleFileBuilder b(Program().RestyleFiles, manager);
    b.Value(b.Set("Main", kFrameGroup), property, value);
    manager.PROCEDURENAME = kept;
  }

  // Runs `act` on the frame's thread with its restyle object, at its next event.
  void OnFrame(ScriptedUser& user, const std::function<void(ZOVRestyleClass&)>& act) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    OnCall([done, act](std::string_view call) {
      if (call == "ZOVAgentClass.HandleEvent Main" && platform::ui::Event() == kOnFrame &&
          !done->exchange(true)) {
        act(*TEST_RunningRestyle());
      }
    });
    platform::ui::PostToWindow(Frame(user), kOnFrame);
    user.WaitUntilIdle();
    OnCall({});
    EXPECT_TRUE(*done);
  }

  // Runs `act` with the frame's restyle object when the frame's first styling pass is about
  // to build the tree: the menu is registered, nothing is built yet.
  void BeforeFirstBuild(const std::function<void(ZOVRestyleClass&)>& act) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    OnCall([done, act](std::string_view call) {
      ZOVRestyleClass* r = TEST_RunningRestyle();
      if (call == "ZOVRestyleClass.ApplyMenuTree" && r != nullptr && r->PROCEDURENAME == "Main" &&
          !done->exchange(true)) {
        act(*r);
      }
    });
  }

  // The tree's rows, read on the frame's thread.
  std::vector<Row> TreeRows(ScriptedUser& user) {
    std::vector<Row> rows;
    OnFrame(user, [&](ZOVRestyleClass& r) { rows = Rows(r); });
    return rows;
  }

  platform::ui::ThreadId TreeThread(ScriptedUser& user) {
    platform::ui::ThreadId thread = 0;
    OnFrame(user, [&](ZOVRestyleClass&) { thread = Program().StyleManager.MENUTREETHREAD; });
    return thread;
  }

  // The entries of `fields` the user does not see in the frame's menu.
  std::vector<FieldId> Unseen(ScriptedUser& user, std::vector<FieldId> fields) {
    std::vector<FieldId> unseen;
    const WindowHandle frame = Frame(user);
    for (FieldId f : fields) {
      if (!user.Control(frame, f).visible) unseen.push_back(f);
    }
    return unseen;
  }

  // The recording tree windows open now.
  size_t TreeWindows() {
    size_t n = 0;
    for (const auto& w : display.Windows()) n += w.view.label == "MENUTREESTANDIN" ? 1 : 0;
    return n;
  }
};

TEST_F(MenuTreeTest, TheFramesMenuBecomesTheTreeInMenuBarOrderWithItsTextsAndSeparators) {
  StoreLook("2");
  std::vector<Row> rows;
  std::vector<Row> refreshed;
  RunProgram([&](ScriptedUser& user) {
    rows = TreeRows(user);
    OnFrame(user, [](ZOVRestyleClass& r) {
      r.PROCEDUREWINDOW->Set(-12, Prop::Text, "Tom && Jerry's &site");
      // As the tree window keeps the item chosen last.
      r.MENUTREEACTIVEDMENUITEM = -13;
    });
    // The connection window closed: the frame refreshes its tree.
    platform::ui::PostToWindow(Frame(user), kConnectionChanged);
    user.WaitUntilIdle();
    refreshed = TreeRows(user);
  });
  struct Expected {
    FieldId field;  // 0: a separator
    std::string_view text;
    int32_t level;
  };
  const Expected kExpected[] = {
      {-1, "Pexolind", -1},
      {-2, "Choose ODBC connection  F2", 2},
      {0, kDashes, 2},
      {-3, "No connection selected", 2},
      {0, kDashes, 2},
      {-4, "Browse ODBC connection  F3", 2},
      {-5, "Build dictionary  F4", 2},
      {0, kDashes, 2},
      {-6, "Exit program  Alt+F4", 2},
      {-7, "Special options", -1},
      {-8, "Activate the help  F12", 2},
      {-9, "Activate ZOVRestyle  Ctrl+Alt+S", 2},
      {-10, "Web links", -1},
      {-11, "Visit the author's home page", 2},
      {-12, "Visit Zovantrix website", 2},
      {-13, "Download MS Agent", 2},
      {-14, "Edit", -1},
      {-15, "Cut", 2},
      {-16, "Copy", 2},
      {-17, "Paste", 2},
      {-18, "Window", -1},
      {-19, "Tile", 2},
      {-20, "Cascade", 2},
      {-21, "Arrange minimized windows", 2},
  };
  ASSERT_EQ(rows.size(), std::size(kExpected));
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    const Expected& e = kExpected[i];
    if (e.field != 0) {
      EXPECT_EQ(rows[i].field, e.field);
    }
    EXPECT_EQ(rows[i].text, e.text);
    EXPECT_EQ(rows[i].level, e.level);
  }
  // Each separator is an entry of its own.
  std::vector<FieldId> separators;
  for (const Row& r : rows) {
    if (r.text == kDashes) separators.push_back(r.field);
  }
  std::ranges::sort(separators);
  EXPECT_EQ(std::ranges::unique(separators).size(), 0u);
  EXPECT_EQ(separators.size(), 3u);

  ASSERT_EQ(refreshed.size(), rows.size());
  ASSERT_NE(RowOf(refreshed, -12), nullptr);
  EXPECT_EQ(RowOf(refreshed, -12)->text, "Tom & Jerry's site");
  EXPECT_EQ(RowOf(refreshed, -13)->text, "*Download MS Agent");
  EXPECT_EQ(RowOf(refreshed, -11)->text, "Visit the author's home page");
}

TEST_F(MenuTreeTest, EachEntrysKindSaysWhetherItJoinsTheTreeAndWhetherTheBarKeepsIt) {
  struct Case {
    std::string_view name;
    FieldId field;
    int kind;            // -1: not registered
    bool hidden_before;  // hidden by the frame before the first build
    bool in_tree;
    bool seen_with_tree;  // in the menu bar while the tree runs
    bool seen_after;      // once the tree has stopped
  };
  const Case kCases[] = {
      {"menu of kind 1", -1, 1, false, true, false, true},
      {"menu of kind 2", -7, 2, false, false, false, true},
      {"menu of kind 0", -10, 0, false, false, true, true},
      {"menu of kind 1 hidden before", -14, 1, true, false, false, false},
      {"menu of kind 3", -18, 3, false, true, true, true},
      {"item of kind 3 hidden before", -4, 3, true, false, false, false},
      {"item not registered, hidden", -5, -1, true, false, false, false},
      {"item not registered, shown", -19, -1, false, true, true, true},
      {"item of kind 2", -20, 2, false, false, false, true},
      {"item of kind 0", -21, 0, false, false, true, true},
      {"item of kind 3", -2, 3, false, true, false, true},  // its menu leaves the bar
  };
  StoreLook("2");
  BeforeFirstBuild([&](ZOVRestyleClass& r) {
    platform::Queue<restyle::ConfigureMenuItemRecord>& items = *r.CONFIGUREMENUSTRUCTUREQUEUE;
    for (const Case& c : kCases) {
      if (c.hidden_before) r.PROCEDUREWINDOW->Set(c.field, Prop::Hide, "1");
      items.ClearBuffer();
      items.buffer.CONTROLEQUATE = c.field;
      ASSERT_TRUE(items.GetByKey({items.Asc(&restyle::ConfigureMenuItemRecord::CONTROLEQUATE)}));
      if (c.kind < 0) {
        items.Delete();
      } else {
        items.buffer.MENUSETTING = static_cast<uint8_t>(c.kind);
        items.Put();
      }
    }
  });
  std::vector<Row> rows;
  std::vector<FieldId> fields;
  for (const Case& c : kCases) fields.push_back(c.field);
  std::vector<FieldId> unseen_with_tree;
  std::vector<FieldId> unseen_after;
  RunProgram([&](ScriptedUser& user) {
    rows = TreeRows(user);
    unseen_with_tree = Unseen(user, fields);
    OnFrame(user, [](ZOVRestyleClass& r) {
      StoreWhileRunning(restyle::kCustomMenuLook, "0");
      r.Restyle(0, 1);
    });
    unseen_after = Unseen(user, fields);
  });
  const auto has = [](const std::vector<FieldId>& v, FieldId f) {
    return std::ranges::find(v, f) != v.end();
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RowOf(rows, c.field) != nullptr, c.in_tree);
    EXPECT_EQ(!has(unseen_with_tree, c.field), c.seen_with_tree);
    EXPECT_EQ(!has(unseen_after, c.field), c.seen_after);
  }
  // A menu that stays out keeps its items out.
  EXPECT_EQ(RowOf(rows, -8), nullptr);
  EXPECT_EQ(RowOf(rows, -15), nullptr);
}

TEST_F(MenuTreeTest, ASubmenuOfThreeHundredChildrenShowsItsFirst255) {
  StoreLook("2");
  std::vector<FieldId> made;
  BeforeFirstBuild([&](ZOVRestyleClass& r) {
    for (int i = 1; i <= 300; ++i) {
      const FieldId f = r.PROCEDUREWINDOW->Create(0, platform::ui::ControlType::kItem, -18);
      r.PROCEDUREWINDOW->Set(f, Prop::Text, "Window " + std::to_string(i));
      made.push_back(f);
    }
  });
  std::vector<Row> rows;
  RunProgram([&](ScriptedUser& user) { rows = TreeRows(user); });
  const auto window_menu = std::ranges::find(rows, -18, &Row::field);
  ASSERT_NE(window_menu, rows.end());
  const std::vector<Row> children(window_menu + 1, rows.end());
  ASSERT_EQ(children.size(), 255u);
  EXPECT_EQ(children[0].field, -19);
  EXPECT_EQ(children[3].text, "Window 1");
  EXPECT_EQ(children[254].text, "Window 252");
  EXPECT_EQ(RowOf(rows, made[252]), nullptr);
}

TEST_F(MenuTreeTest, IconsAndStylesAreSharedByTheRowsThatLookAlike) {
  StoreLook("2");
  std::vector<Row> rows;
  RunProgram([&](ScriptedUser& user) {
    OnFrame(user, [](ZOVRestyleClass& r) {
      platform::ui::Window& frame = *r.PROCEDUREWINDOW;
      frame.Set(-2, Prop::Icon, "ZOVWeb.gif");  // the picture of the web links' menu
      frame.Set(-4, Prop::FontCharSet, "2");    // differs from -6 by its character set only
      frame.Set(-5, Prop::FontStyle, "700");
      r.BuildMenuStructure();
    });
    rows = TreeRows(user);
  });
  const auto at = [&](FieldId f) {
    const Row* row = RowOf(rows, f);
    EXPECT_NE(row, nullptr) << f;
    return row != nullptr ? *row : Row{};
  };
  // Items without a picture share number 1; the menus' three pictures each have their own.
  EXPECT_EQ(at(-8).icon, 1);
  EXPECT_EQ(at(-15).icon, 1);
  const std::vector<int16_t> menus = {at(-1).icon, at(-7).icon, at(-10).icon};
  EXPECT_EQ(std::set<int16_t>(menus.begin(), menus.end()).size(), 3u);
  EXPECT_TRUE(std::ranges::none_of(menus, [](int16_t n) { return n < 2; }));
  EXPECT_EQ(at(-2).icon, at(-10).icon);
  // A disabled item takes style 1.
  EXPECT_EQ(at(-3).style, 1);
  EXPECT_EQ(at(-4).style, at(-6).style);
  EXPECT_NE(at(-5).style, at(-6).style);
}

TEST_F(MenuTreeTest, ATreeWindowsListTakesTheLineHeightStylesAndThePicturesThatCanBeShown) {
  StoreLook(Look("2", " 11"));
  { std::ofstream(dir() / "mine.ico") << "ico"; }
  std::string line_height;
  std::map<std::string, std::string> shown;  // picture set on the item, picture in the list
  RunProgram([&](ScriptedUser& user) {
    OnFrame(user, [&](ZOVRestyleClass& r) {
      platform::ui::Window& frame = *r.PROCEDUREWINDOW;
      frame.Set(-2, Prop::Icon, "~Custom.ico");  // the program's own
      frame.Set(-4, Prop::Icon, "mine.ico");     // a file that exists
      frame.Set(-5, Prop::Icon, "gone.ico");     // neither
      // As the internal look's window has its tree list.
      ASSERT_NE(r.MENUTREEWINDOW, nullptr);
      r.MENUTREELIST = r.MENUTREEWINDOW->Create(0, platform::ui::ControlType::kList);
      r.BuildMenuStructure();
      line_height = r.MENUTREEWINDOW->Get(r.MENUTREELIST, Prop::LineHeight);
      // Every style reaches the list under its number.
      const platform::Queue<restyle::MenuStructureFontRecord>& styles = *r.MENUSTRUCTUREFONTQUEUE;
      ASSERT_GT(styles.Records(), 0u);
      for (size_t i = 1; i <= styles.Records(); ++i) {
        const restyle::MenuStructureFontRecord& style = styles.entry(i);
        const auto list = [&](Prop prop) {
          return r.MENUTREEWINDOW->Get(r.MENUTREELIST, prop, style.FONTNUMBER);
        };
        SCOPED_TRACE(style.FONTNUMBER);
        EXPECT_EQ(list(Prop::Font), std::string(style.FONTNAME.view()));
        EXPECT_EQ(list(Prop::FontSize), "11");
        EXPECT_EQ(list(Prop::FontStyle), std::to_string(style.FONTSTYLE));
        EXPECT_EQ(list(Prop::FontColor), std::to_string(style.TEXTCOLOR));
        EXPECT_EQ(list(Prop::Color), std::to_string(style.BACKCOLOR));
        EXPECT_EQ(list(Prop::SelectedColor), std::to_string(style.TEXTSELECTED));
        EXPECT_EQ(list(Prop::SelectedFillColor), std::to_string(style.BACKSELECTED));
      }
      const std::vector<Row> rows = Rows(r);
      for (FieldId f : {-2, -4, -5}) {
        const Row* row = RowOf(rows, f);
        ASSERT_NE(row, nullptr);
        shown[frame.Get(f, Prop::Icon)] =
            r.MENUTREEWINDOW->Get(r.MENUTREELIST, Prop::IconList, row->icon);
      }
      r.MENUTREELIST = 0;
    });
  });
  EXPECT_EQ(line_height, "13");
  EXPECT_EQ(shown, (std::map<std::string, std::string>{{"~Custom.ico", "~Custom.ico"},
                                                       {"mine.ico", "mine.ico"},
                                                       {"gone.ico", "~ZOVMenuItem.ico"}}));
}

TEST_F(MenuTreeTest, TheXPLookTakesTheItemsOwnColoursWhereSetAndTheTreeLookTakesThemAsTheyAre) {
  constexpr int32_t kLookText = 0x80000002;
  constexpr int32_t kLookBack = 0x8000000E;
  struct Case {
    std::string_view name;
    std::string_view look;
    std::array<int32_t, 4> item;   // FontColor, then FillColor 1, 2 and 3
    std::array<int32_t, 4> style;  // text, background, selected text, selected background
  };
  const Case kCases[] = {
      {"XP, none of its own", "1", {-1, -1, -1, -1}, {kLookText, kLookBack, kLookText, kLookBack}},
      {"XP, text colour", "1", {255, -1, -1, -1}, {255, kLookBack, 255, kLookBack}},
      {"XP, text and ground", "1", {255, 65280, -1, -1}, {255, 65280, 255, 65280}},
      {"XP, all four", "1", {1, 2, 3, 4}, {1, 2, 3, 4}},
      {"XP, selected only", "1", {-1, -1, 3, 4}, {kLookText, kLookBack, 3, 4}},
      {"tree, none of its own", "2", {-1, -1, -1, -1}, {-1, -1, -1, -1}},
      {"tree, all four", "2", {1, 2, 3, 4}, {1, 2, 3, 4}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    StoreLook(c.look);
    std::array<int32_t, 4> shown{};
    RunProgram([&](ScriptedUser& user) {
      OnFrame(user, [&](ZOVRestyleClass& r) {
        platform::ui::Window& frame = *r.PROCEDUREWINDOW;
        frame.Set(-16, Prop::FontColor, std::to_string(c.item[0]));
        for (int32_t i = 1; i <= 3; ++i) {
          frame.Set(-16, Prop::Color, std::to_string(c.item[i]), i);
        }
        r.BuildMenuStructure();
        const std::vector<Row> rows = Rows(r);
        const Row* row = RowOf(rows, -16);
        ASSERT_NE(row, nullptr);
        platform::Queue<restyle::MenuStructureFontRecord>& styles = *r.MENUSTRUCTUREFONTQUEUE;
        styles.ClearBuffer();
        styles.buffer.FONTNUMBER = row->style;
        ASSERT_TRUE(styles.GetByKey({styles.Asc(&restyle::MenuStructureFontRecord::FONTNUMBER)}));
        shown = {styles.buffer.TEXTCOLOR, styles.buffer.BACKCOLOR, styles.buffer.TEXTSELECTED,
                 styles.buffer.BACKSELECTED};
      });
    });
    EXPECT_EQ(shown, c.style);
  }
}

TEST_F(MenuTreeTest, TheLookValueFillsTheTreesFieldsAndBlankFieldsTakeTheirDefaults) {
  struct Expected {
    uint8_t look;
    int32_t size;
    std::array<int64_t, 4> colours;
    uint8_t hide_last;
    std::string face;  // empty: the frame's
    std::string icon;
  };
  struct Case {
    std::string_view name;
    std::string look;
    Expected expected;
  };
  const std::array<int64_t, 4> kDefaults = {0x80000002, 0x8000000E, 0x80000002, 0x8000000E};
  const Case kCases[] = {
      {"1 and blanks",
       Look("1") + std::string(100, ' '),
       {1, 8, kDefaults, 1, "", "~ZOVMenuItem.ico"}},
      {"all given",
       Look("2", " 12", {"255", "65280", "16711680", "0"}, "0", "DejaVu Serif", "tree.ico"),
       {2, 12, {255, 65280, 16711680, 0}, 0, "DejaVu Serif", "tree.ico"}},
      {"size 0", Look("2", "  0"), {2, 8, kDefaults, 1, "", "~ZOVMenuItem.ico"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    StoreLook(c.look);
    Expected seen;
    std::string frame_face;
    RunProgram([&](ScriptedUser& user) {
      OnFrame(user, [&](ZOVRestyleClass& r) {
        seen = {r.STYLEPROPERTIES.ENABLEMENUTREE,
                r.MENUTREEITEMHEIGHT,
                {r.MENUTREEITEMCOLOR, r.MENUTREEITEMBACKGROUNDCOLOR, r.MENUTREEITEMSELECTEDCOLOR,
                 r.MENUTREEITEMSELECTEDBACKGROUND},
                r.MENUTREELASTSTARTEDMENUITEMS,
                std::string(platform::Clip(r.MENUTREEFONT.view())),
                std::string(platform::Clip(r.MENUTREEDEFAULTICON.view()))};
        frame_face = platform::Clip(r.PROCEDUREWINDOW->Get(0, Prop::Font));
      });
    });
    EXPECT_EQ(seen.look, c.expected.look);
    EXPECT_EQ(seen.size, c.expected.size);
    EXPECT_EQ(seen.colours, c.expected.colours);
    EXPECT_EQ(seen.hide_last, c.expected.hide_last);
    EXPECT_EQ(seen.face, c.expected.face.empty() ? frame_face : c.expected.face);
    EXPECT_EQ(seen.icon, c.expected.icon);
  }
}

TEST_F(MenuTreeTest, TheTreeThreadStartsWithTheLookAndTheObjectAndHearsOfEachBuildInTheXPLook) {
  struct Case {
    std::string_view look;
    std::string_view window;
    size_t built_events;  // 505h: one for the start, one for the refresh
  };
  const Case kCases[] = {
      {"1", "ZOVRestyleClass.XPMenuTreeWindow 1", 2},
      {"2", "ZOVRestyleClass.InternalMenuTreeWindow 2", 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.look);
    StoreLook(c.look);
    std::string object;
    std::vector<std::string> started;
    std::vector<std::string> windows;
    size_t built = 99;
    std::vector<std::string> sized;
    bool stored = false;
    RunProgram([&](ScriptedUser& user) {
      const WindowHandle frame = Frame(user);
      OnFrame(user, [&](ZOVRestyleClass& r) {
        object = std::to_string(reinterpret_cast<uintptr_t>(&r));
        stored = r.MENUTREETHREAD != 0 && r.MENUTREETHREAD == Program().StyleManager.MENUTREETHREAD;
      });
      platform::ui::PostToWindow(frame, kConnectionChanged);
      user.WaitUntilIdle();
      started = Calls("MenuTreeThread ");
      windows = Calls("ZOVRestyleClass.XPMenuTreeWindow");
      for (const std::string& w : Calls("ZOVRestyleClass.InternalMenuTreeWindow")) {
        windows.push_back(w);
      }
      built = Calls("ZOVRestyleClass.MenuTreeWindow 505h").size();
      // The user makes the frame wider: the tree follows it.
      ClearCalls();
      platform::ui::RectDu at = user.Control(frame, 0).at;
      at.width += 40;
      platform::ui::Input in;
      in.kind = platform::ui::Input::Kind::kSized;
      in.at = at;
      platform::ui::PostInput(frame, in);
      user.WaitUntilIdle();
      sized = Calls("ZOVRestyleClass.MenuTreeWindow 231h");
    });
    EXPECT_TRUE(stored);
    EXPECT_EQ(started,
              (std::vector<std::string>{"MenuTreeThread " + object + " " + std::string(c.look)}));
    EXPECT_EQ(windows, (std::vector<std::string>{std::string(c.window)}));
    EXPECT_EQ(built, c.built_events);
    EXPECT_EQ(sized.size(), 1u);
  }
}

TEST_F(MenuTreeTest, OnlyTheApplicationFrameEverGetsATree) {
  restyle::testing::WriteRestyleFiles([](RestyleFileBuilder& b) {
    b.Value(b.Set(std::string(restyle::kGlobalSettings), "ControlType 25"),
            restyle::kCustomMenuLook, "2");
    b.Value(b.Set("ChooseODBCconnection", "ControlType 25"), restyle::kCustomMenuLook, "1");
  });
  std::vector<std::string> started;
  RunProgram([&](ScriptedUser& user) {
    user.PressKey(Frame(user), platform::ui::kF2Key);
    user.Window("Choose an ODB Cconnection");
    user.WaitUntilIdle();
    started = Calls("MenuTreeThread");
  });
  EXPECT_TRUE(started.empty());
}

// Every way the tree stops gives the frame its menu bar back; what the frame hid before the
// tree was first built stays hidden.
TEST_F(MenuTreeTest, TheMenuBarComesBackWheneverTheTreeStops) {
  struct Case {
    std::string_view name;
    std::function<void(ScriptedUser&)> stop;
    bool started;         // a tree thread ran
    bool ended_by_frame;  // the tree window was sent 501h
  };
  const auto store_and_restyle = [this](int32_t property, std::string value, uint8_t reload) {
    return [this, property, value, reload](ScriptedUser& user) {
      OnFrame(user, [&](ZOVRestyleClass& r) {
        StoreWhileRunning(property, value);
        r.Restyle(reload, reload == 1 ? 0 : 1);
      });
    };
  };
  const Case kCases[] = {
      {"look 0", store_and_restyle(restyle::kCustomMenuLook, "0", 0), true, true},
      {"look blank", store_and_restyle(restyle::kCustomMenuLook, "", 0), true, true},
      {"styling disabled", store_and_restyle(restyle::kDisableStyling, "1", 1), true, true},
      {"the tree window ends itself",
       [this](ScriptedUser& user) {
         Answer("ZOVRestyleClass.MenuTreeWindow 5FFh", 1);
         platform::ui::Post(kEndsItself, 0, TreeThread(user));
         user.WaitUntilIdle();
       },
       true, false},
      {"the start fails", [](ScriptedUser&) {}, false, false},
  };
  const std::vector<FieldId> menus(std::begin(kTopLevel), std::end(kTopLevel));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    StoreLook("2");
    BeforeFirstBuild([&](ZOVRestyleClass& r) {
      r.PROCEDUREWINDOW->Set(-14, Prop::Hide, "1");
      if (!c.started) platform::ui::TEST_RefuseStarts(1);
    });
    std::vector<FieldId> unseen_with_tree;
    std::vector<FieldId> unseen_after;
    platform::ui::ThreadId tree_after = 99;
    uint8_t built_after = 99;
    RunProgram([&](ScriptedUser& user) {
      unseen_with_tree = Unseen(user, menus);
      c.stop(user);
      // With styling disabled the tree is gone at once, before its thread has ended.
      OnFrame(user, [&](ZOVRestyleClass& r) {
        tree_after = Program().StyleManager.MENUTREETHREAD;
        built_after = r.MENUBUILD;
      });
      unseen_after = Unseen(user, menus);
    });
    platform::ui::TEST_RefuseStarts(0);
    EXPECT_EQ(Calls("MenuTreeThread").size(), c.started ? 1u : 0u);
    EXPECT_EQ(unseen_with_tree, c.started ? menus : std::vector<FieldId>{-14});
    EXPECT_EQ(unseen_after, std::vector<FieldId>{-14});
    EXPECT_EQ(tree_after, 0);
    // A failed start leaves the structure built, so the tree stays off.
    EXPECT_EQ(built_after, c.started ? 0 : 1);
    EXPECT_EQ(Calls("ZOVRestyleClass.MenuTreeWindow 501h").size(), c.ended_by_frame ? 1u : 0u);
    ClearCalls();
  }
}

TEST_F(MenuTreeTest, WithStylingDisabledTheTreesNumberIsClearedBeforeItsThreadEnds) {
  StoreLook("2");
  platform::ui::ThreadId during = 99;
  platform::ui::ThreadId before = 0;
  RunProgram([&](ScriptedUser& user) {
    before = TreeThread(user);
    OnFrame(user, [&](ZOVRestyleClass& r) {
      StoreWhileRunning(restyle::kDisableStyling, "1");
      r.Restyle(1, 0);
      // The tree thread has not run since: its window is still open.
      during = Program().StyleManager.MENUTREETHREAD;
    });
  });
  EXPECT_NE(before, 0);
  EXPECT_EQ(during, 0);
}

TEST_F(MenuTreeTest, ClosingTheFrameEndsTheTreeThreadBeforeItsObjectGoesAndBeforeShutdown) {
  StoreLook("2");
  std::vector<std::string> order;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    ClearCalls();
    user.CloseBox(frame);
    user.WaitUntilIdle();
  });
  for (const std::string& call : Calls()) {
    if (call.starts_with("ZOVRestyleClass.MenuTreeWindow") ||
        call == "ZOVRestyleClass.Destruct Main" || call == "ZOVStylemanagerClass.Shutdown") {
      order.push_back(call);
    }
  }
  EXPECT_EQ(order,
            (std::vector<std::string>{
                "ZOVRestyleClass.MenuTreeWindow 501h", "ZOVRestyleClass.MenuTreeWindow ended",
                "ZOVRestyleClass.Destruct Main", "ZOVStylemanagerClass.Shutdown"}));
}

TEST_F(MenuTreeTest, RestyleAllWithATreeOpenLeavesExactlyOneTreeWhoseNumberIsStored) {
  StoreLook("2");
  platform::ui::ThreadId first = 0;
  platform::ui::ThreadId stored = 0;
  platform::ui::ThreadId own = 0;
  size_t windows = 0;
  size_t started = 0;
  size_t ended = 0;
  size_t windows_after_stop = 99;
  RunProgram([&](ScriptedUser& user) {
    first = TreeThread(user);
    auto done = std::make_shared<std::atomic<bool>>(false);
    OnCall([done](std::string_view call) {
      if (call == "ZOVAgentClass.HandleEvent Main" && platform::ui::Event() == kOnFrame &&
          !done->exchange(true)) {
        // Restyle-all yields: it runs on a thread of its own, as from a configuration window.
        platform::ui::Start([] { Program().StyleManager.RestyleAllWindows(); });
      }
    });
    platform::ui::PostToWindow(Frame(user), kOnFrame);
    user.WaitUntilIdle();
    OnCall({});
    OnFrame(user, [&](ZOVRestyleClass& r) {
      stored = Program().StyleManager.MENUTREETHREAD;
      own = r.MENUTREETHREAD;
    });
    windows = TreeWindows();
    started = Calls("MenuTreeThread").size();
    ended = Calls("ZOVRestyleClass.MenuTreeWindow ended").size();
    // The new tree can be stopped.
    OnFrame(user, [](ZOVRestyleClass& r) {
      StoreWhileRunning(restyle::kCustomMenuLook, "0");
      r.Restyle(0, 1);
    });
    windows_after_stop = TreeWindows();
  });
  EXPECT_NE(first, 0);
  EXPECT_EQ(started, 2u);
  EXPECT_EQ(ended, 1u);
  EXPECT_EQ(windows, 1u);
  EXPECT_NE(stored, 0);
  EXPECT_NE(stored, first);
  EXPECT_EQ(own, stored);
  EXPECT_EQ(windows_after_stop, 0u);
}

}  // namespace
}  // namespace app::testing
