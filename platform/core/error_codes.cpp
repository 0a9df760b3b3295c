#include "platform/core/error_codes.h"

namespace platform {

std::string_view ErrorText(int code) {
  switch (code) {
    case kNoError:
      return "";
    case kFileNotFound:
      return "File Not Found";
    case kPathNotFound:
      return "Path Not Found";
    case kTooManyOpenFiles:
      return "Too Many Open Files";
    case kAccessDenied:
      return "Access Denied";
    case kInsufficientMemory:
      return "Insufficient Memory";
    case kEntryNotFound:
      return "Entry Not Found";
    case kRecordNotAvailable:
      return "Record Not Available";
    case kRecordNotFound:
      return "Record Not Found";
    case kInvalidDataFile:
      return "Invalid Data File";
    case kFileNotOpen:
      return "File Not Open";
    case kCreatingDuplicateKey:
      return "Creating Duplicate Key";
    case kInvalidRecordDeclaration:
      return "Invalid Record Declaration";
    case kUnableToLogTransaction:
      return "Unable to Log Transaction";
    case kFileAlreadyOpen:
      return "File Already Open";
    case kLogoutAlreadyActive:
      return "LOGOUT Already Active";
    case kFileSystemError:
      return "File System Error";
    case kNoLogoutActive:
      return "No LOGOUT Active";
    case kBadExpression:
      return "Bad expression";
    case kUnknownFunction:
      return "Unknown function";
    case kDivisionByZero:
      return "Division by zero";
    case kNumberOutOfRange:
      return "Number out of range";
    case kExpressionTooComplex:
      return "Expression too complex";
  }
  return "Unknown Error";
}

}  // namespace platform
