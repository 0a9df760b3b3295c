#include "catalog/catalog_readers.h"

#include <charconv>
#include <string>

#include "catalog/catalog_queues.h"
#include "catalog/catalog_rows.h"
#include "catalog/odbc_query.h"
#include "platform/core/error_state.h"
#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/core/text.h"
#include "platform/files/file.h"
#include "platform/files/odbc/odbc_handle.h"
#include "platform/ui/codes.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"

namespace catalog {
namespace {

namespace files = platform::files;
using files::OdbcOk;
using files::OdbcStatement;
using platform::Result;

// Every catalog value is read with this buffer length, so longer values are cut to 511 bytes
// (GetColumns uses the buffer's whole length instead).
constexpr int32_t kCatalogValueBytes = 512;
// A table name is held as a text of at most this many bytes: whole, as the queues hold it.
constexpr size_t kTableNameBytes = kCatalogNameSize - 1;
// DataSourceQueue's name and description are read into texts of these sizes.
constexpr SQLSMALLINT kDsnNameBytes = 60;
constexpr SQLSMALLINT kDsnDescriptionBytes = 80;

constexpr int32_t kTablesColumns = 5;
constexpr int32_t kColumnsColumns = 18;
constexpr int32_t kPrimaryKeysColumns = 6;
constexpr int32_t kIndexesColumns = 13;
constexpr int32_t kForeignKeysColumns = 14;
constexpr size_t kColumnsTableNameField = 3;  // TABLE_NAME in SQLColumns' result

// The wait cursor while a reader runs. Only a runtime thread, which holds the runtime lock,
// has a cursor; a reader called outside one (as its tests do) leaves the cursor alone.
class BusyCursor {
 public:
  BusyCursor() : active_(platform::ui::RuntimeLockHeld()) {
    if (active_) platform::ui::SetCursor(platform::ui::Cursor::kWait);
  }
  ~BusyCursor() {
    if (active_) platform::ui::SetCursor(platform::ui::Cursor::kNormal);
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  const bool active_;
};

// A catalog result set of ODBC, read column by column as SQL_C_CHAR.
class OdbcRows final : public CatalogRows {
 public:
  explicit OdbcRows(SQLHSTMT stmt) : stmt_(stmt) {}

  // Whether the reading goes on is ReadRows' decision (FetchGoesOn).
  FetchResult Fetch() override { return SQLFetch(stmt_); }

  bool Read(int32_t n, char* buffer, int32_t length) override {
    SQLLEN indicator = 0;
    const SQLRETURN rc =
        SQLGetData(stmt_, static_cast<SQLUSMALLINT>(n), SQL_C_CHAR, buffer, length, &indicator);
    return OdbcOk(rc) && indicator != SQL_NULL_DATA;
  }

