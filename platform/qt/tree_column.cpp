#include "platform/qt/tree_column.h"

#include <algorithm>

#include <QPainter>

namespace platform::qt {
namespace {

constexpr int kButtonPx = 9;  // odd, so the sign sits on the middle pixel

}  // namespace

int TreeContentLeft(const QRect& cell, int32_t level) {
  return cell.left() + ui::TreeDepth(level) * kTreeLevelPx;
}

QRect TreeButtonRect(const QRect& cell, int32_t level) {
  const int side = std::min(kButtonPx, std::max(1, cell.height() - 2));
  const int room_left = cell.left() + (ui::TreeDepth(level) - 1) * kTreeLevelPx;
  return QRect(room_left + (kTreeLevelPx - side) / 2, cell.top() + (cell.height() - side) / 2, side,
               side);
}

void PaintTreeButton(QPainter& painter, const QRect& box, ui::TreeButton button,
                     const QColor& ink) {
  if (button == ui::TreeButton::kNone) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(ink, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  const QPoint mid = box.center();
  const int arm = std::max(1, box.width() / 2 - 2);
  painter.drawLine(mid.x() - arm, mid.y(), mid.x() + arm, mid.y());
  if (button == ui::TreeButton::kOpen)
    painter.drawLine(mid.x(), mid.y() - arm, mid.x(), mid.y() + arm);
  painter.restore();
}

}  // namespace platform::qt
