// Configure-directly mode: the user points at a control of the restyled window to style it,
// while a thread of its own follows the mouse.
#include "platform/core/call_trace.h"
#include "platform/ui/thread.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

// Tells the mode's thread to leave its loop.
constexpr platform::ui::EventId kEventEndMode = 0x510;

}  // namespace

void ZOVRestyleClass::EndConfigureDirectly() {
  platform::TraceCall("ZOVRestyleClass.EndConfigureDirectly");
  // A second call, once the thread has gone, tells nobody.
  if (CONFIGUREDIRECTLYONWINDOW.THREAD != 0) {
    platform::ui::Post(kEventEndMode, 0, CONFIGUREDIRECTLYONWINDOW.THREAD);
  }
  CONFIGUREDIRECTLYONWINDOW.THREAD = 0;
}

}  // namespace restyle
