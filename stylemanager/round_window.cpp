// Rounded corners of a restyled window.
#include <string>

#include "platform/core/call_trace.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {

// TODO(rounding): gives the window its rounded outline.
void ZOVStylemanagerClass::RoundWindow(platform::ui::Window* window, uint8_t roundness) {
  (void)window;
  platform::TraceCall("ZOVStylemanagerClass.RoundWindow " + std::to_string(roundness));
}

}  // namespace stylemanager
