// Lists, combos, drop lists and spins: controls that show rows. The rows come from a queue
// (FROM(queue)) or from a fixed text of `|`-joined entries (FROM('MSSQL|ODBC|ORACLE')).
//
// The display never reads the queue: when the queue's change counter moved, the next flush
// pushes a snapshot of the texts the columns show. A list's format text gives its columns:
// width, alignment, header (~Header~), picture (@s20@) and flags, e.g.
// "80L(2)|M~Owner~@s40@" or "1020L(2)@s255@?".
//
// A column's modifiers take their values from the fields after its own: an icon number
// (IconList), a tree level (list_tree.h), a style number (the list's font and colour
// properties at that index, prop.h) and a tip. A tree's button opens a closed row after
// Expanding, which the program may refuse with CYCLE, and closes an open one; TreeRow names
// the row (window_input.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control.h"
#include "platform/ui/list_tree.h"

namespace platform {
class QueueBase;
}

namespace platform::ui {

// The columns of `format`. Each column shows the next queue field; a column with colours
// (*), an icon (I, J), a tree level (T), a style (Y) or a tip (P) uses the queue fields
// after its own for them, in that order whatever the order of the letters: the tree list
// "2000L(2)JYTS(2000)" shows field 1 with its icon in 2, its level in 3 and its style in 4.
std::vector<ListColumn> ParseListFormat(std::string_view format);
// The queue field holding `column`'s value for `modifier`: '*' the first of its four colours
// (text, background, selected text, selected background), 'I' or 'J' its icon, 'T' its tree
// level, 'Y' its style, 'P' its tip. 0 when the column has no such modifier.
size_t ModifierField(const ListColumn& column, char modifier);

class ListControl final : public Control {
 public:
  ListControl(Window& window, FieldId field, ControlType type, std::string equate, FieldId parent);

  // FROM: the rows are the queue's entries (not owned; must outlive the window) or the
  // entries of a `|`-joined text.
  void From(QueueBase& queue);
  void FromText(std::string_view entries);
  QueueBase* queue() const { return queue_; }
  // MARK: the queue field that marks a row (non-zero = marked), 0 for none.
  void SetMarkField(size_t field) { mark_field_ = field; }
  size_t mark_field() const { return mark_field_; }
  // Marks rows as a click on `row` does: alone, toggled (with Ctrl) or the range from the
  // chosen row (with Shift). Nothing without a MARK field.
  enum class MarkMode { kOnly, kToggle, kRange };
  void MarkRows(int32_t row, MarkMode mode);

  // The number of rows shown.
  size_t Rows() const;
  // The text of row `row` (from 1), column `column` (from 1); "" outside.
  std::string Cell(size_t row, size_t column) const;
  // The icon number of row `row`, column `column` (its IconList entry), 0 for none or a
  // column without an icon.
  int32_t CellIcon(size_t row, size_t column) const;
  // The style number of the cell (Y): the index of the list's style properties (prop.h) that
  // draw it; 0 for the list's own look or a column without styles.
  int32_t CellStyle(size_t row, size_t column) const;
  // The tip of the cell (P), shown while the mouse rests on it; "" for none.
  std::string CellTip(size_t row, size_t column) const;

  // Trees (list_tree.h). The tree column is the first with a level (T), 0 for a list that is
  // no tree. TreeLevel answers a row's level as the queue holds it, 0 without a tree column.
  size_t TreeColumn() const;
  int32_t TreeLevel(size_t row) const;
  std::vector<int32_t> TreeLevels() const;
  // The button row `row` shows; kNone for a row that is not shown or a list that is no tree.
  TreeButton TreeButtonOf(int32_t row) const;
  // Opens or closes row `row`: its level in the queue gets the sign that says so, the
  // program's buffer as it was. Answers true when the level changed.
  bool SetTreeOpen(int32_t row, bool open);
  const std::vector<ListColumn>& columns() const { return columns_; }

  std::string Get(Prop p, int32_t index = 0) const override;
  void Set(Prop p, std::string_view value, int32_t index = 0) override;
  // Records where the mouse went down (row 0 is the header, column 0 none); no event.
  void SetMouseDown(int32_t row, int32_t column);
  // Records the row under the mouse (0 none) and the buttons held (0 none); no event.
  void SetHover(int32_t row, int32_t buttons);
  // Records the row a tree event names (TreeRow); no event.
  void SetTreeRow(int32_t row);

  ControlView View() const override;
  void Flush(Badge<Window> key, DisplayBackend& backend, WindowHandle window) override;
  // The rows as the display shows them now.
  std::shared_ptr<const ListSnapshot> TakeSnapshot() const;
  // True when the display's rows are not the list's any more: its queue changed since the
  // last snapshot, or its entries or format did.
  bool SnapshotStale() const;

 private:
  // The queue field of the cell's value for `modifier` (ModifierField), 0 when it has none
  // or the row or column is outside; and that value as a number.
  size_t CellField(size_t row, size_t column, char modifier) const;
  int64_t CellNumber(size_t row, size_t column, char modifier) const;

  QueueBase* queue_ = nullptr;
  std::vector<std::string> entries_;  // FROM('a|b|c')
  size_t mark_field_ = 0;
  std::vector<ListColumn> columns_;
  uint64_t pushed_change_count_ = 0;
  bool snapshot_due_ = true;
  // The program took the selection off (SELECT of position 0 or less): the list shows no row
  // chosen, not even the first one a list with rows otherwise shows.
  bool chose_none_ = false;
};

}  // namespace platform::ui
