// Restyling every open window in turn, with a progress window.
#include "platform/core/call_trace.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {

void ZOVStylemanagerClass::RestyleAllWindows() {
  platform::TraceCall("ZOVStylemanagerClass.RestyleAllWindows");
}

}  // namespace stylemanager
