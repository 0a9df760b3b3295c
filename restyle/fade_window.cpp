// Fading a window in and out.
#include <string>

#include "platform/core/call_trace.h"
#include "restyle/restyle_class.h"

namespace restyle {

void ZOVRestyleClass::FadeWindow(platform::ui::Window& window, uint8_t fade_in, uint8_t region_mode,
                                 uint8_t reserved, uint8_t default_end, uint8_t end,
                                 uint8_t default_start, uint8_t start) {
  (void)window, (void)region_mode, (void)reserved, (void)default_end, (void)end,
      (void)default_start, (void)start;
  // TODO(fading): fades the window.
  platform::TraceCall(fade_in == 1 ? "ZOVRestyleClass.FadeWindow in"
                                   : "ZOVRestyleClass.FadeWindow out");
}

}  // namespace restyle
