// Widget families of the Qt backend: how the controls of one family become widgets, how their
// properties show, and how the user's input on them goes back to the runtime. The mirror looks
// a control's family up by its type and never switches on the type itself, so a new family is
// one file under widgets/ and one line in widget_family.cpp's list of built-in families.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <span>

#include <QPointer>
#include <QRect>

#include "platform/ui/backend.h"

class QAction;
class QMenu;
class QString;
class QWidget;

namespace platform::qt {

class SnapshotModel;
class WindowMirror;

// One control of a mirror: what the runtime last sent, and the Qt objects that show it.
struct WidgetItem {
  ui::ControlView view;
  QPointer<QWidget> widget;
  QPointer<QAction> action;
  QPointer<QMenu> menu;
  QPointer<SnapshotModel> model;
  uint64_t shown_serial = ~uint64_t{0};
  std::set<ui::KeyCode> alerts;
  Qt::FocusPolicy focus_policy = Qt::StrongFocus;  // the widget's own, for when SKIP goes
};

// What the mirror asks of a family. Every function runs on the GUI thread while the mirror
// applies a command, except the signal handlers a family connects in Make, which post input.
class WidgetFamily {
 public:
  virtual ~WidgetFamily() = default;

  // The control types of the family.
  virtual std::span<const ui::ControlType> types() const = 0;

  // Menus and menu items: they live in the menu bar, not among the widgets, and the mirror
  // builds them from the window's structure.
  virtual bool menu_entry() const { return false; }
  // True when the mirror builds the family's controls with the menus rather than as widgets.
  virtual bool built_with_menus() const { return menu_entry(); }
  // A prompt's mnemonic may take the focus to the family's widgets.
  virtual bool takes_buddy() const { return false; }

  // Makes the widget of `item` as a child of the mirror's client, owned by its Qt parent;
  // null for a control without a widget of its own (a tab, a menu).
  virtual QWidget* Make(WindowMirror& mirror, WidgetItem& item) const = 0;
  // Makes the action (and for a menu the menu) of a menu entry in `owner`, a menu or the bar.
  virtual void MakeMenuEntry(WindowMirror& /*mirror*/, WidgetItem& /*item*/,
                             QWidget* /*owner*/) const {}

  // Shows the family's own properties, after the ones every control shares; `rect` is where
  // the widget was placed, in pixels.
  virtual void Apply(WindowMirror& /*mirror*/, WidgetItem& /*item*/, const QRect& /*rect*/) const {}
  // Shows the screen text the program set.
  virtual void ApplyScreenText(WindowMirror& /*mirror*/, WidgetItem& /*item*/) const {}
  // A new snapshot of the control's list (only for a control with a model).
  virtual void PushSnapshot(WindowMirror& mirror, WidgetItem& item,
                            std::shared_ptr<const ui::ListSnapshot> snapshot) const;

  // The control was made at run time, after its first Apply.
  virtual void Created(WindowMirror& /*mirror*/, WidgetItem& /*item*/) const {}
  // Every control of a new window was made.
  virtual void Built(WindowMirror& /*mirror*/, WidgetItem& /*item*/) const {}
  // The control's view changed from `before`, after its Apply.
  virtual void Updated(WindowMirror& /*mirror*/, WidgetItem& /*item*/,
                       const ui::ControlView& /*before*/) const {}
  // The control `view` was taken away.
  virtual void Destroyed(WindowMirror& /*mirror*/, const ui::ControlView& /*view*/) const {}
  // Another control of the window, `changed`, was applied again.
  virtual void OtherChanged(WindowMirror& /*mirror*/, WidgetItem& /*item*/,
                            ui::FieldId /*changed*/) const {}

  // The stored background colour fills the widget.
  virtual bool FillsBackground(const WidgetItem& /*item*/) const { return true; }
  // The widget lies under the other controls (a container or a box).
  virtual bool LiesUnder(const WidgetItem& /*item*/) const { return false; }
  // The control's mnemonic takes the focus to the next control that takes a buddy.
  virtual bool NamesBuddy(const WidgetItem& /*item*/) const { return false; }
  virtual void SetBuddy(WidgetItem& /*item*/, QWidget* /*buddy*/) const {}
  // Alt and the control's mnemonic: with `press`, presses the control, gives its buddy the
  // focus or chooses the tab. True when the mnemonic belongs to the control.
  virtual bool PressMnemonic(WindowMirror& /*mirror*/, WidgetItem& /*item*/, bool /*press*/) const {
    return false;
  }
};

// Registers `family` for each of its types, replacing the family a type had. The family must
// outlive its use. GUI thread only.
void RegisterWidgetFamily(const WidgetFamily& family);
// The family of `type`; a plain frame for a type no family lists. GUI thread only.
const WidgetFamily& WidgetFamilyOf(ui::ControlType type);

// The user typed `text` into, clicked, or chose entry `index` (from 0) of the control
// `field`: posted to the mirror's window unless the mirror is applying a command.
void PostTyped(WindowMirror& mirror, ui::FieldId field, const QString& text);
void PostClicked(WindowMirror& mirror, ui::FieldId field);
void PostChosen(WindowMirror& mirror, ui::FieldId field, int index);
// The mnemonic of a button, check box or radio: with `press`, it takes the focus and is
// clicked. Always true.
bool PressButton(WidgetItem& item, bool press);

}  // namespace platform::qt
