#include "platform/core/status.h"

#include "platform/core/error_codes.h"

namespace platform {

Status Status::Error(int code, std::string text, std::string file_error,
                     std::string file_error_code) {
  assert(code != 0);
  Status s;
  s.code_ = code;
  s.text_ = text.empty() ? std::string(ErrorText(code)) : std::move(text);
  s.file_error_ = std::move(file_error);
  s.file_error_code_ = std::move(file_error_code);
  return s;
}

std::string Status::ToString() const {
  if (ok()) return "OK";
  std::string out = std::to_string(code_) + " " + text_;
  if (!file_error_.empty() || !file_error_code_.empty()) {
    out += " (" + file_error_code_ + ": " + file_error_ + ")";
  }
  return out;
}

}  // namespace platform
