#include "platform/files/odbc/odbc_driver.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include <dlfcn.h>
#include <link.h>

#include "platform/core/error_codes.h"
#include "platform/core/record.h"
#include "platform/files/odbc/connect_string.h"
#include "platform/files/odbc/odbc_handle.h"

namespace platform::files {
namespace {

// Bytes per SQLGetData call when a column is read into a record field; longer values are
// read in pieces and joined.
constexpr size_t kChunkBytes = 1024;

// The value of column `n` of the current row as text; `null` tells a NULL from an empty text.
Status ReadColumn(SQLHSTMT stmt, SQLUSMALLINT n, std::string& value, bool& null) {
  value.clear();
  null = false;
  char chunk[kChunkBytes];
  for (;;) {
    SQLLEN indicator = 0;
    chunk[0] = '\0';
    const SQLRETURN rc = SQLGetData(stmt, n, SQL_C_CHAR, chunk, sizeof chunk, &indicator);
    if (rc == SQL_NO_DATA) return Status();  // the previous piece was the last
    if (!OdbcOk(rc)) return OdbcDiagnostics(SQL_HANDLE_STMT, stmt);
    if (indicator == SQL_NULL_DATA) {
      null = true;
      return Status();
    }
    // A cut piece fills the buffer but for its terminating zero.
    const bool cut = rc == SQL_SUCCESS_WITH_INFO &&
                     (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof chunk));
    const size_t got = cut ? sizeof chunk - 1 : static_cast<size_t>(std::max<SQLLEN>(indicator, 0));
    value.append(chunk, std::min(got, sizeof chunk - 1));
    if (!cut) return Status();
  }
}

// The names of the libraries loaded in this process, as they were loaded.
std::vector<std::string> LoadedLibraries() {
  std::vector<std::string> names;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) -> int {
        if (info->dlpi_name && info->dlpi_name[0] != '\0') {
          static_cast<std::vector<std::string>*>(data)->emplace_back(info->dlpi_name);
        }
        return 0;
      },
      &names);
  std::sort(names.begin(), names.end());
  return names;
}

// Keeps the libraries that a connection loaded (the driver and what it needs) loaded until
// the process ends; `before` is LoadedLibraries() from before the connection. The driver
// manager may unload a driver before the leak check of a sanitizer build runs at the end,
// which then reports what the driver keeps for the whole process without the driver's
// name, so no suppression can tell it from a leak of ours. Loaded once, a driver stays, and
// a later connection finds it in place.
void KeepNewLibrariesLoaded(const std::vector<std::string>& before) {
  for (const std::string& name : LoadedLibraries()) {
    if (std::binary_search(before.begin(), before.end(), name)) continue;
    // Only a library already loaded, never to be unloaded. The handle is not closed on
    // purpose: it is what keeps the library.
    (void)dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  }
}

class OdbcDriver final : public Driver {
 public:
  explicit OdbcDriver(OwnerSource owner_source) : owner_source_(std::move(owner_source)) {}
  ~OdbcDriver() override { Disconnect(); }

  Status Open(File& file, uint32_t /*mode*/) override {
    table_sql_.clear();
    if (Status s = Connect(file); !s.ok()) return s;
    if (file.FieldCount() > 0) {
      if (Status s = OpenTable(file); !s.ok()) return s;
    }
    file.set_open(true);
    return Status();
  }

  Status Close(File& file) override {
    // The connection stays for the next OPEN; only the statement ends. A connection that
    // broke is let go, so the next OPEN connects anew.
    stmt_.reset();
    if (lost_) Disconnect();
    file.set_open(false);
    return Status();
  }

  Status Set(File& file) override {
    if (table_sql_.empty()) return Driver::Set(file);
    return Run(table_sql_);
  }

  Status Next(File& file) override {
    if (!stmt_) return Status::Error(kRecordNotAvailable);
    const SQLRETURN rc = SQLFetch(stmt_.get());
    if (rc == SQL_NO_DATA) return Status::Error(kRecordNotAvailable);
    if (!OdbcOk(rc)) return StatementFailure(stmt_.get());
    return FillRecord(file);
  }

