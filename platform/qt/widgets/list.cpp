// Lists: a table over the list's snapshot. Presses report their row and column, as do double
// clicks and header clicks; a press on a tree button reports that instead. The list's edit
// controls sit over the chosen row's cells; a tree's rows below a closed row are hidden.
#include <algorithm>
#include <map>
#include <set>
#include <string>

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>

#include "platform/qt/list_delegate.h"
#include "platform/qt/list_indent.h"
#include "platform/qt/snapshot_model.h"
#include "platform/qt/stored_style.h"
#include "platform/qt/tree_column.h"
#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::FieldId;
using ui::Input;
using ui::KeyCode;
using ui::Prop;

constexpr ControlType kTypes[] = {ControlType::kList};

KeyCode MouseModifiers(Qt::KeyboardModifiers m) {
  KeyCode k = 0;
  if (m & Qt::ShiftModifier) k += ui::kShift;
  if (m & Qt::ControlModifier) k += ui::kCtrl;
  if (m & Qt::AltModifier) k += ui::kAlt;
  return k;
}

class ListView final : public QTableView {
 public:
  ListView(WindowMirror& mirror, FieldId field, QWidget* parent)
      : QTableView(parent), mirror_(mirror), field_(field) {
    setMouseTracking(true);
  }

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (PressTreeButton(e)) return;
    Press(e, Input::Kind::kSelectRow, ui::kMouseLeft);
    QTableView::mousePressEvent(e);
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    // A quick second press on a tree button presses it again.
    if (PressTreeButton(e)) return;
    Press(e, Input::Kind::kDoubleClick, ui::kMouseLeft2);
    QTableView::mouseDoubleClickEvent(e);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    QTableView::mouseMoveEvent(e);
    const QModelIndex at = indexAt(e->position().toPoint());
    const int32_t row = at.isValid() ? at.row() + 1 : 0;
    if (row == last_move_row_) return;
    last_move_row_ = row;
    Input in;
    in.kind = Input::Kind::kMouseMoved;
    in.field = field_;
    in.row = row;
    in.key = (e->buttons() & Qt::LeftButton) ? ui::kMouseLeft : 0;
    const QPoint mouse = mirror_.MouseInWindowUnits(e->globalPosition().toPoint());
    in.mouse_x = mouse.x();
    in.mouse_y = mouse.y();
    mirror_.Post(in);
  }
  void keyPressEvent(QKeyEvent* e) override {
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(e);
    const QModelIndex after = currentIndex();
    // Moving with the keys chooses a row as a click does, without a mouse code.
    if (after.isValid() && after.row() != before.row()) {
      Input in;
      in.kind = Input::Kind::kSelectRow;
      in.field = field_;
      in.row = after.row() + 1;
      in.column = after.column() + 1;
      mirror_.Post(in);
    }
  }

 private:
  // A left press on the tree button of a row goes to the runtime as that, and the row is
  // not chosen. True when the press was on one.
  bool PressTreeButton(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return false;
    const QPoint at = e->position().toPoint();
    const QModelIndex cell = indexAt(at);
    const QVariant level = cell.data(SnapshotModel::kTreeLevelRole);
    if (!level.isValid() || cell.data(SnapshotModel::kTreeButtonRole).toInt() == 0 ||
        !TreeButtonRect(visualRect(cell), level.toInt()).contains(at)) {
      return false;
    }
    Input in;
    in.kind = Input::Kind::kTreeButton;
    in.field = field_;
    in.row = cell.row() + 1;
    in.key = ui::kMouseLeft + MouseModifiers(e->modifiers());
    mirror_.Post(in);
    return true;
  }

  void Press(QMouseEvent* e, Input::Kind kind, KeyCode button) {
    if (e->button() != Qt::LeftButton) return;
    const QModelIndex at = indexAt(e->position().toPoint());
    Input in;
    in.kind = kind;
    in.field = field_;
    in.row = at.isValid() ? at.row() + 1 : 0;
    in.column = at.isValid() ? at.column() + 1 : 0;
    in.key = button + MouseModifiers(e->modifiers());
    const QPoint mouse = mirror_.MouseInWindowUnits(e->globalPosition().toPoint());
    in.mouse_x = mouse.x();
    in.mouse_y = mouse.y();
    mirror_.Post(in);
  }

  WindowMirror& mirror_;
  const FieldId field_;
  int32_t last_move_row_ = -1;
};

