#include "platform/qt/press_routing.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWidget>

#include "platform/qt/key_translation.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/window_mirror.h"
#include "platform/ui/control_family.h"

namespace platform::qt {
namespace {

using ui::FieldId;
using ui::Input;
using ui::KeyCode;

// The mouse code of a press of `button`; 0 for a button the runtime hears of no other way
// than through its widgets.
KeyCode PressCode(Qt::MouseButton button, bool twice) {
  switch (button) {
    case Qt::LeftButton:
      return twice ? ui::kMouseLeft2 : ui::kMouseLeft;
    case Qt::RightButton:
      return twice ? ui::kMouseRight2 : ui::kMouseRight;
    default:
      return 0;
  }
}

bool ActsOnPress(const WidgetItem& item) { return ui::FamilyOf(item.view.type).acts_on_press; }

}  // namespace

FieldId PressTarget(const WindowMirror& mirror, const QObject* receiver, QPoint global,
                    KeyCode code, bool* windowed) {
  ui::WindowHandle window = 0;
  const FieldId own = FieldOfObject(receiver, &window);
  *windowed = false;
  // A disabled control takes no press: the press is the window's, as where there is none.
  if (const WidgetItem* item = mirror.Find(own);
      item != nullptr && !WidgetFamilyOf(item->view.type).Windowless(*item)) {
    if (item->widget == nullptr || !item->widget->isEnabled()) return ui::kNoField;
    *windowed = true;
    return own;
  }
  // The surface's controls lie in the order they were made, the last on top.
  const WidgetItem* best = nullptr;
  for (const auto& [field, item] : mirror.items()) {
    const QWidget* w = item->widget;
    if (w == nullptr || !w->isVisible() || !w->isEnabled()) continue;
    if (!WidgetFamilyOf(item->view.type).Windowless(*item)) continue;
    if (!ActsOnPress(*item) && item->alerts.count(code) == 0) continue;
    if (!w->rect().contains(w->mapFromGlobal(global))) continue;
    if (best == nullptr || item->made > best->made) best = item.get();
  }
  return best != nullptr ? best->view.field : ui::kNoField;
}

bool PressRouter::Filter(QObject* object, QEvent* e) {
  // The window system's window sees each event before the widget under the mouse does.
  if (!object->isWidgetType()) return false;
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const auto& mouse = static_cast<const QMouseEvent&>(*e);
      return !Repeated(mouse) && Press(object, mouse);
    }
    case QEvent::MouseButtonRelease: {
      const auto& mouse = static_cast<const QMouseEvent&>(*e);
      if (!Repeated(mouse)) Release(mouse);
      return false;
    }
    case QEvent::ContextMenu: {
      // The right press that asks for a widget's own menu is the program's when it alerts it.
      const auto& menu = static_cast<const QContextMenuEvent&>(*e);
      if (menu.reason() != QContextMenuEvent::Mouse) return false;
      ui::WindowHandle window = 0;
      const FieldId field = FieldOfObject(object, &window);
      const WindowMirror* m = backend_.Mirror(window);
      const KeyCode code = ui::kMouseRight + ModifierCodes(menu.modifiers());
      return m != nullptr && (m->Alerted(field, code) || m->Alerted(ui::kNoField, code));
    }
    default:
      return false;
  }
}

bool PressRouter::Press(QObject* object, const QMouseEvent& e) {
  ui::WindowHandle window = 0;
  FieldOfObject(object, &window);
  const WindowMirror* m = backend_.Mirror(window);
  const KeyCode base = PressCode(e.button(), e.type() == QEvent::MouseButtonDblClick);
  if (m == nullptr || base == 0 || m->applying()) return false;
  const KeyCode code = base + ModifierCodes(e.modifiers());
  const QPoint global = e.globalPosition().toPoint();
  bool windowed = false;
  const FieldId field = PressTarget(*m, object, global, code, &windowed);
  const bool alerted = m->Alerted(field, code) || m->Alerted(ui::kNoField, code);
  if (e.button() == Qt::LeftButton) {
    // A windowed control reports its own left presses (a click, a chosen row).
    if (windowed) return false;
    const WidgetItem* item = m->Find(field);
    if (!alerted && (item == nullptr || !ActsOnPress(*item))) return false;
  }
  Input in;
  in.kind = Input::Kind::kMouseDown;
  in.field = field;
  in.key = code;
  const QPoint units = m->MouseInWindowUnits(global);
  in.mouse_x = units.x();
  in.mouse_y = units.y();
  m->Post(in);
  held_[e.button()] = {window, field};
  return e.button() == Qt::RightButton && alerted;
}

void PressRouter::Release(const QMouseEvent& e) {
  const auto it = held_.find(e.button());
  if (it == held_.end()) return;
  const Held held = it->second;
  held_.erase(it);
  const WindowMirror* m = backend_.Mirror(held.window);
  if (m == nullptr) return;
  Input in;
  in.kind = Input::Kind::kMouseUp;
  in.field = held.field;
  in.key = (e.button() == Qt::RightButton ? ui::kMouseRightUp : ui::kMouseLeftUp) +
           ModifierCodes(e.modifiers());
  const QPoint units = m->MouseInWindowUnits(e.globalPosition().toPoint());
  in.mouse_x = units.x();
  in.mouse_y = units.y();
  m->Post(in);
}

bool PressRouter::Repeated(const QMouseEvent& e) {
  const Seen now{static_cast<int>(e.type()), static_cast<int>(e.button()), e.timestamp(),
                 e.globalPosition()};
  const bool same = now.type == seen_.type && now.button == seen_.button &&
                    now.timestamp == seen_.timestamp && now.global == seen_.global;
  seen_ = now;
  return same;
}

}  // namespace platform::qt
