#include "platform/qt/window_mirror.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "platform/core/number.h"
#include "platform/qt/key_translation.h"
#include "platform/qt/menu_bar_hilite.h"
#include "platform/qt/picture_widget.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/snapshot_model.h"
#include "platform/qt/stored_style.h"
#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/ui/picture_mode.h"
#include "platform/ui/structure.h"

namespace platform::qt {

using ui::ControlView;
using ui::FieldId;
using ui::Input;
using ui::KeyCode;
using ui::Prop;

namespace {

// The dynamic properties that lead from any widget to its window and field.
constexpr char kWindowProperty[] = "pexWindow";
constexpr char kFieldProperty[] = "pexField";

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

}  // namespace

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
    if (!WidgetFamilyOf(c.type).built_with_menus()) CreateControl(c);
  }
  for (auto& [f, item] : items_) WidgetFamilyOf(item->view.type).Built(*this, *item);
  Restack();
  SetBuddies();
  ApplyTimer();
  // A window shown nowhere is never shown, so it takes no activation from the user's window.
  if (!view_.shown_nowhere() && !view_.hidden) top_->show();
  if (auto* main = qobject_cast<QMainWindow*>(top_.data())) {
    // The frame's size is its MDI area's; the bars come on top of it.
    main->layout()->activate();
    const QRect px = PixelRect(view_.at);
    const QSize area = mdi_area_->viewport()->size();
    main->resize(main->width() + std::max(px.width(), 40) - area.width(),
                 main->height() + std::max(px.height(), 20) - area.height());
  }
  ApplyShape();
  ApplyMaximized();
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
        if (!d.IsMenuEntry() && !d.IsMenubar()) {
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
  TagObject(top_, view_.handle, ui::kNoField);
  TagObject(client_, view_.handle, ui::kNoField);
  top_->setWindowTitle(title);
  ApplyPictures();
  ApplyLook();
}

void WindowMirror::ApplyPictures() {
  const std::string icon_name = PropOf(view_.properties, Prop::Icon);
  if (top_ && icon_name != shown_icon_) {
    shown_icon_ = icon_name;
    const QPixmap icon = LoadPicture(icon_name);
    top_->setWindowIcon(icon.isNull() ? QIcon() : QIcon(icon));
  }
  QWidget* ground = mdi_area_ ? static_cast<QWidget*>(mdi_area_.data()) : client_.data();
  if (ground != nullptr) {
    SetWallpaper(*ground, PropOf(view_.properties, Prop::WallPaper),
                 ui::PictureModeOf(view_.properties));
  }
  if (top_) SetPictureCursor(*top_, PropOf(view_.properties, Prop::Cursor));
}

