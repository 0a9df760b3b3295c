// ODBCQueryClass: the program's one statement object. It runs a free SQL text on the chosen
// data source through an ODBC file (the program's ODBCFILE) and reads the result as text, row
// by row and column by column, or all at once into any queue. The catalog readers take the
// file's connection from it and read their values into its ColumnDataBuffer.
//
//   QueryObject = std::make_shared<ODBCQueryClass>();
//   QueryObject->Init(ODBCFILE);
//   if (!QueryObject->Execute("SELECT name FROM pets")) {
//     while (!QueryObject->Next()) Use(QueryObject->ColumnValue(1));
//   }
//
// Requires the runtime lock: the object is shared by the windows of all threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/fixed_string.h"

namespace platform {
class QueueBase;
}
namespace platform::files {
class File;
}

namespace catalog {

class ODBCQueryClass {
 public:
  // AllocateDataBuffer: ColumnDataBuffer starts with 512 bytes.
  ODBCQueryClass();
  // ReleaseDataBuffer.
  ~ODBCQueryClass();
  ODBCQueryClass(const ODBCQueryClass&) = delete;
  ODBCQueryClass& operator=(const ODBCQueryClass&) = delete;

  // Drops `object`'s reference; the object ends when no other holder keeps it. Nothing
  // happens for a null reference.
  static void Dispose(std::shared_ptr<ODBCQueryClass>& object);

  // FILE := `file`, RECORD := its record buffer. The file is borrowed and must outlive this.
  void Init(platform::files::File& file);

  // Runs `sql` as a statement: CLOSE and OPEN of FILE (which connects with its owner), BUFFER,
  // then the SQL property. On failure shows "Error:...|Backend error:...|Owner:...|Query:..."
  // and answers true (the runtime's 1). Either way the error fields and STATEMENTHANDLE
  // describe the result; STATEMENTHANDLE is 0 after a failure.
  bool Execute(std::string_view sql);

  // The number of result columns; 0 when there is no result. STATEMENTHANDLE counts as a
  // result only while it is still FILE's statement: a CLOSE of FILE (every catalog read
  // makes one) ends it, and from then on the object reads as if nothing had run.
  int32_t ColumnCount();
  // The name of result column `n`; empty when there is none (as for ColumnCount).
  std::string ColumnName(int32_t n);
  // Reads column `n` of the current row into ColumnDataBuffer and answers it; the text lives
  // until the next read. NULL and failures read as empty. A column past the last shows the
  // stop box. The buffer grows when a value does not fit and never shrinks; a value whose
  // length the driver does not tell stays cut, before any character the cut would split.
  std::string_view ColumnData(int32_t n);
  // Column `n` of the current row as text: FILE's record field n when the record has one,
  // else (a file without fields) ColumnData(n).
  std::string ColumnValue(int32_t n);
  // NEXT on FILE; true (the runtime's 1) when there is no further row or it failed.
  bool Next();
  // Empties `queue`, adds a header row of the column names, then result rows, filling field n
  // with column n while the queue has such a field. Without `unlimited`, stops once the queue
  // holds `maximum` entries (the header counts). Leaves the header row in the record buffer.
  // Answers true (the runtime's 1) when reading the rows failed before their end (the
  // statement failed on a later row, the connection broke): the queue then holds the rows
  // read so far, the failure was shown as Execute shows its own (the owner's password
  // masked), and the error fields describe it.
  bool FillQueue(platform::QueueBase& queue, int32_t maximum, bool unlimited);

  // ColumnDataBuffer, lent to the catalog readers: always a zero-terminated text of at most
  // ColumnDataBufferLength() - 1 bytes. The address changes when the buffer grows.
  char* ColumnDataBuffer() { return buffer_.get(); }
  int32_t ColumnDataBufferLength() const { return buffer_length_; }

  // The object's fields, in the program's order.
  platform::files::File* FILE = nullptr;  // borrowed; null before Init
  void* RECORD = nullptr;                 // FILE's record buffer; null for a file without one
  int32_t LASTERRORCODE = 0;
  platform::CString<100> LASTERROR;
  platform::CString<100> LASTFILEERROR;
  platform::CString<100> LASTFILEERRORCODE;
  int64_t STATEMENTHANDLE = 0;

 private:
  void AllocateDataBuffer();
  void ReleaseDataBuffer();
  // ColumnData for a column of the result (1 <= n <= ColumnCount() > 0, so STATEMENTHANDLE
  // is FILE's statement), without counting them.
  std::string_view ReadColumnData(int32_t n);
  // Replaces the buffer by one of `length` bytes that starts with `kept`.
  void GrowDataBuffer(int32_t length, std::string_view kept);
  // A NEXT of FillQueue failed: the error fields take the thread's error and the message
  // shows it.
  void KeepFetchError();

  // The object's own buffer: a new object after a change of connection starts again at 512
  // bytes, and an older object still held by a caller keeps its own.
  std::unique_ptr<char[]> buffer_;
  int32_t buffer_length_ = 0;
  std::string sql_;  // the last Execute's text, for the message of a failed fetch
};

}  // namespace catalog
