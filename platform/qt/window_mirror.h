// One runtime window as Qt widgets, on the GUI thread: the frame as a QMainWindow with an
// MDI area, a menu bar and a status bar; an MDI child as a sub-window of the frame's area; a
// plain window as a top-level widget. Controls sit at their places in window coordinates,
// converted from dialog units with the application font's metrics.
//
// The mirror applies the runtime's commands and turns the user's input into posted runtime
// input for its window. While it applies a command it posts nothing, so a programmatic
// change never comes back as input.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

#include "platform/ui/backend.h"
#include "platform/ui/system_menu.h"

class QAction;
class QDockWidget;
class QMenu;

namespace platform::qt {

class QtBackend;
class SnapshotModel;
class WidgetFamily;
struct WidgetItem;

class WindowMirror {
 public:
  // Builds and shows the window. `frame` is the frame's mirror for an MDI child (null shows
  // the child as a plain window); `owner` the owning window's mirror for a plain window.
  WindowMirror(QtBackend& backend, const ui::WindowView& view,
               const std::vector<ui::ControlView>& controls, WindowMirror* frame,
               WindowMirror* owner);
  // Takes the widgets down without posting anything.
  ~WindowMirror();
  WindowMirror(const WindowMirror&) = delete;
  WindowMirror& operator=(const WindowMirror&) = delete;

  ui::WindowHandle handle() const { return view_.handle; }
  const ui::WindowView& view() const { return view_; }
  // The window's outermost widget: QMainWindow, QMdiSubWindow or the plain window.
  QWidget* top() const { return top_; }
  // The widget the controls sit in.
  QWidget* client() const { return client_; }
  QMdiArea* mdi_area() const { return mdi_area_; }
  QStatusBar* status_bar() const { return status_bar_; }
  // The widget of a control, the action of a menu item or the menu of a menu; null for none.
  QWidget* widget(ui::FieldId field) const;
  QAction* action(ui::FieldId field) const;
  QMenu* menu(ui::FieldId field) const;
  // What the runtime last sent for the control (type kString and field 0 for none).
  ui::ControlView control(ui::FieldId field) const;
  SnapshotModel* model(ui::FieldId field) const;

  // For the widget families (platform/qt/widgets/): the mirror's controls by field, the
  // widget the controls sit in (client()) and the metrics that turn dialog units into pixels.
  WidgetItem* Find(ui::FieldId field);
  const WidgetItem* Find(ui::FieldId field) const;
  const std::map<ui::FieldId, std::unique_ptr<WidgetItem>>& items() const { return items_; }
  ui::TextMetrics metrics() const;

  // Commands.
  void Update(const ui::WindowView& view);
  void CreateControl(const ui::ControlView& control);
  void UpdateControl(const ui::ControlView& control);
  void DestroyControl(ui::FieldId field);
  void PushSnapshot(ui::FieldId field, std::shared_ptr<const ui::ListSnapshot> snapshot);
  void Activate();
  // The program gave `field` the focus. In an MDI child only while it is the active one, so
  // a window in the background never takes the activation.
  void FocusControl(ui::FieldId field);
  void PerformStdAction(ui::StdAction action);

