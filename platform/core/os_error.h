// OS errors as the runtime reports them: an errno value becomes a Status with the runtime's
// error number and text, the OS's own text in FILEERROR() and the errno number in
// FILEERRORCODE().
#pragma once

#include "platform/core/status.h"

namespace platform {

// The runtime's error number for the errno value `err`: 2 (ENOENT), 3 (ENOTDIR, a missing
// directory), 4 (EMFILE, ENFILE), 5 (EACCES, EPERM, EROFS, EISDIR, ETXTBSY), 8 (ENOMEM),
// 90 for every other failure (disk full, I/O error, file too large, ...).
int RuntimeCodeForErrno(int err);

// A failure Status for `err` (REQUIRES: err != 0). `code` 0 takes RuntimeCodeForErrno(err).
Status ErrnoStatus(int err, int code = 0);

}  // namespace platform
