#include "platform/headless/headless_backend.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace platform::headless {

HeadlessBackend::HeadlessBackend() = default;

HeadlessBackend::~HeadlessBackend() {
  std::lock_guard lock(mutex_);
  for (const auto& [prefix, answer] : popup_answers_) {
    ADD_FAILURE() << "expected popup never shown: " << prefix;
  }
  if (!file_answers_.empty()) ADD_FAILURE() << "expected file dialog never shown";
  if (!color_answers_.empty()) ADD_FAILURE() << "expected colour dialog never shown";
  if (!font_answers_.empty()) ADD_FAILURE() << "expected font dialog never shown";
}

void HeadlessBackend::ExpectPopup(std::string_view text_prefix, int32_t answer) {
  std::lock_guard lock(mutex_);
  popup_answers_.emplace_back(std::string(text_prefix), answer);
}

void HeadlessBackend::ExpectFileDialog(std::optional<std::string> chosen_file) {
  std::lock_guard lock(mutex_);
  file_answers_.push_back(std::move(chosen_file));
}

void HeadlessBackend::ExpectColorDialog(std::optional<int32_t> chosen_color) {
  std::lock_guard lock(mutex_);
  color_answers_.push_back(chosen_color);
}

void HeadlessBackend::ExpectFontDialog(std::optional<ui::FontChoice> chosen_font) {
  std::lock_guard lock(mutex_);
  font_answers_.push_back(std::move(chosen_font));
}

void HeadlessBackend::SetDialogHook(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  dialog_hook_ = std::move(hook);
}

void HeadlessBackend::RunDialogHook() {
  std::function<void()> hook;
  {
    std::lock_guard lock(mutex_);
    hook = dialog_hook_;
  }
  if (hook) hook();
}

std::vector<MirrorWindow> HeadlessBackend::Windows() const {
  std::lock_guard lock(mutex_);
  std::vector<MirrorWindow> out;
  for (WindowHandle h : order_) out.push_back(windows_.at(h));
  return out;
}

std::optional<MirrorWindow> HeadlessBackend::FindWindow(WindowHandle handle) const {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(handle);
  if (it == windows_.end()) return std::nullopt;
  return it->second;
}

std::optional<MirrorWindow> HeadlessBackend::FindWindow(std::string_view name) const {
  std::lock_guard lock(mutex_);
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
    const MirrorWindow& w = windows_.at(*it);
    if (w.view.title == name || w.view.label == name) return w;
  }
  return std::nullopt;
}

ui::Cursor HeadlessBackend::CursorOf(ui::ThreadId thread) const {
  std::lock_guard lock(mutex_);
  const auto it = cursors_.find(thread);
  return it != cursors_.end() ? it->second : ui::Cursor::kNormal;
}

int32_t HeadlessBackend::beeps() const {
  std::lock_guard lock(mutex_);
  return beeps_;
}

bool HeadlessBackend::program_ended() const {
  std::lock_guard lock(mutex_);
  return program_ended_;
}

std::vector<std::string> HeadlessBackend::popups() const {
  std::lock_guard lock(mutex_);
  return popups_;
}

std::vector<std::string> HeadlessBackend::dialog_titles() const {
  std::lock_guard lock(mutex_);
  return dialog_titles_;
}

void HeadlessBackend::SetUserScreenText(WindowHandle window, FieldId field, std::string_view text) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it == windows_.end()) return;
  const auto c = it->second.controls.find(field);
  if (c != it->second.controls.end()) c->second.screen_text = text;
}

void HeadlessBackend::MergeControl(MirrorWindow& w, const ControlView& control) {
  auto it = w.controls.find(control.field);
  if (it == w.controls.end()) {
    w.controls[control.field] = control;
    return;
  }
  // As a real widget does: the program's screen text replaces the user's only when the
  // program set it.
  const bool program_set = control.screen_serial != it->second.screen_serial;
  const std::string users = it->second.screen_text;
  it->second = control;
  if (!program_set) it->second.screen_text = users;
}

