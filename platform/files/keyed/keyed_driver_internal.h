// The keyed driver's class, for the transaction and file-system code of this directory.
// Program code uses keyed_driver.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file.h"
#include "platform/files/keyed/sqlite_db.h"

namespace platform::files::keyed {

class KeyedDriver final : public Driver {
 public:
  KeyedDriver() = default;
  ~KeyedDriver() override;
  KeyedDriver(const KeyedDriver&) = delete;
  KeyedDriver& operator=(const KeyedDriver&) = delete;

  Status Create(File& file) override;
  Status Open(File& file, uint32_t mode) override;
  Status Close(File& file) override;
  Status Set(File& file) override;
  Status SetKey(File& file, size_t key_index, bool from_buffer) override;
  Status Next(File& file) override;
  Status Previous(File& file) override;
  Status Get(File& file, size_t key_index) override;
  Status Reget(File& file, std::string_view position) override;
  Result<std::string> Position(File& file) override;
  Status Add(File& file) override;
  Status Put(File& file) override;
  Status Delete(File& file) override;
  Result<int64_t> Records(File& file) override;
  std::string GetProperty(File& file, int32_t prop, int32_t index, bool& handled) override;
  Status SetProperty(File& file, int32_t prop, int32_t index, std::string_view value,
                     bool& handled) override;

  // For the transaction (transaction.cpp). The absolute path of the open file; empty when
  // the file is not open.
  const std::string& path() const { return path_; }
  bool read_only() const { return read_only_; }
  // From now on statements run on `db`, where this file is attached as `schema`, until
  // LeaveTransaction(). `db` is borrowed and outlives the transaction.
  void JoinTransaction(sqlite3* db, std::string schema);
  void LeaveTransaction();

 private:
  enum class ScanMode { kNone, kStart, kAtValues, kAfter };
  struct Value {
    enum Kind { kInt, kReal, kText, kBlob, kNull } kind = kInt;
    int64_t i = 0;
    double d = 0;
    std::string s;
  };
  struct Component {
    size_t field;  // 1-based
    bool descending;
    std::string expr;  // the column, with its collation for texts
    bool text;
  };
  struct Key {
    std::vector<Component> components;
    bool optional;
  };

  sqlite3* db() const { return txn_db_ ? txn_db_ : own_.get(); }
  std::string Table() const;
  std::string SelectColumns() const;
  Status Scan(File& file, bool forward);
  Status BindField(sqlite3_stmt* stmt, int index, const File& file, size_t field) const;
  static Status BindValue(sqlite3* db, sqlite3_stmt* stmt, int index, const Value& v);
  Value FieldValue(const File& file, size_t field) const;
  void LoadRow(File& file, sqlite3_stmt* stmt) const;
  // The scan goes on after the row `stmt` stands on: its position and the key values as
  // stored, which a value that does not fit its field would not give back.
  void RememberPosition(sqlite3_stmt* stmt);
  Status FetchOne(File& file, sqlite3_stmt* stmt, int not_found_code);
  std::string OptionalFilter(const Key& key) const;
  std::string KeyOrder(const Key& key, bool forward) const;

  // Constant while the file is open.
  Db own_;
  std::string path_;
  std::vector<Key> keys_;
  bool read_only_ = false;

  // The transaction's connection while this file takes part in one; borrowed.
  sqlite3* txn_db_ = nullptr;
  std::string schema_ = "main";

  // Sequential processing: the order (-1 file order, else a key index), where the next
  // NEXT or PREVIOUS starts, and the current record (0 none) for PUT, DELETE and POSITION.
  ScanMode mode_ = ScanMode::kNone;
  int scan_key_ = -1;
  std::vector<Value> scan_values_;
  int64_t scan_pos_ = 0;
  int64_t current_ = 0;
};

}  // namespace platform::files::keyed

namespace platform::files::keyed {

// The transaction's bookkeeping of drivers (transaction.cpp). Enrol: PROP:LogoutOrder of
// `file` := `order` (0 removes it from the list). Closed: the file left the transaction it
// was in. Destroyed: forget the driver entirely.
void Enrol(KeyedDriver& driver, File& file, int order);
int EnrolledOrder(const KeyedDriver& driver);
void DriverClosed(KeyedDriver& driver);
void DriverDestroyed(KeyedDriver& driver);

}  // namespace platform::files::keyed
