#include "platform/qt/list_delegate.h"

#include <QApplication>
#include <QPainter>

#include "platform/qt/snapshot_model.h"
#include "platform/qt/tree_column.h"

namespace platform::qt {

void ListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  // A style's selected colours are the highlight of its cells, active or not.
  if (const QVariant c = index.data(SnapshotModel::kSelectedTextRole); c.isValid()) {
    opt.palette.setColor(QPalette::HighlightedText, c.value<QColor>());
  }
  if (const QVariant c = index.data(SnapshotModel::kSelectedBackgroundRole); c.isValid()) {
    opt.palette.setColor(QPalette::Highlight, c.value<QColor>());
  }
  const QVariant foreground = index.data(Qt::ForegroundRole);
  if (const QVariant level = index.data(SnapshotModel::kTreeLevelRole); level.isValid()) {
    // The row's background lies under the room of its levels too, over the highlight the
    // view gave the whole cell: only the icon and text that follow show the row chosen. The
    // button is drawn in the text's colour.
    painter->fillRect(opt.rect, opt.backgroundBrush.style() != Qt::NoBrush
                                    ? opt.backgroundBrush
                                    : opt.palette.brush(QPalette::Base));
    const QColor ink =
        foreground.isValid() ? foreground.value<QColor>() : opt.palette.color(QPalette::Text);
    const auto button =
        static_cast<ui::TreeButton>(index.data(SnapshotModel::kTreeButtonRole).toInt());
    PaintTreeButton(*painter, TreeButtonRect(opt.rect, level.toInt()), button, ink);
    opt.rect.setLeft(TreeContentLeft(opt.rect, level.toInt()));
  }
  QStyle* style = opt.widget != nullptr ? opt.widget->style() : QApplication::style();
  const int column = index.column();
  const int indent =
      column >= 0 && static_cast<size_t>(column) < indents_px_.size() ? indents_px_[column] : 0;
  if (indent <= 0) {
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    return;
  }
  // The background and selection fill the whole cell; only the text moves in.
  const QString text = opt.text;
  opt.text.clear();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
  QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
  if (opt.displayAlignment & Qt::AlignRight) {
    r.setRight(r.right() - indent);
  } else if (!(opt.displayAlignment & Qt::AlignHCenter)) {
    r.setLeft(r.left() + indent);
  }
  const bool selected = opt.state & QStyle::State_Selected;
  painter->save();
  painter->setPen(
      opt.palette.color(opt.state & QStyle::State_Enabled ? QPalette::Active : QPalette::Disabled,
                        selected ? QPalette::HighlightedText : QPalette::Text));
  if (foreground.isValid() && !selected) painter->setPen(foreground.value<QColor>());
  painter->setFont(opt.font);
  painter->drawText(r, static_cast<int>(opt.displayAlignment),
                    opt.fontMetrics.elidedText(text, opt.textElideMode, r.width()));
  painter->restore();
}

}  // namespace platform::qt
