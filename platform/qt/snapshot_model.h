// The rows of a list, combo or spin as Qt's views read them: a table model over the last
// snapshot the runtime pushed. It never reads a queue and never takes the runtime lock, so a
// list of 100,000 rows costs the GUI only the rows on screen.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QPixmap>

#include "platform/ui/backend.h"

namespace platform::qt {

class SnapshotModel final : public QAbstractTableModel {
 public:
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

  const ui::ListSnapshot* snapshot() const { return snapshot_.get(); }
  bool marked(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  int SnapshotColumns(const ui::ListSnapshot* s) const;

  std::shared_ptr<const ui::ListSnapshot> snapshot_;
  std::vector<ui::ListColumn> columns_;
  QColor mark_text_;
  QColor mark_background_;
  std::map<int32_t, QPixmap> icons_;
};

}  // namespace platform::qt
