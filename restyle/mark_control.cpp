// The mark beside the selected control.
#include "platform/core/call_trace.h"
#include "restyle/restyle_class.h"

namespace restyle {

// TODO(mark): creates and moves the mark.
void ZOVRestyleClass::MarkControl() { platform::TraceCall("ZOVRestyleClass.MarkControl"); }

}  // namespace restyle
