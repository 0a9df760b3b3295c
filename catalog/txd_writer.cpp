#include "catalog/txd_writer.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <span>
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
#include "platform/core/text.h"
#include "platform/files/odbc/connect_string.h"
#include "platform/ui/dialogs.h"

namespace catalog {
namespace {

using platform::ClipView;
using platform::TextEqual;

constexpr std::string_view kWriteFailed = "Couldn't write the TXD file!|Error:";
constexpr size_t kMaxOutputName = 255;
constexpr size_t kPrefixLength = 3;
constexpr size_t kOracleIndexNameLength = 30;
constexpr size_t kPendingIndexName = kCatalogNameSize - 1;
// Columns past this number get quick-code lines, whatever their type.
constexpr size_t kQuickCodeColumns = 150;
// The index written for a primary key that no index of the table matches.
constexpr std::string_view kPrimaryKeyIndexName = "PrimaryKey";
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

// The date/time group of a timestamp column adds these labels to the record.
constexpr std::array<std::string_view, 3> kGroupSuffixes = {"_GROUP", "_DATE", "_TIME"};

bool IsDateTimeColumn(const ColumnsQueueRecord& column) {
  // The group also comes with a timestamp the driver names otherwise ("timestamptz"): its
  // STRING(8) is of no use without the DATE and TIME over it.
  return IsDateTimeType(column.COLUMNTYPE) || IsTimestampCode(column.NCOLUMNTYPE);
}

// `label` made unique among `taken` (labels in upper case, since labels match in any case):
// the label itself when it is free, else with the smallest number from 1 on appended that is
// free, with each of `suffixes` appended free as well. An empty label becomes "_". The label
// taken, and its suffixed forms, are added to `taken`.
std::string TakeLabel(std::string label, std::set<std::string>& taken,
                      std::span<const std::string_view> suffixes = {}) {
  if (label.empty()) label = "_";
  for (int n = 0;; ++n) {
    const std::string candidate = n == 0 ? label : label + std::to_string(n);
    const std::string upper = platform::Upper(candidate);
    bool free = !taken.contains(upper);
    for (std::string_view suffix : suffixes) {
      free = free && !taken.contains(upper + platform::Upper(suffix));
    }
    if (!free) continue;
    taken.insert(upper);
    for (std::string_view suffix : suffixes) taken.insert(upper + platform::Upper(suffix));
    return candidate;
  }
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
    // Two tables whose names give one label (a-b and a_b, or one name in two schemas) would
    // give two FILEs of one label.
    const std::string label = TakeLabel(std::string(ClipView(GTQ.TABLENAME)), file_labels_);
    if (label != ClipView(GTQ.TABLENAME)) {
      GTQ.TABLENAME = label;
      TablesQueue.Put();
    }

    ++state_.file_id;
    state_.prefix = TakePrefix(state_.prefixes, GTQ.TABLENAME, state_.prefix_counters);
    Line(TxdFileLine(GTQ.TABLENAME, options_.driver, GTQ.ORGINALTABLENAME, state_.prefix,
                     state_.external_names));
    Line(IdentLine(state_.file_id, ",USAGE(File)"));
    const std::string table(ClipView(GTQ.ORGINALTABLENAME));
    const std::string owner(ClipView(GTQ.OWNER));
    state_.written.emplace(
        TableName(owner, table),
        WrittenTable{std::string(ClipView(GTQ.TABLENAME)), platform::Upper(state_.prefix)});
    // The columns are read first: the key writer leaves out indexes over anything else, and
    // its components name the columns by their field labels.
    catalog_.ReadColumns(table, owner);
    TakeFieldLabels();
    WriteKeys(table, owner);
    if (!options_.no_relations) {
      TableKeys keys = TakeTableKeys(state_.oracle);
      keys.column_labels = column_labels_;
      state_.table_keys.emplace(TableName(owner, table), std::move(keys));
    }
    Line("Record RECORD");
    WriteFields();
    Lines({"    END", "  END", ""});
  }

