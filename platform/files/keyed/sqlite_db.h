// SQLite handles and helpers for the keyed-file driver: owners for connections and statements,
// a transaction guard, the text collations the keys use, and the mapping of SQLite results
// to the runtime's error numbers. Included only by the keyed driver's own .cpp files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <sqlite3.h>

#include "platform/core/status.h"

namespace platform::files::keyed {

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct Finalize {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, CloseDb>;
using Stmt = std::unique_ptr<sqlite3_stmt, Finalize>;

// Collation names used in indexes and queries. Both order texts bytewise and ignore trailing
// blanks, as the runtime compares texts; the NOCASE one also folds ASCII letters.
inline constexpr std::string_view kTextCollation = "PEXTEXT";
inline constexpr std::string_view kNoCaseCollation = "PEXNOCASE";

// How long a statement waits for another connection's lock before it fails.
inline constexpr int kBusyTimeoutMs = 10000;

// The Status for the failed call that returned `rc` on `db`: `code` when given, else the
// runtime's number for the SQLite result; SQLite's message and extended code as FILEERROR
// and FILEERRORCODE. Call it right after the failing call, before `db` is used again.
Status SqliteError(sqlite3* db, int rc, int code = 0);

// Opens `path` with `flags` (SQLITE_OPEN_*), registers the collations and sets the
// connection up for crash safety: rollback journal, synchronous FULL, busy timeout.
Result<Db> OpenDb(const std::string& path, int flags);

// Opens the existing database `path` to read it only. When the file and its directory may be
// written, the connection may write but is kept from it by PRAGMA query_only: SQLite rolls
// back what a process killed in the middle of a transaction left in the file (its hot
// journal) only on such a connection, and answers every other one SQLITE_READONLY until that
// is done. A file that may not be written is opened read-only and cannot be read while a
// hot journal lies beside it.
Result<Db> OpenForReading(const std::string& path);

// Registers the two collations on `db`.
Status RegisterCollations(sqlite3* db);

// Prepares `sql` on `db`.
Result<Stmt> Prepare(sqlite3* db, std::string_view sql);

// Runs `sql` (one or more statements without results).
Status Exec(sqlite3* db, const std::string& sql);

// The whole database `schema` of `db` as the bytes of a database file.
Result<std::string> Serialize(sqlite3* db, const char* schema = "main");

// Writes `bytes` as the database file `path`, replacing what is there atomically: a crash
// leaves the old file or the whole new one. A journal the old file left is removed first,
// so it can never be replayed into the new file.
Status ReplaceDatabaseFile(const std::string& path, std::string_view bytes);

// "name" quoted as an SQL identifier.
std::string Quote(std::string_view name);

// Rolls back in its destructor unless Commit() returned OK.
class SqlTransaction {
 public:
  explicit SqlTransaction(sqlite3* db) : db_(db) {}
  ~SqlTransaction();
  SqlTransaction(const SqlTransaction&) = delete;
  SqlTransaction& operator=(const SqlTransaction&) = delete;

  Status Begin(bool immediate);
  Status Commit();

 private:
  sqlite3* db_;
  bool active_ = false;
};

}  // namespace platform::files::keyed
