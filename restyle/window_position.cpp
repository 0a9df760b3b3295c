// Keeping a restyled window inside the application frame, or inside the desktop when no frame
// is known: a window that ends past the right or bottom edge is moved back so that it ends
// there, or to the edge's start when it does not fit at all. One that sticks out to the left
// or top stays where it is.
#include <cstdint>
#include <string>

#include "platform/core/number.h"
#include "platform/ui/desktop.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

using platform::ui::Prop;
using platform::ui::Window;

int64_t Number(const Window& window, Prop p) { return platform::TextToNumber(window.Get(0, p)); }

// The start of a span `size` long at `at` kept within a room `room` long that starts at 0.
int64_t Inside(int64_t at, int64_t size, int64_t room) {
  if (at + size <= room) return at;
  return size < room ? room - size : 0;
}

// The window's position moved by the rule within the frame, in the window's own units.
void KeepInsideFrame(Window& window, const Window& frame) {
  const int64_t x = Number(window, Prop::Xpos);
  const int64_t y = Number(window, Prop::Ypos);
  const int64_t new_x = Inside(x, Number(window, Prop::Width), Number(frame, Prop::Width));
  const int64_t new_y = Inside(y, Number(window, Prop::Height), Number(frame, Prop::Height));
  if (new_x != x) window.Set(0, Prop::Xpos, std::to_string(new_x));
  if (new_y != y) window.Set(0, Prop::Ypos, std::to_string(new_y));
}

// The same rule on the screen: the window's outer rectangle in pixels, its frames and caption
// included, within the desktop. The rectangle is the model's, so a move earlier in the same
// pass counts.
void KeepInsideDesktop(Window& window, const platform::region::Rect& desktop) {
  namespace ui = platform::ui;
  if (desktop.empty()) return;
  const std::string pixels = window.Get(0, Prop::Pixels);
  window.Set(0, Prop::Pixels, "1");
  const int64_t x = Number(window, Prop::Xpos);
  const int64_t y = Number(window, Prop::Ypos);
  const int64_t outer_width =
      Number(window, Prop::Width) + 2 * ui::GetSystemMetrics(ui::kSmCxFrame);
  const int64_t outer_height = Number(window, Prop::Height) +
                               ui::GetSystemMetrics(ui::kSmCyCaption) +
                               2 * ui::GetSystemMetrics(ui::kSmCyFrame);
  const int64_t new_x =
      Inside(x - desktop.left, outer_width, desktop.right - desktop.left) + desktop.left;
  const int64_t new_y =
      Inside(y - desktop.top, outer_height, desktop.bottom - desktop.top) + desktop.top;
  if (new_x != x) window.Set(0, Prop::Xpos, std::to_string(new_x));
  if (new_y != y) window.Set(0, Prop::Ypos, std::to_string(new_y));
  window.Set(0, Prop::Pixels, pixels);
}

}  // namespace

void ZOVRestyleClass::CheckWindowPosition() {
  if (PROCEDUREWINDOW == nullptr || !PROCEDUREWINDOW->is_open() || STYLEMANAGER == nullptr) {
    return;
  }
  const Window* frame = STYLEMANAGER->ApplicationWindow();
  if (frame != nullptr && frame->is_open()) {
    KeepInsideFrame(*PROCEDUREWINDOW, *frame);
  } else {
    KeepInsideDesktop(*PROCEDUREWINDOW, STYLEMANAGER->DesktopRect());
  }
}

}  // namespace restyle
