#include "platform/qt/qt_backend.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <future>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <QWindow>
#include <xcb/xcb.h>

#include "platform/qt/character_stage.h"
#include "platform/qt/key_translation.h"
#include "platform/qt/press_routing.h"
#include "platform/qt/stored_style.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

// The runtime's dialog-unit base from a font: the average width of the letters, as the
// runtime measures it, and the line height.
ui::TextMetrics MeasureApplicationFont() {
  const QFontMetrics fm(QApplication::font());
  const int letters =
      fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  ui::TextMetrics m;
  m.average_char_width_px = std::max(1, (letters / 26 + 1) / 2);
  m.char_height_px = std::max(1, fm.height());
  return m;
}

// Watches every widget's focus, keys and mouse buttons for the mirrors: the focus moving to a
// control is input, and a key the program alerted (on the focused control, its window, or
// the frame for a key the frame takes) is posted and swallowed. Other keys go to the widget.
// Presses the widgets do not report themselves go through the press router.
class InputFilter final : public QObject {
 public:
  explicit InputFilter(QtBackend& backend) : backend_(backend) {}

  bool eventFilter(QObject* object, QEvent* e) override {
    switch (e->type()) {
      case QEvent::FocusIn: {
        ui::WindowHandle window = 0;
        const ui::FieldId field = FieldOfObject(object, &window);
        if (WindowMirror* m = backend_.Mirror(window)) m->PostFocus(field);
        return false;
      }
      case QEvent::ShortcutOverride:
      case QEvent::KeyPress:
        return Key(object, static_cast<QKeyEvent*>(e));
      case QEvent::MouseMove:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick: {
        const QPoint at = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
        backend_.NoteMousePosition(at.x(), at.y());
        if (backend_.FollowSystemMove(e->type(), at)) return true;
        if (e->type() == QEvent::MouseMove) {
          MouseMoved(object, at);
          return false;
        }
        return presses_.Filter(object, e);
      }
      case QEvent::ContextMenu:
        return presses_.Filter(object, e);
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide: {
        ui::WindowHandle window = 0;
        if (FieldOfObject(object, &window) != ui::kNoField || window == 0) return false;
        if (WindowMirror* m = backend_.Mirror(window); m != nullptr && m->top() == object) {
          backend_.NoteWindowRect(window);
          // Only what the user (or the window manager) did is input.
          const bool placed = e->type() == QEvent::Move || e->type() == QEvent::Resize;
          if (placed && e->spontaneous()) m->PostPlacement(e->type() == QEvent::Move);
        }
        return false;
      }
      default:
        return false;
    }
  }

