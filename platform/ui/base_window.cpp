#include "platform/ui/base_window.h"

#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/window.h"

namespace platform::ui {

void BaseWindow::AcceptLoop() {
  AssertRuntimeLockHeld();
  if (!window_.is_open()) window_.Open();
  while (window_.Accept()) {
    const WindowAnswer answer = HandleEvent();
    if (answer == kEndLoop) break;
    if (answer == kHandled) window_.Cycle();
  }
}

WindowAnswer BaseWindow::Open() {
  if (open_) return kHandled;
  open_ = true;
  closed_ = false;
  return kGoOn;
}

WindowAnswer BaseWindow::Close() {
  if (!open_ || closed_) return kHandled;
  closed_ = true;
  open_ = false;
  window_.Close();
  return kGoOn;
}

WindowAnswer BaseWindow::HandleOpenWindow() {
  const FieldId first = first_field_ != kNoField ? first_field_ : window_.FirstField();
  if (first != kNoField) window_.Select(first);
  return kGoOn;
}

void BaseWindow::Reset() { window_.Display(); }

WindowAnswer BaseWindow::Run() {
  const WindowAnswer answer = Open();
  if (answer == kGoOn) AcceptLoop();
  Close();
  return answer;
}

void BaseWindow::RefreshManagers() { window_.Display(); }

WindowAnswer BaseWindow::HandleAccepted() { return kGoOn; }
WindowAnswer BaseWindow::HandleCompleted() { return kGoOn; }
WindowAnswer BaseWindow::HandleCloseEvent() { return kGoOn; }

WindowAnswer BaseWindow::HandleEvent() {
  const EventRecord& e = window_.event();
  if (e.field == kNoField) {
    if (e.event == kEventCloseWindow) {
      const WindowAnswer answer = HandleCloseEvent();
      if (answer != kGoOn) return answer;
    }
    if (e.event == kEventCompleted) {
      const WindowAnswer answer = HandleCompleted();
      if (answer != kGoOn) return answer;
    }
    return HandleWindowEvent();
  }
  WindowAnswer answer = kGoOn;
  switch (e.event) {
    case kEventAccepted:
      answer = HandleAccepted();
      break;
    case kEventNewSelection:
      answer = HandleNewSelection();
      break;
    case kEventSelected:
      answer = HandleSelected();
      break;
    case kEventRejected:
      answer = HandleRejected();
      break;
    default:
      break;
  }
  if (answer != kGoOn) return answer;
  return HandleFieldEvent();
}

WindowAnswer BaseWindow::HandleFieldEvent() { return kGoOn; }
WindowAnswer BaseWindow::HandleNewSelection() { return kGoOn; }
WindowAnswer BaseWindow::HandleRejected() { return kGoOn; }
WindowAnswer BaseWindow::HandleSelected() { return kGoOn; }

WindowAnswer BaseWindow::HandleWindowEvent() {
  if (window_.event().event == kEventOpenWindow) return HandleOpenWindow();
  return kGoOn;
}

void BaseWindow::UpdateManagers() { window_.Update(); }

}  // namespace platform::ui
