// Mouse presses the widgets do not report themselves, turned into runtime input: a right
// press on a control or on the window's surface, a left press on a region or on a control
// drawn on the surface (or the surface itself) that alerts it, and the release of each. The
// surface's controls (strings, panels, images) take no press of their own: a press on them
// reaches a region beneath, as on the runtime's windows. GUI thread only.
#pragma once

#include <map>

#include <QPoint>

#include "platform/ui/backend.h"

class QEvent;
class QMouseEvent;
class QObject;

namespace platform::qt {

class QtBackend;
class WindowMirror;

// Where a press at `global` (screen pixels) with mouse code `code` lands in `mirror`, whose
// widget `receiver` (or a widget inside it) Qt gave it to: a windowed control takes it
// itself (`*windowed` set), or leaves it to the window (0) while disabled; else the topmost
// region under it, or the topmost control drawn on the surface there that alerts `code`;
// else 0, the window.
ui::FieldId PressTarget(const WindowMirror& mirror, const QObject* receiver, QPoint global,
                        ui::KeyCode code, bool* windowed);

class PressRouter {
 public:
  // `backend` is borrowed and outlives the router.
  explicit PressRouter(QtBackend& backend) : backend_(backend) {}

  // Sees every press, double click, release and context-menu request of the application's
  // widgets and posts what the runtime must hear. True when the event is the program's
  // alone (the right button alerted): the widget must not see it, nor open its own menu.
  bool Filter(QObject* object, QEvent* e);

 private:
  struct Held {
    ui::WindowHandle window = 0;
    ui::FieldId field = ui::kNoField;
  };
  bool Press(QObject* object, const QMouseEvent& e);
  void Release(const QMouseEvent& e);
  // True for a copy of the event seen last: Qt hands a mouse event the widget did not
  // accept on to its parents, and the application's filter sees each of them.
  bool Repeated(const QMouseEvent& e);

  QtBackend& backend_;
  std::map<int, Held> held_;  // by Qt::MouseButton: where its press went
  struct Seen {
    int type = 0;
    int button = 0;
    quint64 timestamp = 0;
    QPointF global;
  } seen_;
};

}  // namespace platform::qt