void HeadlessBackend::CreateWindow(const WindowView& window,
                                   const std::vector<ControlView>& controls) {
  std::lock_guard lock(mutex_);
  MirrorWindow& w = windows_[window.handle];
  w.view = window;
  for (const ControlView& c : controls) w.controls[c.field] = c;
  order_.push_back(window.handle);
}

void HeadlessBackend::UpdateWindow(const WindowView& window) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window.handle);
  if (it != windows_.end()) it->second.view = window;
}

void HeadlessBackend::CreateControl(WindowHandle window, const ControlView& control) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it != windows_.end()) it->second.controls[control.field] = control;
}

void HeadlessBackend::UpdateControl(WindowHandle window, const ControlView& control) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it != windows_.end()) MergeControl(it->second, control);
}

void HeadlessBackend::DestroyControl(WindowHandle window, FieldId field) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it == windows_.end()) return;
  it->second.controls.erase(field);
  it->second.lists.erase(field);
}

void HeadlessBackend::PushListSnapshot(WindowHandle window, FieldId field,
                                       std::shared_ptr<const ListSnapshot> snapshot) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it != windows_.end()) it->second.lists[field] = std::move(snapshot);
}

void HeadlessBackend::DestroyWindow(WindowHandle window) {
  std::lock_guard lock(mutex_);
  windows_.erase(window);
  order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
}

int32_t HeadlessBackend::SystemMetric(int32_t index) const {
  switch (index) {
    case 4:  // caption height
      return 19;
    case 32:  // frame width
    case 33:  // frame height
      return 4;
    case 45:  // edge width
    case 46:  // edge height
      return 2;
    default:
      return 0;
  }
}

region::Rect HeadlessBackend::WindowRect(WindowHandle window) const {
  std::lock_guard lock(mutex_);
  return WindowRectLocked(window);
}

region::Rect HeadlessBackend::WindowRectLocked(WindowHandle window) const {
  const auto it = windows_.find(window);
  if (it == windows_.end()) return {};
  const ui::RectDu px = ui::PixelsFromDialogUnits(it->second.view.at, kMetrics);
  const int32_t frame = SystemMetric(32);
  const int32_t caption = SystemMetric(4);
  return {px.x, px.y, px.x + px.width + 2 * frame, px.y + px.height + caption + 2 * frame};
}

region::Point HeadlessBackend::MousePosition() const {
  std::lock_guard lock(mutex_);
  return mouse_;
}

void HeadlessBackend::SetMousePosition(int32_t x, int32_t y) {
  std::lock_guard lock(mutex_);
  mouse_ = {x, y};
}

void HeadlessBackend::SynthesizeMouseButton(int32_t button, bool down) {
  WindowHandle target = 0;
  ui::Input click;
  {
    std::lock_guard lock(mutex_);
    buttons_.emplace_back(button, down);
    if (button != 1 || down) return;
    // The release completes a click at the mouse: the topmost window under it, then the
    // smallest shown control there (a control on a tab lies inside its sheet). A window with
    // an outline is only where its outline is: elsewhere the click falls through.
    for (auto it = order_.rbegin(); it != order_.rend() && target == 0; ++it) {
      const region::Rect outer = WindowRectLocked(*it);
      if (mouse_.x < outer.left || mouse_.x >= outer.right || mouse_.y < outer.top ||
          mouse_.y >= outer.bottom) {
        continue;
      }
      const std::shared_ptr<const region::Region>& shape = windows_.at(*it).view.shape;
      if (shape && !shape->Contains(mouse_.x - outer.left, mouse_.y - outer.top)) continue;
      target = *it;
      const int32_t x = mouse_.x - outer.left - SystemMetric(32);
      const int32_t y = mouse_.y - outer.top - SystemMetric(32) - SystemMetric(4);
      int64_t best_area = -1;
      for (const auto& [field, c] : windows_.at(*it).controls) {
        if (field <= 0 || !c.visible || !c.enabled) continue;
        const ui::RectDu px = ui::PixelsFromDialogUnits(c.at, kMetrics);
        if (x < px.x || x >= px.x + px.width || y < px.y || y >= px.y + px.height) continue;
        const int64_t area = int64_t{px.width} * px.height;
        if (best_area < 0 || area < best_area) {
          best_area = area;
          click.field = field;
        }
      }
    }
  }
  if (target == 0 || click.field == ui::kNoField) return;
  click.kind = ui::Input::Kind::kClick;
  click.key = ui::kMouseLeft;
  ui::PostInput(target, std::move(click));
}

