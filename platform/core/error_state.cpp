#include "platform/core/error_state.h"

namespace platform {
namespace {

thread_local Status t_error;

}  // namespace

int ErrorCode() { return t_error.code(); }
const std::string& Error() { return t_error.text(); }
const std::string& FileError() { return t_error.file_error(); }
const std::string& FileErrorCode() { return t_error.file_error_code(); }

bool SetErrorState(const Status& s) {
  t_error = s;
  return s.ok();
}

void PostError(int code) { t_error = code == 0 ? Status() : Status::Error(code); }

void ClearError() { t_error = Status(); }

}  // namespace platform
