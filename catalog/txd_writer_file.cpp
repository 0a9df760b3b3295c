#include "catalog/txd_writer_file.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/files/ascii_driver.h"

namespace catalog {
namespace {

// Open mode of a new version: read/write, deny write.
constexpr uint32_t kWriteMode = platform::files::kReadWrite | platform::files::kDenyWrite;

}  // namespace

const platform::RecordLayout& TxdLineRecord::Layout() {
  static const platform::RecordLayout layout =
      platform::MakeLayout<TxdLineRecord>("TXD", platform::Field<&TxdLineRecord::LINE>("LINE"));
  return layout;
}

const platform::RecordLayout& FieldTypesLineRecord::Layout() {
  static const platform::RecordLayout layout = platform::MakeLayout<FieldTypesLineRecord>(
      "CFT", platform::Field<&FieldTypesLineRecord::LINESTRING>("LINESTRING"));
  return layout;
}

namespace detail {

platform::files::File MakeLineFile(std::string_view label, std::string name,
                                   const platform::RecordLayout& layout, void* record,
                                   bool owner_only) {
  platform::files::FileDeclaration decl;
  decl.owner_only = owner_only;
  decl.label = std::string(label);
  decl.name = std::move(name);
  decl.layout = &layout;
  decl.record = record;
  return platform::files::File(std::move(decl), platform::files::MakeAsciiDriver());
}

}  // namespace detail

// STREAM: the lines reach the OS in large pieces instead of one write per line. A write
// error then shows at the latest when the file is closed, and the old file stays as it was.
bool LineFileWriter::Create() { return file_.Create() && file_.Open(kWriteMode) && file_.Stream(); }

bool LineFileWriter::Write(std::string_view line) {
  const platform::RecordLayout& layout = *file_.layout();
  platform::ClearRecord(layout, file_.record());
  // A catalog text (a name, a type, the connect string) may hold a line break; written as it
  // is, it would end the line inside a declaration.
  if (line.find_first_of("\r\n") == std::string_view::npos) {
    platform::SetFieldText(layout.field(1), file_.record(), line);
  } else {
    std::string one_line(line);
    std::replace_if(
        one_line.begin(), one_line.end(), [](char ch) { return ch == '\r' || ch == '\n'; }, ' ');
    platform::SetFieldText(layout.field(1), file_.record(), one_line);
  }
  return file_.Add();
}

bool LineFileWriter::Commit() { return file_.Close(); }

}  // namespace catalog
