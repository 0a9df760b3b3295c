#include "platform/ui/list_tree.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace platform::ui {

int32_t TreeDepth(int32_t level) {
  const int64_t depth = std::llabs(static_cast<int64_t>(level));
  return depth < 1 ? 1 : static_cast<int32_t>(std::min<int64_t>(depth, INT32_MAX));
}

std::vector<TreeButton> TreeButtons(std::span<const int32_t> levels) {
  std::vector<TreeButton> buttons(levels.size(), TreeButton::kNone);
  for (size_t i = 0; i < levels.size(); ++i) {
    if (levels[i] < 0) {
      buttons[i] = TreeButton::kOpen;
    } else if (i + 1 < levels.size() && TreeDepth(levels[i + 1]) > TreeDepth(levels[i])) {
      buttons[i] = TreeButton::kClose;
    }
  }
  return buttons;
}

std::vector<bool> HiddenTreeRows(std::span<const int32_t> levels) {
  std::vector<bool> hidden(levels.size(), false);
  // Rows deeper than the closed row shown last are hidden, up to one at its depth or above.
  int32_t closed_depth = std::numeric_limits<int32_t>::max();
  for (size_t i = 0; i < levels.size(); ++i) {
    const int32_t depth = TreeDepth(levels[i]);
    if (depth > closed_depth) {
      hidden[i] = true;
      continue;
    }
    closed_depth = levels[i] < 0 ? depth : std::numeric_limits<int32_t>::max();
  }
  return hidden;
}

}  // namespace platform::ui
