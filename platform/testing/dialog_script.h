// A scripted responder for MESSAGE and STOP in tests. Each expected dialog is queued with the
// answer to give; a dialog that no script expected fails the test, and so does an expected
// dialog that never came.
//
//   DialogScript dialogs;
//   dialogs.ExpectMessage("There is already a export file|", platform::kButtonYes);
//   ... run the code ...
//   EXPECT_EQ(dialogs.seen()[0].caption, "...");
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/message.h"

namespace platform::testing {

class DialogScript : public DialogBackend {
 public:
  // Installs itself as the dialog backend unless `install` is false (a display backend that
  // forwards its dialogs to it); the destructor removes it and fails the test for every
  // expected dialog that was not shown.
  explicit DialogScript(bool install = true);
  ~DialogScript() override;
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  // Expects a message whose text starts with `text_prefix`, answered with `answer`.
  void ExpectMessage(std::string_view text_prefix, int32_t answer);
  // Expects a stop box whose text starts with `text_prefix`; `abort` chooses Abort.
  void ExpectStop(std::string_view text_prefix, bool abort = false);

  int32_t ShowMessage(const MessageRequest& request) override;
  bool ShowStop(std::string_view text) override;

  // Every message shown, in order (stop boxes have the caption "STOP").
  std::vector<MessageRequest> seen() const;
  size_t pending() const;

 private:
  struct Expected {
    bool stop;
    std::string prefix;
    int32_t answer;
  };
  mutable std::mutex mutex_;
  std::deque<Expected> expected_;
  std::vector<MessageRequest> seen_;
  bool installed_;
};

}  // namespace platform::testing
