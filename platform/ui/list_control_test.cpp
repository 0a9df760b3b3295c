// Lists as trees and with row looks, driven through the scripted user: the levels, icons,
// styles and tips the display is given, the tree buttons with Expanding, Expanded and
// Contracted, and a menu panel's list that is no tree.
#include "platform/ui/list_control.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/testing/tree_lists.h"
#include "platform/testing/window_test.h"
#include "platform/ui/list_tree.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using testing::WindowTest;

constexpr FieldId kTree = testing::kTreeListWindow.Equate("?Tree");
constexpr FieldId kPanel = testing::kTreeListWindow.Equate("?Panel");
constexpr FieldId kTips = testing::kTreeListWindow.Equate("?Tips");

// File holds Open and Recent (which holds a.txt); Edit is open with Copy; Help is closed and
// has no children yet.
constexpr testing::TreeListRow kRows[] = {
    {"File", 2, -1, 1}, {"Open", 1, 2, 1}, {"Recent", 1, -2, 3}, {"a.txt", 1, 3, 1},
    {"Edit", 2, 1, 1},  {"Copy", 3, 2, 2}, {"Help", 2, -1, 1},
};

class ListTreeTest : public WindowTest {
 protected:
  // Opens the window. Its procedure logs each tree event with the row it names and that row's
  // level in the queue; it refuses to open "Help", or on the contrary adds a child to it while
  // Expanding when `load_help` is set.
  void Open(bool load_help = false) {
    runtime.StartMain([this, load_help] {
      Queue<testing::TreeListRecord> tree;
      testing::AddTreeRows(tree, kRows);
      Queue<testing::PanelListRecord> panel;
      for (const char* item : {"New", "Open"}) {
        panel.buffer.MENUITEM = item;
        panel.buffer.ICON = 1;
        panel.buffer.STYLE = panel.Records() + 1;
        panel.buffer.CONTROLEQUATE = -3 - static_cast<int32_t>(panel.Records());
        panel.Add();
      }
      Queue<testing::TipListRecord> tips;
      tips.buffer.TEXT = "tipped";
      tips.buffer.TIP = "the tip";
      tips.Add();
      tips.buffer.TEXT = "plain";
      tips.buffer.TIP = "";
      tips.Add();
      Window window(testing::kTreeListWindow);
      window.From(kTree, tree);
      window.From(kPanel, panel);
      window.From(kTips, tips);
      window.Open();
      SetProp(kTree, Prop::IconList, "~ZOVMenuItem.ico", 2);
      SetProp(kTree, Prop::Font, "Arial", 2);
      SetProp(kTree, Prop::FontStyle, 0x2000, 2);
      SetProp(kTree, Prop::FontColor, 0x0000FF, 2);
      SetProp(kTree, Prop::SelectedFillColor, 0x00FF00, 2);
      tree.buffer.MENUITEM = "buffer";  // the program's buffer, which the runtime leaves alone
      while (window.Accept()) {
        const EventId e = Event();
        if (e != kEventExpanding && e != kEventExpanded && e != kEventContracted) continue;
        const auto row = static_cast<size_t>(GetPropNumber(Field(), Prop::TreeRow));
        const std::string name = e == kEventExpanding  ? "Expanding"
                                 : e == kEventExpanded ? "Expanded"
                                                       : "Contracted";
        log.Add(name + " " + std::to_string(row) + " at " +
                std::to_string(window.list(kTree)->TreeLevel(row)) + ", buffer " +
                std::string(tree.buffer.MENUITEM.view()));
        if (e == kEventExpanding && row == 7) {
          if (!load_help) {
            window.Cycle();
            continue;
          }
          const testing::TreeListRecord saved = tree.buffer;
          tree.buffer.MENUITEM = "About";
          tree.buffer.LEVEL = 2;
          tree.AddAt(8);
          tree.buffer = saved;
        }
      }
    });
    w = user.Window("Tree window");
  }

  // The rows shown, each with its button ('+' opens, '-' closes).
  std::string Shown() {
    std::shared_ptr<const ListSnapshot> s = user.Rows(w, kTree);
    if (!s) return "no rows";
    const std::vector<bool> hidden = HiddenTreeRows(s->levels);
    const std::vector<TreeButton> buttons = TreeButtons(s->levels);
    std::string shown;
    for (size_t i = 0; i < s->rows.size(); ++i) {
      if (hidden[i]) continue;
      if (!shown.empty()) shown += " ";
      if (buttons[i] == TreeButton::kOpen) shown += "+";
      if (buttons[i] == TreeButton::kClose) shown += "-";
      shown += s->rows[i][0];
    }
    return shown;
  }

  WindowHandle w = 0;
};

