// Lists as trees: the tree column (format modifier T) takes each row's level from the queue.
// Level 1 is the top; a row's children are the rows after it that lie deeper, up to the next
// row at its level or above. A negative level is a closed row: its children are not shown.
// Both backends and the window model read a tree through these functions, so they agree on
// what is shown and where a row has its button.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform::ui {

// The depth a level stands for: its absolute value, at least 1.
int32_t TreeDepth(int32_t level);

// The tree button of a row: a closed row shows one to open it, even before it has children
// (a program may add them when it opens); an open row shows one to close it when it has
// children.
enum class TreeButton { kNone, kOpen, kClose };

// The button of each row of `levels` (row i+1 at i).
std::vector<TreeButton> TreeButtons(std::span<const int32_t> levels);
// For each row, true when it is not shown: it lies below a closed row.
std::vector<bool> HiddenTreeRows(std::span<const int32_t> levels);

}  // namespace platform::ui
