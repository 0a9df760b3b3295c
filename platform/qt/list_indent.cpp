#include "platform/qt/list_indent.h"

#include <QApplication>
#include <QPainter>

namespace platform::qt {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The end of the part that opens with `open` at `i` and closes with `close`; the format's
// end when it does not close.
size_t Skip(std::string_view f, size_t i, char close) {
  const size_t end = f.find(close, i + 1);
  return end == std::string_view::npos ? f.size() : end + 1;
}

}  // namespace

std::vector<int32_t> ColumnIndents(std::string_view f) {
  // Columns start where the window model's format reader starts them: at a width, outside
  // headers, pictures, field numbers and bracketed parts.
  std::vector<int32_t> indents;
  size_t i = 0;
  while (i < f.size()) {
    if (!IsDigit(f[i])) {
      ++i;
      continue;
    }
    while (i < f.size() && IsDigit(f[i])) ++i;
    if (i < f.size() && IsLetter(f[i])) ++i;
    int32_t indent = 0;
    if (i < f.size() && f[i] == '(') {
      const size_t end = Skip(f, i, ')');
      for (size_t j = i + 1; j < end && IsDigit(f[j]); ++j) indent = indent * 10 + (f[j] - '0');
      i = end;
    }
    indents.push_back(indent);
    while (i < f.size() && !IsDigit(f[i]) && f[i] != '[' && f[i] != ']') {
      switch (f[i]) {
        case '(':
          i = Skip(f, i, ')');
          break;
        case '~':
          i = Skip(f, i, '~');
          if (i < f.size() && IsLetter(f[i])) ++i;  // the header's alignment
          break;
        case '@':
          i = Skip(f, i, '@');
          break;
        case '#':
          i = Skip(f, i, '#');
          break;
        default:
          ++i;
      }
    }
  }
  return indents;
}

void IndentDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
  const int column = index.column();
  const int indent =
      column >= 0 && static_cast<size_t>(column) < indents_px_.size() ? indents_px_[column] : 0;
  if (indent <= 0) return QStyledItemDelegate::paint(painter, option, index);
  // The background and selection fill the whole cell; only the text moves in.
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QString text = opt.text;
  opt.text.clear();
  QStyle* style = opt.widget != nullptr ? opt.widget->style() : QApplication::style();
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
  if (const QVariant fg = index.data(Qt::ForegroundRole); fg.isValid() && !selected) {
    painter->setPen(fg.value<QColor>());
  }
  painter->setFont(opt.font);
  painter->drawText(r, static_cast<int>(opt.displayAlignment),
                    opt.fontMetrics.elidedText(text, opt.textElideMode, r.width()));
  painter->restore();
}

}  // namespace platform::qt