  // BUFFER is accepted: rows are fetched one at a time whatever the page size, because the
  // program reads the columns of the current row directly.
  Status Buffer(File&, int32_t, int32_t, int32_t, int32_t) override { return Status(); }

  std::string GetProperty(File& file, int32_t prop, int32_t, bool& handled) override {
    handled = true;
    switch (prop) {
      case kPropConnectionHandle:
        return std::to_string(HandleToNumber(dbc_.get()));
      case kPropStatementHandle:
        return std::to_string(HandleToNumber(stmt_.get()));
      case kPropOwner:
        return CurrentOwner(file);
      default:
        handled = false;
        return {};
    }
  }

  Status SetProperty(File& file, int32_t prop, int32_t, std::string_view value,
                     bool& handled) override {
    handled = true;
    switch (prop) {
      case kPropSql:
        if (!file.is_open()) return Status::Error(kFileNotOpen);
        return Run(std::string(value));
      case kPropDisconnect:
        // Releasing the connection ends everything that ran on it, the open file included.
        Disconnect();
        file.set_open(false);
        return Status();
      default:
        handled = false;
        return Status();
    }
  }

 private:
  std::string CurrentOwner(const File& file) const {
    return owner_source_ ? owner_source_() : file.owner();
  }

  Status Connect(File& file) {
    const std::string owner = CurrentOwner(file);
    if (owner_source_) file.set_owner(owner);
    if (dbc_ && (owner != connected_owner_ || lost_ || ConnectionDead())) Disconnect();
    if (dbc_) return Status();

    if (!env_) {
      Result<OdbcEnvironment> env = OdbcEnvironment::Allocate(SQL_NULL_HANDLE);
      if (!env.ok()) return env.status();
      env_ = std::move(env).value();
    }
    Result<OdbcConnectionHandle> dbc = OdbcConnectionHandle::Allocate(env_.get());
    if (!dbc.ok()) return dbc.status();

    // The owner is kept as built; only the driver sees the normalised form, because Linux
    // drivers ignore a key written with a blank in front of it ("; UID=u").
    std::string connect = NormalizeConnectString(owner);
    const std::vector<std::string> loaded = LoadedLibraries();
    SQLCHAR out[1024] = {};
    SQLSMALLINT out_length = 0;
    const SQLRETURN rc =
        SQLDriverConnect(dbc.value().get(), nullptr, reinterpret_cast<SQLCHAR*>(connect.data()),
                         static_cast<SQLSMALLINT>(connect.size()), out, sizeof out, &out_length,
                         SQL_DRIVER_NOPROMPT);
    if (!OdbcOk(rc)) {
      return OdbcDiagnostics(SQL_HANDLE_DBC, dbc.value().get(), "cannot connect");
    }
    dbc_ = std::move(dbc).value();
    connected_owner_ = owner;
    KeepNewLibrariesLoaded(loaded);
    return Status();
  }

  void Disconnect() {
    stmt_.reset();
    if (dbc_) {
      // Ignoring the result on purpose: the handle is freed either way.
      (void)SQLDisconnect(dbc_.get());
      dbc_.reset();
    }
    connected_owner_.clear();
    lost_ = false;
  }

