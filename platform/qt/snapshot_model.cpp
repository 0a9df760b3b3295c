#include "platform/qt/snapshot_model.h"

#include <QString>

namespace platform::qt {
namespace {

Qt::Alignment AlignmentOf(char align) {
  switch (align) {
    case 'R':
    case 'D':  // decimal: numbers line up on the right
      return Qt::AlignRight | Qt::AlignVCenter;
    case 'C':
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

}  // namespace

int SnapshotModel::SnapshotColumns(const ui::ListSnapshot* s) const {
  if (!columns_.empty()) return static_cast<int>(columns_.size());
  if (s == nullptr || s->rows.empty()) return 1;
  return static_cast<int>(s->rows.front().size());
}

void SnapshotModel::SetSnapshot(std::shared_ptr<const ui::ListSnapshot> snapshot) {
  const int old_rows = rowCount();
  const int old_columns = columnCount();
  const int new_rows = snapshot ? static_cast<int>(snapshot->rows.size()) : 0;
  const int new_columns = SnapshotColumns(snapshot.get());
  hidden_ = snapshot ? ui::HiddenTreeRows(snapshot->levels) : std::vector<bool>();
  buttons_ = snapshot ? ui::TreeButtons(snapshot->levels) : std::vector<ui::TreeButton>();
  if (old_rows == new_rows && old_columns == new_columns) {
    snapshot_ = std::move(snapshot);
    if (new_rows > 0) emit dataChanged(index(0, 0), index(new_rows - 1, new_columns - 1));
    return;
  }
  beginResetModel();
  snapshot_ = std::move(snapshot);
  endResetModel();
}

void SnapshotModel::SetColumns(std::vector<ui::ListColumn> columns) {
  if (columns.size() != columns_.size()) {
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
    return;
  }
  columns_ = std::move(columns);
  if (!columns_.empty()) {
    emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(columns_.size()) - 1);
  }
}

void SnapshotModel::SetIcons(std::map<int32_t, QPixmap> icons) {
  icons_ = std::move(icons);
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void SnapshotModel::SetLooks(std::map<int32_t, CellLook> looks) {
  if (looks == looks_) return;
  looks_ = std::move(looks);
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

const CellLook* SnapshotModel::LookOf(size_t row, size_t column) const {
  if (row >= snapshot_->styles.size() || column >= snapshot_->styles[row].size()) return nullptr;
  const auto it = looks_.find(snapshot_->styles[row][column]);
  return it != looks_.end() ? &it->second : nullptr;
}

bool SnapshotModel::hidden(int row) const {
  return row >= 0 && static_cast<size_t>(row) < hidden_.size() && hidden_[row];
}

void SnapshotModel::SetMarkColors(QColor text, QColor background) {
  mark_text_ = text;
  mark_background_ = background;
}

bool SnapshotModel::marked(int row) const {
  return snapshot_ && row >= 0 && static_cast<size_t>(row) < snapshot_->marked.size() &&
         snapshot_->marked[row];
}

int SnapshotModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !snapshot_) return 0;
  return static_cast<int>(snapshot_->rows.size());
}

int SnapshotModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return SnapshotColumns(snapshot_.get());
}

QVariant SnapshotModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !snapshot_ || index.row() >= rowCount()) return {};
  const size_t row = static_cast<size_t>(index.row());
  const size_t column = static_cast<size_t>(index.column());
  // A colour of the cell's style, none where the style sets none.
  auto colour = [&](QColor CellLook::*part) -> QVariant {
    const CellLook* look = LookOf(row, column);
    if (look == nullptr || !(look->*part).isValid()) return {};
    return look->*part;
  };
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
      const std::vector<std::string>& cells = snapshot_->rows[row];
      if (column >= cells.size()) return QString();
      // A cell is one line: line breaks, tabs and other control characters show as blanks.
      QString text = QString::fromStdString(cells[column]);
      for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
      }
      return text;
    }
    case Qt::TextAlignmentRole:
      if (column < columns_.size()) return QVariant::fromValue(AlignmentOf(columns_[column].align));
      return {};
    case Qt::DecorationRole: {
      if (row >= snapshot_->icons.size() || column >= snapshot_->icons[row].size()) return {};
      const auto it = icons_.find(snapshot_->icons[row][column]);
      if (it == icons_.end() || it->second.isNull()) return {};
      return it->second;
    }
    case Qt::BackgroundRole:
      if (marked(index.row()) && mark_background_.isValid()) return mark_background_;
      return colour(&CellLook::background);
    case Qt::ForegroundRole:
      if (marked(index.row()) && mark_text_.isValid()) return mark_text_;
      return colour(&CellLook::text);
    case kSelectedTextRole:
      return colour(&CellLook::selected_text);
    case kSelectedBackgroundRole:
      return colour(&CellLook::selected_background);
    case Qt::FontRole: {
      const CellLook* look = LookOf(row, column);
      if (look == nullptr || !look->font) return {};
      return *look->font;
    }
    case Qt::ToolTipRole:
      if (row >= snapshot_->tips.size() || column >= snapshot_->tips[row].size() ||
          snapshot_->tips[row][column].empty()) {
        return {};
      }
      return QString::fromStdString(snapshot_->tips[row][column]);
    case kTreeLevelRole:
      if (row >= snapshot_->levels.size() || column + 1 != snapshot_->tree_column) return {};
      return snapshot_->levels[row];
    case kTreeButtonRole:
      if (row >= buttons_.size() || column + 1 != snapshot_->tree_column) return {};
      return static_cast<int>(buttons_[row]);
    default:
      return {};
  }
}

QVariant SnapshotModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0) return {};
  const size_t column = static_cast<size_t>(section);
  if (column >= columns_.size()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(columns_[column].header);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(AlignmentOf(columns_[column].align));
    default:
      return {};
  }
}

}  // namespace platform::qt
