#include "platform/files/keyed/sqlite_db.h"

#include <cerrno>

#include <unistd.h>

#include "platform/core/error_codes.h"
#include "platform/core/paths.h"
#include "platform/files/atomic_file.h"

namespace platform::files::keyed {
namespace {

int FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

// Both collations: bytewise, trailing blanks ignored, optionally ASCII case folded.
template <bool kFold>
int CompareTexts(void*, int na, const void* pa, int nb, const void* pb) {
  auto* a = static_cast<const unsigned char*>(pa);
  auto* b = static_cast<const unsigned char*>(pb);
  while (na > 0 && a[na - 1] == ' ') --na;
  while (nb > 0 && b[nb - 1] == ' ') --nb;
  const int n = na < nb ? na : nb;
  for (int i = 0; i < n; ++i) {
    const int x = kFold ? FoldAscii(a[i]) : a[i];
    const int y = kFold ? FoldAscii(b[i]) : b[i];
    if (x != y) return x < y ? -1 : 1;
  }
  return na == nb ? 0 : (na < nb ? -1 : 1);
}

int RuntimeCode(int rc, int system_errno) {
  switch (rc) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
      return kCreatingDuplicateKey;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return kInvalidDataFile;
    default:
      break;
  }
  switch (rc & 0xFF) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return kAccessDenied;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return kInvalidDataFile;
    case SQLITE_NOMEM:
      return kInsufficientMemory;
    case SQLITE_CANTOPEN:
      return system_errno == EACCES ? kAccessDenied : kFileNotFound;
    default:
      return kFileSystemError;
  }
}

}  // namespace

Status SqliteError(sqlite3* db, int rc, int code) {
  // Some calls (a backup step, a serialization) answer an error without recording it on the
  // connection: then `rc` alone tells what went wrong.
  const bool recorded = db && (sqlite3_extended_errcode(db) & 0xFF) == (rc & 0xFF);
  const int extended = recorded ? sqlite3_extended_errcode(db) : rc;
  std::string message = recorded ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  const int system_errno = recorded ? sqlite3_system_errno(db) : 0;
  return Status::Error(code ? code : RuntimeCode(extended, system_errno), {}, std::move(message),
                       std::to_string(extended));
}

Status RegisterCollations(sqlite3* db) {
  int rc = sqlite3_create_collation(db, kTextCollation.data(), SQLITE_UTF8, nullptr,
                                    &CompareTexts<false>);
  if (rc == SQLITE_OK) {
    rc = sqlite3_create_collation(db, kNoCaseCollation.data(), SQLITE_UTF8, nullptr,
                                  &CompareTexts<true>);
  }
  return rc == SQLITE_OK ? Status() : SqliteError(db, rc);
}

Result<Db> OpenDb(const std::string& path, int flags) {
  sqlite3* raw = nullptr;
  // FULLMUTEX: a file opened on one runtime thread is used from others.
  const int rc = sqlite3_open_v2(path.c_str(), &raw,
                                 flags | SQLITE_OPEN_EXRESCODE | SQLITE_OPEN_FULLMUTEX, nullptr);
  Db db(raw);  // owns the handle even when opening failed
  if (rc != SQLITE_OK) return SqliteError(db.get(), rc);
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  if (Status s = RegisterCollations(db.get()); !s.ok()) return s;
  // A rollback journal with full syncs: a transaction over several attached files then
  // commits through a super-journal, all files or none, and a process killed at any point
  // leaves each file as it was before the transaction or with all of it.
  if (!(flags & SQLITE_OPEN_READONLY)) {
    if (Status s = Exec(db.get(), "PRAGMA synchronous=FULL"); !s.ok()) return s;
  }
  return db;
}

Result<Db> OpenForReading(const std::string& path) {
  if (::access(path.c_str(), W_OK) != 0 || ::access(DirName(path).c_str(), W_OK) != 0) {
    return OpenDb(path, SQLITE_OPEN_READONLY);
  }
  Result<Db> db = OpenDb(path, SQLITE_OPEN_READWRITE);
  if (!db.ok()) return db;
  if (Status s = Exec(db.value().get(), "PRAGMA query_only=ON"); !s.ok()) return s;
  return db;
}

Result<Stmt> Prepare(sqlite3* db, std::string_view sql) {
  sqlite3_stmt* raw = nullptr;
  const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
  Stmt stmt(raw);
  if (rc != SQLITE_OK) return SqliteError(db, rc);
  return stmt;
}

Status Exec(sqlite3* db, const std::string& sql) {
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  return rc == SQLITE_OK ? Status() : SqliteError(db, rc);
}

Result<std::string> Serialize(sqlite3* db, const char* schema) {
  sqlite3_int64 size = 0;
  unsigned char* bytes = sqlite3_serialize(db, schema, &size, 0);
  if (!bytes) return SqliteError(db, SQLITE_NOMEM);
  std::string out(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
  sqlite3_free(bytes);
  return out;
}

Status ReplaceDatabaseFile(const std::string& path, std::string_view bytes) {
  ::unlink((path + "-journal").c_str());
  return WriteFileAtomically(path, bytes);
}

std::string Quote(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
  return out;
}

SqlTransaction::~SqlTransaction() {
  // Ignoring errors on purpose: there is nobody left to tell, and SQLite rolls back anyway
  // when the connection closes.
  if (active_) (void)Exec(db_, "ROLLBACK");
}

Status SqlTransaction::Begin(bool immediate) {
  Status s = Exec(db_, immediate ? "BEGIN IMMEDIATE" : "BEGIN");
  active_ = s.ok();
  return s;
}

Status SqlTransaction::Commit() {
  Status s = Exec(db_, "COMMIT");
  if (s.ok()) active_ = false;
  return s;
}

}  // namespace platform::files::keyed
