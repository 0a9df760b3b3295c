#include "catalog/field_types.h"

#include <filesystem>
#include <map>
#include <system_error>
#include <tuple>
#include <utility>

#include "catalog/make_label.h"
#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/core/message.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"
#include "platform/files/file.h"

namespace catalog {
namespace {

using platform::ClipView;
using platform::CutUtf8;

constexpr std::string_view kFileSuffix = "_fieldtypes.ini";
constexpr std::string_view kRetrieveFailed = "Couldn't retrieve the custom field types!|Error:";
constexpr std::string_view kAddFailed = "Couldn't add the custom field types!|Error:";
constexpr size_t kMaxText = 80;  // the CSTRING(81) fields of the table
constexpr size_t kMaxFileName = 512;
// Open mode of the file: read/write, deny none.
constexpr uint32_t kOpenMode = platform::files::kReadWrite | platform::files::kDenyNone;

enum class LoadState { kNotLoaded, kLoaded, kFailed };

LoadState& LastLoad() {
  static LoadState state = LoadState::kNotLoaded;
  return state;
}

// The number `text` as the table's LONG fields take it: its whole part, kept within LONG as
// every assignment of the runtime keeps it. (A plain cast of a number out of LONG's range,
// which a line of the user's file can hold, is undefined.)
int32_t WholeNumber(std::string_view text) {
  FieldTypesQueueRecord row;
  platform::SetFieldText(FieldTypesQueueRecord::Layout().field(2), &row, text);
  return row.COLUMNSIZE;
}

void ShowFileError(std::string_view lead, std::string_view name, std::string_view tail = {}) {
  std::string text(lead);
  text += platform::Error();
  // The system's own text says why (a full disk, a read-only file system).
  if (!platform::FileError().empty()) text += " (" + platform::FileError() + ")";
  text += "|File:";
  text += ClipView(name);
  text += tail;
  platform::Message(text);
}

// Writes every row in key order over the file. Rows are read without GET, so the record
// buffer keeps the row the caller answers with.
void RewriteFile(std::string_view added_type) {
  const std::string name = CustomFieldTypesFileName();
  FieldTypesLineRecord record;
  LineFileWriter writer(name, record);
  if (!writer.Create()) {
    ShowFileError(kRetrieveFailed, name);
    return;
  }
  bool written = true;
  for (size_t i = 1; written && i <= FieldTypesQueue.Records(); ++i) {
    written = writer.Write(FieldTypeFileLine(FieldTypesQueue.entry(i)));
  }
  if (!written || !writer.Commit()) {
    ShowFileError(kAddFailed, name, "|Custom field type:" + std::string(ClipView(added_type)));
  }
}

}  // namespace

const platform::RecordLayout& FieldTypesQueueRecord::Layout() {
  using R = FieldTypesQueueRecord;
  static const platform::RecordLayout layout =
      platform::MakeLayout<R>("FTC", platform::Field<&R::ODBCFIELDTYPE>("ODBCFIELDTYPE"),
                              platform::Field<&R::COLUMNSIZE>("COLUMNSIZE"),
                              platform::Field<&R::DECIMALDIGITS>("DECIMALDIGITS"),
                              platform::Field<&R::CLARIONFIELDTYPE>("CLARIONFIELDTYPE"));
  return layout;
}

platform::Queue<FieldTypesQueueRecord> FieldTypesQueue;

const platform::QueueKey& FieldTypesKey() {
  static const platform::QueueKey key = {{1, false}, {2, false}, {3, false}};
  return key;
}

std::string CustomFieldTypesFileName() {
  return std::string(platform::CutUtf8(
      platform::InCurrentDirectory(platform::ProgramSiblingName(kFileSuffix)), kMaxFileName));
}

std::optional<FieldTypeLine> ParseFieldTypeLine(std::string_view line) {
  if (!line.empty() && (line.front() == '!' || line.front() == ';')) return std::nullopt;
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;

  const std::string key = platform::Upper(CutUtf8(ClipView(line.substr(0, equals)), kMaxText));
  FieldTypeLine out;
  const size_t first = key.find(',');
  if (first == std::string::npos) {
    out.type_name = key;
  } else {
    size_t commas = 0;
    for (char ch : key) commas += ch == ',' ? 1 : 0;
    size_t name_end = first;
    if (commas > 2) {
      // A type name that holds commas itself ("NUMERIC(10,2)"): size and digits are the
      // last two parts.
      name_end = key.rfind(',', key.rfind(',') - 1);
    }
    out.type_name = key.substr(0, name_end);
    const std::string_view rest = std::string_view(key).substr(name_end + 1);
    const size_t second = rest.find(',');
    out.size = WholeNumber(rest.substr(0, second));
    if (second != std::string_view::npos) out.digits = WholeNumber(rest.substr(second + 1));
  }
  out.data_type = std::string(ClipView(CutUtf8(line.substr(equals + 1), kMaxText)));
  if (ClipView(out.data_type).empty()) out.data_type = out.type_name;
  return out;
}

std::string FieldTypeFileLine(const FieldTypesQueueRecord& row) {
  std::string line(ClipView(row.ODBCFIELDTYPE.view()));
  line += ',';
  line += std::to_string(row.COLUMNSIZE);
  line += ',';
  line += std::to_string(row.DECIMALDIGITS);
  line += '=';
  line += ClipView(row.CLARIONFIELDTYPE.view());
  return line;
}

void LoadCustomFieldTypes() {
  FieldTypesQueue.Free();
  const std::string name = CustomFieldTypesFileName();
  FieldTypesLineRecord record;
  platform::files::File file = MakeLineFile("CustomFieldTypesFile", name, record);

  std::error_code ec;
  if (!std::filesystem::exists(name, ec)) {
    if (file.Create()) static_cast<void>(file.Close());
  }
  if (!file.Open(kOpenMode)) {
    LastLoad() = LoadState::kFailed;
    ShowFileError(kRetrieveFailed, name);
    return;
  }
  // The mappings are gathered in key order first and then added in that order, each at the
  // queue's end: adding a long file's lines one by one in the file's order would move half
  // the table for every line. Keys compare as the queue's do (texts without trailing
  // blanks, byte by byte), and the first line for a key wins.
  std::map<std::tuple<std::string, int32_t, int32_t>, std::string> mappings;
  bool read_ok = file.Set();
  while (read_ok && file.Next()) {
    std::optional<FieldTypeLine> line = ParseFieldTypeLine(record.LINESTRING.view());
    if (!line) continue;
    mappings.try_emplace({std::string(ClipView(line->type_name)), line->size, line->digits},
                         std::move(line->data_type));
  }
  if (read_ok) read_ok = platform::ErrorCode() == platform::kRecordNotAvailable;
  for (const auto& [key, data_type] : mappings) {
    FTC.ODBCFIELDTYPE = std::get<0>(key);
    FTC.COLUMNSIZE = std::get<1>(key);
    FTC.DECIMALDIGITS = std::get<2>(key);
    FTC.CLARIONFIELDTYPE = data_type;
    FieldTypesQueue.AddByKey(FieldTypesKey());
  }
  if (!read_ok) {
    // A file that could not be read to its end must not be rewritten from what was read.
    LastLoad() = LoadState::kFailed;
    ShowFileError(kRetrieveFailed, name);
  } else {
    LastLoad() = LoadState::kLoaded;
  }
  static_cast<void>(file.Close());
}

void AddCustomFieldType(std::string_view type_name, std::string_view data_type, int32_t size,
                        int32_t digits) {
  const std::string_view clipped_type = ClipView(type_name);
  FTC.ODBCFIELDTYPE = platform::Upper(clipped_type);
  FTC.COLUMNSIZE = size;
  FTC.DECIMALDIGITS = digits;
  const std::string_view clipped_data = ClipView(data_type);
  FTC.CLARIONFIELDTYPE = clipped_data.empty() ? clipped_type : clipped_data;
  if (FieldTypesQueue.GetByKey(FieldTypesKey())) return;
  FieldTypesQueue.AddByKey(FieldTypesKey());
  if (LastLoad() == LoadState::kLoaded) RewriteFile(type_name);
}

void TEST_ForgetFieldTypesLoad() { LastLoad() = LoadState::kNotLoaded; }

}  // namespace catalog
