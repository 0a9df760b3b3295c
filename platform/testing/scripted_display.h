// The headless display with scripted dialogs, for tests: messages and stop boxes are answered
// by a DialogScript, popups and the file, font and colour dialogs by the answers queued here,
// in order. A dialog that no script expected fails the test and chooses nothing; an expected
// one that never came fails it when the display goes away.
//
//   ScriptedDisplay display;
//   Runtime runtime(display);
//   display.dialogs().ExpectMessage("Please select a ODBC connection first!", kButtonOk);
//   display.ExpectFileDialog("/tmp/out.txd");
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "platform/testing/dialog_script.h"

namespace platform::testing {

// The answers of a ScriptedDisplay's dialogs.
class ScriptedDialogs final : public ui::DisplayDialogs {
 public:
  ScriptedDialogs() = default;
  ~ScriptedDialogs() override;
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  DialogScript& messages() { return messages_; }
  void ExpectPopup(std::string_view text_prefix, int32_t answer);
  void ExpectFileDialog(std::optional<std::string> chosen_file);
  void ExpectColorDialog(std::optional<int32_t> chosen_color);
  void ExpectFontDialog(std::optional<ui::FontChoice> chosen_font);
  void SetHook(std::function<void()> hook);
  std::vector<std::string> popups() const;
  std::vector<std::string> titles() const;

  int32_t ShowMessage(const MessageRequest& request) override;
  bool ShowStop(std::string_view text) override;
  int32_t ShowPopup(const ui::PopupRequest& request) override;
  bool ShowFileDialog(ui::FileDialogRequest& request) override;
  bool ShowFontDialog(std::string_view title, ui::FontChoice& font) override;
  bool ShowColorDialog(std::string_view title, int32_t& color) override;

 private:
  void RunHook();

  DialogScript messages_{/*install=*/false};
  mutable std::mutex mutex_;  // guards the state below
  std::function<void()> hook_;
  std::deque<std::pair<std::string, int32_t>> popup_answers_;
  std::deque<std::optional<std::string>> file_answers_;
  std::deque<std::optional<int32_t>> color_answers_;
  std::deque<std::optional<ui::FontChoice>> font_answers_;
  std::vector<std::string> popups_;
  std::vector<std::string> titles_;
};

class ScriptedDisplay : public headless::HeadlessBackend {
 public:
  ScriptedDisplay() { SetDialogs(&answers_); }
  ~ScriptedDisplay() override { SetDialogs(nullptr); }

  // The scripted responder for MESSAGE and STOP.
  DialogScript& dialogs() { return answers_.messages(); }
  // Expectations for the other dialogs, answered in order.
  void ExpectPopup(std::string_view text_prefix, int32_t answer) {
    answers_.ExpectPopup(text_prefix, answer);
  }
  void ExpectFileDialog(std::optional<std::string> chosen_file) {
    answers_.ExpectFileDialog(std::move(chosen_file));
  }
  void ExpectColorDialog(std::optional<int32_t> chosen_color) {
    answers_.ExpectColorDialog(chosen_color);
  }
  void ExpectFontDialog(std::optional<ui::FontChoice> chosen_font) {
    answers_.ExpectFontDialog(std::move(chosen_font));
  }
  // Runs at the start of every dialog, before its script answers, with the runtime lock
  // released: a test can wait there for other threads. Empty removes it.
  void SetDialogHook(std::function<void()> hook) { answers_.SetHook(std::move(hook)); }
  // Every popup text shown, in order.
  std::vector<std::string> popups() const { return answers_.popups(); }
  // The title of every file, font and colour dialog shown, in order.
  std::vector<std::string> dialog_titles() const { return answers_.titles(); }

 private:
  ScriptedDialogs answers_;
};

}  // namespace platform::testing
