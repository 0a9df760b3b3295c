// What the styling pass does differently for a styled message window.
#include "platform/core/call_trace.h"
#include "restyle/restyle_class.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {

// TODO(message window): a message window is never maximized, saved or moved back.
void ZOVStylemanagerClass::BeforeMessageRestyle(restyle::ZOVRestyleClass& restyle) {
  (void)restyle;
  platform::TraceCall("ZOVStylemanagerClass.BeforeMessageRestyle");
}

void ZOVStylemanagerClass::AfterMessageRestyle(restyle::ZOVRestyleClass& restyle) { (void)restyle; }

}  // namespace stylemanager