 private:
  bool Key(QObject* object, QKeyEvent* e) {
    // A key travels up the parents when a widget ignores it; it is routed once, at the
    // widget that has the focus.
    QWidget* focus = QApplication::focusWidget();
    if (object != focus && !(focus == nullptr && object->isWidgetType())) return false;
    const ui::KeyCode code = KeyCodeFromQt(e->key(), e->modifiers());
    if (code == 0) return false;
    ui::WindowHandle window = 0;
    const ui::FieldId field = FieldOfObject(object, &window);
    WindowMirror* m = backend_.Mirror(window);
    if (m == nullptr) return false;
    const bool press = e->type() == QEvent::KeyPress;
    if (code == ui::kAlt + ui::kF4Key) {
      // Alt+F4 asks the program, as the close box does.
      if (press) m->CloseBoxPressed();
      e->accept();
      return true;
    }
    // The active window's own mnemonics come before the frame's menu bar, which takes
    // Alt and a letter only where the window has no control with it.
    const int key = e->key();
    const bool letter =
        (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
    if (letter && e->modifiers() == Qt::AltModifier && !m->Alerted(field, code) &&
        !m->Alerted(ui::kNoField, code) && !m->HasKey(code) &&
        m->PressMnemonic(QChar(key), press)) {
      e->accept();
      return true;
    }
    WindowMirror* target = nullptr;
    if (m->Alerted(field, code) || m->Alerted(ui::kNoField, code) || m->HasKey(code)) {
      target = m;
    } else if (WindowMirror* frame = backend_.frame();
               frame != nullptr && frame != m &&
               (frame->Alerted(ui::kNoField, code) || frame->HasKey(code))) {
      // Keys the frame takes reach it while the focus is in one of its children.
      target = frame;
    } else if (code == ui::kEnterKey && field != ui::kNoField &&
               qobject_cast<QPlainTextEdit*>(focus) == nullptr) {
      // Enter accepts the entry and presses the default button; in a text box it is a line.
      target = m;
    }
    if (target == nullptr) return false;
    e->accept();
    if (press) target->PostKey(code);
    return true;
  }

  // A move over one of the program's windows is reported to it in its units, once per unit,
  // so MOUSEX and MOUSEY follow the mouse between events.
  void MouseMoved(QObject* object, QPoint global) {
    ui::WindowHandle window = 0;
    FieldOfObject(object, &window);
    WindowMirror* m = backend_.Mirror(window);
    if (m == nullptr) return;
    const QPoint units = m->MouseInWindowUnits(global);
    if (window == moved_window_ && units == moved_at_) return;
    moved_window_ = window;
    moved_at_ = units;
    ui::Input in;
    in.kind = ui::Input::Kind::kMouseMoved;
    in.mouse_x = units.x();
    in.mouse_y = units.y();
    m->Post(in);
  }

  QtBackend& backend_;
  PressRouter presses_{backend_};
  ui::WindowHandle moved_window_ = 0;
  QPoint moved_at_;
};

}  // namespace

namespace {

// The room the style's push button takes around its text, measured once on the GUI thread.
QSize ButtonFace() {
  QPushButton button;
  const QString text = QStringLiteral("MMMMMMMMMMMMMMMMMMMM");  // long: no minimum width applies
  button.setText(text);
  const QFontMetrics fm(button.font());
  const QSize hint = button.sizeHint();
  return QSize(std::max(0, hint.width() - fm.horizontalAdvance(text)),
               std::max(0, hint.height() - fm.height()));
}

// A caption as a label or button shows it: the "&" of a mnemonic is not shown, "&&" shows one.
QString ShownCaption(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  shown.remove(QLatin1Char('&'));
  shown.replace(QStringLiteral("\x01"), QStringLiteral("&"));
  return shown;
}

region::Rect AvailableDesktop() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QRect g = screen->availableGeometry();
  return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

}  // namespace

// On X11 the desktop composites while a compositing manager owns the screen's _NET_WM_CM_S<n>
// selection; other platforms (Wayland, offscreen) keep or show a window's opacity themselves.
bool QtBackend::ShowsOpacity() const {
  const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return true;
  xcb_connection_t* c = x11->connection();
  const std::string name = "_NET_WM_CM_S0";
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
  if (atom == nullptr) return false;
  const xcb_atom_t selection = atom->atom;
  std::free(atom);
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
  if (owner == nullptr) return false;
  const bool composites = owner->owner != XCB_NONE;
  std::free(owner);
  return composites;
}

QtBackend::QtBackend()
    : metrics_(MeasureApplicationFont()),
      caption_px_(QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight)),
      frame_px_(QApplication::style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth)),
      desktop_(AvailableDesktop()),
      edge_px_(QApplication::style()->pixelMetric(QStyle::PM_DefaultFrameWidth)),
      button_face_px_(ButtonFace()),
      context_(std::make_unique<InputFilter>(*this)),
      characters_(std::make_unique<CharacterStage>()) {
  qApp->installEventFilter(context_.get());
}

agent::CharacterDisplay* QtBackend::Characters() { return characters_->display(); }

QtBackend::~QtBackend() {
  qApp->removeEventFilter(context_.get());
  // Mirrors go before the receiver of their commands.
  windows_.clear();
  if (wait_cursor_shown_) QApplication::restoreOverrideCursor();
}

void QtBackend::OnGui(std::function<void()> f) {
  QMetaObject::invokeMethod(context_.get(), std::move(f), Qt::QueuedConnection);
}

