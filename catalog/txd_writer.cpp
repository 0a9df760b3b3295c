#include "catalog/txd_writer.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "catalog/catalog_queues.h"
#include "catalog/globals.h"
#include "catalog/make_label.h"
#include "catalog/txd_relations.h"
#include "catalog/txd_writer_file.h"
#include "catalog/txd_writer_lines.h"
#include "catalog/txd_writer_types.h"
#include "platform/core/error_state.h"
#include "platform/core/message.h"
#include "platform/core/paths.h"
#include "platform/core/process.h"
#include "platform/core/text.h"
#include "platform/files/odbc/connect_string.h"

namespace catalog {
namespace {

using platform::ClipView;
using platform::TextEqual;

constexpr std::string_view kWriteFailed = "Couldn't write the TXD file!|Error:";
constexpr size_t kMaxOutputName = 255;
constexpr size_t kPrefixLength = 3;
constexpr size_t kOracleIndexNameLength = 30;
constexpr size_t kPendingIndexName = 99;  // CSTRING(100)
// Columns past this number get quick-code lines, whatever their type.
constexpr size_t kQuickCodeColumns = 150;
// SQLStatistics' row type of the table's statistics (SQL_TABLE_STAT).
constexpr uint8_t kTableStatistics = 0;

// PrefixQueue's order: PREFIX ascending.
const platform::QueueKey& PrefixKey() {
  static const platform::QueueKey key = {{1, false}};
  return key;
}

bool IsDateTimeType(std::string_view type_name) {
  return TextEqual(type_name, "TIMESTAMP") || TextEqual(type_name, "DATETIME");
}

void ShowWriteError(std::string_view file_name) {
  std::string text(kWriteFailed);
  text += platform::Error();
  if (!platform::FileError().empty()) text += " (" + platform::FileError() + ")";
  text += "|File:";
  text += file_name;
  platform::Message(text);
}

// One run over an open output file. Every Line() after a failed one does nothing, and the
// run stops at the next table.
class TxdRun {
 public:
  TxdRun(const TxdOptions& options, CatalogSource& catalog, LineFileWriter& out)
      : options_(options), catalog_(catalog), out_(out) {
    state_.oracle = IsOracleDriver(options.driver);
    state_.external_names = options.external_names;
    // Sorted while empty, so that every lookup by PREFIX is a binary search.
    state_.prefixes.Sort(PrefixKey());
  }

  bool Run() {
    Lines(TxdHeaderLines());
    Lines(GlobalVariablesLines(options_.connect_string));
    state_.field_id = 5;
    state_.file_id = 1;
    const size_t rows = TablesQueue.Records();
    for (size_t n = 1; n <= rows && ok_; ++n) WriteTable(n);
    if (ok_ && !options_.no_relations) {
      RelationWriter relations(catalog_, state_, options_.system_tables);
      relations.WriteRelations([this](std::string_view line) { Line(line); });
    }
    return ok_;
  }

 private:
  void Line(std::string_view line) {
    if (ok_) ok_ = out_.Write(line);
  }
  void Lines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) Line(line);
  }

  void WriteTable(size_t n) {
    TablesQueue.Get(n);
    GTQ.ORGINALTABLENAME = GTQ.TABLENAME.view();
    GTQ.TABLENAME = TableLabel(GTQ.TABLENAME, state_.oracle);
    TablesQueue.Put();
    if (!options_.system_tables && GTQ.TABLETYPE == "SYSTEM TABLE") return;

    ++state_.file_id;
    state_.prefix = TakePrefix(state_.prefixes, GTQ.TABLENAME, state_.prefix_counters);
    Line(TxdFileLine(GTQ.TABLENAME, options_.driver, GTQ.ORGINALTABLENAME, state_.prefix,
                     state_.external_names));
    Line(IdentLine(state_.file_id, ",USAGE(File)"));
    const std::string table(ClipView(GTQ.ORGINALTABLENAME));
    // The columns are read first: the key writer leaves out indexes over anything else.
    catalog_.ReadColumns(table);
    WriteKeys(table);
    if (!options_.no_relations) state_.table_keys.emplace(table, TakeTableKeys(state_.oracle));
    Line("Record RECORD");
    WriteFields();
    Lines({"    END", "  END", ""});
  }

