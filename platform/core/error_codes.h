// The runtime's error numbers and their texts, as ERRORCODE() and ERROR() report them.
#pragma once

#include <string_view>

namespace platform {

inline constexpr int kNoError = 0;
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kInsufficientMemory = 8;
inline constexpr int kEntryNotFound = 30;       // a queue GET that matched nothing
inline constexpr int kRecordNotAvailable = 33;  // NEXT/PREVIOUS past the end, or no current record
inline constexpr int kRecordNotFound = 35;      // GET by key that matched nothing
inline constexpr int kInvalidDataFile = 36;
inline constexpr int kFileNotOpen = 37;
inline constexpr int kCreatingDuplicateKey = 40;
inline constexpr int kInvalidRecordDeclaration = 47;
inline constexpr int kUnableToLogTransaction = 48;
inline constexpr int kFileAlreadyOpen = 52;
inline constexpr int kLogoutAlreadyActive = 56;
inline constexpr int kFileSystemError = 90;  // the driver's diagnostics are in FILEERROR()
inline constexpr int kNoLogoutActive = 91;

// Errors of the expression evaluator (EVALUATE), numbers of our own. The evaluator posts its
// own text, which names the place ("Missing ')' at 30"); these are the texts for the numbers.
inline constexpr int kBadExpression = 800;         // the text is no valid expression
inline constexpr int kUnknownFunction = 801;       // unknown name, or wrong number of arguments
inline constexpr int kDivisionByZero = 802;        // `/`, `%` or ROUND by zero
inline constexpr int kNumberOutOfRange = 803;      // a result that is no finite number
inline constexpr int kExpressionTooComplex = 804;  // too long, too deep or too much work

// The runtime's text for `code`; "Unknown Error" for a number it has no text for.
std::string_view ErrorText(int code);

}  // namespace platform