template <class T>
T QtBackend::AskGui(std::function<T()> f, T fallback) {
  if (QThread::currentThread() == context_->thread()) return f();
  auto answer = std::make_shared<std::promise<T>>();
  std::future<T> result = answer->get_future();
  OnGui([f = std::move(f), answer] { answer->set_value(f()); });
  try {
    return result.get();
  } catch (const std::future_error&) {
    // The GUI thread went away before it could ask: nothing was chosen.
    return fallback;
  }
}

WindowMirror* QtBackend::Mirror(ui::WindowHandle window) const {
  const auto it = windows_.find(window);
  return it != windows_.end() ? it->second.get() : nullptr;
}

std::vector<ui::WindowHandle> QtBackend::Windows() const { return order_; }

ui::WindowHandle QtBackend::FindWindow(std::string_view name) const {
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
    const ui::WindowView& v = windows_.at(*it)->view();
    if (v.title == name || v.label == name) return *it;
  }
  return 0;
}

WindowMirror* QtBackend::frame() const {
  for (const auto& [h, m] : windows_) {
    if (m->view().kind == ui::WindowKind::kFrame) return m.get();
  }
  return nullptr;
}

void QtBackend::CreateWindow(const ui::WindowView& window,
                             const std::vector<ui::ControlView>& controls) {
  {
    std::lock_guard lock(desktop_mutex_);
    creating_.insert(window.handle);
  }
  OnGui([this, window, controls] {
    if (windows_.count(window.handle) != 0) {
      NoteWindowRect(window.handle);
      return;
    }
    WindowMirror* frame_mirror = window.kind == ui::WindowKind::kMdiChild ? frame() : nullptr;
    auto mirror =
        std::make_unique<WindowMirror>(*this, window, controls, frame_mirror, Mirror(window.owner));
    windows_[window.handle] = std::move(mirror);
    order_.push_back(window.handle);
    // The mirror showed its window before it was known here.
    NoteWindowRect(window.handle);
  });
}

void QtBackend::UpdateWindow(const ui::WindowView& window) {
  OnGui([this, window] {
    if (WindowMirror* m = Mirror(window.handle)) m->Update(window);
  });
}

void QtBackend::CreateControl(ui::WindowHandle window, const ui::ControlView& control) {
  OnGui([this, window, control] {
    if (WindowMirror* m = Mirror(window)) m->CreateControl(control);
  });
}

void QtBackend::UpdateControl(ui::WindowHandle window, const ui::ControlView& control) {
  OnGui([this, window, control] {
    if (WindowMirror* m = Mirror(window)) m->UpdateControl(control);
  });
}

void QtBackend::DestroyControl(ui::WindowHandle window, ui::FieldId field) {
  OnGui([this, window, field] {
    if (WindowMirror* m = Mirror(window)) m->DestroyControl(field);
  });
}

void QtBackend::PushListSnapshot(ui::WindowHandle window, ui::FieldId field,
                                 std::shared_ptr<const ui::ListSnapshot> snapshot) {
  OnGui([this, window, field, snapshot = std::move(snapshot)]() mutable {
    if (WindowMirror* m = Mirror(window)) m->PushSnapshot(field, std::move(snapshot));
  });
}

void QtBackend::DestroyWindow(ui::WindowHandle window) {
  OnGui([this, window] {
    order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
    windows_.erase(window);
    std::lock_guard lock(desktop_mutex_);
    rects_.erase(window);
    creating_.erase(window);
    created_.notify_all();
  });
}

void QtBackend::ActivateWindow(ui::WindowHandle window) {
  OnGui([this, window] {
    if (WindowMirror* m = Mirror(window)) m->Activate();
  });
}

void QtBackend::FocusControl(ui::WindowHandle window, ui::FieldId field) {
  OnGui([this, window, field] {
    if (WindowMirror* m = Mirror(window)) m->FocusControl(field);
  });
}

