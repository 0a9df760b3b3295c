#include "platform/ui/list_control.h"

#include <algorithm>
#include <cctype>

#include "platform/core/fixed_string.h"
#include "platform/core/format.h"
#include "platform/core/queue.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool Has(const ListColumn& c, std::string_view letters) {
  return c.flags.find_first_of(letters) != std::string::npos;
}

// The values a column's modifiers take, in the order their fields follow the column's own,
// with the number of fields each takes.
struct ModifierSlot {
  std::string_view letters;
  size_t fields;
};
constexpr ModifierSlot kModifierSlots[] = {{"*", 4}, {"IJ", 1}, {"T", 1}, {"Y", 1}, {"P", 1}};

// Queue fields a column uses after its own, by its modifiers.
size_t ExtraFields(const ListColumn& c) {
  size_t extra = 0;
  for (const ModifierSlot& slot : kModifierSlots) {
    if (Has(c, slot.letters)) extra += slot.fields;
  }
  return extra;
}

// Writes field `field` of entry `row`. The queue has no write of one entry in place, so the
// buffer is kept, the entry read, changed and put back, and the buffer restored; the
// program's buffer is as it was, only POINTER and the error state moved.
// TODO(queue): write the entry field in place once the queue offers it, keeping POINTER.
void WriteEntryField(QueueBase& q, size_t row, size_t field, std::string_view value) {
  std::vector<std::string> saved;
  saved.reserve(q.FieldCount());
  for (size_t n = 1; n <= q.FieldCount(); ++n) saved.push_back(q.GetText(n));
  if (q.Get(row)) {
    q.SetText(field, value);
    q.Put();
  }
  for (size_t n = 1; n <= q.FieldCount(); ++n) q.SetText(n, saved[n - 1]);
}

}  // namespace

std::vector<ListColumn> ParseListFormat(std::string_view f) {
  std::vector<ListColumn> columns;
  size_t next_field = 1;
  size_t i = 0;
  while (i < f.size()) {
    if (!IsDigit(f[i])) {  // group brackets and stray characters belong to no column
      ++i;
      continue;
    }
    ListColumn col;
    while (i < f.size() && IsDigit(f[i])) col.width = col.width * 10 + (f[i++] - '0');
    if (i < f.size() && std::isalpha(static_cast<unsigned char>(f[i]))) col.align = f[i++];
    bool explicit_field = false;
    // Modifiers, header and picture, up to the next column's width.
    while (i < f.size() && !IsDigit(f[i]) && f[i] != '[' && f[i] != ']') {
      const char c = f[i];
      if (c == '(') {
        const size_t close = f.find(')', i);
        i = close == std::string_view::npos ? f.size() : close + 1;
      } else if (c == '~') {
        const size_t close = f.find('~', i + 1);
        if (close == std::string_view::npos) {
          i = f.size();
          break;
        }
        col.header = std::string(f.substr(i + 1, close - i - 1));
        i = close + 1;
        if (i < f.size() && std::isalpha(static_cast<unsigned char>(f[i]))) ++i;  // its align
      } else if (c == '@') {
        const size_t close = f.find('@', i + 1);
        if (close == std::string_view::npos) {
          i = f.size();
          break;
        }
        col.picture = std::string(f.substr(i, close - i + 1));
        i = close + 1;
      } else if (c == '#') {
        size_t j = i + 1;
        size_t n = 0;
        while (j < f.size() && IsDigit(f[j])) n = n * 10 + (f[j++] - '0');
        if (j < f.size() && f[j] == '#') ++j;
        if (n > 0) {
          col.queue_field = n;
          explicit_field = true;
        }
        i = j;
      } else {
        col.flags.push_back(c);
        ++i;
      }
    }
    if (!explicit_field) col.queue_field = next_field;
    next_field = col.queue_field + 1 + ExtraFields(col);
    columns.push_back(std::move(col));
  }
  return columns;
}

