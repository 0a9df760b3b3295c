// EVALUATE: the runtime's expression evaluator. It reads a text such as
// "'ABC'='ABC' AND INSTRING('B','ABC',1,1)" or "'Name: ' & UPPER('x')" and answers its value
// as text. The language is described at the top of evaluate.cpp.
//
// Evaluation is pure: the only input is the text. Every text, whatever its content, gives a
// result or an error in time linear in its length; nothing is read or changed outside it.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/status.h"

namespace platform {

// The longest text Evaluate accepts, in bytes; a longer one is an error.
inline constexpr size_t kMaxExpressionBytes = 10000;
// The deepest nesting of parentheses and function calls; a deeper one is an error.
inline constexpr int kMaxExpressionDepth = 200;

// The value of `text`, or the Status of the first error met (codes kBadExpression to
// kExpressionTooComplex of error_codes.h, with a text that names the place). Syntax errors
// are found before anything is computed. Touches no error state. Any thread.
Result<std::string> EvaluateExpression(std::string_view text);

// EVALUATE(text): the value of `text` as text, and the calling thread's error state cleared;
// on an error the empty text, with the error posted (ErrorCode(), Error()). Any thread.
std::string Evaluate(std::string_view text);

}  // namespace platform
