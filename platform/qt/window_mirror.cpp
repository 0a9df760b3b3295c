#include "platform/qt/window_mirror.h"

#include <algorithm>
#include <utility>

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QValidator>

#include "platform/core/number.h"
#include "platform/qt/key_translation.h"
#include "platform/qt/list_indent.h"
#include "platform/qt/picture_widget.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/snapshot_model.h"
#include "platform/qt/stored_style.h"
#include "platform/qt/window_shape.h"
#include "platform/region/region.h"
#include "platform/ui/picture_mode.h"
#include "platform/ui/structure.h"

namespace platform::qt {

using ui::ControlType;
using ui::ControlView;
using ui::FieldId;
using ui::Input;
using ui::KeyCode;
using ui::Prop;

namespace {

// Qt widgets are owned by their Qt parent, which deletes them; this is the one place that
// hands a new widget to its parent.
template <class W, class... Args>
W* MakeChild(Args&&... args) {
  return new W(std::forward<Args>(args)...);  // owned by the Qt parent among `args`
}

// The dynamic properties that lead from any widget to its window and field.
constexpr char kWindowProperty[] = "pexWindow";
constexpr char kFieldProperty[] = "pexField";

void Tag(QObject* object, ui::WindowHandle window, FieldId field) {
  object->setProperty(kWindowProperty, QVariant::fromValue<qlonglong>(window));
  object->setProperty(kFieldProperty, field);
}

std::string PropOf(const std::map<std::pair<int32_t, int32_t>, std::string>& props, Prop p,
                   int32_t index = 0) {
  const auto it = props.find({static_cast<int32_t>(p), index});
  return it != props.end() ? it->second : std::string();
}

bool Flag(const std::map<std::pair<int32_t, int32_t>, std::string>& props, Prop p) {
  const std::string v = PropOf(props, p);
  return !v.empty() && v != "0";
}

int64_t Number(const std::map<std::pair<int32_t, int32_t>, std::string>& props, Prop p,
               int64_t fallback, int32_t index = 0) {
  const std::string v = PropOf(props, p, index);
  return v.empty() ? fallback : static_cast<int64_t>(TextToNumber(v));
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A label shows "&" only as the mark of its mnemonic when it has a buddy.
QString WithoutMnemonic(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
  return text;
}

// The letter after the single '&' of a caption, upper case; null without one.
QChar MnemonicOf(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) continue;
    if (text[i + 1] == QLatin1Char('&')) {
      ++i;
      continue;
    }
    return text[i + 1].toUpper();
  }
  return {};
}

std::set<KeyCode> AlertsOf(const std::map<std::pair<int32_t, int32_t>, std::string>& props) {
  std::set<KeyCode> out;
  for (const auto& [slot, value] : props) {
    if (slot.first == static_cast<int32_t>(Prop::Alrt) && !value.empty()) {
      out.insert(static_cast<KeyCode>(TextToNumber(value)));
    }
  }
  return out;
}

// Controls that hold others and lie beneath them all.
bool IsContainer(ControlType t) {
  return t == ControlType::kSheet || t == ControlType::kGroup || t == ControlType::kOption;
}

// Controls drawn on the window's own surface: beneath every windowed control, in the order
// they were made.
bool IsWindowless(ControlType t) {
  return t == ControlType::kImage || t == ControlType::kString || t == ControlType::kPrompt ||
         t == ControlType::kBox || t == ControlType::kPanel || t == ControlType::kRegion ||
         t == ControlType::kLine || t == ControlType::kEllipse;
}

KeyCode MouseModifiers(Qt::KeyboardModifiers m) {
  KeyCode k = 0;
  if (m & Qt::ShiftModifier) k += ui::kShift;
  if (m & Qt::ControlModifier) k += ui::kCtrl;
  if (m & Qt::AltModifier) k += ui::kAlt;
  return k;
}

// The outer widgets: their close box asks the program instead of closing.
template <class Base>
class Closable : public Base {
 public:
  template <class... Args>
  explicit Closable(WindowMirror& mirror, Args&&... args)
      : Base(std::forward<Args>(args)...), mirror_(mirror) {}

 protected:
  void closeEvent(QCloseEvent* e) override {
    if (mirror_.closing()) {
      e->accept();
      return;
    }
    e->ignore();
    mirror_.CloseBoxPressed();
  }
  void changeEvent(QEvent* e) override {
    Base::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && this->isWindow() && this->isActiveWindow() &&
        !mirror_.applying()) {
      Input in;
      in.kind = Input::Kind::kActivated;
      mirror_.Post(in);
    }
  }

 private:
  WindowMirror& mirror_;
};

// A list: reports presses with their row and column, double clicks and header clicks.
class ListView final : public QTableView {
 public:
  ListView(WindowMirror& mirror, FieldId field, QWidget* parent)
      : QTableView(parent), mirror_(mirror), field_(field) {
    setMouseTracking(true);
  }

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    Press(e, Input::Kind::kSelectRow, ui::kMouseLeft);
    QTableView::mousePressEvent(e);
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
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
    in.mouse_x = static_cast<int32_t>(e->position().x());
    in.mouse_y = static_cast<int32_t>(e->position().y());
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
  void Press(QMouseEvent* e, Input::Kind kind, KeyCode button) {
    if (e->button() != Qt::LeftButton) return;
    const QModelIndex at = indexAt(e->position().toPoint());
    Input in;
    in.kind = kind;
    in.field = field_;
    in.row = at.isValid() ? at.row() + 1 : 0;
    in.column = at.isValid() ? at.column() + 1 : 0;
    in.key = button + MouseModifiers(e->modifiers());
    in.mouse_x = static_cast<int32_t>(e->position().x());
    in.mouse_y = static_cast<int32_t>(e->position().y());
    mirror_.Post(in);
  }

  WindowMirror& mirror_;
  const FieldId field_;
  int32_t last_move_row_ = -1;
};

// A sheet: a tab bar over a frame. The tabs' controls are the window's own, shown and
// hidden by the runtime.
class SheetWidget final : public QWidget {
 public:
  explicit SheetWidget(QWidget* parent) : QWidget(parent), bar_(MakeChild<QTabBar>(this)) {
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
  }
  QTabBar* bar() const { return bar_; }
  std::vector<FieldId>& tabs() { return tabs_; }
  void SetStripHidden(bool hidden) {
    bar_->setVisible(!hidden);
    Layout();
  }

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    Layout();
  }
  void paintEvent(QPaintEvent*) override {
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int top = bar_->isVisible() ? bar_->height() - 1 : 0;
    frame.rect = rect().adjusted(0, top, 0, 0);
    frame.tabBarSize = bar_->isVisible() ? bar_->size() : QSize();
    frame.shape = QTabBar::RoundedNorth;
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    p.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
  }

 private:
  void Layout() {
    const QSize hint = bar_->sizeHint();
    bar_->setGeometry(2, 0, std::min(hint.width(), width() - 4), hint.height());
    update();
  }

  QTabBar* bar_;
  std::vector<FieldId> tabs_;
};

