#include "platform/files/odbc/odbc_handle.h"

#include <string>

namespace platform::files {

std::string_view WholeUtf8Characters(std::string_view text) {
  size_t start = text.size();
  // The last lead byte, at most three continuation bytes back.
  while (start > 0 && text.size() - start < 4 &&
         (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
    --start;
  }
  if (start == 0) return text;
  const auto lead = static_cast<unsigned char>(text[start - 1]);
  if (lead < 0xC0) return text;  // ASCII, or no character at all: nothing to drop
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  return text.size() - (start - 1) < length ? text.substr(0, start - 1) : text;
}

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
  // The text is zero-terminated even when it was cut to the buffer. Drivers keep only the
  // start of a long message (SQLite's 512 bytes, PostgreSQL's 4095), cut at a byte count.
  std::string text(reinterpret_cast<const char*>(message));
  text.resize(WholeUtf8Characters(text).size());
  return Status::Error(code, {}, std::move(text), std::to_string(native));
}

}  // namespace platform::files
