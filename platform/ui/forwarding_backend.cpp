#include "platform/ui/forwarding_backend.h"

namespace platform::ui {

void ForwardingBackend::CreateWindow(const WindowView& window,
                                     const std::vector<ControlView>& controls) {
  target_.CreateWindow(window, controls);
}
void ForwardingBackend::UpdateWindow(const WindowView& window) { target_.UpdateWindow(window); }
void ForwardingBackend::CreateControl(WindowHandle window, const ControlView& control) {
  target_.CreateControl(window, control);
}
void ForwardingBackend::UpdateControl(WindowHandle window, const ControlView& control) {
  target_.UpdateControl(window, control);
}
void ForwardingBackend::DestroyControl(WindowHandle window, FieldId field) {
  target_.DestroyControl(window, field);
}
void ForwardingBackend::PushListSnapshot(WindowHandle window, FieldId field,
                                         std::shared_ptr<const ListSnapshot> snapshot) {
  target_.PushListSnapshot(window, field, std::move(snapshot));
}
void ForwardingBackend::DestroyWindow(WindowHandle window) { target_.DestroyWindow(window); }
void ForwardingBackend::ActivateWindow(WindowHandle window) { target_.ActivateWindow(window); }
void ForwardingBackend::FocusControl(WindowHandle window, FieldId field) {
  target_.FocusControl(window, field);
}
void ForwardingBackend::StartSystemMove(WindowHandle window) { target_.StartSystemMove(window); }
void ForwardingBackend::ShowSystemMenu(WindowHandle window) { target_.ShowSystemMenu(window); }
void ForwardingBackend::PerformStdAction(WindowHandle window, StdAction action) {
  target_.PerformStdAction(window, action);
}
void ForwardingBackend::SetCursor(ThreadId thread, Cursor cursor) {
  target_.SetCursor(thread, cursor);
}
void ForwardingBackend::Beep(int32_t sound) { target_.Beep(sound); }
void ForwardingBackend::ProgramEnded() { target_.ProgramEnded(); }
agent::CharacterDisplay* ForwardingBackend::Characters() { return target_.Characters(); }

TextMetrics ForwardingBackend::Metrics() const { return target_.Metrics(); }
int32_t ForwardingBackend::SystemMetric(int32_t index) const { return target_.SystemMetric(index); }
SizePx ForwardingBackend::NaturalSize(WindowHandle window, const ControlView& control) const {
  return target_.NaturalSize(window, control);
}
region::Rect ForwardingBackend::WindowRect(WindowHandle window) const {
  return target_.WindowRect(window);
}

region::Rect ForwardingBackend::DesktopRect() const { return target_.DesktopRect(); }
bool ForwardingBackend::ShowsOpacity() const { return target_.ShowsOpacity(); }
region::Point ForwardingBackend::MousePosition() const { return target_.MousePosition(); }
void ForwardingBackend::SetMousePosition(int32_t x, int32_t y) { target_.SetMousePosition(x, y); }
void ForwardingBackend::SynthesizeMouseButton(int32_t button, bool down) {
  target_.SynthesizeMouseButton(button, down);
}

int32_t ForwardingBackend::ShowMessage(const MessageRequest& request) {
  return target_.ShowMessage(request);
}
bool ForwardingBackend::ShowStop(std::string_view text) { return target_.ShowStop(text); }
int32_t ForwardingBackend::ShowPopup(const PopupRequest& request) {
  return target_.ShowPopup(request);
}
bool ForwardingBackend::ShowFileDialog(FileDialogRequest& request) {
  return target_.ShowFileDialog(request);
}
bool ForwardingBackend::ShowFontDialog(std::string_view title, FontChoice& font) {
  return target_.ShowFontDialog(title, font);
}
bool ForwardingBackend::ShowColorDialog(std::string_view title, int32_t& color) {
  return target_.ShowColorDialog(title, color);
}

}  // namespace platform::ui
