// The images laid on a restyled window.
#include "platform/core/call_trace.h"
#include "restyle/restyle_class.h"

namespace restyle {

// TODO(images): creates, places and removes the window's images.
void ZOVRestyleClass::PlaceImages() { platform::TraceCall("ZOVRestyleClass.PlaceImages"); }

}  // namespace restyle
