#include "platform/files/keyed/keyed_driver.h"

#include <cassert>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/error_codes.h"
#include "platform/core/fixed_string.h"
#include "platform/files/keyed/keyed_driver_internal.h"

namespace platform::files {

std::unique_ptr<Driver> MakeKeyedDriver() { return std::make_unique<keyed::KeyedDriver>(); }

namespace keyed {
namespace {

constexpr std::string_view kRecordsTable = "records";
constexpr std::string_view kLayoutTable = "layout";
// The record's position. A name no field can have, so it never clashes with a column.
constexpr std::string_view kPosColumn = "\"~pos\"";

std::string TypeName(const FieldInfo& f) {
  switch (f.type) {
    case FieldType::kByte:
      return "BYTE";
    case FieldType::kShort:
      return "SHORT";
    case FieldType::kUShort:
      return "USHORT";
    case FieldType::kLong:
      return "LONG";
    case FieldType::kULong:
      return "ULONG";
    case FieldType::kReal:
      return "REAL";
    case FieldType::kDecimal:
      return "DECIMAL(" + std::to_string(f.size) + "," + std::to_string(f.decimals) + ")";
    case FieldType::kString:
      return "STRING(" + std::to_string(f.size) + ")";
    case FieldType::kCString:
      return "CSTRING(" + std::to_string(f.size) + ")";
  }
  return "?";
}

bool IsReal(const FieldInfo& f) {
  return f.type == FieldType::kReal || f.type == FieldType::kDecimal;
}

std::string ColumnType(const FieldInfo& f) {
  if (IsTextField(f)) return "TEXT NOT NULL DEFAULT ''";
  return IsReal(f) ? "REAL NOT NULL DEFAULT 0" : "INTEGER NOT NULL DEFAULT 0";
}

// The declaration as stored in the layout table, one line per field and key. Key labels are
// left out: only what shapes the records and their order has to match.
std::vector<std::string> DeclarationLines(const File& file) {
  std::vector<std::string> lines;
  const RecordLayout* layout = file.layout();
  for (size_t n = 1; layout && n <= layout->FieldCount(); ++n) {
    const FieldInfo& f = layout->field(n);
    lines.push_back("FIELD " + std::string(f.name) + " " + TypeName(f));
  }
  for (const FileKey& k : file.declaration().keys) {
    std::string line = "KEY";
    line += k.duplicates ? " DUP" : " UNIQUE";
    if (k.nocase) line += " NOCASE";
    if (k.optional) line += " OPT";
    if (k.primary) line += " PRIMARY";
    for (const KeyComponent& c : k.components) {
      // A key over a field the record does not have is a broken declaration of our own.
      assert(layout && c.field >= 1 && c.field <= layout->FieldCount());
      line += c.descending ? " -" : " +";
      line += layout->field(c.field).name;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// The status for a file that cannot be reached at `path`: missing, missing directory, or
// not permitted.
Status PathError(int error, const std::string& path) {
  const std::string message = path + ": " + std::strerror(error);
  switch (error) {
    case ENOENT:
      return Status::Error(kFileNotFound, {}, message, std::to_string(error));
    case ENOTDIR:
      return Status::Error(kPathNotFound, {}, message, std::to_string(error));
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return Status::Error(kAccessDenied, {}, message, std::to_string(error));
    default:
      return Status::Error(kFileSystemError, {}, message, std::to_string(error));
  }
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Missing files tell apart a missing name from a missing directory, as the runtime does.
Status MissingError(const std::string& path) {
  struct stat st;
  if (::stat(DirectoryOf(path).c_str(), &st) != 0) return PathError(ENOTDIR, path);
  return PathError(ENOENT, path);
}

std::string AbsolutePath(const std::string& path) {
  char buffer[PATH_MAX];
  if (::realpath(path.c_str(), buffer)) return buffer;
  return path;
}

Status CreateSchema(sqlite3* db, const File& file, const std::vector<std::string>& declaration) {
  std::string sql = "CREATE TABLE " + std::string(kLayoutTable) +
                    "(line INTEGER PRIMARY KEY, declaration TEXT NOT NULL);";
  sql += "CREATE TABLE " + std::string(kRecordsTable) + "(" + std::string(kPosColumn) +
         " INTEGER PRIMARY KEY";
  const RecordLayout* layout = file.layout();
  for (size_t n = 1; layout && n <= layout->FieldCount(); ++n) {
    const FieldInfo& f = layout->field(n);
    sql += ", " + Quote(f.name) + " " + ColumnType(f);
  }
  sql += ");";
  const std::vector<FileKey>& keys = file.declaration().keys;
  for (size_t k = 0; k < keys.size(); ++k) {
    assert(layout && !keys[k].components.empty());
    std::string columns, blank;
    for (const KeyComponent& c : keys[k].components) {
      const FieldInfo& f = layout->field(c.field);
      std::string expr = Quote(f.name);
      if (IsTextField(f)) {
        expr += " COLLATE ";
        expr += keys[k].nocase ? kNoCaseCollation : kTextCollation;
      }
      if (!columns.empty()) columns += ", ", blank += " AND ";
      columns += expr + (c.descending ? " DESC" : "");
      blank += expr + (IsTextField(f) ? " = ''" : " = 0");
    }
    sql += std::string(keys[k].duplicates ? "CREATE INDEX " : "CREATE UNIQUE INDEX ") + "key" +
           std::to_string(k + 1) + " ON " + std::string(kRecordsTable) + "(" + columns + ")";
    // An optional key leaves out the records whose key fields are all blank or zero.
    if (keys[k].optional) sql += " WHERE NOT (" + blank + ")";
    sql += ";";
  }
  if (Status s = Exec(db, sql); !s.ok()) return s;
  Result<Stmt> insert =
      Prepare(db, "INSERT INTO " + std::string(kLayoutTable) + "(declaration) VALUES(?1)");
  if (!insert.ok()) return insert.status();
  for (const std::string& line : declaration) {
    sqlite3_bind_text(insert.value().get(), 1, line.data(), static_cast<int>(line.size()),
                      SQLITE_TRANSIENT);
    if (int rc = sqlite3_step(insert.value().get()); rc != SQLITE_DONE) {
      return SqliteError(db, rc);
    }
    sqlite3_reset(insert.value().get());
  }
  return Status();
}

// The number of tables (with `name`, when given) in the database.
Result<int> TableCount(sqlite3* db, std::string_view name = {}) {
  std::string sql = "SELECT count(*) FROM sqlite_schema WHERE type='table'";
  if (!name.empty()) sql += " AND name='" + std::string(name) + "'";
  Result<Stmt> count = Prepare(db, sql);
  if (!count.ok()) return count.status();
  if (int rc = sqlite3_step(count.value().get()); rc != SQLITE_ROW) return SqliteError(db, rc);
  return sqlite3_column_int(count.value().get(), 0);
}

// Gives the database at `path`, made when missing, the file's tables when it has none yet.
// Processes that do this at once are kept apart by SQLite's write lock: one creates, the
// others find it done. A creation cut short by a crash is rolled back to the empty file,
// which the next OPEN completes.
Status CreateIfEmpty(const std::string& path, const File& file) {
  Result<Db> db = OpenDb(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  if (!db.ok()) return db.status();
  if (Status s = Exec(db.value().get(), "PRAGMA journal_mode=DELETE"); !s.ok()) return s;
  SqlTransaction txn(db.value().get());
  if (Status s = txn.Begin(/*immediate=*/true); !s.ok()) return s;
  Result<int> tables = TableCount(db.value().get());
  if (!tables.ok()) return tables.status();
  if (tables.value() == 0) {
    if (Status s = CreateSchema(db.value().get(), file, DeclarationLines(file)); !s.ok()) return s;
  }
  return txn.Commit();
}

Result<std::vector<std::string>> StoredDeclaration(sqlite3* db) {
  Result<int> has = TableCount(db, kLayoutTable);
  if (!has.ok()) return has.status();
  if (has.value() == 0) {
    return Status::Error(kInvalidDataFile, {}, "no record layout in the file");
  }
  Result<Stmt> read =
      Prepare(db, "SELECT declaration FROM " + std::string(kLayoutTable) + " ORDER BY line");
  if (!read.ok()) return read.status();
  std::vector<std::string> lines;
  int rc;
  while ((rc = sqlite3_step(read.value().get())) == SQLITE_ROW) {
    auto* text = sqlite3_column_text(read.value().get(), 0);
    lines.emplace_back(reinterpret_cast<const char*>(text),
                       sqlite3_column_bytes(read.value().get(), 0));
  }
  if (rc != SQLITE_DONE) return SqliteError(db, rc);
  return lines;
}

Status StepDone(sqlite3* db, sqlite3_stmt* stmt) {
  const int rc = sqlite3_step(stmt);
  return rc == SQLITE_DONE ? Status() : SqliteError(db, rc);
}

Status NoCurrentRecord() { return Status::Error(kRecordNotAvailable); }

}  // namespace

KeyedDriver::~KeyedDriver() { DriverDestroyed(*this); }

// --- Creation and opening --------------------------------------------------------------

Status KeyedDriver::Create(File& file) {
  if (file.is_open()) return Status::Error(kFileAlreadyOpen);
  // The new database is built in memory and written out whole over the old file, so a
  // crash leaves either the old file or the new one, never half a file.
  Result<Db> db = OpenDb(":memory:", SQLITE_OPEN_READWRITE);
  if (!db.ok()) return db.status();
  if (Status s = CreateSchema(db.value().get(), file, DeclarationLines(file)); !s.ok()) return s;
  Result<std::string> bytes = Serialize(db.value().get());
  if (!bytes.ok()) return bytes.status();
  return ReplaceDatabaseFile(file.name(), bytes.value());
}

Status KeyedDriver::Open(File& file, uint32_t mode) {
  const std::string& name = file.name();
  const bool read_only = (mode & 0x0F) == kReadOnly;
  const bool create = file.declaration().create;
  if (::access(name.c_str(), F_OK) != 0) {
    if (errno != ENOENT) return PathError(errno, name);
    // The CREATE attribute makes a missing file, but never a missing directory.
    Status missing = MissingError(name);
    if (!create || missing.code() != kFileNotFound) return missing;
    if (Status s = CreateIfEmpty(name, file); !s.ok()) return s;
  }
  struct stat st;
  if (::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return PathError(EISDIR, name);
  // SQLite would quietly open a file it may not write read-only; the runtime says no.
  if (::access(name.c_str(), read_only ? R_OK : (R_OK | W_OK)) != 0) {
    return PathError(errno, name);
  }
  const std::string path = AbsolutePath(name);
  // Read-only access still rolls back a transaction that a killed process left in the file.
  Result<Db> db = read_only ? OpenForReading(path) : OpenDb(path, SQLITE_OPEN_READWRITE);
  if (!db.ok()) return db.status();
  if (!read_only) {
    if (Status s = Exec(db.value().get(), "PRAGMA journal_mode=DELETE"); !s.ok()) return s;
  }
  if (create) {
    // An empty file (a creation a crash cut short) is completed as if it were missing.
    Result<int> tables = TableCount(db.value().get());
    if (!tables.ok()) return tables.status();
    if (tables.value() == 0) {
      if (Status s = CreateIfEmpty(path, file); !s.ok()) return s;
    }
  }
  Result<std::vector<std::string>> stored = StoredDeclaration(db.value().get());
  if (!stored.ok()) return stored.status();
  if (stored.value() != DeclarationLines(file)) {
    return Status::Error(kInvalidRecordDeclaration, {},
                         "the record layout stored in " + name + " differs from the declared one");
  }

  keys_.clear();
  const RecordLayout* layout = file.layout();
  for (const FileKey& k : file.declaration().keys) {
    Key key{{}, k.optional};
    for (const KeyComponent& c : k.components) {
      const FieldInfo& f = layout->field(c.field);
      std::string expr = Quote(f.name);
      if (IsTextField(f)) {
        expr += " COLLATE ";
        expr += k.nocase ? kNoCaseCollation : kTextCollation;
      }
      key.components.push_back({c.field, c.descending, std::move(expr), IsTextField(f)});
    }
    keys_.push_back(std::move(key));
  }
  own_ = std::move(db.value());
  path_ = path;
  read_only_ = read_only;
  txn_db_ = nullptr;
  schema_ = "main";
  mode_ = ScanMode::kNone;
  current_ = 0;
  file.set_open(true);
  return Status();
}

Status KeyedDriver::Close(File& file) {
  DriverClosed(*this);
  own_.reset();
  path_.clear();
  mode_ = ScanMode::kNone;
  current_ = 0;
  file.set_open(false);
  return Status();
}

void KeyedDriver::JoinTransaction(sqlite3* db, std::string schema) {
  txn_db_ = db;
  schema_ = std::move(schema);
}

void KeyedDriver::LeaveTransaction() {
  txn_db_ = nullptr;
  schema_ = "main";
}

// --- Record buffer and statements ------------------------------------------------------

std::string KeyedDriver::Table() const { return Quote(schema_) + "." + std::string(kRecordsTable); }

std::string KeyedDriver::SelectColumns() const { return std::string(kPosColumn) + ", *"; }

Status KeyedDriver::BindField(sqlite3_stmt* stmt, int index, const File& file, size_t field) const {
  return BindValue(db(), stmt, index, FieldValue(file, field));
}

Status KeyedDriver::BindValue(sqlite3* db, sqlite3_stmt* stmt, int index, const Value& v) {
  int rc;
  switch (v.kind) {
    case Value::kInt:
      rc = sqlite3_bind_int64(stmt, index, v.i);
      break;
    case Value::kReal:
      rc = sqlite3_bind_double(stmt, index, v.d);
      break;
    case Value::kBlob:
      rc = sqlite3_bind_blob(stmt, index, v.s.data(), static_cast<int>(v.s.size()),
                             SQLITE_TRANSIENT);
      break;
    case Value::kNull:
      rc = sqlite3_bind_null(stmt, index);
      break;
    case Value::kText:
    default:
      // Bound with its length, so NUL bytes inside a text are stored too.
      rc = sqlite3_bind_text(stmt, index, v.s.data(), static_cast<int>(v.s.size()),
                             SQLITE_TRANSIENT);
      break;
  }
  return rc == SQLITE_OK ? Status() : SqliteError(db, rc);
}

KeyedDriver::Value KeyedDriver::FieldValue(const File& file, size_t field) const {
  const FieldInfo& f = file.layout()->field(field);
  Value v;
  if (IsTextField(f)) {
    v.kind = Value::kText;
    v.s = static_cast<const TextBase*>(f.address(file.record()))->str();
  } else if (IsReal(f)) {
    v.kind = Value::kReal;
    v.d = GetFieldNumber(f, file.record());
  } else {
    v.kind = Value::kInt;
    v.i = static_cast<int64_t>(GetFieldNumber(f, file.record()));
  }
  return v;
}

void KeyedDriver::LoadRow(File& file, sqlite3_stmt* stmt) const {
  // Column 0 is the position, then "~pos" again (from *), then the fields in order.
  const RecordLayout* layout = file.layout();
  for (size_t n = 1; layout && n <= layout->FieldCount(); ++n) {
    const FieldInfo& f = layout->field(n);
    const int col = static_cast<int>(n) + 1;
    if (IsTextField(f)) {
      // Byte-exact: the stored bytes are the field's value, NUL bytes included.
      const void* data = sqlite3_column_blob(stmt, col);
      const int size = sqlite3_column_bytes(stmt, col);
      std::string& value = static_cast<TextBase*>(f.address(file.record()))->storage();
      value.assign(static_cast<const char*>(data ? data : ""), static_cast<size_t>(size));
    } else if (IsReal(f)) {
      SetFieldNumber(f, file.record(), sqlite3_column_double(stmt, col));
    } else {
      SetFieldNumber(f, file.record(), static_cast<double>(sqlite3_column_int64(stmt, col)));
    }
  }
}

void KeyedDriver::RememberPosition(sqlite3_stmt* stmt) {
  scan_pos_ = sqlite3_column_int64(stmt, 0);
  scan_values_.clear();
  if (scan_key_ >= 0) {
    for (const Component& c : keys_[scan_key_].components) {
      // Column 0 is the position, then "~pos" again, then the fields in order.
      const int col = static_cast<int>(c.field) + 1;
      Value v;
      switch (sqlite3_column_type(stmt, col)) {
        case SQLITE_INTEGER:
          v.kind = Value::kInt;
          v.i = sqlite3_column_int64(stmt, col);
          break;
        case SQLITE_FLOAT:
          v.kind = Value::kReal;
          v.d = sqlite3_column_double(stmt, col);
          break;
        case SQLITE_NULL:
          v.kind = Value::kNull;
          break;
        default: {
          v.kind = sqlite3_column_type(stmt, col) == SQLITE_BLOB ? Value::kBlob : Value::kText;
          const void* data = sqlite3_column_blob(stmt, col);
          v.s.assign(static_cast<const char*>(data ? data : ""),
                     static_cast<size_t>(sqlite3_column_bytes(stmt, col)));
          break;
        }
      }
      scan_values_.push_back(std::move(v));
    }
  }
  mode_ = ScanMode::kAfter;
}

Status KeyedDriver::FetchOne(File& file, sqlite3_stmt* stmt, int not_found_code) {
  const int rc = sqlite3_step(stmt);
  if (rc == SQLITE_DONE) return Status::Error(not_found_code);
  if (rc != SQLITE_ROW) return SqliteError(db(), rc);
  LoadRow(file, stmt);
  current_ = sqlite3_column_int64(stmt, 0);
  return Status();
}

std::string KeyedDriver::OptionalFilter(const Key& key) const {
  if (!key.optional) return {};
  std::string blank;
  for (const Component& c : key.components) {
    if (!blank.empty()) blank += " AND ";
    blank += c.expr + (c.text ? " = ''" : " = 0");
  }
  return " AND NOT (" + blank + ")";
}

std::string KeyedDriver::KeyOrder(const Key& key, bool forward) const {
  std::string order;
  for (const Component& c : key.components) {
    order += c.expr + ((c.descending == forward) ? " DESC, " : ", ");
  }
  order += std::string(kPosColumn) + (forward ? "" : " DESC");
  return order;
}

// --- Sequential processing -------------------------------------------------------------

Status KeyedDriver::Set(File&) {
  mode_ = ScanMode::kStart;
  scan_key_ = -1;
  scan_values_.clear();
  return Status();
}

Status KeyedDriver::SetKey(File& file, size_t key_index, bool from_buffer) {
  if (key_index >= keys_.size()) {
    return Status::Error(kFileSystemError, {}, "the file has no key " + std::to_string(key_index));
  }
  scan_key_ = static_cast<int>(key_index);
  scan_values_.clear();
  mode_ = from_buffer ? ScanMode::kAtValues : ScanMode::kStart;
  if (from_buffer) {
    for (const Component& c : keys_[key_index].components) {
      scan_values_.push_back(FieldValue(file, c.field));
    }
  }
  return Status();
}

Status KeyedDriver::Next(File& file) { return Scan(file, /*forward=*/true); }
Status KeyedDriver::Previous(File& file) { return Scan(file, /*forward=*/false); }

// One record in scan order from where the scan stands. Each step asks anew for the first
// record beyond the last one read (its key values and position), so no statement stays open
// between steps: a record deleted meanwhile (by us or another process) simply is not found,
// and the scan goes on with the one after it.
Status KeyedDriver::Scan(File& file, bool forward) {
  if (mode_ == ScanMode::kNone) return Status::Error(kRecordNotAvailable);
  std::string where = "1";
  std::string order;
  int pos_param = 1;
  if (scan_key_ < 0) {
    order = std::string(kPosColumn) + (forward ? "" : " DESC");
    if (mode_ == ScanMode::kAfter) {
      where = std::string(kPosColumn) + (forward ? " > ?1" : " < ?1");
    }
  } else {
    const Key& key = keys_[scan_key_];
    order = KeyOrder(key, forward);
    const size_t n = key.components.size();
    pos_param = static_cast<int>(n) + 1;
    if (mode_ != ScanMode::kStart) {
      // Records beyond the values in scan order: greater in an earlier component with the
      // ones before it equal, or all equal (and, after a record, a later position).
      auto op = [&](size_t i) { return (key.components[i].descending != forward) ? " > " : " < "; };
      auto param = [](size_t i) { return "?" + std::to_string(i + 1); };
      std::string equal_prefix, any;
      for (size_t i = 0; i < n; ++i) {
        const Component& c = key.components[i];
        any += "(" + equal_prefix + c.expr + op(i) + param(i) + ") OR ";
        equal_prefix += c.expr + " = " + param(i) + " AND ";
      }
      if (mode_ == ScanMode::kAfter) {
        any += "(" + equal_prefix + std::string(kPosColumn) + (forward ? " > " : " < ") + param(n) +
               ")";
      } else {
        any += "(" + equal_prefix + "1)";
      }
      // The leading bound adds nothing to the meaning; it lets SQLite seek in the index.
      const Component& first = key.components[0];
      where =
          first.expr + ((first.descending != forward) ? " >= ?1" : " <= ?1") + " AND (" + any + ")";
    }
    where += OptionalFilter(key);
  }
  Result<Stmt> stmt = Prepare(db(), "SELECT " + SelectColumns() + " FROM " + Table() + " WHERE " +
                                        where + " ORDER BY " + order + " LIMIT 1");
  if (!stmt.ok()) return stmt.status();
  if (mode_ != ScanMode::kStart) {
    for (size_t i = 0; i < scan_values_.size(); ++i) {
      if (Status s = BindValue(db(), stmt.value().get(), static_cast<int>(i) + 1, scan_values_[i]);
          !s.ok()) {
        return s;
      }
    }
    if (mode_ == ScanMode::kAfter) sqlite3_bind_int64(stmt.value().get(), pos_param, scan_pos_);
  }
  if (Status s = FetchOne(file, stmt.value().get(), kRecordNotAvailable); !s.ok()) return s;
  RememberPosition(stmt.value().get());
  return Status();
}

// --- Direct access ---------------------------------------------------------------------

Status KeyedDriver::Get(File& file, size_t key_index) {
  if (key_index >= keys_.size()) {
    return Status::Error(kFileSystemError, {}, "the file has no key " + std::to_string(key_index));
  }
  const Key& key = keys_[key_index];
  std::string where;
  for (size_t i = 0; i < key.components.size(); ++i) {
    if (i) where += " AND ";
    where += key.components[i].expr + " = ?" + std::to_string(i + 1);
  }
  where += OptionalFilter(key);
  Result<Stmt> stmt = Prepare(db(), "SELECT " + SelectColumns() + " FROM " + Table() + " WHERE " +
                                        where + " ORDER BY " + KeyOrder(key, true) + " LIMIT 1");
  if (!stmt.ok()) return stmt.status();
  for (size_t i = 0; i < key.components.size(); ++i) {
    if (Status s =
            BindField(stmt.value().get(), static_cast<int>(i) + 1, file, key.components[i].field);
        !s.ok()) {
      return s;
    }
  }
  return FetchOne(file, stmt.value().get(), kRecordNotFound);
}

Status KeyedDriver::Reget(File& file, std::string_view position) {
  int64_t pos = 0;
  const auto [end, ec] = std::from_chars(position.data(), position.data() + position.size(), pos);
  if (ec != std::errc() || end != position.data() + position.size() || pos <= 0) {
    return Status::Error(kRecordNotFound);
  }
  Result<Stmt> stmt = Prepare(db(), "SELECT " + SelectColumns() + " FROM " + Table() + " WHERE " +
                                        std::string(kPosColumn) + " = ?1");
  if (!stmt.ok()) return stmt.status();
  sqlite3_bind_int64(stmt.value().get(), 1, pos);
  if (Status s = FetchOne(file, stmt.value().get(), kRecordNotFound); !s.ok()) return s;
  // A scan in progress goes on from the record read back.
  if (mode_ != ScanMode::kNone) RememberPosition(stmt.value().get());
  return Status();
}

Result<std::string> KeyedDriver::Position(File&) {
  if (current_ == 0) return NoCurrentRecord();
  return std::to_string(current_);
}

// --- Changes ---------------------------------------------------------------------------

Status KeyedDriver::Add(File& file) {
  const RecordLayout* layout = file.layout();
  const size_t n = layout ? layout->FieldCount() : 0;
  std::string columns, params;
  for (size_t i = 1; i <= n; ++i) {
    if (i > 1) columns += ", ", params += ", ";
    columns += Quote(layout->field(i).name);
    params += "?" + std::to_string(i);
  }
  const std::string sql =
      n == 0 ? "INSERT INTO " + Table() + " DEFAULT VALUES"
             : "INSERT INTO " + Table() + "(" + columns + ") VALUES(" + params + ")";
  Result<Stmt> stmt = Prepare(db(), sql);
  if (!stmt.ok()) return stmt.status();
  for (size_t i = 1; i <= n; ++i) {
    if (Status s = BindField(stmt.value().get(), static_cast<int>(i), file, i); !s.ok()) return s;
  }
  if (Status s = StepDone(db(), stmt.value().get()); !s.ok()) return s;
  current_ = sqlite3_last_insert_rowid(db());
  return Status();
}

Status KeyedDriver::Put(File& file) {
  if (current_ == 0) return NoCurrentRecord();
  const RecordLayout* layout = file.layout();
  const size_t n = layout ? layout->FieldCount() : 0;
  if (n == 0) return Status();
  std::string sets;
  for (size_t i = 1; i <= n; ++i) {
    if (i > 1) sets += ", ";
    sets += Quote(layout->field(i).name) + " = ?" + std::to_string(i);
  }
  Result<Stmt> stmt = Prepare(db(), "UPDATE " + Table() + " SET " + sets + " WHERE " +
                                        std::string(kPosColumn) + " = ?" + std::to_string(n + 1));
  if (!stmt.ok()) return stmt.status();
  for (size_t i = 1; i <= n; ++i) {
    if (Status s = BindField(stmt.value().get(), static_cast<int>(i), file, i); !s.ok()) return s;
  }
  sqlite3_bind_int64(stmt.value().get(), static_cast<int>(n) + 1, current_);
  if (Status s = StepDone(db(), stmt.value().get()); !s.ok()) return s;
  // The record went away under us (another process deleted it).
  if (sqlite3_changes(db()) == 0) return NoCurrentRecord();
  return Status();
}

Status KeyedDriver::Delete(File&) {
  if (current_ == 0) return NoCurrentRecord();
  Result<Stmt> stmt =
      Prepare(db(), "DELETE FROM " + Table() + " WHERE " + std::string(kPosColumn) + " = ?1");
  if (!stmt.ok()) return stmt.status();
  sqlite3_bind_int64(stmt.value().get(), 1, current_);
  if (Status s = StepDone(db(), stmt.value().get()); !s.ok()) return s;
  // The scan position stays on the deleted record's key values, so the next NEXT or
  // PREVIOUS reads the record that followed it.
  current_ = 0;
  return Status();
}

Result<int64_t> KeyedDriver::Records(File&) {
  Result<Stmt> stmt = Prepare(db(), "SELECT count(*) FROM " + Table());
  if (!stmt.ok()) return stmt.status();
  if (int rc = sqlite3_step(stmt.value().get()); rc != SQLITE_ROW) return SqliteError(db(), rc);
  return static_cast<int64_t>(sqlite3_column_int64(stmt.value().get(), 0));
}

// --- Properties ------------------------------------------------------------------------

std::string KeyedDriver::GetProperty(File&, int32_t prop, int32_t, bool& handled) {
  handled = prop == kPropLogoutOrder;
  return handled ? std::to_string(EnrolledOrder(*this)) : std::string();
}

Status KeyedDriver::SetProperty(File& file, int32_t prop, int32_t, std::string_view value,
                                bool& handled) {
  handled = prop == kPropLogoutOrder;
  if (!handled) return Status();
  int order = 0;
  std::from_chars(value.data(), value.data() + value.size(), order);
  Enrol(*this, file, order);
  return Status();
}

}  // namespace keyed
}  // namespace platform::files
