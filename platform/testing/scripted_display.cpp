#include "platform/testing/scripted_display.h"

#include <gtest/gtest.h>

namespace platform::testing {

ScriptedDialogs::~ScriptedDialogs() {
  std::lock_guard lock(mutex_);
  for (const auto& [prefix, answer] : popup_answers_) {
    ADD_FAILURE() << "expected popup never shown: " << prefix;
  }
  if (!file_answers_.empty()) ADD_FAILURE() << "expected file dialog never shown";
  if (!color_answers_.empty()) ADD_FAILURE() << "expected colour dialog never shown";
  if (!font_answers_.empty()) ADD_FAILURE() << "expected font dialog never shown";
}

void ScriptedDialogs::ExpectPopup(std::string_view text_prefix, int32_t answer) {
  std::lock_guard lock(mutex_);
  popup_answers_.emplace_back(std::string(text_prefix), answer);
}

void ScriptedDialogs::ExpectFileDialog(std::optional<std::string> chosen_file) {
  std::lock_guard lock(mutex_);
  file_answers_.push_back(std::move(chosen_file));
}

void ScriptedDialogs::ExpectColorDialog(std::optional<int32_t> chosen_color) {
  std::lock_guard lock(mutex_);
  color_answers_.push_back(chosen_color);
}

void ScriptedDialogs::ExpectFontDialog(std::optional<ui::FontChoice> chosen_font) {
  std::lock_guard lock(mutex_);
  font_answers_.push_back(std::move(chosen_font));
}

void ScriptedDialogs::SetHook(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  hook_ = std::move(hook);
}

std::vector<std::string> ScriptedDialogs::popups() const {
  std::lock_guard lock(mutex_);
  return popups_;
}

std::vector<std::string> ScriptedDialogs::titles() const {
  std::lock_guard lock(mutex_);
  return titles_;
}

void ScriptedDialogs::RunHook() {
  std::function<void()> hook;
  {
    std::lock_guard lock(mutex_);
    hook = hook_;
  }
  if (hook) hook();
}

int32_t ScriptedDialogs::ShowMessage(const MessageRequest& request) {
  RunHook();
  return messages_.ShowMessage(request);
}

bool ScriptedDialogs::ShowStop(std::string_view text) {
  RunHook();
  return messages_.ShowStop(text);
}

int32_t ScriptedDialogs::ShowPopup(const ui::PopupRequest& request) {
  RunHook();
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

bool ScriptedDialogs::ShowFileDialog(ui::FileDialogRequest& request) {
  RunHook();
  std::lock_guard lock(mutex_);
  titles_.push_back(request.title);
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

bool ScriptedDialogs::ShowFontDialog(std::string_view title, ui::FontChoice& font) {
  RunHook();
  std::lock_guard lock(mutex_);
  titles_.emplace_back(title);
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

bool ScriptedDialogs::ShowColorDialog(std::string_view title, int32_t& color) {
  RunHook();
  std::lock_guard lock(mutex_);
  titles_.emplace_back(title);
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

}  // namespace platform::testing
