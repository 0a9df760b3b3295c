// The error state of the calling runtime thread: what ERRORCODE(), ERROR(), FILEERROR() and
// FILEERRORCODE() answer. Every runtime statement sets it: success clears it, a failure posts
// its Status. Each thread has its own state, so threads never see each other's errors.
#pragma once

#include <string>

#include "platform/core/status.h"

namespace platform {

int ErrorCode();
const std::string& Error();
const std::string& FileError();
const std::string& FileErrorCode();

// Posts `s` as the thread's error state (clears it when `s` is OK). Answers s.ok().
bool SetErrorState(const Status& s);
// Posts the runtime's error `code` with its own text and no backend error.
void PostError(int code);
void ClearError();

}  // namespace platform