// The list's edit controls sit over the chosen row's cell of their column, and follow
// scrolling.
void PlaceEditors(WindowMirror& mirror, FieldId list_field) {
  WidgetItem* item = mirror.Find(list_field);
  if (item == nullptr || !item->widget) return;
  auto* list = static_cast<ListView*>(item->widget.data());
  for (const auto& [slot, value] : item->view.properties) {
    if (slot.first != static_cast<int32_t>(Prop::EditControl)) continue;
    WidgetItem* editor = mirror.Find(static_cast<FieldId>(TextToNumber(value)));
    if (editor == nullptr || !editor->widget) continue;
    const int row = item->view.selected - 1;
    const QModelIndex cell = item->model->index(row, slot.second - 1);
    const QRect rect = list->visualRect(cell);
    const bool on_screen =
        cell.isValid() && rect.isValid() && list->viewport()->rect().intersects(rect);
    if (on_screen) {
      const QPoint at = list->viewport()->mapTo(mirror.client(), rect.topLeft());
      editor->widget->setGeometry(QRect(at, rect.size()));
      editor->widget->raise();
    }
    editor->widget->setVisible(on_screen && editor->view.visible);
  }
}

// The looks of the list's style numbers: its font and colour properties at an index above 0.
std::map<int32_t, CellLook> CellLooks(const StoredProperties& props, const QFont& font,
                                      const QPalette& palette) {
  constexpr Prop kParts[] = {
      Prop::Font,  Prop::FontSize,      Prop::FontStyle,        Prop::FontColor,
      Prop::Color, Prop::SelectedColor, Prop::SelectedFillColor};
  std::set<int32_t> styles;
  for (const auto& [slot, value] : props) {
    if (slot.second > 0 &&
        std::ranges::find(kParts, static_cast<Prop>(slot.first)) != std::end(kParts)) {
      styles.insert(slot.second);
    }
  }
  std::map<int32_t, CellLook> looks;
  for (const int32_t n : styles) {
    CellLook& look = looks[n];
    const std::string face = PropOf(props, Prop::Font, n);
    const auto size = static_cast<int32_t>(Number(props, Prop::FontSize, 0, n));
    const auto style = static_cast<int32_t>(Number(props, Prop::FontStyle, 0, n));
    if (!face.empty() || size > 0 || style > 0) look.font = FontFromStored(font, face, size, style);
    auto colour = [&](Prop p) { return ColorFromStored(Number(props, p, kNoColor, n), palette); };
    look.text = colour(Prop::FontColor);
    look.background = colour(Prop::Color);
    look.selected_text = colour(Prop::SelectedColor);
    look.selected_background = colour(Prop::SelectedFillColor);
  }
  return looks;
}

