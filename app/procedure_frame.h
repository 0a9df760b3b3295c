// The common life of the program's window procedures. Each window class derives from
// ProcedureWindow, which calls the error manager, the restyle object and the assistant in
// the fixed order every window follows, and identifies the procedure to all three by its
// one procedure name:
//
//   Run:    the restyle object may refuse the start (the window is never opened), else
//           BaseWindow's Run.
//   Open:   push the procedure name, open the window, register it and its controls with
//           the restyle object, attach the window, tell the assistant, the window's own
//           set-up, refresh.
//   Events: the assistant's hook, then the restyle object (which may consume the event),
//           then the window's own handling; alert keys and the close reach the assistant.
//   Close:  once only; pops the procedure name.
//
// A procedure body builds its window and window object and calls RunWithRestyle.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/base_window.h"
#include "platform/ui/codes.h"

namespace platform::ui {
class Window;
}
namespace restyle {
class ZOVRestyleClass;
}

namespace app {

using platform::ui::WindowAnswer;

class ProcedureWindow : public platform::ui::BaseWindow {
 public:
  // `window` is borrowed and outlives this object; `first_field` takes the focus on open.
  ProcedureWindow(platform::ui::Window& window, std::string_view procedure_name,
                  platform::ui::FieldId first_field);

  WindowAnswer Run() override;
  WindowAnswer Open() override;
  WindowAnswer HandleEvent() override;
  WindowAnswer HandleWindowEvent() override;
  WindowAnswer Close() override;

  const std::string& procedure_name() const { return procedure_name_; }
  // The procedure's restyle object. REQUIRES: RunWithRestyle is running this object.
  restyle::ZOVRestyleClass& restyle() const;

 protected:
  // Registers the window and every control with the restyle object; the frame registers
  // its menu instead.
  virtual void RegisterWithRestyle();
  // The query builder's own set-up, which runs before the assistant is told.
  virtual void SetUpBeforeAssistant() {}
  // Every other window's own set-up, after the assistant is told.
  virtual void SetUp() {}

 private:
  friend WindowAnswer RunWithRestyle(ProcedureWindow& object);

  const std::string procedure_name_;
  const platform::ui::FieldId first_field_;
  restyle::ZOVRestyleClass* restyle_ = nullptr;  // set while RunWithRestyle runs
};

// The procedure body's part between building the window object and destroying it: creates
// the restyle object with the procedure's initial values, runs `object`, and destroys the
// restyle object again (it leaves the style manager's registry before the window closes).
// Answers what Run answered.
WindowAnswer RunWithRestyle(ProcedureWindow& object);

// The restyle object of the innermost procedure running on the calling thread; null when none
// runs. For tests, which look at it from the call trace's observer.
restyle::ZOVRestyleClass* TEST_RunningRestyle();

}  // namespace app
