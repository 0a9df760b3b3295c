// The rows of a list, combo or spin as Qt's views read them: a table model over the last
// snapshot the runtime pushed. It never reads a queue and never takes the runtime lock, so a
// list of 100,000 rows costs the GUI only the rows on screen.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPixmap>

#include "platform/ui/backend.h"
#include "platform/ui/list_tree.h"

namespace platform::qt {

// The look of the cells of one style number, from the list's style properties; what is not
// set (no font, an invalid colour) is the list's own.
struct CellLook {
  std::optional<QFont> font;
  QColor text;
  QColor background;
  QColor selected_text;
  QColor selected_background;
  bool operator==(const CellLook&) const = default;
};

class SnapshotModel final : public QAbstractTableModel {
 public:
  // What the model answers beyond Qt's roles. The tree column's cells answer their row's
  // level and its button (ui::TreeButton as a number); a styled cell its selected colours.
  enum Role {
    kTreeLevelRole = Qt::UserRole + 1,
    kTreeButtonRole,
    kSelectedTextRole,
    kSelectedBackgroundRole,
  };

  explicit SnapshotModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // Replaces the rows. A snapshot with the same number of rows and columns changes the
  // cells in place; otherwise the model resets.
  void SetSnapshot(std::shared_ptr<const ui::ListSnapshot> snapshot);
  // Replaces the columns (headers, alignment); the model resets when their number changed.
  void SetColumns(std::vector<ui::ListColumn> columns);
  // Marked rows are drawn in these colours.
  void SetMarkColors(QColor text, QColor background);
  // The pictures of the list's icon numbers (IconList), by number.
  void SetIcons(std::map<int32_t, QPixmap> icons);
  // The looks of the list's style numbers; nothing changes when they are the ones shown.
  void SetLooks(std::map<int32_t, CellLook> looks);

  const ui::ListSnapshot* snapshot() const { return snapshot_.get(); }
  bool marked(int row) const;
  // True for a row (from 0) of a tree that lies below a closed row.
  bool hidden(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  int SnapshotColumns(const ui::ListSnapshot* s) const;
  // The look of the cell's style; null for the list's own.
  const CellLook* LookOf(size_t row, size_t column) const;

  std::shared_ptr<const ui::ListSnapshot> snapshot_;
  std::vector<ui::ListColumn> columns_;
  QColor mark_text_;
  QColor mark_background_;
  std::map<int32_t, QPixmap> icons_;
  std::map<int32_t, CellLook> looks_;
  // Of the tree, per row: hidden below a closed row, and the button shown.
  std::vector<bool> hidden_;
  std::vector<ui::TreeButton> buttons_;
};

}  // namespace platform::qt
