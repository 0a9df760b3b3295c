// Rounded corners of a restyled window: its outline becomes a rounded rectangle of its outer
// size. Another window than the frame loses its outer edge on all four sides as well.
#include <optional>
#include <string>

#include "platform/core/call_trace.h"
#include "platform/core/number.h"
#include "platform/region/shapes.h"
#include "platform/ui/desktop.h"
#include "platform/ui/statements.h"
#include "platform/ui/window.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {
namespace {

// The roundness that takes the outline off again.
constexpr uint8_t kNoRoundness = 0xFF;

}  // namespace

void ZOVStylemanagerClass::RoundWindow(platform::ui::Window* window, uint8_t roundness) {
  namespace ui = platform::ui;
  platform::TraceCall("ZOVStylemanagerClass.RoundWindow " + std::to_string(roundness));
  if (window == nullptr) window = ui::TargetWindow();
  if (window == nullptr || !window->is_open()) return;
  const ui::WindowHandle handle = window->handle();
  platform::region::Rect rect;
  if (!ui::GetWindowRect(handle, &rect)) return;
  WINDOWRECT = {rect.left, rect.top, rect.right, rect.bottom};
  if (roundness == kNoRoundness) {
    ui::SetWindowRgn(handle, std::nullopt, /*redraw=*/true);
    return;
  }
  const int32_t width = WINDOWRECT.RIGHT - WINDOWRECT.LEFT;
  const int32_t height = WINDOWRECT.BOTTOM - WINDOWRECT.TOP;
  const bool frame = platform::TextToNumber(window->Get(0, ui::Prop::Type)) ==
                     static_cast<int32_t>(ui::ControlType::kApplication);
  const int32_t ex = frame ? 0 : ui::GetSystemMetrics(ui::kSmCxEdge);
  const int32_t ey = frame ? 0 : ui::GetSystemMetrics(ui::kSmCyEdge);
  ui::SetWindowRgn(
      handle,
      platform::region::CreateRoundRectRgn(ex, ey, width - ex, height - ey, roundness, roundness),
      /*redraw=*/true);
}

}  // namespace stylemanager