// Columns, headers, indents, line height and the chosen row as the program last set them.
void ApplyList(WindowMirror& mirror, WidgetItem& item) {
  auto* list = static_cast<ListView*>(item.widget.data());
  const ui::ControlView& v = item.view;
  const ui::TextMetrics m = mirror.metrics();
  item.model->SetColumns(v.columns);
  bool any_header = false;
  for (size_t c = 0; c < v.columns.size(); ++c) {
    const int column = static_cast<int>(c);
    const ui::ListColumn& col = v.columns[c];
    any_header = any_header || !col.header.empty();
    // A column of width 0 is hidden.
    list->setColumnHidden(column, col.width <= 0);
    if (col.width > 0) list->setColumnWidth(column, ui::HorizontalPixels(col.width, m));
  }
  list->horizontalHeader()->setVisible(any_header);
  // The icon column's pictures, read again only when the program named others.
  std::map<int32_t, std::string> icon_names;
  for (const auto& [slot, value] : v.properties) {
    if (slot.first == static_cast<int32_t>(Prop::IconList) && !value.empty())
      icon_names[slot.second] = value;
  }
  if (icon_names != item.icon_names) {
    std::map<int32_t, QPixmap> icons;
    for (const auto& [number, name] : icon_names) icons[number] = LoadPicture(name);
    item.model->SetIcons(std::move(icons));
    item.icon_names = std::move(icon_names);
  }
  item.model->SetLooks(CellLooks(v.properties, list->font(), list->palette()));
  if (auto* delegate = dynamic_cast<ListDelegate*>(list->itemDelegate())) {
    std::vector<int> indents_px;
    for (int32_t du : ColumnIndents(PropOf(v.properties, Prop::Format))) {
      indents_px.push_back(ui::HorizontalPixels(du, m));
    }
    delegate->SetIndents(std::move(indents_px));
  }
  const int64_t line_du = Number(v.properties, Prop::LineHeight, 0);
  const int line_px = line_du > 0 ? ui::VerticalPixels(static_cast<int32_t>(line_du), m)
                                  : list->fontMetrics().height() + 4;
  list->verticalHeader()->setDefaultSectionSize(line_px);
  list->verticalHeader()->setMinimumSectionSize(std::min(line_px, 8));
  const int row = v.selected - 1;
  if (row >= 0 && row < item.model->rowCount()) {
    const QModelIndex at = item.model->index(row, std::max(0, list->currentIndex().column()));
    if (list->currentIndex().row() != row) {
      list->selectionModel()->setCurrentIndex(
          at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      list->scrollTo(at);
    }
  } else {
    list->selectionModel()->clearSelection();
  }
  PlaceEditors(mirror, v.field);
}

class ListFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }
  bool takes_buddy() const override { return true; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    const FieldId field = item.view.field;
    auto* w = MakeChild<ListView>(mirror, field, mirror.client());
    item.model = MakeChild<SnapshotModel>(w);
    w->setModel(item.model);
    w->setItemDelegate(MakeChild<ListDelegate>(w));
    w->setSelectionBehavior(QAbstractItemView::SelectRows);
    w->setSelectionMode(QAbstractItemView::SingleSelection);
    w->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w->setShowGrid(false);
    w->setWordWrap(false);
    // The runtime clips a cell; "..." would show characters the data does not hold.
    w->setTextElideMode(Qt::ElideNone);
    w->setTabKeyNavigation(false);
    w->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A list scrolls sideways only when it was given HSCROLL.
    w->setHorizontalScrollBarPolicy(
        Flag(item.view.properties, Prop::HScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    w->verticalHeader()->hide();
    // Fixed row heights keep a list of any length cheap to lay out and scroll.
    w->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    w->horizontalHeader()->setHighlightSections(false);
    w->horizontalHeader()->setSectionsClickable(true);
    w->horizontalHeader()->setStretchLastSection(true);
    w->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const QPalette pal = w->palette();
    item.model->SetMarkColors(pal.color(QPalette::HighlightedText), pal.color(QPalette::Highlight));
    QObject::connect(w->horizontalHeader(), &QHeaderView::sectionPressed, w,
                     [&mirror, field](int section) {
                       if (mirror.applying()) return;
                       Input in;
                       in.kind = Input::Kind::kHeaderClick;
                       in.field = field;
                       in.column = section + 1;
                       in.key = ui::kMouseLeft;
                       mirror.Post(in);
                     });
    auto follow = [&mirror, field] { PlaceEditors(mirror, field); };
    QObject::connect(w->verticalScrollBar(), &QScrollBar::valueChanged, w, follow);
    QObject::connect(w->horizontalScrollBar(), &QScrollBar::valueChanged, w, follow);
    QObject::connect(w->horizontalHeader(), &QHeaderView::sectionResized, w, follow);
    TagObject(w->viewport(), mirror.handle(), field);
    TagObject(w->horizontalHeader(), mirror.handle(), field);
    return w;
  }

  void Apply(WindowMirror& mirror, WidgetItem& item, const QRect& /*rect*/) const override {
    ApplyList(mirror, item);
  }

  void PushSnapshot(WindowMirror& mirror, WidgetItem& item,
                    std::shared_ptr<const ui::ListSnapshot> snapshot) const override {
    const bool was_tree = item.model->snapshot() && !item.model->snapshot()->levels.empty();
    item.model->SetSnapshot(std::move(snapshot));
    if (was_tree || !item.model->snapshot()->levels.empty()) {
      auto* list = static_cast<ListView*>(item.widget.data());
      for (int row = 0; row < item.model->rowCount(); ++row) {
        list->setRowHidden(row, item.model->hidden(row));
      }
    }
    ApplyList(mirror, item);
  }

  // An edit control of the list follows the list.
  void OtherChanged(WindowMirror& mirror, WidgetItem& item, FieldId changed) const override {
    for (const auto& [slot, value] : item.view.properties) {
      if (slot.first == static_cast<int32_t>(Prop::EditControl) && TextToNumber(value) == changed) {
        PlaceEditors(mirror, item.view.field);
      }
    }
  }
};

}  // namespace

const WidgetFamily& ListWidgets() {
  static const ListFamily family;
  return family;
}

}  // namespace platform::qt