  void WriteKeys(std::string_view table, std::string_view owner) {
    PrepareTableKeys(catalog_, table, owner);
    bool pending = false;
    std::string pending_name;
    std::string key_line;
    std::string suffix;
    for (size_t i = 1; i <= IndexesQueue.Records(); ++i) {
      const IndexesQueueRecord& row = IndexesQueue.entry(i);
      const std::string name = KeyName(row.INDEX_NAME, state_.oracle);
      const std::string component = std::string(row.ASC_OR_DESC == "A" ? "+" : "-") +
                                    state_.prefix + ":" + FieldLabelOf(row.COLUMN_NAME);
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

  // The field label of every column of ColumnsQueue, unique in the record: two columns whose
  // names give one label get numbered labels, and a timestamp's group labels count too.
  void TakeFieldLabels() {
    std::set<std::string> taken;
    field_labels_.clear();
    column_labels_.clear();
    for (size_t c = 1; c <= ColumnsQueue.Records(); ++c) {
      const ColumnsQueueRecord& column = ColumnsQueue.entry(c);
      std::string label = TakeLabel(ColumnLabel(column.COLUMNNAME, state_.oracle), taken,
                                    IsDateTimeColumn(column) ? std::span(kGroupSuffixes)
                                                             : std::span<const std::string_view>());
      column_labels_.emplace(ClipView(column.COLUMNNAME), label);
      field_labels_.push_back(std::move(label));
    }
  }

  std::string FieldLabelOf(std::string_view column) const {
    const auto found = column_labels_.find(ClipView(column));
    return found != column_labels_.end() ? found->second : ColumnLabel(column, state_.oracle);
  }

  void WriteFields() {
    const size_t count = ColumnsQueue.Records();
    for (size_t c = 1; c <= count && ok_; ++c) {
      ColumnsQueue.Get(c);
      const std::string name(GCQ.COLUMNNAME.view());
      const std::string& label = field_labels_[c - 1];
      const bool date_time = IsDateTimeColumn(GCQ);
      // Written before the type is known, so also for a column that is then left out.
      if (date_time || c > kQuickCodeColumns) Lines({"[QUICKCODE]", "!NOPOPULATE"});
      const std::optional<std::string> type = ColumnDataType(
          {GCQ.COLUMNTYPE.view(), GCQ.NCOLUMNTYPE, GCQ.COLUMNSIZE, GCQ.DECIMALDIGITS},
          state_.oracle);
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
  // The FILE labels of the dictionary, in upper case.
  std::set<std::string> file_labels_;
  // The current table's field labels, in column order, and by column name as read.
  std::vector<std::string> field_labels_;
  std::map<std::string, std::string, std::less<>> column_labels_;
};

// The primary key's columns, in key order.
std::vector<std::string> PrimaryKeyColumns() {
  std::vector<std::pair<int32_t, std::string>> primary;
  for (size_t i = 1; i <= PrimaryKeysQueue.Records(); ++i) {
    const PrimaryKeysQueueRecord row = PrimaryKeysQueue.entry(i);
    primary.emplace_back(row.ORDINALPOSITION, std::string(ClipView(row.COLUMNNAME)));
  }
  std::stable_sort(primary.begin(), primary.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> columns;
  for (auto& [position, column] : primary) columns.push_back(std::move(column));
  return columns;
}

// Where no index was found by the primary key's name (the SQLite driver reports none), the
// first index over exactly the primary key's columns, in order, is the primary key; without
// one, the primary key itself is added as an index named PrimaryKey. So a table with a
// primary key always has its one PRIMARY key.
void MarkPrimaryKeyByColumns() {
  if (PrimaryKeysQueue.Records() == 0) return;
  for (size_t i = 1; i <= IndexesQueue.Records(); ++i) {
    if (IndexesQueue.entry(i).PRIMARYKEY != 0) return;
  }
  const std::vector<std::string> primary = PrimaryKeyColumns();
  for (size_t first = 1; first <= IndexesQueue.Records();) {
    const std::string name(ClipView(IndexesQueue.entry(first).INDEX_NAME));
    size_t end = first;
    std::vector<std::string> columns;
    while (end <= IndexesQueue.Records() && ClipView(IndexesQueue.entry(end).INDEX_NAME) == name) {
      columns.emplace_back(ClipView(IndexesQueue.entry(end).COLUMN_NAME));
      ++end;
    }
    if (columns == primary) {
      for (size_t i = first; i < end; ++i) {
        IndexesQueue.Get(i);
        GIQ.PRIMARYKEY = 1;
        IndexesQueue.Put();
      }
      return;
    }
    first = end;
  }
  for (size_t i = 0; i < primary.size(); ++i) {
    IndexesQueue.ClearBuffer();
    GIQ.INDEX_NAME = kPrimaryKeyIndexName;
    GIQ.COLUMN_NAME = primary[i];
    GIQ.ORDINALPOSITION = static_cast<int16_t>(i + 1);
    GIQ.ASC_OR_DESC = "A";
    GIQ.PRIMARYKEY = 1;
    IndexesQueue.AddAt(i + 1);
  }
}

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
  std::string previous_key;
  for (size_t i = 1; i <= IndexesQueue.Records(); ++i) {
    const IndexesQueueRecord row = IndexesQueue.entry(i);
    const std::string_view index_label = ClipView(row.INDEX_NAME);
    std::string key = KeyName(index_label, oracle);
    // Consecutive rows of one index name form one key, as the key writer writes them.
    const bool first = i == 1 || key != previous_key;
    keys.rows.push_back(
        {std::string(index_label), MakeLabel(key), std::string(ClipView(row.COLUMN_NAME)), first});
    previous_key = std::move(key);
  }
  keys.primary_key = PrimaryKeyColumns();
  return keys;
}

void PrepareTableKeys(CatalogSource& catalog, std::string_view table, std::string_view owner) {
  catalog.ReadPrimaryKeys(table, owner);
  for (size_t i = 1; i <= PrimaryKeysQueue.Records(); ++i) {
    PrimaryKeysQueue.Get(i);
    GPQ.INDEX_NAME = MakeLabel(GPQ.INDEX_NAME);
    PrimaryKeysQueue.Put();
  }

  catalog.ReadIndexes(table, owner);
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
  MarkPrimaryKeyByColumns();
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
  // The file is written either way; a desktop that cannot open it says so to the user.
  platform::ui::OpenOnDesktop(name);
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
