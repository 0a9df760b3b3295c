// What the styling pass does differently for a styled message window: it is never maximized,
// never saves its position and is never moved back into the frame, whatever the styles say.
#include "platform/core/call_trace.h"
#include "restyle/restyle_class.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {

void ZOVStylemanagerClass::BeforeMessageRestyle(restyle::ZOVRestyleClass& restyle) {
  restyle.STYLEPROPERTIES.AUTOMAXIMIZE = 0;
  restyle.STYLEPROPERTIES.WINDOWSAVEPOSITION = 0;
  restyle.STYLEPROPERTIES.WINDOWCHECKPOSITION = 0;
  platform::TraceCall("ZOVStylemanagerClass.BeforeMessageRestyle");
}

void ZOVStylemanagerClass::AfterMessageRestyle(restyle::ZOVRestyleClass& restyle) { (void)restyle; }

}  // namespace stylemanager
