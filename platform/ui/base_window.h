// BaseWindow: the class every window procedure's window class derives from. It runs the
// window's life in a fixed order and hands each event to a handler by kind; a derived
// class overrides the handlers it needs and answers one of the runtime's codes.
//
//   Run:         Open; when Open answered kGoOn, AcceptLoop; then Close.
//   AcceptLoop:  for every event, HandleEvent; kEndLoop ends the loop, kHandled skips the
//                runtime's default action of the event (CYCLE).
//   HandleEvent: a window event (no field) goes to HandleWindowEvent (CloseWindow first to
//                HandleCloseEvent); a field event goes by kind to HandleAccepted,
//                HandleNewSelection, HandleSelected or HandleRejected, and then, unless that
//                answered other than kGoOn, to HandleFieldEvent.
//
// A window class overrides what it adds, calling the BaseWindow operation where the frame
// says so:
//
//   class ChooseODBCconnectionWindow : public BaseWindow {
//    public:
//     ChooseODBCconnectionWindow(Window& w, LocalState& loc) : BaseWindow(w), loc_(loc) {}
//     WindowAnswer HandleAccepted() override {
//       const WindowAnswer answer = BaseWindow::HandleAccepted();
//       if (Field() == kConnectButton) UpdateManagers();
//       return answer;
//     }
//    private:
//     LocalState& loc_;
//   };
//
//   void ChooseODBCconnection() {
//     LocalState loc;
//     Window window(kWindow);                      // built, not yet open
//     window.Use(kUsername, loc.username);
//     ChooseODBCconnectionWindow object(window, loc);
//     object.Run();  // the window opens in an Open override, else in AcceptLoop
//   }  // destroyed in reverse order of declaration
#pragma once

#include <cstdint>

#include "platform/ui/codes.h"

namespace platform::ui {

class Window;
class ErrorManager;

// What the operations answer, with the runtime's values.
enum WindowAnswer : int32_t {
  kGoOn = 0,     // go on
  kEndLoop = 3,  // end the event loop
  kHandled = 5,  // the event is handled: skip the default processing
};

class BaseWindow {
 public:
  // `window` is borrowed and must outlive this object.
  explicit BaseWindow(Window& window) : window_(window) {}
  virtual ~BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  // The event loop: ACCEPT and HandleEvent until the loop ends. Opens the window first when
  // nobody did.
  virtual void AcceptLoop();
  // Marks the procedure open. Answers kHandled when it already is (the window is not opened
  // a second time). Opening the window itself is the caller's step (Window::Open).
  virtual WindowAnswer Open();
  // Closes the window and marks the procedure closed. Answers kHandled, doing nothing, when
  // it already is closed (or was never opened).
  virtual WindowAnswer Close();
  // On the open-window event: the focus goes to the first field.
  virtual WindowAnswer HandleOpenWindow();
  // Redisplays the window (DISPLAY).
  virtual void Reset();
  // Open, then AcceptLoop when Open answered kGoOn, then Close; answers Open's answer.
  virtual WindowAnswer Run();
  // Refreshes the window's components and alert keys: redisplays the window.
  virtual void RefreshManagers();
  virtual WindowAnswer HandleAccepted();
  virtual WindowAnswer HandleCompleted();
  virtual WindowAnswer HandleCloseEvent();
  virtual WindowAnswer HandleEvent();
  virtual WindowAnswer HandleFieldEvent();
  virtual WindowAnswer HandleNewSelection();
  virtual WindowAnswer HandleRejected();
  virtual WindowAnswer HandleSelected();
  virtual WindowAnswer HandleWindowEvent();
  // Copies the controls' screen values into their variables (UPDATE).
  virtual void UpdateManagers();

  Window& window() const { return window_; }
  // The field that gets the focus when the window opens; 0 for the window's first control.
  FieldId first_field() const { return first_field_; }
  void set_first_field(FieldId field) { first_field_ = field; }
  // The error manager the window reports to (borrowed; null for none).
  ErrorManager* errors() const { return errors_; }
  void set_errors(ErrorManager* errors) { errors_ = errors; }
  bool is_open() const { return open_; }

 private:
  Window& window_;
  FieldId first_field_ = kNoField;
  ErrorManager* errors_ = nullptr;
  bool open_ = false;
  bool closed_ = false;
};

}  // namespace platform::ui
