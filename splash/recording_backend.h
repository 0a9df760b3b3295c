// A display backend for splash tests: passes every call on to the headless backend and
// keeps each outline a window was shown with, in order, so a test can read the steps of an
// animation that the mirror, which keeps only the last, would not show.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/region/region.h"
#include "platform/ui/forwarding_backend.h"

namespace splash::testing {

class RecordingBackend final : public platform::ui::ForwardingBackend {
 public:
  explicit RecordingBackend(platform::ui::DisplayBackend& display) : ForwardingBackend(display) {}

  // The outlines the window was shown with, one per change, in order; a null entry for a
  // change back to the plain rectangle. Any thread.
  std::vector<std::shared_ptr<const platform::region::Region>> Shapes(
      platform::ui::WindowHandle window) const {
    std::lock_guard lock(mutex_);
    const auto it = shapes_.find(window);
    return it != shapes_.end() ? it->second : decltype(it->second){};
  }

  void CreateWindow(const platform::ui::WindowView& window,
                    const std::vector<platform::ui::ControlView>& controls) override {
    Record(window);
    ForwardingBackend::CreateWindow(window, controls);
  }
  void UpdateWindow(const platform::ui::WindowView& window) override {
    Record(window);
    ForwardingBackend::UpdateWindow(window);
  }

 private:
  void Record(const platform::ui::WindowView& window) {
    std::lock_guard lock(mutex_);
    auto& shapes = shapes_[window.handle];
    // Every new outline is a new shared value; a view that repeats the last one adds nothing.
    if (!shapes.empty() && shapes.back() == window.shape) return;
    if (shapes.empty() && window.shape == nullptr) return;
    shapes.push_back(window.shape);
  }

  mutable std::mutex mutex_;  // guards shapes_
  std::map<platform::ui::WindowHandle, std::vector<std::shared_ptr<const platform::region::Region>>>
      shapes_;
};

}  // namespace splash::testing