void QtBackend::StartSystemMove(ui::WindowHandle window) {
  OnGui([this, window] {
    WindowMirror* m = Mirror(window);
    QWidget* top = m != nullptr ? m->top() : nullptr;
    if (top == nullptr || !top->isWindow() || !top->isVisible()) return;
    if (QWindow* native = top->windowHandle(); native != nullptr && native->startSystemMove()) {
      return;
    }
    // No window manager that moves windows for us (offscreen, or none running).
    const region::Point mouse = MousePosition();
    moving_ = window;
    moving_from_ = QPoint(mouse.x, mouse.y);
    moving_start_ = top->pos();
    top->grabMouse();
  });
}

bool QtBackend::FollowSystemMove(QEvent::Type type, QPoint global) {
  if (moving_ == 0) return false;
  WindowMirror* m = Mirror(moving_);
  QWidget* top = m != nullptr ? m->top() : nullptr;
  if (top == nullptr) {
    moving_ = 0;
    return false;
  }
  if (type == QEvent::MouseMove) {
    top->move(moving_start_ + global - moving_from_);
    NoteWindowRect(moving_);
    m->PostPlacement(/*moved=*/true);
  } else {
    top->releaseMouse();
    moving_ = 0;
  }
  return true;
}

void QtBackend::ShowSystemMenu(ui::WindowHandle window) {
  OnGui([this, window] {
    WindowMirror* m = Mirror(window);
    QMenu* menu = m != nullptr ? m->MakeSystemMenu() : nullptr;
    if (menu == nullptr) return;
    if (dialog_hook_) dialog_hook_(*menu);
    menu->popup(m->top()->mapToGlobal(QPoint(0, 0)));
  });
}

void QtBackend::PerformStdAction(ui::WindowHandle window, ui::StdAction action) {
  OnGui([this, window, action] {
    if (WindowMirror* m = Mirror(window)) m->PerformStdAction(action);
  });
}

void QtBackend::SetCursor(ui::ThreadId thread, ui::Cursor cursor) {
  OnGui([this, thread, cursor] {
    cursors_[thread] = cursor;
    ApplyCursor();
  });
}