std::vector<std::pair<int32_t, bool>> HeadlessBackend::synthesized_buttons() const {
  std::lock_guard lock(mutex_);
  return buttons_;
}

void HeadlessBackend::ActivateWindow(WindowHandle window) {
  std::lock_guard lock(mutex_);
  activated_ = window;
}

void HeadlessBackend::PerformStdAction(WindowHandle /*window*/, ui::StdAction action) {
  std::lock_guard lock(mutex_);
  std_actions_.push_back(action);
}

WindowHandle HeadlessBackend::activated() const {
  std::lock_guard lock(mutex_);
  return activated_;
}

std::vector<ui::StdAction> HeadlessBackend::std_actions() const {
  std::lock_guard lock(mutex_);
  return std_actions_;
}

void HeadlessBackend::SetCursor(ui::ThreadId thread, ui::Cursor cursor) {
  std::lock_guard lock(mutex_);
  cursors_[thread] = cursor;
}

void HeadlessBackend::Beep(int32_t /*sound*/) {
  std::lock_guard lock(mutex_);
  ++beeps_;
}

void HeadlessBackend::ProgramEnded() {
  std::lock_guard lock(mutex_);
  program_ended_ = true;
}

int32_t HeadlessBackend::ShowMessage(const MessageRequest& request) {
  RunDialogHook();
  return dialogs_.ShowMessage(request);
}

bool HeadlessBackend::ShowStop(std::string_view text) {
  RunDialogHook();
  return dialogs_.ShowStop(text);
}

int32_t HeadlessBackend::ShowPopup(const ui::PopupRequest& request) {
  RunDialogHook();
  std::lock_guard lock(mutex_);
  popups_.push_back(request.text);
  if (popup_answers_.empty() || request.text.rfind(popup_answers_.front().first, 0) != 0) {
    ADD_FAILURE() << "unexpected popup: " << request.text;
    return 0;
  }
  const int32_t answer = popup_answers_.front().second;
  popup_answers_.pop_front();
  return answer;
}

bool HeadlessBackend::ShowFileDialog(ui::FileDialogRequest& request) {
  RunDialogHook();
  std::lock_guard lock(mutex_);
  dialog_titles_.push_back(request.title);
  if (file_answers_.empty()) {
    ADD_FAILURE() << "unexpected file dialog: " << request.title;
    return false;
  }
  std::optional<std::string> answer = std::move(file_answers_.front());
  file_answers_.pop_front();
  if (!answer) return false;
  request.file = *answer;
  return true;
}

bool HeadlessBackend::ShowFontDialog(std::string_view title, ui::FontChoice& font) {
  RunDialogHook();
  std::lock_guard lock(mutex_);
  dialog_titles_.emplace_back(title);
  if (font_answers_.empty()) {
    ADD_FAILURE() << "unexpected font dialog: " << title;
    return false;
  }
  std::optional<ui::FontChoice> answer = std::move(font_answers_.front());
  font_answers_.pop_front();
  if (!answer) return false;
  font = *answer;
  return true;
}

bool HeadlessBackend::ShowColorDialog(std::string_view title, int32_t& color) {
  RunDialogHook();
  std::lock_guard lock(mutex_);
  dialog_titles_.emplace_back(title);
  if (color_answers_.empty()) {
    ADD_FAILURE() << "unexpected colour dialog: " << title;
    return false;
  }
  const std::optional<int32_t> answer = color_answers_.front();
  color_answers_.pop_front();
  if (!answer) return false;
  color = *answer;
  return true;
}

}  // namespace platform::headless
