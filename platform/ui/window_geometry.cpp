// A window's geometry: kept in dialog units, read and written in pixels while Pixels is set,
// and, while the window is maximized, that of the area it fills, its own kept as the size it
// is restored to.
#include <algorithm>

#include "platform/core/number.h"
#include "platform/ui/internal/thread_state.h"
#include "platform/ui/window.h"

namespace platform::ui {

int64_t Window::GeometryDu(Prop p) const {
  if (maximized()) {
    const RectDu at = MaximizedGeometry();
    switch (p) {
      case Prop::Xpos:
        return at.x;
      case Prop::Ypos:
        return at.y;
      case Prop::Width:
        return at.width;
      default:
        return at.height;
    }
  }
  return TextToNumber(props_.Get(p));
}

RectDu Window::MaximizedGeometry() const {
  if (maximized_at_) return *maximized_at_;
  // Until the display reports where it put the window: an MDI child fills the frame, any
  // other window the desktop.
  if (kind() == WindowKind::kMdiChild) {
    if (const Window* frame = detail::Frame(); frame != nullptr && frame != this) {
      return {0, 0, static_cast<int32_t>(frame->GeometryDu(Prop::Width)),
              static_cast<int32_t>(frame->GeometryDu(Prop::Height))};
    }
  }
  const region::Rect desktop = detail::Backend().DesktopRect();
  return {static_cast<int32_t>(DialogUnitsFromPixels(Prop::Xpos, desktop.left)),
          static_cast<int32_t>(DialogUnitsFromPixels(Prop::Ypos, desktop.top)),
          static_cast<int32_t>(DialogUnitsFromPixels(Prop::Width, desktop.right - desktop.left)),
          static_cast<int32_t>(DialogUnitsFromPixels(Prop::Height, desktop.bottom - desktop.top))};
}

RectDu Window::RestoredGeometry() const {
  auto at = [&](Prop p) { return static_cast<int32_t>(TextToNumber(props_.Get(p))); };
  return {at(Prop::Xpos), at(Prop::Ypos), at(Prop::Width), at(Prop::Height)};
}

void Window::SetMaximized(bool on) {
  if (props_.Set(Prop::Maximize, on ? "1" : "") == nullptr) return;
  maximized_at_.reset();
  window_dirty_ = true;
  WakeOwnerToFlush();
}

void Window::Centre() {
  if (maximized()) return;
  const int64_t width = TextToNumber(props_.Get(Prop::Width));
  const int64_t height = TextToNumber(props_.Get(Prop::Height));
  int64_t x = 0;
  int64_t y = 0;
  const Window* frame = detail::Frame();
  if (kind() == WindowKind::kMdiChild && frame != nullptr && frame != this) {
    x = (frame->GeometryDu(Prop::Width) - width) / 2;
    y = (frame->GeometryDu(Prop::Height) - height) / 2;
  } else {
    // The whole window, its frame and caption too, sits in the middle of the desktop.
    DisplayBackend& backend = detail::Backend();
    const TextMetrics m = backend.Metrics();
    const region::Rect desktop = backend.DesktopRect();
    const int32_t border = backend.SystemMetric(32);
    const int64_t outer_w = HorizontalPixels(static_cast<int32_t>(width), m) + 2 * border;
    const int64_t outer_h =
        VerticalPixels(static_cast<int32_t>(height), m) + backend.SystemMetric(4) + 2 * border;
    x = DialogUnitsFromPixels(
        Prop::Xpos,
        static_cast<double>(desktop.left + (desktop.right - desktop.left - outer_w) / 2));
    y = DialogUnitsFromPixels(
        Prop::Ypos,
        static_cast<double>(desktop.top + (desktop.bottom - desktop.top - outer_h) / 2));
  }
  props_.Set(Prop::Xpos, std::to_string(x));
  props_.Set(Prop::Ypos, std::to_string(y));
  window_dirty_ = true;
  WakeOwnerToFlush();
}

void Window::TakeReportedGeometry(const RectDu& at) {
  // The size the display gives a maximized window is not the one it is restored to.
  if (maximized()) {
    maximized_at_ = at;
    return;
  }
  props_.Set(Prop::Xpos, std::to_string(at.x));
  props_.Set(Prop::Ypos, std::to_string(at.y));
  props_.Set(Prop::Width, std::to_string(at.width));
  props_.Set(Prop::Height, std::to_string(at.height));
  // A display that let the window go narrower than its MinWidth is put right.
  KeepMinWidth();
}

void Window::TakeReportedState(Input::Kind state) {
  const bool iconized = !props_.Get(Prop::Iconize).empty();
  EventId before = kEventRestore;
  EventId after = kEventRestored;
  if (state == Input::Kind::kMaximized) {
    if (maximized() && !iconized) return;
    before = kEventMaximize;
    after = kEventMaximized;
  } else if (state == Input::Kind::kIconized) {
    if (iconized) return;
    before = kEventIconize;
    after = kEventIconized;
  } else if (!iconized && !maximized()) {
    return;
  }
  Queue(before, kNoField);
  // Restoring an iconized window brings back what it was before: maximized or not.
  if (state == Input::Kind::kMaximized) {
    props_.Set(Prop::Iconize, "");
    SetMaximized(true);
  } else if (state == Input::Kind::kIconized) {
    props_.Set(Prop::Iconize, "1");
  } else if (iconized) {
    props_.Set(Prop::Iconize, "");
  } else {
    SetMaximized(false);
  }
  window_dirty_ = true;
  Queue(after, kNoField);
}

// The window keeps its geometry in dialog units; while Pixels is set the program reads and
// writes it in pixels of the window's font. Writing rounds down to whole units, so a pixel
// size that is no whole number of units reads back a little smaller.
int64_t Window::GeometryInPixels(Prop p) const {
  const TextMetrics m = detail::Backend().Metrics();
  const auto du = static_cast<int32_t>(GeometryDu(p));
  return p == Prop::Xpos || p == Prop::Width ? HorizontalPixels(du, m) : VerticalPixels(du, m);
}

int64_t Window::DialogUnitsFromPixels(Prop p, double px) const {
  const TextMetrics m = detail::Backend().Metrics();
  const bool horizontal = p == Prop::Xpos || p == Prop::Width || p == Prop::MinWidth;
  const int32_t per = horizontal ? m.average_char_width_px : m.char_height_px;
  const int32_t units = horizontal ? 4 : 8;
  // A value beyond the int32_t range is cut to it, as the stored number would be.
  const auto whole = static_cast<int64_t>(std::clamp(px, -2147483648.0, 2147483647.0));
  return per > 0 ? whole * units / per : 0;
}

}  // namespace platform::ui