  // Whether the driver knows the kept connection is gone (the catalog readers use it
  // directly, so its failures there are not seen here). A driver that cannot tell says no.
  bool ConnectionDead() const {
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN rc = SQLGetConnectAttr(dbc_.get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return OdbcOk(rc) && dead == SQL_CD_TRUE;
  }

  // The diagnostics of a failed call on `stmt`; a broken connection is remembered, so that
  // CLOSE and the next OPEN let it go. The failed statement is not run again.
  Status StatementFailure(SQLHSTMT stmt, std::string_view fallback = {}) {
    Status s = OdbcDiagnostics(SQL_HANDLE_STMT, stmt, fallback);
    if (OdbcConnectionLost(SQL_HANDLE_STMT, stmt) ||
        (dbc_ && OdbcConnectionLost(SQL_HANDLE_DBC, dbc_.get()))) {
      lost_ = true;
    }
    return s;
  }

  // Runs `sql` as the file's statement, replacing the one before. A failed statement leaves
  // no statement handle behind.
  Status Run(std::string sql) {
    stmt_.reset();
    if (!dbc_) return Status::Error(kFileNotOpen);
    Result<OdbcStatement> stmt = OdbcStatement::Allocate(dbc_.get());
    if (!stmt.ok()) return stmt.status();
    const SQLRETURN rc = SQLExecDirect(stmt.value().get(), reinterpret_cast<SQLCHAR*>(sql.data()),
                                       static_cast<SQLINTEGER>(sql.size()));
    // SQL_NO_DATA: a statement without a result set that touched no row, which is success.
    if (!OdbcOk(rc) && rc != SQL_NO_DATA) {
      return StatementFailure(stmt.value().get(), "the statement failed");
    }
    stmt_ = std::move(stmt).value();
    return Status();
  }

  Status OpenTable(File& file) {
    const RecordLayout& layout = *file.layout();
    std::string sql = "SELECT ";
    for (size_t n = 1; n <= layout.FieldCount(); ++n) {
      if (n > 1) sql += ", ";
      sql += layout.field(n).name;
    }
    sql += " FROM " + file.name();
    Status s = Run(sql);
    if (s.ok()) {
      table_sql_ = std::move(sql);
      return s;
    }
    if (!TableExists(file.name())) {
      return Status::Error(kFileNotFound, {}, s.file_error(), s.file_error_code());
    }
    return s;
  }

  bool TableExists(std::string name) {
    Result<OdbcStatement> stmt = OdbcStatement::Allocate(dbc_.get());
    if (!stmt.ok()) return false;
    const SQLRETURN rc = SQLTables(stmt.value().get(), nullptr, 0, nullptr, 0,
                                   reinterpret_cast<SQLCHAR*>(name.data()),
                                   static_cast<SQLSMALLINT>(name.size()), nullptr, 0);
    return OdbcOk(rc) && OdbcOk(SQLFetch(stmt.value().get()));
  }

  // Fills the record's fields by position from the current row; fields past the result's
  // columns are cleared. A NULL column gives a blank text or 0.
  Status FillRecord(File& file) {
    if (file.FieldCount() == 0 || file.record() == nullptr) return Status();
    SQLSMALLINT columns = 0;
    if (!OdbcOk(SQLNumResultCols(stmt_.get(), &columns))) return StatementFailure(stmt_.get());
    const RecordLayout& layout = *file.layout();
    std::string value;
    for (size_t n = 1; n <= layout.FieldCount(); ++n) {
      bool null = true;
      value.clear();
      if (n <= static_cast<size_t>(columns)) {
        if (Status s = ReadColumn(stmt_.get(), static_cast<SQLUSMALLINT>(n), value, null);
            !s.ok()) {
          return StatementFailure(stmt_.get());
        }
      }
      SetFieldText(layout.field(n), file.record(), null ? std::string_view() : value);
    }
    return Status();
  }

  const OwnerSource owner_source_;
  // Declared in the order they are built, so they are freed statement first, environment last
  // (the destructor disconnects before the connection is freed).
  OdbcEnvironment env_;
  OdbcConnectionHandle dbc_;
  std::string connected_owner_;
  bool lost_ = false;  // a call on the connection found it broken
  OdbcStatement stmt_;
  std::string table_sql_;  // the SELECT of a table file, run again by SET
};

}  // namespace

std::unique_ptr<Driver> MakeOdbcDriver(OwnerSource owner_source) {
  return std::make_unique<OdbcDriver>(std::move(owner_source));
}

}  // namespace platform::files
