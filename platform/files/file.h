// FILE: a declared file of the runtime and the statements on it. A File pairs a declaration
// (label, name, owner, record buffer, keys) with a driver. Each statement asks the driver,
// posts the driver's Status as the thread's error state (ERRORCODE, ERROR, FILEERROR,
// FILEERRORCODE) and answers true on success, so program code can test either.
//
//   File txd(FileDeclaration{.label = "TXDFILE", .name = "Clarion.txd", ...}, MakeAsciiDriver());
//   if (!txd.Create() || !txd.Open(files::kWriteOnly | files::kDenyAll)) Message(...);
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/record.h"
#include "platform/core/status.h"

namespace platform::files {

// OPEN access modes, combined as the runtime does (22h: read/write, deny write).
inline constexpr uint32_t kReadOnly = 0x00;
inline constexpr uint32_t kWriteOnly = 0x01;
inline constexpr uint32_t kReadWrite = 0x02;
inline constexpr uint32_t kDenyAll = 0x10;
inline constexpr uint32_t kDenyWrite = 0x20;
inline constexpr uint32_t kDenyRead = 0x30;
inline constexpr uint32_t kDenyNone = 0x40;
inline constexpr uint32_t kDefaultOpenMode = kReadWrite | kDenyWrite;

// File properties by number. Drivers answer the ones they know; others read as empty and
// setting them does nothing.
enum FileProp : int32_t {
  kPropSql = 0x7200,               // ODBC: SQL text to run as a statement
  kPropConnectionHandle = 0x7204,  // ODBC: the connection handle, 64-bit, as a number
  kPropStatementHandle = 0x7205,   // ODBC: the statement handle, 64-bit, as a number
  kPropDisconnect = 0x7245,        // ODBC: setting it releases the connection
  kPropLogoutOrder = 0x7301,       // keyed: enrols the open file in the default LOGOUT list
  kPropFieldCount = 0x7312,        // the number of fields of the record
  kPropOwner = 0x7315,             // the owner (ODBC: the connect string)
  kPropName = 0x7316,              // the file's name
  kPropRecord = 0x734B,            // a reference to the record (see File::record())
};

struct KeyComponent {
  size_t field = 0;  // 1-based field number in the record
  bool descending = false;
};

// A KEY of a file: components in order; unique unless `duplicates`; NOCASE compares texts
// without regard to case; OPT leaves records whose key fields are all blank or 0 out.
struct FileKey {
  std::string label;  // "ZOVPROPERTIESFILE:KEYBYNAME" style, as declared
  std::vector<KeyComponent> components;
  bool duplicates = false;
  bool nocase = false;
  bool optional = false;
  bool primary = false;
};

struct FileDeclaration {
  std::string label;                     // the FILE's label ("ODBCFILE")
  std::string name;                      // NAME(): what the driver opens; empty means the label
  std::string owner;                     // OWNER(): for ODBC the connect string
  std::string driver_options;            // the driver string ("/COMMA=59")
  const RecordLayout* layout = nullptr;  // null for a file without fields
  void* record = nullptr;                // the record buffer, borrowed
  std::vector<FileKey> keys;
  bool create = false;  // CREATE attribute: OPEN of a missing file creates it
  // Text files: what is written may be read and written by the file's owner only, because it
  // holds a secret (a password); a replaced file keeps its own mode where that is stricter.
  bool owner_only = false;
};

class File;

// What a file driver implements. Every operation answers a Status; the default answers
// "not supported by this driver" as a file-system error, so a driver only writes what it has.
class Driver {
 public:
  virtual ~Driver() = default;

  virtual Status Create(File& file);
  virtual Status Open(File& file, uint32_t mode) = 0;
  virtual Status Close(File& file) = 0;
  // SET in file order from the start (or the end for PREVIOUS).
  virtual Status Set(File& file);
  // SET by a key: from its start, or from the key values in the record buffer.
  virtual Status SetKey(File& file, size_t key_index, bool from_buffer);
  virtual Status Next(File& file);
  virtual Status Previous(File& file);
  // GET by a key's exact value from the record buffer.
  virtual Status Get(File& file, size_t key_index);
  virtual Status Reget(File& file, std::string_view position);
  virtual Result<std::string> Position(File& file);
  virtual Status Add(File& file);
  virtual Status Put(File& file);
  virtual Status Delete(File& file);
  virtual Result<int64_t> Records(File& file);
  virtual Status Buffer(File& file, int32_t pages, int32_t behind, int32_t ahead, int32_t timeout);
  virtual Status Stream(File& file);
  virtual Status Flush(File& file);
  // Properties this driver answers; `handled` false lets File answer its own.
  virtual std::string GetProperty(File& file, int32_t prop, int32_t index, bool& handled);
  virtual Status SetProperty(File& file, int32_t prop, int32_t index, std::string_view value,
                             bool& handled);
};

class File {
 public:
  File(FileDeclaration declaration, std::unique_ptr<Driver> driver);
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // The runtime statements. Each posts its result as the thread's error state.
  bool Create();
  bool Open(uint32_t mode = kDefaultOpenMode);
  bool Close();
  bool Set();
  bool SetKey(size_t key_index, bool from_buffer = true);
  bool Next();
  bool Previous();
  bool Get(size_t key_index);
  bool Reget(std::string_view position);
  std::string Position();
  bool Add();
  bool Put();
  bool Delete();
  int64_t Records();
  bool Buffer(int32_t pages, int32_t behind = 0, int32_t ahead = 0, int32_t timeout = 0);
  bool Stream();
  bool Flush();
  // CLEAR(file): the record buffer's texts blank, numbers 0.
  void Clear();

  // PROP:x of the file. Name and owner are the declaration's; FieldCount is the record's;
  // other numbers go to the driver. Setting an unknown property does nothing.
  std::string GetProperty(int32_t prop, int32_t index = 0);
  void SetProperty(int32_t prop, std::string_view value, int32_t index = 0);

  const FileDeclaration& declaration() const { return decl_; }
  const std::string& label() const { return decl_.label; }
  // The name the driver opens: NAME() when set, else the label.
  const std::string& name() const { return decl_.name.empty() ? decl_.label : decl_.name; }
  void set_name(std::string name) { decl_.name = std::move(name); }
  const std::string& owner() const { return decl_.owner; }
  void set_owner(std::string owner) { decl_.owner = std::move(owner); }
  const RecordLayout* layout() const { return decl_.layout; }
  void* record() const { return decl_.record; }
  size_t FieldCount() const { return decl_.layout ? decl_.layout->FieldCount() : 0; }
  bool is_open() const { return open_; }
  Driver& driver() { return *driver_; }

  // For drivers: the open state follows their Open and Close.
  void set_open(bool open) { open_ = open; }

 private:
  bool Post(const Status& s);

  FileDeclaration decl_;
  std::unique_ptr<Driver> driver_;
  bool open_ = false;
};

}  // namespace platform::files
