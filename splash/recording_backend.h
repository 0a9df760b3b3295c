// A display backend for splash tests: passes every command on to the headless backend and
// keeps each outline a window was shown with, in order, so a test can read the steps of an
// animation that the mirror, which keeps only the last, would not show.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "platform/region/region.h"
#include "platform/ui/backend.h"

namespace splash::testing {

class RecordingBackend final : public platform::ui::DisplayBackend {
 public:
  explicit RecordingBackend(platform::headless::HeadlessBackend& display) : display_(display) {}

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
    display_.CreateWindow(window, controls);
  }
  void UpdateWindow(const platform::ui::WindowView& window) override {
    Record(window);
    display_.UpdateWindow(window);
  }
  void CreateControl(platform::ui::WindowHandle w, const platform::ui::ControlView& c) override {
    display_.CreateControl(w, c);
  }
  void UpdateControl(platform::ui::WindowHandle w, const platform::ui::ControlView& c) override {
    display_.UpdateControl(w, c);
  }
  void DestroyControl(platform::ui::WindowHandle w, platform::ui::FieldId f) override {
    display_.DestroyControl(w, f);
  }
  void PushListSnapshot(platform::ui::WindowHandle w, platform::ui::FieldId f,
                        std::shared_ptr<const platform::ui::ListSnapshot> s) override {
    display_.PushListSnapshot(w, f, std::move(s));
  }
  void DestroyWindow(platform::ui::WindowHandle w) override { display_.DestroyWindow(w); }
  void ActivateWindow(platform::ui::WindowHandle w) override { display_.ActivateWindow(w); }
  void PerformStdAction(platform::ui::WindowHandle w, platform::ui::StdAction a) override {
    display_.PerformStdAction(w, a);
  }
  void SetCursor(platform::ui::ThreadId t, platform::ui::Cursor c) override {
    display_.SetCursor(t, c);
  }
  void Beep(int32_t sound) override { display_.Beep(sound); }
  platform::ui::TextMetrics Metrics() const override { return display_.Metrics(); }
  void ProgramEnded() override { display_.ProgramEnded(); }
  int32_t SystemMetric(int32_t index) const override { return display_.SystemMetric(index); }
  platform::region::Rect WindowRect(platform::ui::WindowHandle w) const override {
    return display_.WindowRect(w);
  }
  platform::region::Point MousePosition() const override { return display_.MousePosition(); }
  void SetMousePosition(int32_t x, int32_t y) override { display_.SetMousePosition(x, y); }
  void SynthesizeMouseButton(int32_t button, bool down) override {
    display_.SynthesizeMouseButton(button, down);
  }
  int32_t ShowMessage(const platform::MessageRequest& r) override {
    return display_.ShowMessage(r);
  }
  bool ShowStop(std::string_view text) override { return display_.ShowStop(text); }
  int32_t ShowPopup(const platform::ui::PopupRequest& r) override { return display_.ShowPopup(r); }
  bool ShowFileDialog(platform::ui::FileDialogRequest& r) override {
    return display_.ShowFileDialog(r);
  }
  bool ShowFontDialog(std::string_view title, platform::ui::FontChoice& f) override {
    return display_.ShowFontDialog(title, f);
  }
  bool ShowColorDialog(std::string_view title, int32_t& c) override {
    return display_.ShowColorDialog(title, c);
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

  platform::headless::HeadlessBackend& display_;
  mutable std::mutex mutex_;  // guards shapes_
  std::map<platform::ui::WindowHandle, std::vector<std::shared_ptr<const platform::region::Region>>>
      shapes_;
};

}  // namespace splash::testing
