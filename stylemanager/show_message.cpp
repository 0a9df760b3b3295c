// The program's messages in the styled message window.
#include "platform/core/call_trace.h"
#include "platform/core/message.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {

int32_t ZOVStylemanagerClass::ShowMessage(const platform::MessageRequest& request) {
  platform::TraceCall("ZOVStylemanagerClass.ShowMessage " + request.text);
  return platform::StandardMessage(request);
}

}  // namespace stylemanager