  void WriteKeys(std::string_view table) {
    PrepareTableKeys(catalog_, table);
    bool pending = false;
    std::string pending_name;
    std::string key_line;
    std::string suffix;
    for (size_t i = 1; i <= IndexesQueue.Records(); ++i) {
      const IndexesQueueRecord& row = IndexesQueue.entry(i);
      const std::string name = KeyName(row.INDEX_NAME, state_.oracle);
      const std::string component = std::string(row.ASC_OR_DESC == "A" ? "+" : "-") +
                                    state_.prefix + ":" +
                                    ColumnLabel(row.COLUMN_NAME, state_.oracle);
      if (pending && TextEqual(name, pending_name)) {
        key_line += component + ",";
        continue;
      }
      if (pending) FinishKey(key_line, suffix);
      pending = true;
      pending_name = std::string(platform::CutUtf8(name, kPendingIndexName));
      key_line = MakeLabel(name) + " KEY(" + component + ",";
      suffix = row.NON_UNIQUE == 1 ? ",DUP" : "";
      if (row.PRIMARYKEY != 0 || name == "PrimaryKey") suffix += ",PRIMARY";
    }
    if (pending) FinishKey(key_line, suffix);
  }

  void FinishKey(std::string& key_line, std::string_view suffix) {
    key_line.pop_back();  // the comma after the last component
    Line(key_line + "),NOCASE,OPT" + std::string(suffix));
    ++state_.key_id;
    Line(IdentLine(state_.key_id));
  }

  void WriteFields() {
    const size_t count = ColumnsQueue.Records();
    for (size_t c = 1; c <= count && ok_; ++c) {
      ColumnsQueue.Get(c);
      const std::string name(GCQ.COLUMNNAME.view());
      const std::string label = ColumnLabel(name, state_.oracle);
      const bool date_time = IsDateTimeType(GCQ.COLUMNTYPE);
      // Written before the type is known, so also for a column that is then left out.
      if (date_time || c > kQuickCodeColumns) Lines({"[QUICKCODE]", "!NOPOPULATE"});
      const std::optional<std::string> type =
          ColumnDataType(GCQ.COLUMNTYPE, GCQ.COLUMNSIZE, GCQ.DECIMALDIGITS, state_.oracle);
      if (!type) continue;
      ++state_.field_id;
      Line(FieldLine(label, *type, name, state_.external_names));
      Line(FieldIdentLine(state_.field_id, label));
      if (date_time) {
        Lines(DateTimeGroupLines(label, name, state_.field_id + 1));
        state_.field_id += 4;
      }
    }
  }

  const TxdOptions& options_;
  CatalogSource& catalog_;
  LineFileWriter& out_;
  TxdRunState state_;
  bool ok_ = true;
};

}  // namespace

const platform::RecordLayout& PrefixQueueRecord::Layout() {
  static const platform::RecordLayout layout = platform::MakeLayout<PrefixQueueRecord>(
      "PFQ", platform::Field<&PrefixQueueRecord::PREFIX>("PREFIX"),
      platform::Field<&PrefixQueueRecord::TABLENAME>("TABLENAME"));
  return layout;
}

std::string TxdOutputName(std::string_view name) {
  return std::string(
      platform::CutUtf8(platform::InCurrentDirectory(ClipView(name)), kMaxOutputName));
}

std::string TakePrefix(platform::Queue<PrefixQueueRecord>& prefixes, std::string_view label) {
  std::unordered_map<std::string, int> counters;
  return TakePrefix(prefixes, label, counters);
}

std::string TakePrefix(platform::Queue<PrefixQueueRecord>& prefixes, std::string_view label,
                       std::unordered_map<std::string, int>& counters) {
  const std::string base(ClipView(platform::CutUtf8(ClipView(label), kPrefixLength)));
  // Prefixes are never taken back within a run, so every candidate below the counter is
  // still taken and the search may start there.
  int& counter = counters[platform::Upper(base)];
  for (;; ++counter) {
    const std::string candidate = counter == 0 ? base : base + std::to_string(counter);
    prefixes.buffer.PREFIX = platform::Upper(candidate);
    if (prefixes.GetByKey(PrefixKey())) continue;
    prefixes.buffer.TABLENAME = label;
    prefixes.AddByKey(PrefixKey());
    ++counter;
    return candidate;
  }
}

std::string KeyName(std::string_view index_name, bool oracle) {
  const std::string_view name = ClipView(index_name);
  return oracle ? platform::Upper(platform::CutUtf8(name, kOracleIndexNameLength))
                : std::string(name);
}

