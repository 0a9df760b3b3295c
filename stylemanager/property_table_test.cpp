#include "restyle/property_table.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/scripted_display.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "restyle/restyle_test_support.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {
namespace {

using restyle::ControlPropertyRecord;

std::vector<ControlPropertyRecord> Rows(ZOVStylemanagerClass& manager) {
  std::vector<ControlPropertyRecord> rows;
  for (size_t i = 1; i <= manager.CLARIONCONTROLPROPERTIESQUEUE->Records(); ++i) {
    rows.push_back(manager.CLARIONCONTROLPROPERTIESQUEUE->entry(i));
  }
  return rows;
}

std::vector<std::string> Descriptions(const std::vector<ControlPropertyRecord>& rows) {
  std::vector<std::string> out;
  for (const ControlPropertyRecord& r : rows) out.push_back(r.PROPERTYDESCRIPTION.str());
  return out;
}

TEST(PropertyTable, HoldsTheSixteenCustomAndTheRuntimesPropertiesInDescriptionOrder) {
  ZOVStylemanagerClass manager;
  manager.BuildPropertyTable();
  const std::vector<ControlPropertyRecord> rows = Rows(manager);
  ASSERT_EQ(rows.size(), 120u);
  EXPECT_EQ(std::ranges::count(rows, 1, &ControlPropertyRecord::CUSTOMPROPERTY), 16);
  const std::vector<std::string> descriptions = Descriptions(rows);
  EXPECT_TRUE(std::ranges::is_sorted(descriptions));
  EXPECT_EQ(std::vector<std::string>(descriptions.begin(), descriptions.begin() + 3),
            (std::vector<std::string>{"Above", "AboveSize", "AlwaysDrop"}));
  // The sentences sort under S, between the snap sizes and Spread.
  const auto snap = std::ranges::find(descriptions, "SnapWidth");
  ASSERT_NE(snap, descriptions.end());
  ASSERT_LT(snap + 8, descriptions.end());
  EXPECT_EQ(*(snap - 1), "SnapHeight");
  for (auto it = snap + 1; it != snap + 7; ++it) EXPECT_TRUE(it->starts_with("Specifies ")) << *it;
  EXPECT_EQ(*(snap + 7), "Spread");
  // The editors by type, among the runtime's rows; 255 is the custom name of the control.
  std::map<int, int> by_type;
  for (const ControlPropertyRecord& r : rows) {
    if (r.CUSTOMPROPERTY == 0) ++by_type[r.TYPE];
  }
  EXPECT_EQ(by_type, (std::map<int, int>{
                         {0, 59}, {1, 32}, {2, 2}, {5, 7}, {6, 1}, {7, 1}, {9, 1}, {10, 1}}));
  struct Case {
    std::string_view property;
    std::string_view description;
    int32_t number;
    int type;
    int custom;
  };
  const Case kCases[] = {
      {"READ-ONLY", "Read-only", 0x7C7B, 1, 0},
      {"HSCROLL", "Specifies the presence of a Horizontal Scrollbar", 0x7C67, 1, 0},
      {"NOSHEET", "NoSheet", 0x7CE3, 0, 0},
      {"TIPSFONT", "TipsFont", 0x10, 0, 0},
      {"WALLPAPER", "WallPaper", 0x7A15, 6, 0},
      {"Limit procedure start", "Limit procedure start", -1, 2, 1},
      {"Name of the control", "Name of the control", -19, 255, 1},
      {"Fade windows in and out", "Fade windows in and out", -4, 15, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.property);
    ASSERT_TRUE(restyle::FindPropertyByName(*manager.CLARIONCONTROLPROPERTIESQUEUE, c.property));
    const ControlPropertyRecord& r = manager.CLARIONCONTROLPROPERTIESQUEUE->buffer;
    EXPECT_EQ(r.PROPERTYDESCRIPTION, c.description);
    EXPECT_EQ(r.PROPERTYEQUATE, c.number);
    EXPECT_EQ(r.TYPE, c.type);
    EXPECT_EQ(r.CUSTOMPROPERTY, c.custom);
    EXPECT_EQ(r.MARK, 0);
  }
}

TEST(PropertyTable, AColourLookupGivesOneOfTheThreeNamesOfTheNumber) {
  ZOVStylemanagerClass manager;
  manager.BuildPropertyTable();
  ASSERT_TRUE(restyle::FindPropertyByNumber(*manager.CLARIONCONTROLPROPERTIESQUEUE, 0x7CFA));
  const std::string name = manager.CLARIONCONTROLPROPERTIESQUEUE->buffer.PROPERTY.str();
  EXPECT_TRUE(name == "COLOR" || name == "BACKGROUND" || name == "FILLCOLOR") << name;
  EXPECT_FALSE(restyle::FindPropertyByNumber(*manager.CLARIONCONTROLPROPERTIESQUEUE, -2));
}

TEST(PropertyTable, ACustomNameIsStoredTranslatedAndSortsByTheTranslation) {
  ZOVStylemanagerClass manager;
  manager.TRANSLATOR->AddPair("Window roundness", "Afgeronde hoeken");
  manager.BuildPropertyTable();
  ASSERT_TRUE(restyle::FindPropertyByNumber(*manager.CLARIONCONTROLPROPERTIESQUEUE, -6));
  const ControlPropertyRecord row = manager.CLARIONCONTROLPROPERTIESQUEUE->buffer;
  EXPECT_EQ(row.PROPERTY, "Afgeronde hoeken");
  EXPECT_EQ(row.PROPERTYDESCRIPTION, "Afgeronde hoeken");
  const std::vector<std::string> descriptions = Descriptions(Rows(manager));
  const auto at = std::ranges::find(descriptions, "Afgeronde hoeken");
  ASSERT_NE(at, descriptions.end());
  EXPECT_EQ(*(at - 1), "AboveSize");  // far from where "Window roundness" sorts
  EXPECT_EQ(*(at + 1), "AlwaysDrop");
}

constexpr platform::ui::ControlDecl kControls[] = {
    platform::ui::Entry("?Name", {4, 4, 100, 10}),
    platform::ui::List("?Rows", {4, 20, 180, 50}).Format("80L(2)|M~Name~@s20@").From("a|b"),
    platform::ui::Sheet("?Sheet", {4, 80, 180, 30}),
    platform::ui::Tab("?Tab1", "One", "?Sheet"),
};
constexpr platform::ui::WindowStructure kWindow{
    "test$propertytable", "P1$WINDOW",      platform::ui::WindowKind::kPlain,
    "Properties",         {0, 0, 200, 120}, kControls};

TEST(PropertyTable, EveryRuntimeNumberChangesWhatAControlOfItsFamilyReadsBack) {
  ZOVStylemanagerClass manager;
  manager.BuildPropertyTable();
  std::vector<std::string> unchanged;
  platform::testing::ScriptedDisplay display;
  restyle::testing::RunOnRuntimeThread(display, [&] {
    platform::ui::Window window(kWindow);
    window.Open();
    for (const ControlPropertyRecord& r : Rows(manager)) {
      const std::string name = r.PROPERTY.str();
      // The type is the runtime's answer; no control has the tips' and status bar's fonts.
      if (r.CUSTOMPROPERTY == 1 || name == "TYPE" || name == "TIPSFONT" || name == "STATUSFONT") {
        continue;
      }
      constexpr platform::ui::FieldId kName = kWindow.Equate("?Name");
      constexpr platform::ui::FieldId kRows = kWindow.Equate("?Rows");
      constexpr platform::ui::FieldId kSheet = kWindow.Equate("?Sheet");
      const platform::ui::FieldId field = name == "FROM" || name == "FORMAT" || name == "ITEMS"
                                              ? kRows
                                              : (name == "NOSHEET" ? kSheet : kName);
      const auto p = static_cast<platform::ui::Prop>(r.PROPERTYEQUATE);
      const std::string before = window.Get(field, p);
      window.Set(field, p, before == "7" ? "1" : "7");
      if (window.Get(field, p) == before) unchanged.push_back(name);
      window.Set(field, p, before);
    }
  });
  EXPECT_EQ(unchanged, std::vector<std::string>{});
}

}  // namespace
}  // namespace stylemanager
