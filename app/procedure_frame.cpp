#include "app/procedure_frame.h"

#include <cassert>

#include "app/program.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace app {
namespace {

using platform::ui::ControlType;
using platform::ui::FieldId;

// The restyle object of the innermost procedure running on this thread.
thread_local restyle::ZOVRestyleClass* t_running_restyle = nullptr;

}  // namespace

ProcedureWindow::ProcedureWindow(platform::ui::Window& window, std::string_view procedure_name,
                                 FieldId first_field)
    : BaseWindow(window), procedure_name_(procedure_name), first_field_(first_field) {}

restyle::ZOVRestyleClass& ProcedureWindow::restyle() const {
  assert(restyle_ != nullptr);
  return *restyle_;
}

WindowAnswer ProcedureWindow::Run() {
  // Answer 1: a window of this procedure already runs and may not run twice; the restyle
  // object has activated it, and this one is never opened.
  if (restyle().Init(Program().StyleManager, procedure_name_) == 1) return platform::ui::kHandled;
  return BaseWindow::Run();
}

WindowAnswer ProcedureWindow::Open() {
  ProgramObjects& program = Program();
  program.ErrorManager.TrackProcedureName(procedure_name_);
  const WindowAnswer answer = BaseWindow::Open();
  if (answer != platform::ui::kGoOn) return answer;
  set_first_field(first_field_);
  set_errors(&program.ErrorManager);
  window().Open();
  RegisterWithRestyle();
  restyle().SetWindow(window(), 1);
  SetUpBeforeAssistant();
  program.Agent.ProcedureOpened(procedure_name_);
  SetUp();
  RefreshManagers();
  return platform::ui::kGoOn;
}

void ProcedureWindow::RegisterWithRestyle() {
  restyle().AddControl(0, 0, "Window", "Window");
  const platform::ui::WindowStructure& structure = window().structure();
  for (size_t i = 0; i < structure.controls.size(); ++i) {
    const FieldId field = structure.FieldAt(i);
    if (field <= 0) continue;
    const platform::ui::ControlDecl& decl = structure.controls[i];
    restyle().AddControl(field, 0, decl.equate,
                         decl.type == ControlType::kButton ? decl.text : decl.equate);
  }
}

WindowAnswer ProcedureWindow::HandleEvent() {
  ProgramObjects& program = Program();
  program.Agent.HandleEvent(procedure_name_, window().handle());  // its answer is not used
  if (restyle().HandleEvent() != 0) return platform::ui::kHandled;
  return BaseWindow::HandleEvent();
}

WindowAnswer ProcedureWindow::HandleWindowEvent() {
  ProgramObjects& program = Program();
  switch (platform::ui::Event()) {
    case platform::ui::kEventAlertKey:
      program.Agent.HandleAlertKey(procedure_name_, window().handle());
      break;
    case platform::ui::kEventCloseWindow:
      program.Agent.ProcedureClosed(procedure_name_);
      break;
    default:
      break;
  }
  return BaseWindow::HandleWindowEvent();
}

WindowAnswer ProcedureWindow::Close() {
  const WindowAnswer answer = BaseWindow::Close();
  if (answer != platform::ui::kGoOn) return answer;
  Program().ErrorManager.TrackProcedureName();
  return platform::ui::kGoOn;
}

WindowAnswer RunWithRestyle(ProcedureWindow& object) {
  restyle::ZOVRestyleClass restyle;
  restyle.SetCreatorsInitialValues();
  object.restyle_ = &restyle;
  restyle::ZOVRestyleClass* const outer = t_running_restyle;
  t_running_restyle = &restyle;
  const WindowAnswer answer = object.Run();
  t_running_restyle = outer;
  object.restyle_ = nullptr;
  return answer;
}

restyle::ZOVRestyleClass* TEST_RunningRestyle() { return t_running_restyle; }

}  // namespace app