TableKeys TakeTableKeys(bool oracle) {
  TableKeys keys;
  for (size_t i = 1; i <= IndexesQueue.Records(); ++i) {
    const IndexesQueueRecord row = IndexesQueue.entry(i);
    const std::string_view index_label = ClipView(row.INDEX_NAME);
    keys.rows.push_back({std::string(index_label), MakeLabel(KeyName(index_label, oracle)),
                         std::string(ClipView(row.COLUMN_NAME))});
  }
  std::vector<std::pair<int32_t, std::string>> primary;
  for (size_t i = 1; i <= PrimaryKeysQueue.Records(); ++i) {
    const PrimaryKeysQueueRecord row = PrimaryKeysQueue.entry(i);
    primary.emplace_back(row.ORDINALPOSITION, std::string(ClipView(row.COLUMNNAME)));
  }
  std::stable_sort(primary.begin(), primary.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [position, column] : primary) keys.primary_key.push_back(std::move(column));
  return keys;
}

void PrepareTableKeys(CatalogSource& catalog, std::string_view table) {
  catalog.ReadPrimaryKeys(table);
  for (size_t i = 1; i <= PrimaryKeysQueue.Records(); ++i) {
    PrimaryKeysQueue.Get(i);
    GPQ.INDEX_NAME = MakeLabel(GPQ.INDEX_NAME);
    PrimaryKeysQueue.Put();
  }

  catalog.ReadIndexes(table);
  std::set<std::string, std::less<>> columns;
  for (size_t i = 1; i <= ColumnsQueue.Records(); ++i) {
    columns.emplace(ClipView(ColumnsQueue.entry(i).COLUMNNAME));
  }
  std::set<std::string, std::less<>> not_over_columns;
  for (size_t i = IndexesQueue.Records(); i >= 1; --i) {
    IndexesQueue.Get(i);
    // The statistics row of the table is no index. It is known by its type; a row without
    // an index name cannot be written as a key either.
    if (GIQ.INDEXTYPE == kTableStatistics || ClipView(GIQ.INDEX_NAME).empty()) {
      IndexesQueue.Delete();
      continue;
    }
    GIQ.INDEX_NAME = MakeLabel(GIQ.INDEX_NAME);
    GIQ.PRIMARYKEY = 0;
    for (size_t p = 1; p <= PrimaryKeysQueue.Records(); ++p) {
      if (PrimaryKeysQueue.entry(p).INDEX_NAME == GIQ.INDEX_NAME) GIQ.PRIMARYKEY = 1;
    }
    IndexesQueue.Put();
    const std::string_view column = ClipView(GIQ.COLUMN_NAME);
    if (column.empty() || !columns.contains(column)) {
      not_over_columns.emplace(ClipView(GIQ.INDEX_NAME));
    }
  }
  // An index over an expression (or a row without a column) has no component that the
  // dictionary can name, so the whole index is left out.
  for (size_t i = IndexesQueue.Records(); i >= 1; --i) {
    if (not_over_columns.contains(ClipView(IndexesQueue.entry(i).INDEX_NAME))) {
      IndexesQueue.Get(i);
      IndexesQueue.Delete();
    }
  }
}

std::string WriteTXD(const TxdOptions& options, CatalogSource& catalog) {
  const std::string name = TxdOutputName(options.txd_filename);
  TxdLineRecord record;
  // The header carries the connect string, password and all: such a file is its owner's.
  const bool holds_password =
      platform::files::MaskPasswords(options.connect_string) != options.connect_string;
  LineFileWriter out(name, record, holds_password);
  if (!out.Create()) {
    ShowWriteError(name);
    return name;
  }
  TxdRun run(options, catalog, out);
  if (!run.Run() || !out.Commit()) {
    ShowWriteError(name);
    return name;
  }
  // Ignoring the opener's result on purpose: the file is written, and a desktop without an
  // opener is no failure of the run.
  static_cast<void>(platform::OpenWithDesktop(name));
  return name;
}

void WriteTXD() {
  TxdOptions options;
  options.txd_filename = Glo.TXDFilename.str();
  options.driver = Glo.Driver.str();
  options.external_names = Glo.ExternalNames == 1;
  options.system_tables = Glo.SystemTables != 0;
  options.no_relations = Glo.NoRelations != 0;
  options.connect_string = Glo.ConnectString.str();
  const std::unique_ptr<CatalogSource> catalog = MakeQueryObjectCatalog();
  Glo.TXDFilename = WriteTXD(options, *catalog);
}

}  // namespace catalog