// A spin box over numbers (RangeLow..RangeHigh by Step) or over the rows of its FROM.
class SpinWidget final : public QAbstractSpinBox {
 public:
  SpinWidget(WindowMirror& mirror, FieldId field, QWidget* parent)
      : QAbstractSpinBox(parent), mirror_(mirror), field_(field) {
    QObject::connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
      Input in;
      in.kind = Input::Kind::kTyped;
      in.field = field_;
      in.text = text.toStdString();
      mirror_.Post(in);
    });
  }
  void SetModel(SnapshotModel* model) { model_ = model; }
  void SetRange(double low, double high, double step) {
    low_ = low;
    high_ = high;
    step_ = step > 0 ? step : 1;
  }
  void SetText(const QString& text) { lineEdit()->setText(text); }

  void stepBy(int steps) override {
    if (model_ != nullptr && model_->rowCount() > 0) {
      // Over the rows: the row after (or before) the one shown.
      int row = -1;
      for (int r = 0; r < model_->rowCount(); ++r) {
        if (model_->index(r, 0).data().toString() == text()) row = r;
      }
      row = std::clamp(row + steps, 0, model_->rowCount() - 1);
      lineEdit()->setText(model_->index(row, 0).data().toString());
      Input in;
      in.kind = Input::Kind::kSelectRow;
      in.field = field_;
      in.row = row + 1;
      in.column = 1;
      in.key = ui::kMouseLeft;
      mirror_.Post(in);
      return;
    }
    const double value =
        std::clamp(TextToNumber(text().toStdString()) + steps * step_, low_, high_);
    const std::string shown = NumberToText(value);
    lineEdit()->setText(QString::fromStdString(shown));
    Input in;
    in.kind = Input::Kind::kTyped;
    in.field = field_;
    in.text = shown;
    mirror_.Post(in);
  }

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

 private:
  WindowMirror& mirror_;
  const FieldId field_;
  SnapshotModel* model_ = nullptr;
  double low_ = 0;
  double high_ = 100;
  double step_ = 1;
};

// Keeps an entry's text within its picture's size in bytes of UTF-8, cutting a paste or a
// typed character that would not fit; a character is never split.
class ByteLimit final : public QValidator {
 public:
  explicit ByteLimit(QObject* parent) : QValidator(parent) {}
  void set_bytes(int bytes) { bytes_ = bytes; }

  State validate(QString& input, int& /*pos*/) const override {
    return bytes_ <= 0 || input.toUtf8().size() <= bytes_ ? Acceptable : Invalid;
  }
  void fixup(QString& input) const override {
    while (bytes_ > 0 && input.toUtf8().size() > bytes_) input.chop(1);
  }

 private:
  int bytes_ = 0;
};

// Boxes, lines and ellipses: drawn with the stored colours.
class ShapeWidget final : public QWidget {
 public:
  ShapeWidget(ControlType type, QWidget* parent) : QWidget(parent), type_(type) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  void SetColors(QColor line, QColor fill, int width) {
    line_ = line;
    fill_ = fill;
    width_ = std::max(1, width);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QColor line = line_.isValid() ? line_ : palette().color(QPalette::Mid);
    p.setPen(QPen(line, width_));
    p.setBrush(fill_.isValid() ? QBrush(fill_) : Qt::NoBrush);
    const QRect r = rect().adjusted(width_ / 2, width_ / 2, -(width_ + 1) / 2, -(width_ + 1) / 2);
    switch (type_) {
      case ControlType::kEllipse:
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(r);
        break;
      case ControlType::kLine:
        p.drawLine(r.topLeft(), r.bottomRight());
        break;
      default:
        p.drawRect(r);
        break;
    }
  }

 private:
  const ControlType type_;
  QColor line_;
  QColor fill_;
  int width_ = 1;
};

}  // namespace

struct WindowMirror::Item {
  ControlView view;
  QPointer<QWidget> widget;
  QPointer<QAction> action;
  QPointer<QMenu> menu;
  QPointer<SnapshotModel> model;
  uint64_t shown_serial = ~uint64_t{0};
  std::set<KeyCode> alerts;
  Qt::FocusPolicy focus_policy = Qt::StrongFocus;  // the widget's own, for when SKIP goes
  uint64_t made = 0;                               // the order in which controls were made
  std::map<int32_t, std::string> icon_names;       // a list's IconList as last shown
};

// Marks the mirror busy applying a command for its lifetime.
class WindowMirror::Applying {
 public:
  explicit Applying(WindowMirror& m) : m_(m) { ++m_.applying_; }
  ~Applying() { --m_.applying_; }
  Applying(const Applying&) = delete;
  Applying& operator=(const Applying&) = delete;

 private:
  WindowMirror& m_;
};

WindowMirror::WindowMirror(QtBackend& backend, const ui::WindowView& view,
                           const std::vector<ControlView>& controls, WindowMirror* frame,
                           WindowMirror* owner)
    : backend_(backend), view_(view) {
  Applying applying(*this);
  window_alerts_ = AlertsOf(view.properties);
  BuildTop(frame, owner);
  BuildMenus(controls);
  for (const ControlView& c : controls) {
    if (c.type == ControlType::kMenu || c.type == ControlType::kItem ||
        c.type == ControlType::kMenubar) {
      continue;
    }
    CreateControl(c);
  }
  for (auto& [f, item] : items_) {
    if (item->view.type == ControlType::kSheet) RebuildTabs(f);
  }
  Restack();
  SetBuddies();
  ApplyTimer();
  top_->show();
  if (auto* main = qobject_cast<QMainWindow*>(top_.data())) {
    // The frame's size is its MDI area's; the bars come on top of it.
    main->layout()->activate();
    const QRect px = PixelRect(view_.at);
    const QSize area = mdi_area_->viewport()->size();
    main->resize(main->width() + std::max(px.width(), 40) - area.width(),
                 main->height() + std::max(px.height(), 20) - area.height());
  }
  ApplyShape();
}

WindowMirror::~WindowMirror() {
  closing_ = true;
  if (timer_) timer_->stop();
  if (top_) {
    // The windows it owns are Qt children of it but have mirrors of their own, and their
    // threads may go on: they stay on screen, without an owner, rather than go with it.
    for (QWidget* child : top_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      const QVariant window = child->property(kWindowProperty);
      if (!child->isWindow() || !window.isValid() || window.toLongLong() == view_.handle) continue;
      const bool shown = child->isVisible();
      child->setParent(nullptr, child->windowFlags());
      if (shown) child->show();
    }
    // Deleted now rather than later: its widgets call back into this mirror, and an event
    // that Qt delivers to them before a later deletion (the activation change as the window
    // goes) would reach a mirror that is gone.
    delete top_;
    top_ = nullptr;
  }
}

// A child larger than the frame's area would open cut off behind the frame's edges; the frame
// grows to show it whole, as far as the screen allows. The frame's size in the model stays as
// declared: this is only how the display makes room.
void WindowMirror::GrowFrameToShow(QWidget* main, QMdiArea* area, QWidget* child) {
  if (main == nullptr || area == nullptr || child == nullptr) return;
  // The area may have pushed the child past its top-left edge to fit it; place it back.
  if (child->x() < 0 || child->y() < 0)
    child->move(std::max(0, child->x()), std::max(0, child->y()));
  const QSize missing(std::max(0, child->x() + child->width() - area->width()),
                      std::max(0, child->y() + child->height() - area->height()));
  if (missing.width() == 0 && missing.height() == 0) return;
  main->resize(WithinScreen(*main, (main->size() + missing).expandedTo(main->size())));
}

// `size` cut to the screen's available area less the window's own frame: a frame never
// grows past the screen, whatever asks it to.
QSize WindowMirror::WithinScreen(const QWidget& window, QSize size) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return size;
  const QSize decoration = window.frameGeometry().size() - window.size();
  return size.boundedTo(screen->availableGeometry().size() - decoration);
}

QRect WindowMirror::PixelRect(const ui::RectDu& du) const {
  const ui::RectDu px = ui::PixelsFromDialogUnits(du, backend_.Metrics());
  return QRect(px.x, px.y, px.width, px.height);
}

