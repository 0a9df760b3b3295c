#include "platform/files/odbc/odbc_handle.h"

#include <string>

namespace platform::files {

Status OdbcDiagnostics(SQLSMALLINT handle_type, SQLHANDLE handle, std::string_view fallback) {
  return OdbcDiagnostics(kFileSystemError, handle_type, handle, fallback);
}

Status OdbcDiagnostics(int code, SQLSMALLINT handle_type, SQLHANDLE handle,
                       std::string_view fallback) {
  // Outputs start cleared, so a driver that answers without filling them leaves no garbage.
  SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
  SQLINTEGER native = 0;
  SQLCHAR message[4096] = {};
  SQLSMALLINT length = 0;
  const SQLRETURN rc =
      handle == SQL_NULL_HANDLE
          ? SQL_INVALID_HANDLE
          : SQLGetDiagRec(handle_type, handle, 1, state, &native, message, sizeof message, &length);
  if (!OdbcOk(rc)) return Status::Error(code, {}, std::string(fallback));
  // The text is zero-terminated even when it was cut to the buffer.
  std::string text(reinterpret_cast<const char*>(message));
  return Status::Error(code, {}, std::move(text), std::to_string(native));
}

}  // namespace platform::files
