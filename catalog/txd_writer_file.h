// Text files of the dictionary writer: the TXD file and the custom field-types file, line
// files of the ASCII driver (one record per line, CR LF, trailing blanks removed). The
// driver writes a new version beside the file and puts it in place at CLOSE only when every
// line was written, so a failed write leaves the old file as it was.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"
#include "platform/files/file.h"

namespace catalog {

// The TXD file's record: LINE, STRING(2048).
struct TxdLineRecord {
  platform::FixedString<2048> LINE;
  static const platform::RecordLayout& Layout();
};

// The field-types file's record: LINESTRING, STRING(512).
struct FieldTypesLineRecord {
  platform::FixedString<512> LINESTRING;
  static const platform::RecordLayout& Layout();
};

namespace detail {
platform::files::File MakeLineFile(std::string_view label, std::string name,
                                   const platform::RecordLayout& layout, void* record,
                                   bool owner_only = false);
}  // namespace detail

// A line file named `name` of the ASCII driver whose record is `record` (a TxdLineRecord or
// FieldTypesLineRecord, borrowed).
template <class R>
platform::files::File MakeLineFile(std::string_view label, std::string name, R& record);

// Writes the lines of a new version of a line file: Create, then Write for every line, then
// Commit. Each step answers false with the thread's error state set when it failed; after a
// failure the file keeps its old content. A line is always one line of the file: a CR or LF
// inside it is written as a blank. An `owner_only` file (one that holds a password) is
// written readable by its owner only (0600, or the old file's mode where that is stricter).
class LineFileWriter {
 public:
  template <class R>
  LineFileWriter(std::string name, R& record, bool owner_only = false)
      : file_(detail::MakeLineFile("LINEFILE", std::move(name), R::Layout(), &record, owner_only)) {
  }

  bool Create();
  bool Write(std::string_view line);
  bool Commit();

  const std::string& name() const { return file_.name(); }

 private:
  platform::files::File file_;
};

template <class R>
platform::files::File MakeLineFile(std::string_view label, std::string name, R& record) {
  return detail::MakeLineFile(label, std::move(name), R::Layout(), &record);
}

}  // namespace catalog