size_t ModifierField(const ListColumn& column, char modifier) {
  size_t field = column.queue_field + 1;
  for (const ModifierSlot& slot : kModifierSlots) {
    const bool has = Has(column, slot.letters);
    if (slot.letters.find(modifier) != std::string_view::npos) return has ? field : 0;
    if (has) field += slot.fields;
  }
  return 0;
}

ListControl::ListControl(Window& window, FieldId field, ControlType type, std::string equate,
                         FieldId parent)
    : Control(window, field, type, std::move(equate), parent, ListProperties()) {}

void ListControl::From(QueueBase& queue) {
  queue_ = &queue;
  entries_.clear();
  snapshot_due_ = true;
  MarkDirty();
}

void ListControl::FromText(std::string_view entries) {
  queue_ = nullptr;
  entries_.clear();
  size_t start = 0;
  while (start <= entries.size() && !entries.empty()) {
    const size_t bar = entries.find('|', start);
    const size_t end = bar == std::string_view::npos ? entries.size() : bar;
    entries_.emplace_back(entries.substr(start, end - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  snapshot_due_ = true;
  MarkDirty();
}

size_t ListControl::Rows() const { return queue_ ? queue_->Records() : entries_.size(); }

std::string ListControl::Cell(size_t row, size_t column) const {
  if (row < 1 || row > Rows()) return {};
  if (!queue_) return column == 1 ? entries_[row - 1] : std::string();
  size_t field = column;
  if (!columns_.empty()) {
    if (column < 1 || column > columns_.size()) return {};
    field = columns_[column - 1].queue_field;
  }
  if (field < 1 || field > queue_->FieldCount()) return {};
  const std::string value = queue_->EntryText(row, field);
  const std::string& picture = columns_.empty() ? std::string() : columns_[column - 1].picture;
  if (picture.size() < 2) return std::string(ClipView(value));
  // The picture stands between two '@' in the format ("@s20@", "@n5@").
  return std::string(
      ClipView(Format(value, std::string_view(picture).substr(0, picture.size() - 1))));
}

int32_t ListControl::CellIcon(size_t row, size_t column) const {
  return static_cast<int32_t>(CellNumber(row, column, 'I'));
}

int32_t ListControl::CellStyle(size_t row, size_t column) const {
  return static_cast<int32_t>(CellNumber(row, column, 'Y'));
}

std::string ListControl::CellTip(size_t row, size_t column) const {
  const size_t field = CellField(row, column, 'P');
  return field == 0 ? std::string() : std::string(ClipView(queue_->EntryText(row, field)));
}

size_t ListControl::CellField(size_t row, size_t column, char modifier) const {
  if (!queue_ || row < 1 || row > Rows() || column < 1 || column > columns_.size()) return 0;
  const size_t field = ModifierField(columns_[column - 1], modifier);
  return field <= queue_->FieldCount() ? field : 0;
}

int64_t ListControl::CellNumber(size_t row, size_t column, char modifier) const {
  const size_t field = CellField(row, column, modifier);
  return field == 0 ? 0 : static_cast<int64_t>(queue_->EntryNumber(row, field));
}

size_t ListControl::TreeColumn() const {
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (Has(columns_[c], "T")) return c + 1;
  }
  return 0;
}

int32_t ListControl::TreeLevel(size_t row) const {
  const size_t column = TreeColumn();
  return column == 0 ? 0 : static_cast<int32_t>(CellNumber(row, column, 'T'));
}

std::vector<int32_t> ListControl::TreeLevels() const {
  std::vector<int32_t> levels;
  if (queue_ == nullptr || TreeColumn() == 0) return levels;
  levels.reserve(Rows());
  for (size_t r = 1; r <= Rows(); ++r) levels.push_back(TreeLevel(r));
  return levels;
}

TreeButton ListControl::TreeButtonOf(int32_t row) const {
  const std::vector<int32_t> levels = TreeLevels();
  if (row < 1 || static_cast<size_t>(row) > levels.size()) return TreeButton::kNone;
  if (HiddenTreeRows(levels)[row - 1]) return TreeButton::kNone;
  return TreeButtons(levels)[row - 1];
}

bool ListControl::SetTreeOpen(int32_t row, bool open) {
  AssertRuntimeLockHeld();
  if (row < 1) return false;
  const size_t column = TreeColumn();
  const size_t field = column == 0 ? 0 : CellField(row, column, 'T');
  if (field == 0) return false;
  const int32_t level = TreeLevel(row);
  const int32_t wanted = open ? TreeDepth(level) : -TreeDepth(level);
  if (wanted == level) return false;
  WriteEntryField(*queue_, row, field, std::to_string(wanted));
  return true;
}

std::string ListControl::Get(Prop p, int32_t index) const {
  switch (p) {
    case Prop::ColumnHeader:
    case Prop::ColumnWidth:
    case Prop::ColumnResizable: {
      if (index < 1 || static_cast<size_t>(index) > columns_.size()) return {};
      const std::string set = Control::Get(p, index);
      if (!set.empty()) return set;
      const ListColumn& c = columns_[index - 1];
      if (p == Prop::ColumnHeader) return c.header;
      if (p == Prop::ColumnWidth) return std::to_string(c.width);
      return std::to_string(c.queue_field);  // non-empty while the column exists
    }
    default:
      return Control::Get(p, index);
  }
}

void ListControl::Set(Prop p, std::string_view value, int32_t index) {
  AssertRuntimeLockHeld();
  switch (p) {
    case Prop::Format:
      Control::Set(p, value, index);
      columns_ = ParseListFormat(value);
      snapshot_due_ = true;
      return;
    case Prop::From:
      FromText(value);
      Control::Set(p, value, index);
      return;
    case Prop::Selected: {
      int64_t row = static_cast<int64_t>(TextToNumber(value));
      const int64_t rows = static_cast<int64_t>(Rows());
      if (row < 0 || row > rows) row = rows == 0 ? 0 : (row < 0 ? 0 : rows);
      chose_none_ = row == 0;
      Control::Set(p, std::to_string(row), index);
      return;
    }
    case Prop::EditControl: {
      // The in-place editor of a column shows over the list only while it is set: the one
      // it replaces is hidden, the new one shown.
      const auto before = static_cast<FieldId>(GetNumber(p, index));
      Control::Set(p, value, index);
      const auto after = static_cast<FieldId>(GetNumber(p, index));
      if (before == after) return;
      if (Control* old = window().control(before); old != nullptr && before != field()) {
        old->Set(Prop::Hide, "1");
      }
      if (Control* now = window().control(after); now != nullptr && after != field()) {
        now->Set(Prop::Hide, "");
      }
      return;
    }
    case Prop::MouseDownRow:
    case Prop::MouseDownField:
    case Prop::MouseMoveRow:
    case Prop::MouseState:
    case Prop::TreeRow:
      return;  // reported by the list, not set by the program
    default:
      Control::Set(p, value, index);
  }
}

void ListControl::MarkRows(int32_t row, MarkMode mode) {
  if (queue_ == nullptr || mark_field_ < 1 || mark_field_ > queue_->FieldCount()) return;
  const int32_t rows = static_cast<int32_t>(queue_->Records());
  if (row < 1 || row > rows) return;
  auto marked = [&](int32_t r) { return queue_->EntryNumber(r, mark_field_) != 0; };
  auto mark = [&](int32_t r, bool on) {
    if (marked(r) != on) WriteEntryField(*queue_, r, mark_field_, on ? "1" : "0");
  };
  switch (mode) {
    case MarkMode::kToggle:
      mark(row, !marked(row));
      break;
    case MarkMode::kRange: {
      const int32_t from = selected() >= 1 ? selected() : row;
      for (int32_t r = 1; r <= rows; ++r)
        mark(r, r >= std::min(from, row) && r <= std::max(from, row));
      break;
    }
    case MarkMode::kOnly:
      for (int32_t r = 1; r <= rows; ++r) mark(r, r == row);
      break;
  }
}

void ListControl::SetMouseDown(int32_t row, int32_t column) {
  Control::Set(Prop::MouseDownRow, std::to_string(row));
  Control::Set(Prop::MouseDownField, std::to_string(column));
}

void ListControl::SetHover(int32_t row, int32_t buttons) {
  Control::Set(Prop::MouseMoveRow, std::to_string(row));
  Control::Set(Prop::MouseState, std::to_string(buttons));
}

void ListControl::SetTreeRow(int32_t row) { Control::Set(Prop::TreeRow, std::to_string(row)); }

ControlView ListControl::View() const {
  ControlView v = Control::View();
  // A list with rows shows a row chosen: the first while the program chose none, unless it
  // took the selection off.
  if (v.selected == 0 && !chose_none_ && Rows() > 0) v.selected = 1;
  v.columns = columns_;
  for (size_t i = 0; i < v.columns.size(); ++i) {
    const int32_t index = static_cast<int32_t>(i + 1);
    v.columns[i].header = Get(Prop::ColumnHeader, index);
    v.columns[i].width = static_cast<int32_t>(GetNumber(Prop::ColumnWidth, index));
  }
  return v;
}

std::shared_ptr<const ListSnapshot> ListControl::TakeSnapshot() const {
  auto s = std::make_shared<ListSnapshot>();
  const size_t rows = Rows();
  const size_t cols = queue_ ? (columns_.empty() ? queue_->FieldCount() : columns_.size()) : 1;
  s->rows.reserve(rows);
  for (size_t r = 1; r <= rows; ++r) {
    std::vector<std::string> cells;
    cells.reserve(cols);
    for (size_t c = 1; c <= cols; ++c) cells.push_back(Cell(r, c));
    s->rows.push_back(std::move(cells));
  }
  auto any = [&](std::string_view letters) {
    return queue_ != nullptr && std::any_of(columns_.begin(), columns_.end(),
                                            [&](const ListColumn& c) { return Has(c, letters); });
  };
  // One value per cell, for the lists whose format asks for it.
  auto per_cell = [&](auto& table, auto value) {
    table.resize(rows);
    for (size_t r = 1; r <= rows; ++r) {
      for (size_t c = 1; c <= columns_.size(); ++c) table[r - 1].push_back(value(r, c));
    }
  };
  if (any("IJ")) per_cell(s->icons, [&](size_t r, size_t c) { return CellIcon(r, c); });
  if (any("Y")) per_cell(s->styles, [&](size_t r, size_t c) { return CellStyle(r, c); });
  if (any("P")) per_cell(s->tips, [&](size_t r, size_t c) { return CellTip(r, c); });
  s->levels = TreeLevels();
  s->tree_column = TreeColumn();
  if (queue_ && mark_field_ >= 1 && mark_field_ <= queue_->FieldCount()) {
    for (size_t r = 1; r <= rows; ++r)
      s->marked.push_back(queue_->EntryNumber(r, mark_field_) != 0);
  }
  s->queue_change_count = queue_ ? queue_->change_count() : 0;
  return s;
}

bool ListControl::SnapshotStale() const {
  return snapshot_due_ || (queue_ ? queue_->change_count() : 0) != pushed_change_count_;
}

void ListControl::Flush(Badge<Window> key, DisplayBackend& backend, WindowHandle window) {
  // New rows may change the row shown chosen (the first, once there are rows).
  const bool stale = SnapshotStale();
  if (stale) MarkDirty();
  Control::Flush(key, backend, window);
  if (!stale) return;
  snapshot_due_ = false;
  pushed_change_count_ = queue_ ? queue_->change_count() : 0;
  backend.PushListSnapshot(window, field(), TakeSnapshot());
}

}  // namespace platform::ui
