// How a list draws its cells: each column's indent (list_indent.h), the tree column's levels
// and buttons (tree_column.h), and the look of the cell's style, whose font and colours the
// model answers and whose selected colours replace the highlight.
#pragma once

#include <vector>

#include <QStyledItemDelegate>

namespace platform::qt {

class ListDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  // The indent of each column, in pixels.
  void SetIndents(std::vector<int> indents_px) { indents_px_ = std::move(indents_px); }
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  std::vector<int> indents_px_;
};

}  // namespace platform::qt
