// Fading a window in and out: by its opacity, stepped on the window's timer, or by a growing
// or shrinking square outline where opacity cannot be shown.
#include <algorithm>
#include <string>

#include "platform/core/call_trace.h"
#include "platform/core/clock.h"
#include "platform/core/number.h"
#include "platform/region/shapes.h"
#include "platform/ui/desktop.h"
#include "platform/ui/inner_loop.h"
#include "restyle/property_table.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

using platform::ui::Prop;

constexpr int32_t kDefaultStep = 4;
// A layered fade ends at the latest this long after it began.
constexpr int64_t kFadeCapMs = 5000;

int32_t AsInt(const std::string& text) {
  return static_cast<int32_t>(platform::TextToNumber(text));
}

void LayeredFade(platform::ui::Window& window, bool fade_in, int32_t step, int32_t level,
                 int32_t end) {
  const std::string timer = window.Get(0, Prop::Timer);
  window.Set(0, Prop::Timer, "1");
  const int64_t began = platform::MonotonicMs();
  {
    platform::ui::InnerLoop loop(
        window, [](platform::ui::EventId e) { return e == platform::ui::kEventTimer; });
    while (loop.Accept()) {
      level += fade_in ? step : -step;
      if ((fade_in ? level > end : level < end) || platform::MonotonicMs() - began >= kFadeCapMs) {
        break;
      }
      platform::ui::SetLayeredWindowAttributes(
          window.handle(), 0, static_cast<uint8_t>(level * 255 / 100), platform::ui::kLwaAlpha);
    }
  }
  if (window.is_open()) {
    platform::ui::SetLayeredWindowAttributes(window.handle(), 0, fade_in ? 255 : 0,
                                             platform::ui::kLwaAlpha);
    window.Set(0, Prop::Timer, timer);
  }
}

void RegionFade(platform::ui::Window& window, bool fade_in, int32_t step) {
  const std::string pixels = window.Get(0, Prop::Pixels);
  window.Set(0, Prop::Pixels, "1");
  const int32_t width = AsInt(window.Get(0, Prop::Width));
  const int32_t height = AsInt(window.Get(0, Prop::Height));
  const int32_t size = std::max(width, height);
  auto square = [&](int32_t r) {
    platform::ui::SetWindowRgn(window.handle(),
                               platform::region::CreateRectRgn(width / 2 - r, height / 2 - r,
                                                               width / 2 + r, height / 2 + r),
                               true);
    window.Display();
  };
  if (fade_in) {
    for (int32_t r = 1; r <= size; r += step) square(r);
  } else {
    for (int32_t r = size; r >= 1; r -= step) square(r);
  }
  square(fade_in ? size : 1);
  window.Set(0, Prop::Pixels, pixels);
}

}  // namespace

void ZOVRestyleClass::FadeWindow(platform::ui::Window& window, uint8_t fade_in, uint8_t region_mode,
                                 uint8_t reserved, uint8_t default_end, uint8_t end,
                                 uint8_t default_start, uint8_t start) {
  (void)reserved;
  platform::TraceCall(fade_in == 1 ? "ZOVRestyleClass.FadeWindow in"
                                   : "ZOVRestyleClass.FadeWindow out");
  int32_t step = kDefaultStep;
  ControlPropertyGroup fade;
  if (GetPropertyValue(0, kFadeWindows, 0, /*read_type=*/1, fade) == 1) {
    const std::string value(fade.VALUE.view());
    step = AsInt(value.size() > 1 ? value.substr(1, 3) : std::string());
    if (step == 0) step = fade_in == 1 ? 6 : 1;
    step = std::min(step, 100);
    region_mode =
        static_cast<uint8_t>(AsInt(value.size() > 4 ? value.substr(4, 1) : std::string()));
  }
  if (step < 1) step = 1;  // a negative step would never reach its end
  const bool layered = region_mode != 1 && window.kind() != platform::ui::WindowKind::kMdiChild &&
                       platform::ui::CanShowOpacity(window.handle());
  if (!layered) {
    RegionFade(window, fade_in == 1, step);
    return;
  }
  int32_t level = fade_in == 1 ? 1 : 100;
  int32_t last = fade_in == 1 ? 100 : 1;
  if (default_start == 0) level = start;
  if (default_end == 0) last = end;
  LayeredFade(window, fade_in == 1, step, level, last);
}

}  // namespace restyle
