#include "platform/ui/list_tree.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace platform::ui {
namespace {

// Each row as a letter: '.' no button, '+' a button that opens, '-' one that closes; upper
// case for a hidden row ('x' hidden without a button).
std::string Draw(const std::vector<int32_t>& levels) {
  const std::vector<TreeButton> buttons = TreeButtons(levels);
  const std::vector<bool> hidden = HiddenTreeRows(levels);
  std::string drawn;
  for (size_t i = 0; i < levels.size(); ++i) {
    const char c = buttons[i] == TreeButton::kOpen    ? '+'
                   : buttons[i] == TreeButton::kClose ? '-'
                                                      : '.';
    drawn.push_back(hidden[i] ? (c == '.' ? 'x' : c == '+' ? 'P' : 'M') : c);
  }
  return drawn;
}

TEST(ListTree, ClosedRowsHideWhatLiesBelowThemUpToTheirLevel) {
  struct Case {
    std::string_view name;
    std::vector<int32_t> levels;
    std::string_view drawn;
  };
  const Case kCases[] = {
      {"empty", {}, ""},
      {"flat", {1, 1, 1}, "..."},
      {"open", {1, 2, 2, 1}, "-..."},
      {"closed", {-1, 2, 2, 1}, "+xx."},
      // A closed row inside a closed one is hidden with its children.
      {"nested", {-1, 2, -2, 3, 1}, "+xPx."},
      // An open row inside a closed one is hidden, and so are its children.
      {"open inside closed", {-1, 2, 3, 1}, "+Mx."},
      // A closed row inside an open one hides only its own children.
      {"closed inside open", {1, -2, 3, 3, 2, 1}, "-+xx.."},
      // A closed row without children still shows its button: the program may load them.
      {"closed, no children", {1, -1}, ".+"},
      {"last closed", {1, 2, -2}, "-.+"},
      // Level 0 counts as level 1; a jump of two levels is a child all the same.
      {"level 0", {0, 3, 0}, "-.."},
      {"deep jump", {-1, 3, 2, 1}, "+xx."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Draw(c.levels), c.drawn);
  }
}

}  // namespace
}  // namespace platform::ui
