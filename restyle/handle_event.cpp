// The restyle object's share of a window's events.
#include "platform/core/call_trace.h"
#include "restyle/restyle_class.h"

namespace restyle {

int32_t ZOVRestyleClass::HandleEvent() {
  return platform::TraceCall("ZOVRestyleClass.HandleEvent");
}

}  // namespace restyle