TEST_F(ListTreeTest, TheDisplayGetsLevelsIconsStylesAndTheStylesLooks) {
  Open();
  std::shared_ptr<const ListSnapshot> s = user.Rows(w, kTree);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->rows.size(), std::size(kRows));
  EXPECT_EQ(s->tree_column, 1u);
  ASSERT_EQ(s->levels.size(), std::size(kRows));
  ASSERT_EQ(s->icons.size(), std::size(kRows));
  ASSERT_EQ(s->styles.size(), std::size(kRows));
  for (size_t i = 0; i < std::size(kRows); ++i) {
    SCOPED_TRACE(kRows[i].text);
    // One column: the text, with the icon, level and style of the fields after it.
    EXPECT_EQ(s->rows[i], std::vector<std::string>{kRows[i].text});
    EXPECT_EQ(s->levels[i], kRows[i].level);
    EXPECT_EQ(s->icons[i], std::vector<int32_t>{kRows[i].icon});
    EXPECT_EQ(s->styles[i], std::vector<int32_t>{kRows[i].style});
  }
  EXPECT_TRUE(s->tips.empty());
  EXPECT_EQ(Shown(), "+File -Edit Copy +Help");

  // The styles' looks are the list's font and colour properties by style number; index 0
  // stays the list's own.
  const ControlView v = user.Control(w, kTree);
  auto prop = [&](Prop p, int32_t index) {
    const auto it = v.properties.find({static_cast<int32_t>(p), index});
    return it == v.properties.end() ? std::string("unset") : it->second;
  };
  EXPECT_EQ(prop(Prop::Font, 2), "Arial");
  EXPECT_EQ(prop(Prop::FontStyle, 2), "8192");
  EXPECT_EQ(prop(Prop::FontColor, 2), "255");
  EXPECT_EQ(prop(Prop::SelectedFillColor, 2), "65280");
  EXPECT_EQ(prop(Prop::Font, 0), "unset");
  EXPECT_EQ(prop(Prop::FontColor, 0), "unset");
  EXPECT_EQ(prop(Prop::IconList, 2), "~ZOVMenuItem.ico");
}

TEST_F(ListTreeTest, TheTreeButtonOpensAfterExpandingAndClosesWithContracted) {
  Open();
  user.PressTreeButton(w, kTree, 1);
  EXPECT_EQ(Shown(), "-File Open +Recent -Edit Copy +Help");
  user.PressTreeButton(w, kTree, 3);
  EXPECT_EQ(Shown(), "-File Open -Recent a.txt -Edit Copy +Help");
  // Closing File hides Recent, which stays open inside it.
  user.PressTreeButton(w, kTree, 1);
  EXPECT_EQ(Shown(), "+File -Edit Copy +Help");
  user.PressTreeButton(w, kTree, 5);
  EXPECT_EQ(Shown(), "+File +Edit +Help");
  // The handler reads the row; Expanding sees it still closed, Expanded and Contracted see it
  // as it is now. The program's buffer is its own throughout.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "Expanding 1 at -1, buffer buffer",
                             "Expanded 1 at 1, buffer buffer",
                             "Expanding 3 at -2, buffer buffer",
                             "Expanded 3 at 2, buffer buffer",
                             "Contracted 1 at -1, buffer buffer",
                             "Contracted 5 at -1, buffer buffer",
                         }));
}

TEST_F(ListTreeTest, ACycleOnExpandingLeavesTheRowClosed) {
  Open();
  user.PressTreeButton(w, kTree, 7);
  EXPECT_EQ(Shown(), "+File -Edit Copy +Help");
  EXPECT_EQ(log.lines(), std::vector<std::string>{"Expanding 7 at -1, buffer buffer"});
  EXPECT_EQ(user.Rows(w, kTree)->levels[6], -1);
}

TEST_F(ListTreeTest, ChildrenAddedWhileExpandingShowInTheOpenedRow) {
  Open(/*load_help=*/true);
  user.PressTreeButton(w, kTree, 7);
  EXPECT_EQ(Shown(), "+File -Edit Copy -Help About");
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"Expanding 7 at -1, buffer buffer",
                                                   "Expanded 7 at 1, buffer buffer"}));
}

TEST_F(ListTreeTest, TheProgramCannotSetTheTreeRow) {
  runtime.StartMain([this] {
    Window window(testing::kTreeListWindow);
    window.Open();
    SetProp(kTree, Prop::TreeRow, 4);
    log.Add(GetProp(kTree, Prop::TreeRow));
    while (window.Accept()) {
    }
  });
  user.Window("Tree window");
  EXPECT_EQ(log.lines(), std::vector<std::string>{"0"});
}

TEST_F(ListTreeTest, APanelsListHasIconsAndStylesButNoTreeAndTipsComeFromTheirField) {
  Open();
  std::shared_ptr<const ListSnapshot> panel = user.Rows(w, kPanel);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->rows, (std::vector<std::vector<std::string>>{{"New"}, {"Open"}}));
  EXPECT_EQ(panel->icons, (std::vector<std::vector<int32_t>>{{1}, {1}}));
  EXPECT_EQ(panel->styles, (std::vector<std::vector<int32_t>>{{1}, {2}}));
  EXPECT_TRUE(panel->levels.empty());
  EXPECT_EQ(panel->tree_column, 0u);

  std::shared_ptr<const ListSnapshot> tips = user.Rows(w, kTips);
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(tips->rows, (std::vector<std::vector<std::string>>{{"tipped"}, {"plain"}}));
  EXPECT_EQ(tips->tips, (std::vector<std::vector<std::string>>{{"the tip"}, {""}}));
  EXPECT_TRUE(tips->styles.empty());
}

}  // namespace
}  // namespace platform::ui
