#include "platform/ui/structure.h"

#include <gtest/gtest.h>

namespace platform::ui {
namespace {

constexpr ControlDecl kControls[] = {
    Menubar(),
    Menu("?FileMenu", "&File"),
    Item("?OpenItem", "&Open  F2", "?FileMenu").Key(kF2Key),
    Separator("?FileMenu"),
    Item("?ExitItem", "E&xit", "?FileMenu").Std(StdAction::kClose),
    Prompt("?Name:Prompt", "Name:", {4, 4, 40, 10}),
    Entry("?Name", {50, 4, 100, 10}).Picture("@s20").Imm(),
    Sheet("?Sheet", {4, 20, 180, 80}),
    Tab("?FirstTab", "First", "?Sheet"),
    List("?Rows", {8, 36, 160, 50}).Parent("?FirstTab").Format("80L(2)~Name~@s20@"),
    Button("?OkButton", "&OK", {4, 104, 40, 14}).Default(),
};

constexpr WindowStructure kWindow{"test$structure", "P1$WINDOW",      WindowKind::kMdiChild,
                                  "Structure",      {0, 0, 200, 120}, kControls};

// Field numbers come from the equate texts when compiling; a misspelt equate would not
// compile, and no number is written twice.
constexpr FieldId kFileMenu = kWindow.Equate("?FileMenu");
constexpr FieldId kExitItem = kWindow.Equate("?ExitItem");
constexpr FieldId kNamePrompt = kWindow.Equate("?Name:Prompt");
constexpr FieldId kRows = kWindow.Equate("?Rows");
constexpr FieldId kOkButton = kWindow.Equate("?OkButton");
static_assert(kFileMenu == -1);
static_assert(kExitItem == -3);  // the separator is numbered after the named entries
static_assert(kWindow.FieldAt(3) == -4);
static_assert(kWindow.FieldAt(0) == -5);  // the menu bar, after the separators
static_assert(kNamePrompt == 1);
static_assert(kRows == 5);
static_assert(kOkButton == 6);

TEST(WindowStructure, FieldNumbersFollowDeclarationOrder) {
  struct Case {
    std::string_view equate;
    FieldId field;
  };
  constexpr Case kCases[] = {{"?FileMenu", -1},
                             {"?OpenItem", -2},
                             {"?ExitItem", -3},
                             {"?Name:Prompt", 1},
                             {"?Name", 2},
                             {"?Sheet", 3},
                             {"?FirstTab", 4},
                             {"?Rows", 5},
                             {"?OkButton", 6},
                             {"?name", 0},
                             {"", 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.equate);
    EXPECT_EQ(kWindow.FindEquate(c.equate), c.field);
  }
}

// The menu bar comes after the separators, and several of each keep their declared order,
// whatever their place among the named entries.
TEST(WindowStructure, SeparatorsAndTheMenuBarAreNumberedAfterTheNamedEntries) {
  static constexpr ControlDecl kMenus[] = {
      Separator("?First"),           Menu("?First", "&First"), Menubar(),
      Item("?One", "One", "?First"), Separator("?First"),      Button("?Go", "Go", {0, 0, 10, 10}),
      Menu("?Second", "&Second"),
  };
  constexpr WindowStructure kMenuWindow{"test$structure", "P2$WINDOW",    WindowKind::kPlain,
                                        "Menus",          {0, 0, 50, 50}, kMenus};
  constexpr FieldId kExpected[] = {-4, -1, -6, -2, -5, 1, -3};
  for (size_t i = 0; i < std::size(kMenus); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(kMenuWindow.FieldAt(i), kExpected[i]);
  }
}

// A menu entry declared without a parent sits on the menu bar; other controls without one
// sit on the window.
TEST(WindowStructure, AnEntryWithoutAMenuSitsOnTheMenuBar) {
  struct Case {
    size_t at;
    FieldId parent;
  };
  constexpr Case kCases[] = {{0, 0}, {1, -5}, {2, -1}, {3, -1}, {4, -1}, {5, 0}, {8, 3}, {9, 4}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(kControls[c.at].equate);
    EXPECT_EQ(kWindow.ParentAt(c.at), c.parent);
  }
  static constexpr ControlDecl kNoBar[] = {Menu("?Menu", "&Menu"), Item("?Item", "Item", "?Menu")};
  constexpr WindowStructure kNoBarWindow{"test$structure", "P3$WINDOW",    WindowKind::kPlain,
                                         "No bar",         {0, 0, 50, 50}, kNoBar};
  EXPECT_EQ(kNoBarWindow.ParentAt(0), kNoField);
  EXPECT_EQ(kNoBarWindow.ParentAt(1), -1);
}

TEST(WindowStructure, DeclaredAttributesAreKept) {
  const ControlDecl& entry = kControls[6];
  EXPECT_EQ(entry.equate, "?Name");
  EXPECT_EQ(entry.picture, "@s20");
  EXPECT_NE(entry.attrs & kAttrImm, 0u);
  EXPECT_EQ(kControls[2].key, 0x71);
  EXPECT_EQ(kControls[4].std, StdAction::kClose);
}

TEST(WindowStructure, RegistryFindsByModuleAndLabelInAnyCase) {
  RegisterWindowStructure(kWindow);
  EXPECT_EQ(FindWindowStructure("test$structure", "P1$WINDOW"), &kWindow);
  EXPECT_EQ(FindWindowStructure("TEST$STRUCTURE", "p1$window"), &kWindow);
  EXPECT_EQ(FindWindowStructure("test$structure", "P1$OTHER"), nullptr);
}

}  // namespace
}  // namespace platform::ui