void WindowMirror::ApplyLook() {
  if (!client_) return;
  // The window's font and text colour are those of every control without its own. Its
  // colour fills the client; a frame's fills the area its children sit in.
  ApplyStoredLook(*client_, view_.properties, /*fill=*/!mdi_area_);
  // A wallpaper keeps the area's background its own.
  if (mdi_area_ && PropOf(view_.properties, Prop::WallPaper).empty()) {
    constexpr char kGround[] = "pexGround";  // the area's own background, kept once
    if (!mdi_area_->property(kGround).isValid()) {
      mdi_area_->setProperty(kGround, mdi_area_->background());
    }
    const QColor back =
        ColorFromStored(Number(view_.properties, Prop::Color, kNoColor), mdi_area_->palette());
    mdi_area_->setBackground(back.isValid() ? QBrush(back)
                                            : mdi_area_->property(kGround).value<QBrush>());
  }
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
    WidgetItem* parent = parent_field != ui::kNoField ? Find(parent_field) : nullptr;
    QMenu* parent_menu = parent != nullptr ? parent->menu.data() : nullptr;
    if (d.IsSeparator()) {
      if (parent_menu != nullptr) parent_menu->addSeparator();
      continue;
    }
    const FieldId field = s.FieldAt(i);
    const auto it = by_field.find(field);
    if (it == by_field.end()) continue;
    auto item = std::make_unique<WidgetItem>();
    item->view = *it->second;
    QWidget* owner = parent_menu != nullptr ? static_cast<QWidget*>(parent_menu) : menu_bar_;
    WidgetFamilyOf(d.type).MakeMenuEntry(*this, *item, owner);
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
    WidgetItem& ref = *item;
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

void WindowMirror::ApplyMenuEntry(WidgetItem& item) {
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

void WindowMirror::CreateControl(const ControlView& control) {
  Applying applying(*this);
  const WidgetFamily& family = WidgetFamilyOf(control.type);
  if (family.menu_entry()) {
    // An entry made at run time goes at the end of its menu, or of the bar.
    if (Find(control.field) != nullptr || menu_bar_ == nullptr) return;
    auto item = std::make_unique<WidgetItem>();
    item->view = control;
    WidgetItem* parent = Find(control.parent);
    QWidget* owner = parent != nullptr && parent->menu ? static_cast<QWidget*>(parent->menu.data())
                                                       : static_cast<QWidget*>(menu_bar_.data());
    family.MakeMenuEntry(*this, *item, owner);
    WidgetItem& ref = *item;
    items_[control.field] = std::move(item);
    ApplyMenuEntry(ref);
    return;
  }
  if (Find(control.field) != nullptr) return UpdateControl(control);
  auto item = std::make_unique<WidgetItem>();
  item->view = control;
  item->made = ++made_;
  WidgetItem& ref = *item;
  items_[control.field] = std::move(item);
  ref.widget = family.Make(*this, ref);
  if (ref.widget) {
    TagObject(ref.widget, view_.handle, control.field);
    ref.focus_policy = ref.widget->focusPolicy();
  }
  Apply(ref, /*created=*/true);
  family.Created(*this, ref);
  if (top_ && top_->isVisible()) {
    Restack();
    if (ref.widget) ref.widget->setVisible(control.visible);
  }
}

void WindowMirror::UpdateControl(const ControlView& control) {
  Applying applying(*this);
  WidgetItem* item = Find(control.field);
  if (item == nullptr) return;
  const ControlView before = std::move(item->view);
  item->view = control;
  const WidgetFamily& family = WidgetFamilyOf(control.type);
  if (family.menu_entry()) {
    ApplyMenuEntry(*item);
    return;
  }
  Apply(*item, /*created=*/false);
  family.Updated(*this, *item, before);
}

void WindowMirror::DestroyControl(FieldId field) {
  Applying applying(*this);
  const auto it = items_.find(field);
  if (it == items_.end()) return;
  std::unique_ptr<WidgetItem> item = std::move(it->second);
  items_.erase(it);
  if (item->widget) item->widget->deleteLater();
  if (item->menu) {
    item->menu->deleteLater();
  } else if (item->action) {
    item->action->deleteLater();
  }
  WidgetFamilyOf(item->view.type).Destroyed(*this, item->view);
}

void WindowMirror::PushSnapshot(FieldId field, std::shared_ptr<const ui::ListSnapshot> snapshot) {
  Applying applying(*this);
  WidgetItem* item = Find(field);
  if (item == nullptr || !item->model) return;
  WidgetFamilyOf(item->view.type).PushSnapshot(*this, *item, std::move(snapshot));
}

void WindowMirror::Apply(WidgetItem& item, bool created) {
  if (!item.widget) return;
  const WidgetFamily& family = WidgetFamilyOf(item.view.type);
  const QRect rect = ApplyCommon(item, family);
  family.Apply(*this, item, rect);
  ApplyScreenText(item, family);
  if (!created) {
    for (auto& [f, other] : items_) {
      WidgetFamilyOf(other->view.type).OtherChanged(*this, *other, item.view.field);
    }
  }
}

QRect WindowMirror::ApplyCommon(WidgetItem& item, const WidgetFamily& family) {
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

  ApplyStoredLook(*w, props, family.FillsBackground(item));

  return r;
}

void WindowMirror::ApplyScreenText(WidgetItem& item, const WidgetFamily& family) {
  // The program's text replaces what is on screen only when the program set it, so a
  // redisplay never wipes what the user is typing.
  if (item.view.screen_serial == item.shown_serial) return;
  item.shown_serial = item.view.screen_serial;
  family.ApplyScreenText(*this, item);
}

void WindowMirror::Restack() {
  // Containers (sheets, groups, options) lie under the controls, outer ones first. Above them
  // the windowless controls, in the order they were made, so a window image made after the
  // buttons is their background; the windowed controls keep their field order on top.
  std::vector<const WidgetItem*> windowless;
  std::vector<const WidgetItem*> windowed;
  for (auto& [f, item] : items_) {
    if (!item->widget) continue;
    const WidgetFamily& family = WidgetFamilyOf(item->view.type);
    if (family.LiesUnder(*item)) {
      item->widget->raise();
    } else if (family.Windowless(*item)) {
      windowless.push_back(item.get());
    } else {
      windowed.push_back(item.get());
    }
  }
  std::sort(windowless.begin(), windowless.end(),
            [](const WidgetItem* a, const WidgetItem* b) { return a->made < b->made; });
  for (const WidgetItem* item : windowless) item->widget->raise();
  for (const WidgetItem* item : windowed) item->widget->raise();
}

void WindowMirror::SetBuddies() {
  // A prompt's mnemonic takes the focus to the next control that can have it.
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    const WidgetFamily& family = WidgetFamilyOf(it->second->view.type);
    if (!it->second->widget || !family.NamesBuddy(*it->second)) continue;
    for (auto next = std::next(it); next != items_.end(); ++next) {
      if (WidgetFamilyOf(next->second->view.type).takes_buddy()) {
        family.SetBuddy(*it->second, next->second->widget);
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
  ApplyLook();
  if (menu_bar_) ShowMenuBarHilite(*menu_bar_, Number(view.properties, Prop::MenuBarHilite, 0));
  ApplyTimer();
  ApplyMaximized();
  ApplyGeometry(before);
  ApplyShape();
  ApplyHidden();
}

void WindowMirror::Activate() {
  Applying applying(*this);
  if (!top_ || view_.shown_nowhere()) return;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(top_.data())) {
    if (frame_ != nullptr && frame_->mdi_area()) frame_->mdi_area()->setActiveSubWindow(sub);
    return;
  }
  top_->raise();
  top_->activateWindow();
}

void WindowMirror::FocusControl(FieldId field) {
  Applying applying(*this);
  WidgetItem* item = Find(field);
  if (item == nullptr || !item->widget || !top_ || view_.shown_nowhere()) return;
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

void WindowMirror::Post(Input input) const {
  if (input.mouse_x == 0 && input.mouse_y == 0) {
    const region::Point at = backend_.MousePosition();
    const QPoint units = MouseInWindowUnits(QPoint(at.x, at.y));
    input.mouse_x = units.x();
    input.mouse_y = units.y();
  }
  ui::PostInput(view_.handle, std::move(input));
}

QPoint WindowMirror::MouseInWindowUnits(QPoint global) const {
  if (!client_) return {};
  const QPoint px = client_->mapFromGlobal(global);
  if (Flag(view_.properties, Prop::Pixels)) return px;
  const ui::TextMetrics m = backend_.Metrics();
  const auto units = [](int pixels, int per, int unit) {
    // Rounded down, left of and above the client area too.
    const int scaled = pixels * unit;
    return scaled >= 0 ? scaled / per : -((-scaled + per - 1) / per);
  };
  return {units(px.x(), std::max(1, m.average_char_width_px), 4),
          units(px.y(), std::max(1, m.char_height_px), 8)};
}

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
  const WidgetItem* item = Find(field);
  return item != nullptr && item->alerts.count(key) != 0;
}

bool WindowMirror::PressMnemonic(QChar letter, bool press) {
  const QChar wanted = letter.toUpper();
  // The controls with widgets first, then those shown inside another control (tabs).
  for (auto& [f, item] : items_) {
    const ControlView& v = item->view;
    if (!item->widget || !v.visible || !v.enabled) continue;
    if (MnemonicOf(Q(v.text)) != wanted) continue;
    if (WidgetFamilyOf(v.type).PressMnemonic(*this, *item, press)) return true;
  }
  for (auto& [f, item] : items_) {
    if (item->widget || MnemonicOf(Q(item->view.text)) != wanted) continue;
    if (WidgetFamilyOf(item->view.type).PressMnemonic(*this, *item, press)) return true;
  }
  return false;
}

bool WindowMirror::HasKey(KeyCode key) const {
  for (const auto& [f, item] : items_) {
    if (Number(item->view.properties, Prop::Key, 0) == key && item->view.enabled) return true;
  }
  return false;
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
  const WidgetItem* item = Find(field);
  const std::string msg = item != nullptr ? PropOf(item->view.properties, Prop::Msg) : "";
  if (msg.empty()) {
    owner->status_bar()->clearMessage();
  } else {
    owner->status_bar()->showMessage(Q(msg));
  }
}

WidgetItem* WindowMirror::Find(FieldId field) {
  const auto it = items_.find(field);
  return it != items_.end() ? it->second.get() : nullptr;
}

const WidgetItem* WindowMirror::Find(FieldId field) const {
  const auto it = items_.find(field);
  return it != items_.end() ? it->second.get() : nullptr;
}

QWidget* WindowMirror::widget(FieldId field) const {
  const WidgetItem* item = Find(field);
  return item != nullptr ? item->widget.data() : nullptr;
}

QAction* WindowMirror::action(FieldId field) const {
  const WidgetItem* item = Find(field);
  return item != nullptr ? item->action.data() : nullptr;
}

QMenu* WindowMirror::menu(FieldId field) const {
  const WidgetItem* item = Find(field);
  return item != nullptr ? item->menu.data() : nullptr;
}

ControlView WindowMirror::control(FieldId field) const {
  const WidgetItem* item = Find(field);
  return item != nullptr ? item->view : ControlView{};
}

SnapshotModel* WindowMirror::model(FieldId field) const {
  const WidgetItem* item = Find(field);
  return item != nullptr ? item->model.data() : nullptr;
}

ui::TextMetrics WindowMirror::metrics() const { return backend_.Metrics(); }

void TagObject(QObject* object, ui::WindowHandle window, FieldId field) {
  object->setProperty(kWindowProperty, QVariant::fromValue<qlonglong>(window));
  object->setProperty(kFieldProperty, field);
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