void WindowMirror::BuildTop(WindowMirror* frame, WindowMirror* owner) {
  const QRect px = PixelRect(view_.at);
  const QSize client_size(std::max(px.width(), 40), std::max(px.height(), 20));
  const QString title = Q(view_.title);
  if (view_.kind == ui::WindowKind::kFrame) {
    auto* main = MakeChild<Closable<QMainWindow>>(*this);
    mdi_area_ = MakeChild<QMdiArea>(main);
    mdi_area_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    main->setCentralWidget(mdi_area_);
    status_bar_ = main->statusBar();
    menu_bar_ = main->menuBar();
    QObject::connect(mdi_area_.data(), &QMdiArea::subWindowActivated, main,
                     [this](QMdiSubWindow* sub) {
                       if (sub == nullptr || applying()) return;
                       const QVariant h = sub->property(kWindowProperty);
                       if (!h.isValid()) return;
                       if (WindowMirror* child = backend_.Mirror(h.toLongLong())) {
                         if (child->applying()) return;
                         Input in;
                         in.kind = Input::Kind::kActivated;
                         child->Post(in);
                       }
                     });
    main->resize(WithinScreen(*main, client_size));
    if (px.x() > 0 || px.y() > 0) main->move(px.topLeft());
    top_ = main;
    client_ = mdi_area_.data();
    // The frame's own controls (a tool strip) sit in a bar above the area, as tall as they
    // reach down.
    int32_t strip_du = 0;
    if (view_.structure != nullptr) {
      for (const ui::ControlDecl& d : view_.structure->controls) {
        if (!d.IsMenuEntry() && !d.TakesNoNumber()) {
          strip_du = std::max(strip_du, d.at.y + d.at.height);
        }
      }
    }
    if (strip_du > 0) {
      auto* strip = MakeChild<QWidget>();
      strip->setFixedHeight(ui::VerticalPixels(strip_du + 2, backend_.Metrics()));
      strip->setMinimumWidth(px.width());
      QToolBar* bar = main->addToolBar(QString());
      bar->setMovable(false);
      bar->setFloatable(false);
      bar->addWidget(strip);
      client_ = strip;
    }
  } else {
    auto* container = MakeChild<QWidget>();
    auto* layout = MakeChild<QVBoxLayout>(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const bool has_menus =
        view_.structure != nullptr &&
        std::any_of(view_.structure->controls.begin(), view_.structure->controls.end(),
                    [](const ui::ControlDecl& d) { return d.IsMenuEntry(); });
    if (has_menus) {
      menu_bar_ = MakeChild<QMenuBar>(container);
      layout->setMenuBar(menu_bar_);
    }
    client_ = MakeChild<QWidget>(container);
    client_->setMinimumSize(client_size);
    client_->resize(client_size);
    layout->addWidget(client_);
    if (view_.kind == ui::WindowKind::kMdiChild && frame != nullptr && frame->mdi_area()) {
      frame_ = frame;
      auto* sub = MakeChild<Closable<QMdiSubWindow>>(*this);
      sub->setAttribute(Qt::WA_DeleteOnClose, false);
      // Tiling, cascading or the user may make the child smaller than its client, which then
      // scrolls: its declared size never holds the frame or the other children to it.
      auto* scroll = MakeChild<QScrollArea>();
      scroll->setFrameShape(QFrame::NoFrame);
      scroll->setWidgetResizable(true);
      scroll->setWidget(container);
      sub->setWidget(scroll);
      frame->mdi_area()->addSubWindow(sub);
      // The sub-window's margins hold its caption and frame; the client keeps its size.
      container->adjustSize();
      const QMargins m = sub->contentsMargins();
      sub->resize(container->size().grownBy(m));
      if (px.x() > 0 || px.y() > 0) sub->move(px.topLeft());
      // Now and once the area has shown and placed the child, which it does later.
      GrowFrameToShow(frame->top(), frame->mdi_area(), sub);
      QTimer::singleShot(
          0, sub,
          [main = QPointer<QWidget>(frame->top()), area = QPointer<QMdiArea>(frame->mdi_area()),
           child = QPointer<QWidget>(sub)] { GrowFrameToShow(main, area, child); });
      top_ = sub;
    } else {
      QWidget* parent = owner != nullptr ? owner->top() : nullptr;
      // An owned window stays above its owner.
      auto* plain = MakeChild<Closable<QWidget>>(*this, parent, Qt::Window | Qt::Dialog);
      if (parent == nullptr) plain->setWindowFlags(Qt::Window);
      auto* outer = MakeChild<QVBoxLayout>(plain);
      outer->setContentsMargins(0, 0, 0, 0);
      outer->addWidget(container);
      plain->adjustSize();
      if (px.x() > 0 || px.y() > 0) plain->move(px.topLeft());
      top_ = plain;
    }
  }
  Tag(top_, view_.handle, ui::kNoField);
  Tag(client_, view_.handle, ui::kNoField);
  top_->setWindowTitle(title);
  const QPixmap icon = LoadPicture(PropOf(view_.properties, Prop::Icon));
  if (!icon.isNull()) top_->setWindowIcon(QIcon(icon));
  ApplyPictures();
}

void WindowMirror::ApplyPictures() {
  QWidget* ground = mdi_area_ ? static_cast<QWidget*>(mdi_area_.data()) : client_.data();
  if (ground != nullptr) {
    SetWallpaper(*ground, PropOf(view_.properties, Prop::WallPaper),
                 ui::PictureModeOf(view_.properties));
  }
  if (top_) SetPictureCursor(*top_, PropOf(view_.properties, Prop::Cursor));
}

QMenuBar* WindowMirror::menu_bar() { return menu_bar_; }

void WindowMirror::BuildMenus(const std::vector<ControlView>& controls) {
  if (view_.structure == nullptr || menu_bar_ == nullptr) return;
  std::map<FieldId, const ControlView*> by_field;
  for (const ControlView& c : controls) by_field[c.field] = &c;
  const ui::WindowStructure& s = *view_.structure;
  for (size_t i = 0; i < s.controls.size(); ++i) {
    const ui::ControlDecl& d = s.controls[i];
    if (!d.IsMenuEntry()) continue;
    const FieldId parent_field = d.parent.empty() ? ui::kNoField : s.FindEquate(d.parent);
    Item* parent = parent_field != ui::kNoField ? Find(parent_field) : nullptr;
    QMenu* parent_menu = parent != nullptr ? parent->menu.data() : nullptr;
    if ((d.attrs & ui::kAttrSeparator) != 0) {
      if (parent_menu != nullptr) parent_menu->addSeparator();
      continue;
    }
    const FieldId field = s.FieldAt(i);
    const auto it = by_field.find(field);
    if (it == by_field.end()) continue;
    auto item = std::make_unique<Item>();
    item->view = *it->second;
    if (d.type == ControlType::kMenu) {
      QMenu* m =
          parent_menu != nullptr ? parent_menu->addMenu(QString()) : menu_bar_->addMenu(QString());
      item->menu = m;
      item->action = m->menuAction();
      Tag(m, view_.handle, field);
    } else {
      QWidget* owner = parent_menu != nullptr ? static_cast<QWidget*>(parent_menu) : menu_bar_;
      QAction* a = MakeChild<QAction>(owner);
      owner->addAction(a);
      item->action = a;
      QObject::connect(a, &QAction::triggered, a, [this, field] {
        if (applying()) return;
        Input in;
        in.kind = Input::Kind::kClick;
        in.field = field;
        Post(in);
      });
    }
    // The menu with the window list, or holding it, lists the frame's children after its
    // entries.
    if (Number(item->view.properties, Prop::Std, 0) ==
        static_cast<int64_t>(ui::StdAction::kWindowList)) {
      QMenu* list_menu = item->menu ? item->menu.data() : parent_menu;
      if (list_menu != nullptr) {
        QObject::connect(list_menu, &QMenu::aboutToShow, list_menu,
                         [this, list_menu] { FillWindowList(*list_menu); });
      }
    }
    Item& ref = *item;
    items_[field] = std::move(item);
    ApplyMenuEntry(ref);
  }
}

void WindowMirror::FillWindowList(QMenu& menu) {
  for (QAction* old : menu.actions()) {
    if (old->property("pexWindowList").toBool()) {
      menu.removeAction(old);
      old->deleteLater();
    }
  }
  QMdiArea* area = mdi_area_ ? mdi_area_.data() : (frame_ ? frame_->mdi_area() : nullptr);
  if (area == nullptr || area->subWindowList().isEmpty()) return;
  if (!menu.actions().isEmpty()) menu.addSeparator()->setProperty("pexWindowList", true);
  int n = 0;
  for (QMdiSubWindow* sub : area->subWindowList()) {
    QAction* entry = menu.addAction(QStringLiteral("&%1 %2").arg(++n).arg(sub->windowTitle()));
    entry->setProperty("pexWindowList", true);
    entry->setCheckable(true);
    entry->setChecked(sub == area->activeSubWindow());
    QObject::connect(entry, &QAction::triggered, entry, [area = QPointer<QMdiArea>(area), sub] {
      if (area) area->setActiveSubWindow(sub);
    });
  }
}

void WindowMirror::ApplyMenuEntry(Item& item) {
  if (!item.action) return;
  const ControlView& v = item.view;
  QString text = Q(v.text);
  item.action->setText(text);
  if (item.menu) item.menu->setTitle(text);
  item.action->setEnabled(v.enabled);
  item.action->setVisible(!Flag(v.properties, Prop::Hide));
  item.action->setStatusTip(Q(PropOf(v.properties, Prop::Msg)));
  item.action->setToolTip(Q(PropOf(v.properties, Prop::Tip)));
  const QPixmap icon = LoadPicture(PropOf(v.properties, Prop::Icon));
  // A menu bar shows an entry's icon in place of its text, and the text is what the user
  // reads there: icons show in the menus below it.
  const QObject* holder =
      item.menu ? static_cast<QObject*>(item.menu->parentWidget()) : item.action->parent();
  const bool on_bar = menu_bar_ != nullptr && holder == menu_bar_;
  item.action->setIcon(icon.isNull() || on_bar ? QIcon() : QIcon(icon));
  // A key presses the entry through the runtime (QtBackend's key filter), so it is no Qt
  // shortcut; the program writes the key into the entry's text where it wants it shown.
  item.alerts = AlertsOf(v.properties);
}

QWidget* WindowMirror::MakeWidget(Item& item) {
  const FieldId field = item.view.field;
  QWidget* parent = client_;
  auto typed = [this, field](const QString& text) {
    if (applying()) return;
    Input in;
    in.kind = Input::Kind::kTyped;
    in.field = field;
    in.text = text.toStdString();
    Post(in);
  };
  auto clicked = [this, field] {
    if (applying()) return;
    Input in;
    in.kind = Input::Kind::kClick;
    in.field = field;
    in.key = ui::kMouseLeft;
    Post(in);
  };
  auto chosen = [this, field](int index) {
    if (applying() || index < 0) return;
    Input in;
    in.kind = Input::Kind::kSelectRow;
    in.field = field;
    in.row = index + 1;
    in.column = 1;
    in.key = ui::kMouseLeft;
    Post(in);
  };
  switch (item.view.type) {
    case ControlType::kPrompt:
    case ControlType::kString: {
      auto* w = MakeChild<QLabel>(parent);
      w->setTextFormat(Qt::PlainText);
      return w;
    }
    case ControlType::kEntry: {
      auto* w = MakeChild<QLineEdit>(parent);
      QObject::connect(w, &QLineEdit::textEdited, w, typed);
      return w;
    }
    case ControlType::kText: {
      auto* w = MakeChild<QPlainTextEdit>(parent);
      QObject::connect(w, &QPlainTextEdit::textChanged, w, [w, typed] { typed(w->toPlainText()); });
      return w;
    }
    case ControlType::kButton: {
      auto* w = MakeChild<QPushButton>(parent);
      w->setAutoDefault(false);
      QObject::connect(w, &QPushButton::clicked, w, clicked);
      return w;
    }
    case ControlType::kCheck: {
      auto* w = MakeChild<QCheckBox>(parent);
      QObject::connect(w, &QCheckBox::clicked, w, clicked);
      return w;
    }
    case ControlType::kRadio: {
      auto* w = MakeChild<QRadioButton>(parent);
      w->setAutoExclusive(false);  // the option's value decides which radio is on
      const FieldId option = item.view.parent;
      const std::string value = PropOf(item.view.properties, Prop::Value);
      QObject::connect(w, &QRadioButton::clicked, w, [this, clicked, option, value] {
        clicked();
        // The choice shows at once, as the runtime puts the radio's value in its option.
        CheckRadios(option, value);
      });
      return w;
    }
    case ControlType::kGroup:
    case ControlType::kOption:
      return MakeChild<QGroupBox>(parent);
    case ControlType::kCombo:
    case ControlType::kDropCombo:
    case ControlType::kDropList: {
      auto* w = MakeChild<QComboBox>(parent);
      item.model = MakeChild<SnapshotModel>(w);
      w->setModel(item.model);
      w->setEditable(item.view.type != ControlType::kDropList);
      w->setInsertPolicy(QComboBox::NoInsert);
      QObject::connect(w, &QComboBox::activated, w, chosen);
      if (QLineEdit* edit = w->lineEdit()) {
        QObject::connect(edit, &QLineEdit::textEdited, w, typed);
        Tag(edit, view_.handle, field);
      }
      return w;
    }
    case ControlType::kSpin: {
      auto* w = MakeChild<SpinWidget>(*this, field, parent);
      item.model = MakeChild<SnapshotModel>(w);
      w->SetModel(item.model);
      return w;
    }
    case ControlType::kList: {
      auto* w = MakeChild<ListView>(*this, field, parent);
      item.model = MakeChild<SnapshotModel>(w);
      w->setModel(item.model);
      w->setItemDelegate(MakeChild<IndentDelegate>(w));
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
      w->setHorizontalScrollBarPolicy(Flag(item.view.properties, Prop::HScroll)
                                          ? Qt::ScrollBarAsNeeded
                                          : Qt::ScrollBarAlwaysOff);
      w->verticalHeader()->hide();
      // Fixed row heights keep a list of any length cheap to lay out and scroll.
      w->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
      w->horizontalHeader()->setHighlightSections(false);
      w->horizontalHeader()->setSectionsClickable(true);
      w->horizontalHeader()->setStretchLastSection(true);
      w->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      const QPalette pal = w->palette();
      item.model->SetMarkColors(pal.color(QPalette::HighlightedText),
                                pal.color(QPalette::Highlight));
      QObject::connect(w->horizontalHeader(), &QHeaderView::sectionPressed, w,
                       [this, field](int section) {
                         if (applying()) return;
                         Input in;
                         in.kind = Input::Kind::kHeaderClick;
                         in.field = field;
                         in.column = section + 1;
                         in.key = ui::kMouseLeft;
                         Post(in);
                       });
      auto follow = [this, field] { PlaceEditors(field); };
      QObject::connect(w->verticalScrollBar(), &QScrollBar::valueChanged, w, follow);
      QObject::connect(w->horizontalScrollBar(), &QScrollBar::valueChanged, w, follow);
      QObject::connect(w->horizontalHeader(), &QHeaderView::sectionResized, w, follow);
      Tag(w->viewport(), view_.handle, field);
      Tag(w->horizontalHeader(), view_.handle, field);
      return w;
    }
    case ControlType::kSheet: {
      auto* w = MakeChild<SheetWidget>(parent);
      QObject::connect(w->bar(), &QTabBar::tabBarClicked, w, [this, w](int index) {
        if (applying() || index < 0 || static_cast<size_t>(index) >= w->tabs().size()) return;
        Input in;
        in.kind = Input::Kind::kClick;
        in.field = w->tabs()[index];
        in.key = ui::kMouseLeft;
        Post(in);
      });
      Tag(w->bar(), view_.handle, field);
      return w;
    }
    case ControlType::kTab:
    case ControlType::kMenubar:
    case ControlType::kMenu:
    case ControlType::kItem:
      return nullptr;
    case ControlType::kImage:
      return MakeChild<PictureWidget>(parent);
    case ControlType::kPanel: {
      auto* w = MakeChild<QFrame>(parent);
      w->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      return w;
    }
    case ControlType::kBox:
    case ControlType::kLine:
    case ControlType::kEllipse:
      return MakeChild<ShapeWidget>(item.view.type, parent);
    case ControlType::kProgress: {
      auto* w = MakeChild<QProgressBar>(parent);
      w->setTextVisible(false);
      return w;
    }
    default: {
      auto* w = MakeChild<QFrame>(parent);
      w->setFrameStyle(QFrame::NoFrame);
      return w;
    }
  }
}

void WindowMirror::CreateControl(const ControlView& control) {
  Applying applying(*this);
  if (control.type == ControlType::kMenu || control.type == ControlType::kItem) {
    // An entry made at run time goes at the end of its menu, or of the bar.
    if (Find(control.field) != nullptr || menu_bar_ == nullptr) return;
    auto item = std::make_unique<Item>();
    item->view = control;
    Item* parent = Find(control.parent);
    QWidget* owner = parent != nullptr && parent->menu ? static_cast<QWidget*>(parent->menu.data())
                                                       : static_cast<QWidget*>(menu_bar_.data());
    if (control.type == ControlType::kMenu) {
      auto* m = MakeChild<QMenu>(owner);
      owner->addAction(m->menuAction());
      item->menu = m;
      item->action = m->menuAction();
    } else {
      auto* a = MakeChild<QAction>(owner);
      owner->addAction(a);
      item->action = a;
      const FieldId field = control.field;
      QObject::connect(a, &QAction::triggered, a, [this, field] {
        Input in;
        in.kind = Input::Kind::kClick;
        in.field = field;
        Post(in);
      });
    }
    Item& ref = *item;
    items_[control.field] = std::move(item);
    ApplyMenuEntry(ref);
    return;
  }
  if (Find(control.field) != nullptr) return UpdateControl(control);
  auto item = std::make_unique<Item>();
  item->view = control;
  item->made = ++made_;
  Item& ref = *item;
  items_[control.field] = std::move(item);
  ref.widget = MakeWidget(ref);
  if (ref.widget) {
    Tag(ref.widget, view_.handle, control.field);
    ref.focus_policy = ref.widget->focusPolicy();
  }
  Apply(ref, /*created=*/true);
  if (control.type == ControlType::kRadio) {
    if (const Item* option = Find(control.parent);
        option && option->view.type == ControlType::kOption) {
      CheckRadios(control.parent, option->view.screen_text);
    }
  }
  if (control.type == ControlType::kTab && Find(control.parent) != nullptr) {
    RebuildTabs(control.parent);
  }
  if (top_ && top_->isVisible()) {
    Restack();
    if (ref.widget) ref.widget->setVisible(control.visible);
  }
}

void WindowMirror::UpdateControl(const ControlView& control) {
  Applying applying(*this);
  Item* item = Find(control.field);
  if (item == nullptr) return;
  const bool tab_changed =
      control.type == ControlType::kTab &&
      (item->view.text != control.text ||
       Flag(item->view.properties, Prop::Hide) != Flag(control.properties, Prop::Hide));
  item->view = control;
  if (control.type == ControlType::kMenu || control.type == ControlType::kItem) {
    ApplyMenuEntry(*item);
    return;
  }
  Apply(*item, /*created=*/false);
  if (tab_changed) RebuildTabs(control.parent);
}

void WindowMirror::DestroyControl(FieldId field) {
  Applying applying(*this);
  const auto it = items_.find(field);
  if (it == items_.end()) return;
  std::unique_ptr<Item> item = std::move(it->second);
  items_.erase(it);
  if (item->widget) item->widget->deleteLater();
  if (item->menu) {
    item->menu->deleteLater();
  } else if (item->action) {
    item->action->deleteLater();
  }
  if (item->view.type == ControlType::kTab) RebuildTabs(item->view.parent);
}

void WindowMirror::PushSnapshot(FieldId field, std::shared_ptr<const ui::ListSnapshot> snapshot) {
  Applying applying(*this);
  Item* item = Find(field);
  if (item == nullptr || !item->model) return;
  if (auto* combo = qobject_cast<QComboBox*>(item->widget.data())) {
    // Refilling the entries must not take away what the combo shows.
    const QString shown = combo->currentText();
    item->model->SetSnapshot(std::move(snapshot));
    if (combo->isEditable()) {
      combo->setEditText(shown);
    } else {
      const int index = combo->findText(Q(item->view.screen_text));
      combo->setCurrentIndex(index >= 0 ? index : item->view.selected - 1);
    }
    return;
  }
  item->model->SetSnapshot(std::move(snapshot));
  if (item->view.type == ControlType::kList) ApplyList(*item);
}

void WindowMirror::Apply(Item& item, bool created) {
  if (!item.widget) return;
  ApplyCommon(item);
  ApplyScreenText(item);
  if (item.view.type == ControlType::kList) ApplyList(item);
  if (!created) {
    for (auto& [f, other] : items_) {
      // A list's editor follows the list.
      if (other->view.type == ControlType::kList) {
        for (const auto& [slot, value] : other->view.properties) {
          if (slot.first == static_cast<int32_t>(Prop::EditControl) &&
              TextToNumber(value) == item.view.field) {
            PlaceEditors(f);
          }
        }
      }
    }
  }
}

void WindowMirror::ApplyCommon(Item& item) {
  QWidget* w = item.widget;
  const ControlView& v = item.view;
  const auto& props = v.properties;
  QRect r = PixelRect(v.at);
  const QSize hint = w->sizeHint();
  if (r.width() <= 0) r.setWidth(hint.width());
  if (r.height() <= 0) r.setHeight(hint.height());
  w->setGeometry(r);
  w->setEnabled(v.enabled);
  w->setVisible(v.visible);
  w->setToolTip(Q(PropOf(props, Prop::Tip)));
  item.alerts = AlertsOf(props);
  // SKIP: the tab key passes the control by; a click still reaches it.
  w->setFocusPolicy(Flag(props, Prop::Skip) ? Qt::ClickFocus : item.focus_policy);
  SetWallpaper(*w, PropOf(props, Prop::WallPaper), ui::PictureModeOf(props));
  SetPictureCursor(*w, PropOf(props, Prop::Cursor));

  // Stored fonts and colours.
  const std::string face = PropOf(props, Prop::Font);
  const int32_t size = static_cast<int32_t>(Number(props, Prop::FontSize, 0));
  const int32_t style = static_cast<int32_t>(Number(props, Prop::FontStyle, 0));
  if (!face.empty() || size > 0 || style > 0) {
    w->setFont(FontFromStored(QApplication::font(), face, size, style));
  }
  const QColor text = ColorFromStored(Number(props, Prop::FontColor, kNoColor), w->palette());
  const QColor back = ColorFromStored(Number(props, Prop::Color, kNoColor), w->palette());
  if (text.isValid() || back.isValid()) {
    QPalette pal = w->palette();
    if (text.isValid()) {
      for (QPalette::ColorRole role :
           {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        pal.setColor(role, text);
      }
    }
    if (back.isValid() && v.type != ControlType::kBox) {
      for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        pal.setColor(role, back);
      }
      w->setAutoFillBackground(true);
    }
    w->setPalette(pal);
  }

  // A string that shows a variable (USE) shows the variable's text, which the program set as
  // its screen text; any other control shows its own text.
  const bool shows_variable = v.type == ControlType::kString && v.screen_serial != 0;
  const QString caption = Q(shows_variable ? v.screen_text : v.text);
  const QPixmap icon = LoadPicture(PropOf(props, Prop::Icon));
  switch (v.type) {
    case ControlType::kPrompt:
    case ControlType::kString: {
      auto* l = static_cast<QLabel*>(w);
      if (v.type == ControlType::kPrompt && l->buddy() != nullptr) {
        l->setTextFormat(Qt::PlainText);
        l->setText(caption);
      } else {
        l->setText(WithoutMnemonic(caption));
      }
      const char align = PropOf(props, Prop::Right).empty()
                             ? (PropOf(props, Prop::Center).empty() ? 'L' : 'C')
                             : 'R';
      l->setAlignment((align == 'R'   ? Qt::AlignRight
                       : align == 'C' ? Qt::AlignHCenter
                                      : Qt::AlignLeft) |
                      Qt::AlignVCenter);
      break;
    }
    case ControlType::kEntry: {
      auto* e = static_cast<QLineEdit*>(w);
      const std::string picture = PropOf(props, Prop::Picture);
      // "@s20": at most 20 bytes of UTF-8, as the variable holds; "@n": numbers stand on the
      // right.
      if (picture.size() > 2 && (picture[1] == 's' || picture[1] == 'S')) {
        const int n = static_cast<int>(TextToNumber(picture.substr(2)));
        auto* limit = e->findChild<ByteLimit*>(QString(), Qt::FindDirectChildrenOnly);
        if (n > 0 && limit == nullptr) {
          limit = MakeChild<ByteLimit>(e);
          e->setValidator(limit);
        }
        if (limit != nullptr) limit->set_bytes(n);
      }
      if (picture.size() > 1 && (picture[1] == 'n' || picture[1] == 'N')) {
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      e->setEchoMode(Flag(props, Prop::Password) ? QLineEdit::Password : QLineEdit::Normal);
      e->setReadOnly(Flag(props, Prop::ReadOnly));
      break;
    }
    case ControlType::kText:
      static_cast<QPlainTextEdit*>(w)->setReadOnly(Flag(props, Prop::ReadOnly));
      break;
    case ControlType::kButton: {
      auto* b = static_cast<QPushButton*>(w);
      // Qt centres icon and text as one block: blanks in front, which made room for an icon
      // elsewhere, would only push the text out of the button.
      qsizetype blanks = 0;
      while (blanks < caption.size() && caption[blanks] == QLatin1Char(' ')) ++blanks;
      b->setText(caption.mid(blanks));
      b->setIcon(icon.isNull() ? QIcon() : QIcon(icon));
      b->setDefault(Flag(props, Prop::Default));
      // A flat or transparent button draws no face: what lies beneath it shows through.
      b->setFlat(Flag(props, Prop::Flat) || Flag(props, Prop::Trn));
      break;
    }
    case ControlType::kCheck:
    case ControlType::kRadio:
      static_cast<QAbstractButton*>(w)->setText(caption);
      break;
    case ControlType::kGroup:
    case ControlType::kOption:
      static_cast<QGroupBox*>(w)->setTitle(caption);
      break;
    case ControlType::kSheet:
      static_cast<SheetWidget*>(w)->SetStripHidden(Flag(props, Prop::NoSheet));
      {
        auto* sheet = static_cast<SheetWidget*>(w);
        if (v.selected >= 1 && v.selected <= sheet->bar()->count()) {
          sheet->bar()->setCurrentIndex(v.selected - 1);
        }
      }
      break;
    case ControlType::kImage:
      static_cast<PictureWidget*>(w)->SetPicture(v.text, ui::PictureModeOf(props));
      break;
    case ControlType::kBox:
    case ControlType::kLine:
    case ControlType::kEllipse:
      static_cast<ShapeWidget*>(w)->SetColors(
          ColorFromStored(Number(props, Prop::Color, kNoColor), w->palette()),
          ColorFromStored(Number(props, Prop::Fill, kNoColor), w->palette()),
          static_cast<int>(Number(props, Prop::LineWidth, 1)));
      break;
    case ControlType::kProgress: {
      auto* p = static_cast<QProgressBar*>(w);
      const int low = static_cast<int>(Number(props, Prop::RangeLow, 0));
      const int high = static_cast<int>(Number(props, Prop::RangeHigh, 0));
      p->setRange(low, high > low ? high : 100);
      p->setValue(static_cast<int>(Number(props, Prop::Progress, 0)));
      break;
    }
    case ControlType::kSpin:
      static_cast<SpinWidget*>(w)->SetRange(
          TextToNumber(PropOf(props, Prop::RangeLow).empty() ? "0" : PropOf(props, Prop::RangeLow)),
          TextToNumber(PropOf(props, Prop::RangeHigh).empty() ? "100"
                                                              : PropOf(props, Prop::RangeHigh)),
          TextToNumber(PropOf(props, Prop::Step).empty() ? "1" : PropOf(props, Prop::Step)));
      break;
    case ControlType::kDropList: {
      // The entry on screen, else the one chosen last.
      auto* c = static_cast<QComboBox*>(w);
      const int index = c->findText(Q(v.screen_text));
      c->setCurrentIndex(index >= 0 ? index : v.selected - 1);
      break;
    }
    default:
      break;
  }
}

void WindowMirror::ApplyScreenText(Item& item) {
  const ControlView& v = item.view;
  // The program's text replaces what is on screen only when the program set it, so a
  // redisplay never wipes what the user is typing.
  if (v.screen_serial == item.shown_serial) return;
  item.shown_serial = v.screen_serial;
  const QString text = Q(v.screen_text);
  QWidget* w = item.widget;
  switch (v.type) {
    case ControlType::kEntry:
      static_cast<QLineEdit*>(w)->setText(text);
      break;
    case ControlType::kText: {
      auto* t = static_cast<QPlainTextEdit*>(w);
      if (t->toPlainText() != text) t->setPlainText(text);
      break;
    }
    case ControlType::kCheck:
      static_cast<QAbstractButton*>(w)->setChecked(TextToNumber(v.screen_text) != 0);
      break;
    case ControlType::kOption:
      CheckRadios(v.field, v.screen_text);
      break;
    case ControlType::kCombo:
    case ControlType::kDropCombo:
      static_cast<QComboBox*>(w)->setEditText(text);
      break;
    case ControlType::kDropList: {
      auto* c = static_cast<QComboBox*>(w);
      const int index = c->findText(text);
      if (index >= 0) c->setCurrentIndex(index);
      break;
    }
    case ControlType::kSpin:
      static_cast<SpinWidget*>(w)->SetText(text);
      break;
    case ControlType::kProgress:
      static_cast<QProgressBar*>(w)->setValue(static_cast<int>(TextToNumber(v.screen_text)));
      break;
    default:
      break;
  }
}

void WindowMirror::CheckRadios(FieldId option, const std::string& value) {
  for (auto& [f, item] : items_) {
    if (item->view.type != ControlType::kRadio || item->view.parent != option || !item->widget) {
      continue;
    }
    static_cast<QAbstractButton*>(item->widget.data())
        ->setChecked(PropOf(item->view.properties, Prop::Value) == value);
  }
}

void WindowMirror::ApplyList(Item& item) {
  auto* list = static_cast<ListView*>(item.widget.data());
  const ControlView& v = item.view;
  const ui::TextMetrics& m = backend_.Metrics();
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
  if (auto* delegate = dynamic_cast<IndentDelegate*>(list->itemDelegate())) {
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
  PlaceEditors(v.field);
}

void WindowMirror::PlaceEditors(FieldId list_field) {
  Item* item = Find(list_field);
  if (item == nullptr || !item->widget) return;
  auto* list = static_cast<ListView*>(item->widget.data());
  for (const auto& [slot, value] : item->view.properties) {
    if (slot.first != static_cast<int32_t>(Prop::EditControl)) continue;
    Item* editor = Find(static_cast<FieldId>(TextToNumber(value)));
    if (editor == nullptr || !editor->widget) continue;
    // The editor sits over the chosen row's cell of its column, and follows scrolling.
    const int row = item->view.selected - 1;
    const QModelIndex cell = item->model->index(row, slot.second - 1);
    const QRect rect = list->visualRect(cell);
    const bool on_screen =
        cell.isValid() && rect.isValid() && list->viewport()->rect().intersects(rect);
    if (on_screen) {
      const QPoint at = list->viewport()->mapTo(client_, rect.topLeft());
      editor->widget->setGeometry(QRect(at, rect.size()));
      editor->widget->raise();
    }
    editor->widget->setVisible(on_screen && editor->view.visible);
  }
}

void WindowMirror::RebuildTabs(FieldId sheet_field) {
  Item* sheet_item = Find(sheet_field);
  if (sheet_item == nullptr || sheet_item->view.type != ControlType::kSheet) return;
  auto* sheet = static_cast<SheetWidget*>(sheet_item->widget.data());
  QTabBar* bar = sheet->bar();
  const QSignalBlocker block(bar);
  while (bar->count() > 0) bar->removeTab(0);
  sheet->tabs().clear();
  for (const auto& [f, item] : items_) {
    if (item->view.type != ControlType::kTab || item->view.parent != sheet_field) continue;
    const int index = bar->addTab(Q(item->view.text));
    bar->setTabVisible(index, !Flag(item->view.properties, Prop::Hide));
    bar->setTabEnabled(index, item->view.enabled);
    sheet->tabs().push_back(f);
  }
  if (sheet_item->view.selected >= 1 && sheet_item->view.selected <= bar->count()) {
    bar->setCurrentIndex(sheet_item->view.selected - 1);
  }
  sheet->SetStripHidden(Flag(sheet_item->view.properties, Prop::NoSheet));
}

void WindowMirror::Restack() {
  // Containers (sheets, groups, options) lie under the controls, outer ones first. Above them
  // the windowless controls, in the order they were made, so a window image made after the
  // buttons is their background; the windowed controls keep their field order on top.
  for (auto& [f, item] : items_) {
    if (item->widget && IsContainer(item->view.type)) item->widget->raise();
  }
  std::vector<const Item*> windowless;
  for (auto& [f, item] : items_) {
    if (item->widget && IsWindowless(item->view.type)) windowless.push_back(item.get());
  }
  std::sort(windowless.begin(), windowless.end(),
            [](const Item* a, const Item* b) { return a->made < b->made; });
  for (const Item* item : windowless) item->widget->raise();
  for (auto& [f, item] : items_) {
    const ControlType t = item->view.type;
    if (item->widget && !IsContainer(t) && !IsWindowless(t)) item->widget->raise();
  }
}

void WindowMirror::SetBuddies() {
  // A prompt's mnemonic takes the focus to the next control that can have it.
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (it->second->view.type != ControlType::kPrompt || !it->second->widget) continue;
    for (auto next = std::next(it); next != items_.end(); ++next) {
      const ControlType t = next->second->view.type;
      if (t == ControlType::kEntry || t == ControlType::kText || t == ControlType::kCombo ||
          t == ControlType::kDropCombo || t == ControlType::kDropList || t == ControlType::kSpin ||
          t == ControlType::kList) {
        auto* label = static_cast<QLabel*>(it->second->widget.data());
        label->setBuddy(next->second->widget);
        label->setText(Q(it->second->view.text));
        break;
      }
    }
  }
}

void WindowMirror::ApplyTimer() {
  if (view_.timer <= 0) {
    if (timer_) timer_->stop();
    return;
  }
  if (!timer_) {
    timer_ = MakeChild<QTimer>(top_.data());
    QObject::connect(timer_.data(), &QTimer::timeout, timer_.data(), [this] {
      Input in;
      in.kind = Input::Kind::kTimer;
      Post(in);
    });
  }
  timer_->start(view_.timer * 10);  // hundredths of a second
}

void WindowMirror::Update(const ui::WindowView& view) {
  Applying applying(*this);
  const ui::RectDu before = view_.at;
  view_ = view;
  window_alerts_ = AlertsOf(view.properties);
  if (top_) top_->setWindowTitle(Q(view.title));
  ApplyPictures();
  ApplyTimer();
  ApplyGeometry(before);
  ApplyShape();
}

// A position or size the program set while the window is open. Sizes the user made come
// back through the model in whole dialog units, so a difference smaller than one unit is
// rounding and leaves the window as the user left it.
void WindowMirror::ApplyGeometry(const ui::RectDu& before) {
  if (!top_ || !client_) return;
  const ui::RectDu& at = view_.at;
  if (at.x == before.x && at.y == before.y && at.width == before.width &&
      at.height == before.height) {
    return;
  }
  const ui::TextMetrics m = backend_.Metrics();
  const int unit_x = std::max(1, m.average_char_width_px / 4);
  const int unit_y = std::max(1, m.char_height_px / 8);
  const QRect px = PixelRect(at);
  const QSize wanted(std::max(px.width(), 40), std::max(px.height(), 20));
  QWidget* sized = view_.kind == ui::WindowKind::kFrame ? top_.data() : client_.data();
  if (std::abs(sized->width() - wanted.width()) >= unit_x ||
      std::abs(sized->height() - wanted.height()) >= unit_y) {
    if (view_.kind == ui::WindowKind::kFrame) {
      top_->resize(WithinScreen(*top_, wanted));
    } else {
      client_->setMinimumSize(wanted);
      client_->resize(wanted);
      if (QWidget* container = client_->parentWidget()) container->adjustSize();
      if (auto* sub = qobject_cast<QMdiSubWindow*>(top_.data())) {
        sub->resize(client_->parentWidget()->size().grownBy(sub->contentsMargins()));
      } else {
        top_->adjustSize();
      }
    }
  }
  if ((at.x != before.x || at.y != before.y) &&
      ((top_->pos() - px.topLeft()).manhattanLength() >= unit_x)) {
    top_->move(px.topLeft());
  }
}

void WindowMirror::ApplyShape() {
  if (!top_) return;
  // Frameless with a drawn caption and frame while shaped; TopMost and Opacity.
  ApplyWindowLook(*top_, view_, backend_.SystemMetric(32), backend_.SystemMetric(4));
  const std::shared_ptr<const region::Region>& shape = view_.shape;
  if (shape && shape->empty()) {
    // An empty outline shows the window nowhere.
    hidden_by_shape_ = true;
    top_->hide();
    return;
  }
  if (hidden_by_shape_) {
    hidden_by_shape_ = false;
    top_->show();
  }
  if (!shape) {
    top_->clearMask();
    return;
  }
  QRegion mask;
  for (const region::Rect& r : shape->Rects()) {
    mask += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  top_->setMask(mask);
}

void WindowMirror::Activate() {
  Applying applying(*this);
  if (!top_) return;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(top_.data())) {
    if (frame_ != nullptr && frame_->mdi_area()) frame_->mdi_area()->setActiveSubWindow(sub);
    return;
  }
  top_->raise();
  top_->activateWindow();
}

void WindowMirror::FocusControl(FieldId field) {
  Applying applying(*this);
  Item* item = Find(field);
  if (item == nullptr || !item->widget || !top_) return;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(top_.data())) {
    if (frame_ == nullptr || !frame_->mdi_area() || frame_->mdi_area()->activeSubWindow() != sub) {
      return;
    }
  }
  item->widget->setFocus(Qt::OtherFocusReason);
}

void WindowMirror::PerformStdAction(ui::StdAction action) {
  QMdiArea* area = mdi_area_ ? mdi_area_.data() : (frame_ ? frame_->mdi_area() : nullptr);
  QWidget* focus = QApplication::focusWidget();
  auto edit = [&](auto op) {
    if (auto* e = qobject_cast<QLineEdit*>(focus)) return op(*e);
    if (auto* t = qobject_cast<QPlainTextEdit*>(focus)) return op(*t);
    if (auto* c = qobject_cast<QComboBox*>(focus); c && c->lineEdit()) return op(*c->lineEdit());
  };
  switch (action) {
    case ui::StdAction::kCut:
      edit([](auto& w) { w.cut(); });
      break;
    case ui::StdAction::kCopy:
      edit([](auto& w) { w.copy(); });
      break;
    case ui::StdAction::kPaste:
      edit([](auto& w) { w.paste(); });
      break;
    case ui::StdAction::kTile:
      if (area) area->tileSubWindows();
      break;
    case ui::StdAction::kCascade:
      if (area) area->cascadeSubWindows();
      break;
    case ui::StdAction::kArrange:
      if (area) {
        // The iconized children line up along the bottom of the area.
        int x = 0;
        for (QMdiSubWindow* sub : area->subWindowList()) {
          if (!sub->isMinimized()) continue;
          sub->move(x, area->viewport()->height() - sub->height());
          x += sub->width();
        }
      }
      break;
    default:
      break;
  }
}

void WindowMirror::Post(Input input) const { ui::PostInput(view_.handle, std::move(input)); }

void WindowMirror::PostKey(KeyCode key) const {
  Input in;
  in.kind = Input::Kind::kKey;
  in.key = key;
  Post(in);
}

void WindowMirror::PostFocus(FieldId field) {
  if (applying() || field == ui::kNoField) return;
  ShowMessageText(field);
  Input in;
  in.kind = Input::Kind::kFocus;
  in.field = field;
  Post(in);
}

bool WindowMirror::Alerted(FieldId field, KeyCode key) const {
  if (field == ui::kNoField) return window_alerts_.count(key) != 0;
  const Item* item = Find(field);
  return item != nullptr && item->alerts.count(key) != 0;
}

bool WindowMirror::PressMnemonic(QChar letter, bool press) {
  const QChar wanted = letter.toUpper();
  for (auto& [f, item] : items_) {
    const ControlView& v = item->view;
    if (!item->widget || !v.visible || !v.enabled) continue;
    if (MnemonicOf(Q(v.text)) != wanted) continue;
    switch (v.type) {
      case ControlType::kButton:
      case ControlType::kCheck:
      case ControlType::kRadio:
        if (press) {
          item->widget->setFocus(Qt::ShortcutFocusReason);
          static_cast<QAbstractButton*>(item->widget.data())->click();
        }
        return true;
      case ControlType::kPrompt:
        if (QWidget* buddy = static_cast<QLabel*>(item->widget.data())->buddy()) {
          if (press) buddy->setFocus(Qt::ShortcutFocusReason);
          return true;
        }
        break;
      default:
        break;
    }
  }
  for (auto& [f, item] : items_) {
    // A tab's mnemonic chooses it, as a click on it does.
    if (item->view.type != ControlType::kTab || !item->view.enabled) continue;
    if (Flag(item->view.properties, Prop::Hide) || MnemonicOf(Q(item->view.text)) != wanted) {
      continue;
    }
    if (press) {
      Input in;
      in.kind = Input::Kind::kClick;
      in.field = f;
      in.key = ui::kMouseLeft;
      Post(in);
    }
    return true;
  }
  return false;
}

bool WindowMirror::HasKey(KeyCode key) const {
  for (const auto& [f, item] : items_) {
    if (Number(item->view.properties, Prop::Key, 0) == key && item->view.enabled) return true;
  }
  return false;
}

void WindowMirror::PostPlacement(bool moved) {
  if (!top_ || !client_ || applying() || closing_) return;
  const ui::TextMetrics& m = backend_.Metrics();
  const QPoint at = top_->pos();
  const QSize size = client_->size();
  Input in;
  in.kind = moved ? Input::Kind::kMoved : Input::Kind::kSized;
  in.at = {at.x() * 4 / m.average_char_width_px, at.y() * 8 / m.char_height_px,
           size.width() * 4 / m.average_char_width_px, size.height() * 8 / m.char_height_px};
  Post(in);
}

void WindowMirror::CloseBoxPressed() {
  Input in;
  in.kind = Input::Kind::kCloseBox;
  Post(in);
}

WindowMirror* WindowMirror::StatusOwner() { return frame_ != nullptr ? frame_ : this; }

void WindowMirror::ShowMessageText(FieldId field) {
  WindowMirror* owner = StatusOwner();
  if (owner->status_bar() == nullptr) return;
  const Item* item = Find(field);
  const std::string msg = item != nullptr ? PropOf(item->view.properties, Prop::Msg) : "";
  if (msg.empty()) {
    owner->status_bar()->clearMessage();
  } else {
    owner->status_bar()->showMessage(Q(msg));
  }
}

WindowMirror::Item* WindowMirror::Find(FieldId field) {
  const auto it = items_.find(field);
  return it != items_.end() ? it->second.get() : nullptr;
}

const WindowMirror::Item* WindowMirror::Find(FieldId field) const {
  const auto it = items_.find(field);
  return it != items_.end() ? it->second.get() : nullptr;
}

QWidget* WindowMirror::widget(FieldId field) const {
  const Item* item = Find(field);
  return item != nullptr ? item->widget.data() : nullptr;
}

QAction* WindowMirror::action(FieldId field) const {
  const Item* item = Find(field);
  return item != nullptr ? item->action.data() : nullptr;
}

QMenu* WindowMirror::menu(FieldId field) const {
  const Item* item = Find(field);
  return item != nullptr ? item->menu.data() : nullptr;
}

ControlView WindowMirror::control(FieldId field) const {
  const Item* item = Find(field);
  return item != nullptr ? item->view : ControlView{};
}

SnapshotModel* WindowMirror::model(FieldId field) const {
  const Item* item = Find(field);
  return item != nullptr ? item->model.data() : nullptr;
}

FieldId FieldOfObject(const QObject* object, ui::WindowHandle* window) {
  for (const QObject* o = object; o != nullptr; o = o->parent()) {
    const QVariant h = o->property(kWindowProperty);
    if (h.isValid()) {
      *window = h.toLongLong();
      return o->property(kFieldProperty).toInt();
    }
  }
  *window = 0;
  return ui::kNoField;
}

}  // namespace platform::qt
