// A display backend that passes every call on to another one, so a decorator overrides only
// the calls it watches or changes and forwards the rest by calling the base:
//
//   class CountingBackend final : public ForwardingBackend {
//    public:
//     using ForwardingBackend::ForwardingBackend;
//     void Beep(int32_t sound) override { ++beeps; ForwardingBackend::Beep(sound); }
//     int beeps = 0;
//   };
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/ui/backend.h"

namespace platform::ui {

class ForwardingBackend : public DisplayBackend {
 public:
  // `target` is borrowed and must outlive this backend.
  explicit ForwardingBackend(DisplayBackend& target) : target_(target) {}
  ForwardingBackend(const ForwardingBackend&) = delete;
  ForwardingBackend& operator=(const ForwardingBackend&) = delete;

  DisplayBackend& target() const { return target_; }

  // DisplayCommands.
  void CreateWindow(const WindowView& window, const std::vector<ControlView>& controls) override;
  void UpdateWindow(const WindowView& window) override;
  void CreateControl(WindowHandle window, const ControlView& control) override;
  void UpdateControl(WindowHandle window, const ControlView& control) override;
  void DestroyControl(WindowHandle window, FieldId field) override;
  void PushListSnapshot(WindowHandle window, FieldId field,
                        std::shared_ptr<const ListSnapshot> snapshot) override;
  void DestroyWindow(WindowHandle window) override;
  void ActivateWindow(WindowHandle window) override;
  void FocusControl(WindowHandle window, FieldId field) override;
  void StartSystemMove(WindowHandle window) override;
  void ShowSystemMenu(WindowHandle window) override;
  void PerformStdAction(WindowHandle window, StdAction action) override;
  void SetCursor(ThreadId thread, Cursor cursor) override;
  void Beep(int32_t sound) override;
  void ProgramEnded() override;
  agent::CharacterDisplay* Characters() override;

  // DesktopServices.
  TextMetrics Metrics() const override;
  int32_t SystemMetric(int32_t index) const override;
  SizePx NaturalSize(WindowHandle window, const ControlView& control) const override;
  region::Rect WindowRect(WindowHandle window) const override;
  region::Rect DesktopRect() const override;
  bool ShowsOpacity() const override;
  region::Point MousePosition() const override;
  void SetMousePosition(int32_t x, int32_t y) override;
  void SynthesizeMouseButton(int32_t button, bool down) override;

  // DisplayDialogs.
  int32_t ShowMessage(const MessageRequest& request) override;
  bool ShowStop(std::string_view text) override;
  int32_t ShowPopup(const PopupRequest& request) override;
  bool ShowFileDialog(FileDialogRequest& request) override;
  bool ShowFontDialog(std::string_view title, FontChoice& font) override;
  bool ShowColorDialog(std::string_view title, int32_t& color) override;

 private:
  DisplayBackend& target_;
};

}  // namespace platform::ui
