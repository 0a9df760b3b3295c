// Keeping a restyled window inside the application frame.
#include "platform/core/call_trace.h"
#include "restyle/restyle_class.h"

namespace restyle {

// TODO(position check): moves the window back inside the frame.
void ZOVRestyleClass::CheckWindowPosition() {
  platform::TraceCall("ZOVRestyleClass.CheckWindowPosition");
}

}  // namespace restyle
