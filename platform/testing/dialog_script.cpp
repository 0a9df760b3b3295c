#include "platform/testing/dialog_script.h"

#include <gtest/gtest.h>

namespace platform::testing {

DialogScript::DialogScript(bool install) : installed_(install) {
  if (installed_) SetDialogBackend(this);
}

DialogScript::~DialogScript() {
  if (installed_ && GetDialogBackend() == this) SetDialogBackend(nullptr);
  for (const Expected& e : expected_) {
    ADD_FAILURE() << "expected " << (e.stop ? "stop box" : "message")
                  << " never shown: " << e.prefix;
  }
}

void DialogScript::ExpectMessage(std::string_view text_prefix, int32_t answer) {
  std::lock_guard lock(mutex_);
  expected_.push_back({false, std::string(text_prefix), answer});
}

void DialogScript::ExpectStop(std::string_view text_prefix, bool abort) {
  std::lock_guard lock(mutex_);
  expected_.push_back({true, std::string(text_prefix), abort ? 1 : 0});
}

int32_t DialogScript::ShowMessage(const MessageRequest& request) {
  std::lock_guard lock(mutex_);
  seen_.push_back(request);
  if (expected_.empty() || expected_.front().stop ||
      request.text.rfind(expected_.front().prefix, 0) != 0) {
    ADD_FAILURE() << "unexpected message: " << request.text;
    return 0;
  }
  const int32_t answer = expected_.front().answer;
  expected_.pop_front();
  return answer;
}

bool DialogScript::ShowStop(std::string_view text) {
  std::lock_guard lock(mutex_);
  MessageRequest r;
  r.text = text;
  r.caption = "STOP";
  seen_.push_back(r);
  if (expected_.empty() || !expected_.front().stop ||
      std::string_view(text).rfind(expected_.front().prefix, 0) != 0) {
    ADD_FAILURE() << "unexpected stop box: " << text;
    return false;
  }
  const bool abort = expected_.front().answer != 0;
  expected_.pop_front();
  return abort;
}

std::vector<MessageRequest> DialogScript::seen() const {
  std::lock_guard lock(mutex_);
  return seen_;
}

size_t DialogScript::pending() const {
  std::lock_guard lock(mutex_);
  return expected_.size();
}

}  // namespace platform::testing
