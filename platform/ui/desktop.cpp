#include "platform/ui/desktop.h"

#include <string>

#include "platform/ui/backend.h"
#include "platform/ui/control.h"
#include "platform/ui/internal/thread_state.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/window.h"

namespace platform::ui {

int32_t GetSystemMetrics(int32_t index) {
  AssertRuntimeLockHeld();
  return detail::Backend().SystemMetric(index);
}

TextMetrics GetTextMetrics() {
  AssertRuntimeLockHeld();
  return detail::Backend().Metrics();
}

bool GetWindowRect(WindowHandle window, region::Rect* rect) {
  AssertRuntimeLockHeld();
  if (window == kDesktopWindow) {
    *rect = detail::Backend().DesktopRect();
    return true;
  }
  if (detail::FindWindow(window) == nullptr) return false;
  *rect = detail::Backend().WindowRect(window);
  return true;
}

bool GetWindowPlacement(WindowHandle window, WindowPlacement* placement) {
  AssertRuntimeLockHeld();
  const Window* w = detail::FindWindow(window);
  if (w == nullptr) return false;
  DisplayBackend& backend = detail::Backend();
  placement->normal = backend.WindowRect(window);
  if (w->maximized()) {
    // The display shows the maximized rectangle; the normal one is the restored geometry
    // with the frame and caption the display draws around it.
    const RectDu px = PixelsFromDialogUnits(w->RestoredGeometry(), backend.Metrics());
    const int32_t frame = backend.SystemMetric(32);
    const int32_t caption = backend.SystemMetric(4);
    placement->normal = {px.x, px.y, px.x + px.width + 2 * frame,
                         px.y + px.height + caption + 2 * frame};
  }
  placement->show_cmd = !w->Get(kNoField, Prop::Maximize).empty()  ? kSwShowMaximized
                        : !w->Get(kNoField, Prop::Iconize).empty() ? kSwShowMinimized
                                                                   : kSwShowNormal;
  return true;
}

bool ShowWindow(WindowHandle window, int32_t command) {
  AssertRuntimeLockHeld();
  Window* w = detail::FindWindow(window);
  if (w == nullptr) return false;
  const bool was_shown = w->Get(kNoField, Prop::Hide).empty();
  switch (command) {
    case kSwHide:
      w->Set(kNoField, Prop::Hide, "1");
      break;
    case kSwShow:
      w->Set(kNoField, Prop::Hide, "");
      break;
    case kSwShowMaximized:
      w->Set(kNoField, Prop::Hide, "");
      w->Set(kNoField, Prop::Iconize, "");
      w->Set(kNoField, Prop::Maximize, "1");
      break;
    case kSwShowNormal:
    case kSwRestore:
      w->Set(kNoField, Prop::Hide, "");
      w->Set(kNoField, Prop::Iconize, "");
      w->Set(kNoField, Prop::Maximize, "");
      break;
    default:
      return false;
  }
  return was_shown;
}

int32_t SetWindowRgn(WindowHandle window, std::optional<region::Region> outline, bool /*redraw*/) {
  AssertRuntimeLockHeld();
  Window* w = detail::FindWindow(window);
  if (w == nullptr) return 0;
  w->SetShape(std::move(outline));
  return 1;
}

bool SetWindowPos(WindowHandle window, WindowHandle insert_after, int32_t /*x*/, int32_t /*y*/,
                  int32_t /*width*/, int32_t /*height*/, uint32_t /*flags*/) {
  AssertRuntimeLockHeld();
  Window* w = detail::FindWindow(window);
  if (w == nullptr) return false;
  if (insert_after == kHwndTopMost) w->Set(kNoField, Prop::TopMost, "1");
  if (insert_after == kHwndNoTopMost) w->Set(kNoField, Prop::TopMost, "");
  return true;
}

bool SetLayeredWindowAttributes(WindowHandle window, uint32_t /*color_key*/, uint8_t alpha,
                                uint32_t flags) {
  AssertRuntimeLockHeld();
  Window* w = detail::FindWindow(window);
  if (w == nullptr) return false;
  if (flags & kLwaAlpha) w->Set(kNoField, Prop::Opacity, std::to_string(alpha));
  return true;
}

bool CanShowOpacity(WindowHandle window) {
  AssertRuntimeLockHeld();
  const Window* w = detail::FindWindow(window);
  return w != nullptr && w->kind() != WindowKind::kMdiChild && detail::Backend().ShowsOpacity();
}

namespace {

// The number of entries on the window's menu bar: the menus and items it holds, and those
// of a window without a bar of its own that sit in no menu.
int32_t MenuBarEntries(const Window& w, FieldId holder = kNoField) {
  int32_t n = 0;
  for (int32_t i = 1;; ++i) {
    const FieldId f = w.Child(holder, i);
    if (f == kNoField) return n;
    const Control* c = w.control(f);
    if (c->type() == ControlType::kMenu || c->type() == ControlType::kItem) ++n;
    if (c->type() == ControlType::kMenubar && holder == kNoField) n += MenuBarEntries(w, f);
  }
}

}  // namespace

MenuHandle GetMenu(WindowHandle window) {
  AssertRuntimeLockHeld();
  const Window* w = detail::FindWindow(window);
  return w != nullptr && MenuBarEntries(*w) > 0 ? window : 0;
}

bool HiliteMenuItem(WindowHandle window, MenuHandle menu, uint32_t item, uint32_t flags) {
  AssertRuntimeLockHeld();
  Window* w = detail::FindWindow(window);
  if (w == nullptr || menu != window || (flags & kMfByPosition) == 0) return false;
  const int32_t entries = MenuBarEntries(*w);
  if (entries == 0 || item >= static_cast<uint32_t>(entries)) return false;
  const std::string position = std::to_string(item + 1);
  if (flags & kMfHilite) {
    w->Set(kNoField, Prop::MenuBarHilite, position);
  } else if (w->Get(kNoField, Prop::MenuBarHilite) == position) {
    w->Set(kNoField, Prop::MenuBarHilite, "0");
  }
  return true;
}

region::Point GetCursorPos() {
  AssertRuntimeLockHeld();
  return detail::Backend().MousePosition();
}

bool SetCursorPos(int32_t x, int32_t y) {
  AssertRuntimeLockHeld();
  detail::Backend().SetMousePosition(x, y);
  return true;
}

void mouse_event(uint32_t flags) {
  AssertRuntimeLockHeld();
  if (flags & kMouseEventLeftDown) detail::Backend().SynthesizeMouseButton(1, /*down=*/true);
  if (flags & kMouseEventLeftUp) detail::Backend().SynthesizeMouseButton(1, /*down=*/false);
}

}  // namespace platform::ui
