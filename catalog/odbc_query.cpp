#include "catalog/odbc_query.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <string>

#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/core/message.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/files/file.h"
#include "platform/files/odbc/connect_string.h"
#include "platform/files/odbc/odbc_handle.h"

namespace catalog {
namespace {

namespace files = platform::files;

constexpr int32_t kInitialBufferBytes = 512;
// A value that does not fit makes the buffer its length plus this much.
constexpr int32_t kGrowthSlackBytes = 100;
// SQLDescribeCol reads a column name into a 1000-byte text with this buffer length.
constexpr SQLSMALLINT kColumnNameBufferLength = 999;
constexpr int32_t kBufferPageSize = 200;

// A driver's message without the line breaks it may end with, so the message shown has no
// empty line after it.
std::string WithoutTrailingLineBreaks(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

SQLHSTMT StatementOf(int64_t handle) { return files::NumberToHandle(handle); }

// The statement-handle property as a number; 0 for anything else.
int64_t ParseHandle(const std::string& text) {
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() ? value : 0;
}

// `handle` while it is still `file`'s statement, else 0. A CLOSE of the file (every catalog
// read closes and reopens it) frees the statement, and a statement allocated later may get
// the same handle: read through the old number it would pass for the old result.
int64_t CurrentStatement(files::File* file, int64_t handle) {
  if (handle == 0 || file == nullptr) return 0;
  return ParseHandle(file->GetProperty(files::kPropStatementHandle)) == handle ? handle : 0;
}

// The message of a statement that failed, when it ran or while its rows were read. The
// connect string shows with its password masked; the driver's text may repeat it.
void ShowStatementError(std::string_view error, const std::string& file_error,
                        std::string_view owner, std::string_view sql) {
  platform::Message("Error:" + std::string(error) + "|Backend error:" +
                    files::MaskPasswords(WithoutTrailingLineBreaks(file_error)) +
                    "|Owner:" + files::MaskPasswords(owner) + "|Query:" + std::string(sql));
}

}  // namespace

ODBCQueryClass::ODBCQueryClass() { AllocateDataBuffer(); }

ODBCQueryClass::~ODBCQueryClass() { ReleaseDataBuffer(); }

void ODBCQueryClass::AllocateDataBuffer() {
  buffer_ = std::make_unique<char[]>(kInitialBufferBytes);
  buffer_length_ = kInitialBufferBytes;
}

void ODBCQueryClass::ReleaseDataBuffer() {
  buffer_.reset();
  buffer_length_ = 0;
}

void ODBCQueryClass::GrowDataBuffer(int32_t length, std::string_view kept) {
  auto grown = std::make_unique<char[]>(length);
  std::memcpy(grown.get(), kept.data(), kept.size());
  grown[kept.size()] = '\0';
  buffer_ = std::move(grown);
  buffer_length_ = length;
}

void ODBCQueryClass::Dispose(std::shared_ptr<ODBCQueryClass>& object) { object.reset(); }

void ODBCQueryClass::Init(files::File& file) {
  FILE = &file;
  RECORD = file.record();
}

bool ODBCQueryClass::Execute(std::string_view sql) {
  bool failed = true;
  if (FILE != nullptr) {
    FILE->Close();
    // When the connection cannot be made, its own error is what the message shows; running
    // the statement on the closed file would only replace it by File Not Open.
    if (FILE->Open(files::kReadWrite | files::kDenyWrite)) {
      FILE->Buffer(kBufferPageSize, 0, 0, 0);
      FILE->SetProperty(files::kPropSql, sql);
      failed = platform::ErrorCode() != 0;
    }
  } else {
    platform::PostError(platform::kFileNotOpen);
  }

  // Taken before the message, which may run program code (a message hook).
  const int32_t error_code = platform::ErrorCode();
  const std::string error = platform::Error();
  const std::string file_error = platform::FileError();
  const std::string file_error_code = platform::FileErrorCode();

  sql_ = sql;
  if (failed) {
    ShowStatementError(error, file_error,
                       FILE ? FILE->GetProperty(files::kPropOwner) : std::string(), sql);
  }

  // A failed statement leaves no result to read, so no handle either.
  STATEMENTHANDLE = failed ? 0 : ParseHandle(FILE->GetProperty(files::kPropStatementHandle));
  LASTERROR = error;
  LASTERRORCODE = error_code;
  LASTFILEERROR = file_error;
  LASTFILEERRORCODE = file_error_code;
  return failed;
}

int32_t ODBCQueryClass::ColumnCount() {
  const int64_t handle = CurrentStatement(FILE, STATEMENTHANDLE);
  if (handle == 0) return 0;
  SQLSMALLINT count = 0;
  if (!files::OdbcOk(SQLNumResultCols(StatementOf(handle), &count))) return 0;
  return count;
}

std::string ODBCQueryClass::ColumnName(int32_t n) {
  if (n < 1 || n > std::numeric_limits<SQLUSMALLINT>::max()) return {};
  const int64_t handle = CurrentStatement(FILE, STATEMENTHANDLE);
  if (handle == 0) return {};
  SQLCHAR name[kColumnNameBufferLength + 1] = {};
  SQLSMALLINT name_length = 0;
  SQLSMALLINT type = 0;
  SQLULEN size = 0;
  SQLSMALLINT digits = 0;
  SQLSMALLINT nullable = 0;
  const SQLRETURN rc =
      SQLDescribeCol(StatementOf(handle), static_cast<SQLUSMALLINT>(n), name,
                     kColumnNameBufferLength, &name_length, &type, &size, &digits, &nullable);
  if (!files::OdbcOk(rc)) return {};
  return reinterpret_cast<const char*>(name);
}

std::string_view ODBCQueryClass::ColumnData(int32_t n) {
  buffer_[0] = '\0';
  const int32_t count = ColumnCount();
  if (n > count) {
    platform::Stop("Error: Attempt to get column " + std::to_string(n) + " when only " +
                   std::to_string(count) + " columns were returned.");
    return buffer_.get();
  }
  if (n < 1) return buffer_.get();  // no such column: what SQLGetData would refuse
  return ReadColumnData(n);
}

std::string_view ODBCQueryClass::ReadColumnData(int32_t n) {
  buffer_[0] = '\0';
  SQLHSTMT stmt = StatementOf(STATEMENTHANDLE);
  const auto column = static_cast<SQLUSMALLINT>(n);
  SQLLEN indicator = 0;
  SQLRETURN rc = SQLGetData(stmt, column, SQL_C_CHAR, buffer_.get(), buffer_length_, &indicator);

  // The value was cut: the buffer holds its first buffer_length_ - 1 bytes and the indicator
  // its whole length. Keep that part, grow the buffer to the length plus some room, and read
  // the rest behind it. A value of a length the driver does not know (SQL_NO_TOTAL) stays cut.
  SQLLEN read_length = buffer_length_;  // of the last SQLGetData
  if (rc == SQL_SUCCESS_WITH_INFO && indicator >= buffer_length_ &&
      indicator <= std::numeric_limits<int32_t>::max() - kGrowthSlackBytes) {
    const std::string kept(buffer_.get(), static_cast<size_t>(buffer_length_ - 1));
    GrowDataBuffer(static_cast<int32_t>(indicator) + kGrowthSlackBytes, kept);
    indicator = 0;
    char* rest = buffer_.get() + kept.size();
    read_length = buffer_length_ - static_cast<SQLLEN>(kept.size());
    rc = SQLGetData(stmt, column, SQL_C_CHAR, rest, read_length, &indicator);
  }
  if (indicator == SQL_NULL_DATA || !files::OdbcOk(rc)) {
    buffer_[0] = '\0';
  } else if (rc == SQL_SUCCESS_WITH_INFO &&
             (indicator == SQL_NO_TOTAL || indicator >= read_length)) {
    // Still cut, at a byte count that may fall inside a character: end before it.
    buffer_[files::WholeUtf8Characters(buffer_.get()).size()] = '\0';
  }
  return buffer_.get();
}

std::string ODBCQueryClass::ColumnValue(int32_t n) {
  const platform::RecordLayout* layout = FILE ? FILE->layout() : nullptr;
  if (layout != nullptr && RECORD != nullptr && n >= 1 &&
      static_cast<size_t>(n) <= layout->FieldCount()) {
    return platform::GetFieldText(layout->field(static_cast<size_t>(n)), RECORD);
  }
  if (FILE == nullptr || FILE->GetProperty(files::kPropFieldCount) == "0") {
    return std::string(ColumnData(n));
  }
  platform::Message("Attempt to get value for column " + std::to_string(n) +
                    ", but file structure doesn't have that many fields.");
  return {};
}

bool ODBCQueryClass::Next() { return FILE == nullptr || !FILE->Next(); }

bool ODBCQueryClass::FillQueue(platform::QueueBase& queue, int32_t maximum, bool unlimited) {
  queue.Free();
  queue.ClearBuffer();
  const int32_t count = ColumnCount();
  const int32_t fields = static_cast<int32_t>(queue.FieldCount());
  const int32_t filled = count < fields ? count : fields;

  for (int32_t n = 1; n <= filled; ++n) queue.SetText(static_cast<size_t>(n), ColumnName(n));
  queue.Add();

  // Whether every column is read from the statement, as ColumnValue reads it for a file
  // without fields. That holds for the whole result, so it is decided once; and as the
  // columns read are within the result's, they are read without counting them again.
  const platform::RecordLayout* layout = FILE ? FILE->layout() : nullptr;
  const bool has_record_fields = layout != nullptr && RECORD != nullptr && layout->FieldCount() > 0;
  const bool direct =
      !has_record_fields && (FILE == nullptr || FILE->GetProperty(files::kPropFieldCount) == "0");

  // Without a result (nothing ran, or FILE has let the statement go) there are no rows.
  bool cut = false;
  while (count > 0) {
    if (!unlimited && static_cast<int64_t>(queue.Records()) >= maximum) break;
    if (Next()) {
      // Only Record Not Available is the end of the data. Anything else (the statement
      // failed on a later row, the connection broke) leaves the rows read so far, and the
      // message says the result is not whole.
      cut = platform::ErrorCode() != platform::kRecordNotAvailable;
      if (cut) KeepFetchError();
      break;
    }
    for (int32_t n = 1; n <= filled; ++n) {
      if (direct) {
        queue.SetText(static_cast<size_t>(n), ReadColumnData(n));
      } else {
        queue.SetText(static_cast<size_t>(n), ColumnValue(n));
      }
    }
    queue.Add();
  }
  queue.Get(1);
  return cut;
}

void ODBCQueryClass::KeepFetchError() {
  // Taken before the message, which may run program code (a message hook).
  LASTERROR = platform::Error();
  LASTERRORCODE = platform::ErrorCode();
  LASTFILEERROR = platform::FileError();
  LASTFILEERRORCODE = platform::FileErrorCode();
  const std::string error = platform::Error();
  const std::string file_error = platform::FileError();
  ShowStatementError(error, file_error, FILE ? FILE->GetProperty(files::kPropOwner) : std::string(),
                     sql_);
}

}  // namespace catalog
