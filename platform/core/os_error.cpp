#include "platform/core/os_error.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/core/error_codes.h"

namespace platform {

int RuntimeCodeForErrno(int err) {
  switch (err) {
    case ENOENT:
      return kFileNotFound;
    case ENOTDIR:
      return kPathNotFound;
    case EMFILE:
    case ENFILE:
      return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return kAccessDenied;
    case ENOMEM:
      return kInsufficientMemory;
    default:
      return kFileSystemError;
  }
}

Status ErrnoStatus(int err, int code) {
  if (code == 0) code = RuntimeCodeForErrno(err);
  return Status::Error(code, {}, std::strerror(err), std::to_string(err));
}

}  // namespace platform