  // Input. `field` 0 means the window itself. Input that carries no mouse position gets the
  // mouse's last one, so every event reports MOUSEX and MOUSEY.
  void Post(ui::Input input) const;
  // The screen point `global` in the window's units: dialog units from the top-left corner of
  // the window's client area, or pixels while its Pixels is set.
  QPoint MouseInWindowUnits(QPoint global) const;
  void PostKey(ui::KeyCode key) const;
  void PostFocus(ui::FieldId field);
  // True when `key` is alerted on the control (or the window, for field 0).
  bool Alerted(ui::FieldId field, ui::KeyCode key) const;
  // True when a control or menu item of this window is pressed by `key`.
  bool HasKey(ui::KeyCode key) const;
  // Alt and `letter`: true when a shown control of this window has that mnemonic, and then,
  // with `press`, presses it (a button, check or radio), gives the focus to the control a
  // prompt names, or chooses the tab.
  bool PressMnemonic(QChar letter, bool press);
  // True while a command is being applied: Qt's reactions to it are no input.
  bool applying() const { return applying_ > 0; }
  // True once the program closes the window: the close box no longer asks.
  bool closing() const { return closing_; }
  // The user moved or sized the window: its place and client size go back in dialog units.
  void PostPlacement(bool moved);
  // Called by the top widget's close event: a close box or Alt+F4 asks the program.
  void CloseBoxPressed();
  // Shows the control's message text in the status bar (the frame's, for a child).
  void ShowMessageText(ui::FieldId field);
  // The window's system menu, its entries enabled as the window is now; the caller shows it,
  // and it goes when it closes (system_menu.h).
  QMenu* MakeSystemMenu();
  // The user chose the entry: the window does what it says and the program hears of it.
  void ChooseSystemMenu(ui::SystemMenuEntry entry);
  // A tool window (kAttrToolBox): a dock widget of the frame, docked or floating.
  bool tool_window() const;

 private:
  // Marks the mirror busy applying a command for its lifetime.
  class Applying {
   public:
    explicit Applying(WindowMirror& m) : m_(m) { ++m_.applying_; }
    ~Applying() { --m_.applying_; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

   private:
    WindowMirror& m_;
  };

  void BuildTop(WindowMirror* frame, WindowMirror* owner);
  void BuildMenus(const std::vector<ui::ControlView>& controls);
  void Apply(WidgetItem& item, bool created);
  // Applies what every control shares; the rectangle the widget was placed at, in pixels.
  QRect ApplyCommon(WidgetItem& item, const WidgetFamily& family);
  void ApplyScreenText(WidgetItem& item, const WidgetFamily& family);
  void ApplyMenuEntry(WidgetItem& item);
  void FillWindowList(QMenu& menu);
  void Restack();
  void SetBuddies();
  void ApplyTimer();
  // The window's wallpaper and cursor.
  void ApplyPictures();
  // The window's stored font and colours.
  void ApplyLook();
  void ApplyShape();
  void ApplyGeometry(const ui::RectDu& before);
  void ApplyMaximized();
  void ApplyHidden();
  // A tool window: docked at the frame's side its Docked names or floating, at its size,
  // never narrower than its MinWidth.
  void ApplyDocked();
  void ApplyToolGeometry(const ui::RectDu& before);
  void ApplyMinWidth();
  // A floating tool window's size for a client area of `client` pixels.
  static void SizeFloating(QDockWidget& dock, QSize client);
  static void GrowFrameToShow(QWidget* main, QMdiArea* area, QWidget* child);
  static QSize WithinScreen(const QWidget& window, QSize size);
  QRect PixelRect(const ui::RectDu& du) const;
  QMenuBar* menu_bar();
  WindowMirror* StatusOwner();

  QtBackend& backend_;
  ui::WindowView view_;
  WindowMirror* frame_ = nullptr;  // the frame of an MDI child
  QPointer<QWidget> top_;
  QPointer<QWidget> client_;
  QPointer<QMdiArea> mdi_area_;
  QPointer<QStatusBar> status_bar_;
  QPointer<QMenuBar> menu_bar_;
  QPointer<QTimer> timer_;
  std::map<ui::FieldId, std::unique_ptr<WidgetItem>> items_;
  std::set<ui::KeyCode> window_alerts_;
  int applying_ = 0;
  uint64_t made_ = 0;       // controls made so far
  std::string shown_icon_;  // the window's Icon as last shown
  bool closing_ = false;
  bool hidden_by_shape_ = false;
  // Where a tool window is docked now; none while it floats.
  Qt::DockWidgetArea dock_area_ = Qt::NoDockWidgetArea;
};

// The window and field `object` belongs to: its own, or its nearest parent's that a mirror
// made; field 0 for the window itself, and window 0 when it belongs to none.
ui::FieldId FieldOfObject(const QObject* object, ui::WindowHandle* window);
// Marks `object` as belonging to `field` of `window`, for FieldOfObject.
void TagObject(QObject* object, ui::WindowHandle window, ui::FieldId field);

}  // namespace platform::qt