void QtBackend::ApplyCursor() {
  const bool wait = std::any_of(cursors_.begin(), cursors_.end(),
                                [](const auto& c) { return c.second == ui::Cursor::kWait; });
  if (wait == wait_cursor_shown_) return;
  wait_cursor_shown_ = wait;
  if (wait) {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtBackend::Beep(int32_t /*sound*/) {
  OnGui([] { QApplication::beep(); });
}

void QtBackend::ProgramEnded() {
  OnGui([this] {
    program_ended_ = true;
    if (ended_) {
      ended_();
    } else {
      QCoreApplication::quit();
    }
  });
}

int32_t QtBackend::SystemMetric(int32_t index) const {
  switch (index) {
    case 4:  // caption height
      return caption_px_;
    case 32:  // frame width
    case 33:  // frame height
      return frame_px_;
    case 45:  // edge width
    case 46:  // edge height
      return edge_px_;
    default:
      return 0;
  }
}

ui::SizePx QtBackend::NaturalSize(ui::WindowHandle /*window*/,
                                  const ui::ControlView& control) const {
  // Fonts and their metrics may be used off the GUI thread; no widget is needed.
  const auto& props = control.properties;
  const QFont font = FontFromStored(QApplication::font(), PropOf(props, ui::Prop::Font),
                                    static_cast<int32_t>(Number(props, ui::Prop::FontSize, 0)),
                                    static_cast<int32_t>(Number(props, ui::Prop::FontStyle, 0)));
  const QFontMetrics fm(font);
  ui::SizePx size{fm.horizontalAdvance(ShownCaption(control.text)), fm.height()};
  if (control.type == ui::ControlType::kButton) {
    size.width += button_face_px_.width();
    size.height += button_face_px_.height();
  }
  return size;
}

region::Rect QtBackend::WindowRect(ui::WindowHandle window) const {
  std::unique_lock lock(desktop_mutex_);
  if (creating_.contains(window) && QThread::currentThread() != context_->thread()) {
    // The GUI thread never takes the runtime lock, so it gets there; the bound is for a GUI
    // thread that stopped running its event loop.
    created_.wait_for(lock, std::chrono::seconds(5), [&] { return !creating_.contains(window); });
  }
  const auto it = rects_.find(window);
  return it != rects_.end() ? it->second : region::Rect{};
}

region::Point QtBackend::MousePosition() const {
  std::lock_guard lock(desktop_mutex_);
  return mouse_;
}

void QtBackend::SetMousePosition(int32_t x, int32_t y) {
  NoteMousePosition(x, y);
  OnGui([x, y] { QCursor::setPos(x, y); });
}

void QtBackend::NoteMousePosition(int32_t x, int32_t y) {
  std::lock_guard lock(desktop_mutex_);
  mouse_ = {x, y};
}

void QtBackend::NoteWindowRect(ui::WindowHandle window) {
  WindowMirror* m = Mirror(window);
  QWidget* top = m != nullptr ? m->top() : nullptr;
  region::Rect r;
  if (top != nullptr && top->isVisible()) {
    // A sub-window's geometry is in its area; a top-level window's frame is on the screen.
    const QRect g =
        top->isWindow() ? top->frameGeometry() : QRect(top->mapToGlobal(QPoint(0, 0)), top->size());
    r = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
  }
  std::lock_guard lock(desktop_mutex_);
  if (top != nullptr) rects_[window] = r;
  if (creating_.erase(window) != 0) created_.notify_all();
}

void QtBackend::SynthesizeMouseButton(int32_t button, bool down) {
  const region::Point at = MousePosition();
  OnGui([this, button, down, at] {
    const QPoint global(at.x, at.y);
    QWidget* target = WidgetAt(global);
    if (target == nullptr) return;
    const Qt::MouseButton b = button == 2   ? Qt::RightButton
                              : button == 3 ? Qt::MiddleButton
                                            : Qt::LeftButton;
    const QPointF local = target->mapFromGlobal(QPointF(global));
    QMouseEvent e(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, local,
                  QPointF(global), b, down ? b : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
  });
}

QWidget* QtBackend::WidgetAt(QPoint global) const {
  // Qt's own search (QApplication::widgetAt) asks a top-level window for its rectangle only,
  // not its mask; inside a window, childAt honours the masks of the widgets.
  std::vector<QWidget*> stack;
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
    QWidget* top = windows_.at(*it)->top();
    if (top != nullptr && top->isWindow() && top->isVisible()) stack.push_back(top);
  }
  std::stable_partition(stack.begin(), stack.end(), [](const QWidget* top) {
    return top->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  });
  for (QWidget* top : stack) {
    const QPoint local = top->mapFromGlobal(global);
    if (!top->rect().contains(local)) continue;
    const QRegion mask = top->mask();
    if (!mask.isEmpty() && !mask.contains(local)) continue;
    QWidget* child = top->childAt(local);
    return child != nullptr ? child : top;
  }
  return nullptr;
}

int32_t QtBackend::ShowMessage(const MessageRequest& request) {
  return AskGui<int32_t>([this, &request] { return RunMessageBox(request); }, 0);
}

bool QtBackend::ShowStop(std::string_view text) {
  return AskGui<bool>([this, text] { return RunStopBox(text); }, false);
}

int32_t QtBackend::ShowPopup(const ui::PopupRequest& request) {
  return AskGui<int32_t>([this, &request] { return RunPopup(request); }, 0);
}

bool QtBackend::ShowFileDialog(ui::FileDialogRequest& request) {
  return AskGui<bool>([this, &request] { return RunFileDialog(request); }, false);
}

bool QtBackend::ShowFontDialog(std::string_view title, ui::FontChoice& font) {
  return AskGui<bool>([this, title, &font] { return RunFontDialog(title, font); }, false);
}

bool QtBackend::ShowColorDialog(std::string_view title, int32_t& color) {
  return AskGui<bool>([this, title, &color] { return RunColorDialog(title, color); }, false);
}

QWidget* QtBackend::DialogParent() const {
  if (QWidget* active = QApplication::activeWindow()) return active;
  if (WindowMirror* f = frame()) return f->top();
  if (!order_.empty()) {
    if (WindowMirror* m = Mirror(order_.back())) return m->top() ? m->top()->window() : nullptr;
  }
  return nullptr;
}

}  // namespace platform::qt
