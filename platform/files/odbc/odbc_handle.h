// Owners of ODBC handles, and the diagnostics of a failed ODBC call as a Status. This header
// brings in the ODBC API; only the ODBC file driver and the catalog readers' .cpp files may
// include it.
//
//   Result<OdbcStatement> stmt = OdbcStatement::Allocate(connection_handle);
//   if (!stmt.ok()) return stmt.status();
//   SQLRETURN rc = SQLTables(stmt.value().get(), nullptr, 0, ...);
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include <sql.h>
#include <sqlext.h>

#include "platform/core/error_codes.h"
#include "platform/core/status.h"

namespace platform::files {

// True for SQL_SUCCESS and SQL_SUCCESS_WITH_INFO; every other result is a failure.
inline bool OdbcOk(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// The first diagnostic record of `handle` as a file-system error (90): FILEERROR is its
// message, FILEERRORCODE its native code as text. `fallback` is the message when the driver
// left no record. Read it right after the failing call, before the handle is used again.
Status OdbcDiagnostics(SQLSMALLINT handle_type, SQLHANDLE handle, std::string_view fallback = {});
// The same with the runtime's error `code` in place of 90.
Status OdbcDiagnostics(int code, SQLSMALLINT handle_type, SQLHANDLE handle,
                       std::string_view fallback = {});

// Whether the diagnostics of `handle`, after a failed call, say that the connection is gone:
// a record of SQLSTATE class 08 (connection exception), or a driver's own words for it where
// it gives another state ("The connection has been lost"). Reads every record; leaves them.
bool OdbcConnectionLost(SQLSMALLINT handle_type, SQLHANDLE handle);

// `text` without a last UTF-8 character whose bytes are not all there: for a text that a
// driver cut at a byte count. A text that ends on a whole character, and one that is not
// UTF-8 at its end (a stray continuation byte), is answered whole.
std::string_view WholeUtf8Characters(std::string_view text);

// A handle as the 64-bit number the file properties answer, and back. 0 is no handle.
inline int64_t HandleToNumber(SQLHANDLE h) {
  return static_cast<int64_t>(reinterpret_cast<uintptr_t>(h));
}
inline SQLHANDLE NumberToHandle(int64_t n) {
  return reinterpret_cast<SQLHANDLE>(static_cast<uintptr_t>(n));
}

// Owns one ODBC handle of type kType (SQL_HANDLE_ENV, _DBC or _STMT) and frees it exactly once.
// Move-only; a moved-from owner holds no handle. A connection handle must be disconnected by
// its user before it is freed (see OdbcConnection in the driver).
template <SQLSMALLINT kType>
class OdbcHandle {
 public:
  OdbcHandle() = default;

  // Allocates a handle under `parent` (SQL_NULL_HANDLE for an environment). An environment is
  // set to ODBC 3 behaviour. On failure the Status holds the parent's diagnostics.
  static Result<OdbcHandle> Allocate(SQLHANDLE parent) {
    SQLHANDLE h = SQL_NULL_HANDLE;
    const SQLRETURN rc = SQLAllocHandle(kType, parent, &h);
    if (!OdbcOk(rc)) {
      if (kType == SQL_HANDLE_ENV || parent == SQL_NULL_HANDLE) {
        return Status::Error(kFileSystemError, {}, "cannot allocate an ODBC handle");
      }
      return OdbcDiagnostics(kType == SQL_HANDLE_DBC ? SQL_HANDLE_ENV : SQL_HANDLE_DBC, parent,
                             "cannot allocate an ODBC handle");
    }
    OdbcHandle owner(h);
    ++live_count_;
    ++allocated_count_;
    if constexpr (kType == SQL_HANDLE_ENV) {
      const SQLRETURN v =
          SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
      if (!OdbcOk(v)) return OdbcDiagnostics(SQL_HANDLE_ENV, h, "cannot set ODBC version 3");
    }
    return owner;
  }

  OdbcHandle(OdbcHandle&& other) noexcept : h_(other.h_) { other.h_ = SQL_NULL_HANDLE; }
  OdbcHandle& operator=(OdbcHandle&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = other.h_;
      other.h_ = SQL_NULL_HANDLE;
    }
    return *this;
  }
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;
  ~OdbcHandle() { reset(); }

  SQLHANDLE get() const { return h_; }
  // How many handles of this type the owners hold at the moment, for tests that check that
  // no path leaves one allocated.
  static int64_t TEST_live_count() { return live_count_.load(); }
  // How many handles of this type were allocated since the process began, for tests that
  // check a path got as far as allocating one.
  static int64_t TEST_allocated_count() { return allocated_count_.load(); }
  explicit operator bool() const { return h_ != SQL_NULL_HANDLE; }

  // Frees the handle now, when there is one.
  void reset() {
    if (h_ != SQL_NULL_HANDLE) {
      // Ignoring the result on purpose: nothing can be done about a failed free.
      (void)SQLFreeHandle(kType, h_);
      h_ = SQL_NULL_HANDLE;
      --live_count_;
    }
  }

 private:
  explicit OdbcHandle(SQLHANDLE h) : h_(h) {}

  SQLHANDLE h_ = SQL_NULL_HANDLE;
  inline static std::atomic<int64_t> live_count_{0};
  inline static std::atomic<int64_t> allocated_count_{0};
};

using OdbcEnvironment = OdbcHandle<SQL_HANDLE_ENV>;
using OdbcConnectionHandle = OdbcHandle<SQL_HANDLE_DBC>;
using OdbcStatement = OdbcHandle<SQL_HANDLE_STMT>;

}  // namespace platform::files