 private:
  SQLHSTMT stmt_;
};

// The table name as the readers hold it: clipped, at most 511 bytes.
std::string HeldName(std::string_view table) {
  return std::string(platform::CutUtf8(platform::ClipView(table), kTableNameBytes));
}

SQLCHAR* Text(std::string& s) { return reinterpret_cast<SQLCHAR*>(s.data()); }
SQLSMALLINT Length(const std::string& s) { return static_cast<SQLSMALLINT>(s.size()); }

// A schema argument: NULL for a blank owner (every schema), else the owner.
struct SchemaArgument {
  explicit SchemaArgument(std::string_view owner) : name(HeldName(owner)) {}
  SQLCHAR* text() { return name.empty() ? nullptr : Text(name); }
  SQLSMALLINT length() const { return Length(name); }
  std::string name;
};

// The error of the last read. The readers run under the runtime lock, one at a time.
std::string& LastError() {
  static std::string error;
  return error;
}

// The message of a failure as the runtime reports it: the driver's text when it gave one.
std::string FailureText() {
  std::string text = platform::FileError();
  if (text.empty()) text = platform::Error();
  if (text.empty()) text = "the data source cannot be reached";
  return text;
}

// The shared start of every reader: an empty queue with a cleared buffer, the file opened
// again, and a statement on its connection. No statement when the file cannot connect.
struct CatalogStart {
  SQLHDBC connection = SQL_NULL_HANDLE;
  OdbcStatement statement;
};

// The file opened again (CLOSE, OPEN 22h) and its connection; none when it cannot connect.
SQLHDBC Reconnect(ODBCQueryClass& query) {
  LastError().clear();
  if (query.FILE == nullptr) return SQL_NULL_HANDLE;
  query.FILE->Close();
  if (!query.FILE->Open(files::kReadWrite | files::kDenyWrite)) {
    LastError() = FailureText();
    return SQL_NULL_HANDLE;
  }
  const std::string text = query.FILE->GetProperty(files::kPropConnectionHandle);
  int64_t handle = 0;
  std::from_chars(text.data(), text.data() + text.size(), handle);
  if (handle == 0) {
    LastError() = FailureText();
    return SQL_NULL_HANDLE;
  }
  return files::NumberToHandle(handle);
}

CatalogStart Start(ODBCQueryClass& query, platform::QueueBase& queue) {
  queue.Free();
  queue.ClearBuffer();
  CatalogStart start;
  start.connection = Reconnect(query);
  if (start.connection == SQL_NULL_HANDLE) return start;
  Result<OdbcStatement> stmt = OdbcStatement::Allocate(start.connection);
  if (stmt.ok()) {
    start.statement = std::move(stmt).value();
  } else {
    LastError() =
        stmt.status().file_error().empty() ? stmt.status().text() : stmt.status().file_error();
  }
  return start;
}

// Reads the statement's result into the queue, when the catalog call succeeded.
void Finish(SQLRETURN rc, CatalogStart& start, platform::QueueBase& queue, int32_t columns,
            char* buffer, int32_t length, const RowFilter& drop = {}) {
  if (!OdbcOk(rc)) {
    const platform::Status diagnostics =
        files::OdbcDiagnostics(SQL_HANDLE_STMT, start.statement.get(), "the catalog call failed");
    LastError() = diagnostics.file_error().empty() ? diagnostics.text() : diagnostics.file_error();
    return;
  }
  OdbcRows rows(start.statement.get());
  ReadRows(rows, queue, columns, buffer, length, drop);
}

// The driver's escape for `_` and `%` in search patterns; empty when it has none.
std::string SearchPatternEscape(SQLHDBC connection) {
  char escape[8] = {};
  SQLSMALLINT length = 0;
  if (!OdbcOk(SQLGetInfo(connection, SQL_SEARCH_PATTERN_ESCAPE, escape, sizeof escape, &length))) {
    return {};
  }
  return escape;
}

}  // namespace

void GetDataSources(platform::QueueBase& queue) {
  BusyCursor busy;
  queue.Free();
  Result<files::OdbcEnvironment> env = files::OdbcEnvironment::Allocate(SQL_NULL_HANDLE);
  if (!env.ok()) return;
  for (;;) {
    SQLCHAR name[kDsnNameBytes] = {};
    SQLCHAR description[kDsnDescriptionBytes] = {};
    SQLSMALLINT name_length = 0;
    SQLSMALLINT description_length = 0;
    const SQLRETURN rc =
        SQLDataSources(env.value().get(), SQL_FETCH_NEXT, name, sizeof name, &name_length,
                       description, sizeof description, &description_length);
    if (!OdbcOk(rc)) break;
    const std::string dsn = reinterpret_cast<const char*>(name);
    const std::string text = reinterpret_cast<const char*>(description);
    queue.SetText(1, platform::Clip(dsn) + " (" + platform::Clip(text) + ")");
    queue.SetText(2, dsn);
    queue.SetText(3, platform::Upper(dsn));
    queue.AddByKey({platform::KeyPart{3, false}});
  }
}

void GetTables(ODBCQueryClass& query, platform::QueueBase& queue, uint8_t system_tables,
               uint8_t system_tables2, uint8_t owner_filter_off, uint8_t type_filter_off,
               uint8_t tables_only, std::string_view owner_filter) {
  BusyCursor busy;
  CatalogStart start = Start(query, queue);
  if (!start.statement) return;
  const SQLRETURN rc =
      SQLTables(start.statement.get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0);
  Finish(rc, start, queue, kTablesColumns, query.ColumnDataBuffer(), kCatalogValueBytes,
         TablesFilter(system_tables, system_tables2, owner_filter_off, type_filter_off, tables_only,
                      owner_filter));
}

void GetColumns(ODBCQueryClass& query, platform::QueueBase& queue, std::string_view table,
                std::string_view owner) {
  BusyCursor busy;
  const std::string name = HeldName(table);
  SchemaArgument schema(owner);
  CatalogStart start = Start(query, queue);
  if (!start.statement) return;
  // The names are search patterns here, where `_` and `%` match any character: escape them
  // so that "t_1" does not also bring the columns of "t11". Without an escape, the rows of
  // other tables are left out instead.
  const std::string escape = SearchPatternEscape(start.connection);
  std::string pattern = escape.empty() ? name : EscapeSearchPattern(name, escape);
  if (!escape.empty() && !schema.name.empty()) {
    schema.name = EscapeSearchPattern(schema.name, escape);
  }
  const RowFilter drop =
      escape.empty() ? ExactTableNameFilter(name, kColumnsTableNameField) : RowFilter();
  const SQLRETURN rc = SQLColumns(start.statement.get(), nullptr, 0, schema.text(), schema.length(),
                                  Text(pattern), Length(pattern), nullptr, 0);
  Finish(rc, start, queue, kColumnsColumns, query.ColumnDataBuffer(),
         query.ColumnDataBufferLength(), drop);
}

void GetPrimaryKeys(ODBCQueryClass& query, platform::QueueBase& queue, std::string_view table,
                    std::string_view owner) {
  BusyCursor busy;
  std::string name = HeldName(table);
  SchemaArgument schema(owner);
  CatalogStart start = Start(query, queue);
  if (!start.statement) return;
  const SQLRETURN rc = SQLPrimaryKeys(start.statement.get(), nullptr, 0, schema.text(),
                                      schema.length(), Text(name), Length(name));
  Finish(rc, start, queue, kPrimaryKeysColumns, query.ColumnDataBuffer(), kCatalogValueBytes);
}

void GetIndexes(ODBCQueryClass& query, platform::QueueBase& queue, uint8_t unique,
                std::string_view table, std::string_view owner) {
  BusyCursor busy;
  std::string name = HeldName(table);
  SchemaArgument schema(owner);
  CatalogStart start = Start(query, queue);
  if (!start.statement) return;
  const SQLRETURN rc = SQLStatistics(start.statement.get(), nullptr, 0, schema.text(),
                                     schema.length(), Text(name), Length(name), unique, SQL_QUICK);
  Finish(rc, start, queue, kIndexesColumns, query.ColumnDataBuffer(), kCatalogValueBytes);
}

void GetForeignKeys(ODBCQueryClass& query, platform::QueueBase& queue, std::string_view table,
                    uint8_t /*all*/, std::string_view owner) {
  BusyCursor busy;
  std::string name = HeldName(table);
  SchemaArgument schema(owner);
  CatalogStart start = Start(query, queue);
  if (!start.statement) return;
  const SQLRETURN rc =
      SQLForeignKeys(start.statement.get(), nullptr, 0, schema.text(), schema.length(), Text(name),
                     Length(name), nullptr, 0, nullptr, 0, nullptr, 0);
  Finish(rc, start, queue, kForeignKeysColumns, query.ColumnDataBuffer(), kCatalogValueBytes);
}

void GetForeignKeysOf(ODBCQueryClass& query, platform::QueueBase& queue, std::string_view table,
                      std::string_view owner) {
  BusyCursor busy;
  std::string name = HeldName(table);
  SchemaArgument schema(owner);
  CatalogStart start = Start(query, queue);
  if (!start.statement) return;
  const SQLRETURN rc =
      SQLForeignKeys(start.statement.get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0,
                     schema.text(), schema.length(), Text(name), Length(name));
  Finish(rc, start, queue, kForeignKeysColumns, query.ColumnDataBuffer(), kCatalogValueBytes);
}

const std::string& LastCatalogReadError() { return LastError(); }

std::string GetDbmsName(ODBCQueryClass& query) {
  const SQLHDBC connection = Reconnect(query);
  if (connection == SQL_NULL_HANDLE) return {};
  char name[128] = {};
  SQLSMALLINT length = 0;
  if (!OdbcOk(SQLGetInfo(connection, SQL_DBMS_NAME, name, sizeof name, &length))) return {};
  return name;
}

}  // namespace catalog
