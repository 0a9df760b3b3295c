// The tree column of a list: each row moves in by its level, and a row with a tree button
// shows it in the room before its icon and text, a box with "+" to open a closed row and
// "-" to close an open one (platform/ui/list_tree.h says which rows have one). The list's
// delegate draws it and the list's view finds presses on the button with the same geometry.
#pragma once

#include <cstdint>

#include <QColor>
#include <QRect>

#include "platform/ui/list_tree.h"

class QPainter;

namespace platform::qt {

// The room one level takes, in pixels.
inline constexpr int kTreeLevelPx = 16;

// Where the row's icon and text begin in a cell of the tree column: after the room of every
// level down to the row's own, which holds its button.
int TreeContentLeft(const QRect& cell, int32_t level);
// The button's box in the cell: a square centred in the room of the row's own level.
QRect TreeButtonRect(const QRect& cell, int32_t level);
// Draws the button `button` (nothing for kNone) in `box`, its frame and sign in `ink`.
void PaintTreeButton(QPainter& painter, const QRect& box, ui::TreeButton button, const QColor& ink);

}  // namespace platform::qt
