// The fuzz target of the evaluator: any bytes at all must give a result or an error, with
// the error state telling which, and never a crash, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/eval/evaluate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string result = platform::Evaluate(text);
  const int code = platform::ErrorCode();
  if (code == 0) {
    if (!platform::Error().empty()) std::abort();
  } else {
    // An error answers the empty text and posts one of the evaluator's own errors.
    if (!result.empty() || platform::Error().empty()) std::abort();
    if (code < platform::kBadExpression || code > platform::kExpressionTooComplex) std::abort();
  }
  return 0;
}
