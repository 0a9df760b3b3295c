// Status and Result: how code inside platform/ reports failure.
// A Status carries the runtime's error number and text, plus the backend's own text and
// code (an ODBC diagnostic, an SQLite message). Code 0 is success.
#pragma once

#include <cassert>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace platform {

class [[nodiscard]] Status {
 public:
  // Success.
  Status() = default;

  // A failure with the runtime's error `code` (never 0). `text` defaults to the runtime's
  // text for the code; `file_error` and `file_error_code` are the backend's message and code.
  static Status Error(int code, std::string text = {}, std::string file_error = {},
                      std::string file_error_code = {});

  bool ok() const { return code_ == 0; }
  int code() const { return code_; }
  const std::string& text() const { return text_; }
  const std::string& file_error() const { return file_error_; }
  const std::string& file_error_code() const { return file_error_code_; }

  // "text (file error)" for logs and test output.
  std::string ToString() const;

 private:
  int code_ = 0;
  std::string text_;
  std::string file_error_;
  std::string file_error_code_;
};

// A value or the Status that explains why there is none.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}  // NOLINT: implicit on purpose
  Result(Status status) : v_(std::move(status)) { assert(!std::get<Status>(v_).ok()); }

  bool ok() const { return v_.index() == 0; }
  // REQUIRES: ok().
  T& value() & { return std::get<0>(v_); }
  const T& value() const& { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  // The failure; an OK Status when there is a value.
  Status status() const { return ok() ? Status() : std::get<1>(v_); }

 private:
  std::variant<T, Status> v_;
};

}  // namespace platform
