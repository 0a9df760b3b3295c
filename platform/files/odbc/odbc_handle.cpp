#include "platform/files/odbc/odbc_handle.h"

#include <algorithm>
#include <cctype>
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

bool OdbcConnectionLost(SQLSMALLINT handle_type, SQLHANDLE handle) {
  // What the drivers say, in lower case, when a connection broke under them without a
  // class 08 state (the PostgreSQL driver answers HY000 or 08S01 by the call).
  constexpr std::string_view kLostTexts[] = {
      "connection has been lost", "due to the connection lost", "server closed the connection",
      "connection is dead", "no connection to the server"};
  if (handle == SQL_NULL_HANDLE) return false;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[4096] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRec(handle_type, handle, record, state, &native, message,
                                       sizeof message, &length);
    if (!OdbcOk(rc)) return false;
    if (state[0] == '0' && state[1] == '8') return true;
    std::string text(reinterpret_cast<const char*>(message));
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    for (std::string_view lost : kLostTexts) {
      if (text.find(lost) != std::string::npos) return true;
    }
  }
}

}  // namespace platform::files
