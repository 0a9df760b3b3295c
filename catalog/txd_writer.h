// WriteTXD: the text dictionary of the connected source. A fixed header, a global-variables
// file that carries the connection, then one FILE per row of TablesQueue with its keys and
// fields, and (when asked for) the relations. The written file is then shown in the desktop's
// editor.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "catalog/catalog_queues.h"
#include "catalog/txd_writer_source.h"
#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"

namespace catalog {

// The options of a run, as the dictionary window holds them.
struct TxdOptions {
  std::string txd_filename = "Clarion.txd";
  std::string driver = "ODBC";
  bool external_names = false;  // true: no NAME attributes
  bool system_tables = false;   // false: leave out tables of type "SYSTEM TABLE"
  bool no_relations = true;
  std::string connect_string;
};

// The prefixes handed out in one run, kept in ascending order of PREFIX.
struct PrefixQueueRecord {
  platform::CString<20> PREFIX;  // upper case
  // The label of the table that owns it, whole.
  platform::CString<kCatalogNameSize> TABLENAME;
  static const platform::RecordLayout& Layout();
};

// The keys of one table as the key writer prepared them, kept for the relations so that
// they need not read the catalog again.
struct TableKeyRow {
  std::string index_label;  // the index name in label form
  std::string key_label;    // the label of the KEY line written for the index
  std::string column;       // the column name as read
  bool first = false;       // the index's first component
};
struct TableKeys {
  std::vector<TableKeyRow> rows;         // in the order of IndexesQueue
  std::vector<std::string> primary_key;  // the primary key's columns in key order
  // The field label of every column of a table written, by the column's name as read.
  std::map<std::string, std::string, std::less<>> column_labels;
};

// A table as the catalog names it: its owner (schema, blank for a source without them) and
// its name as read.
using TableName = std::pair<std::string, std::string>;

// A table written as a FILE: its label and its prefix in upper case, as PrefixQueue holds it.
struct WrittenTable {
  std::string label;
  std::string prefix;
};

// The state one run shares between its steps (tables, keys, fields, relations).
struct TxdRunState {
  int32_t file_id = 1;   // 1 is the global-variables file
  int32_t field_id = 5;  // the global fields carry 2 to 5
  int32_t key_id = 0;
  std::string prefix;  // the current table's prefix as written
  bool oracle = false;
  bool external_names = false;
  platform::Queue<PrefixQueueRecord> prefixes;
  // For each three-letter start in upper case, the first counter not yet known to be taken
  // (0: the bare start), so that many tables starting alike do not try every number again.
  std::unordered_map<std::string, int> prefix_counters;
  // The keys of every table written (kept when relations are asked for).
  std::map<TableName, TableKeys> table_keys;
  // Every table written as a FILE.
  std::map<TableName, WrittenTable> written;
};

// The output name: `name` with the current directory in front when it holds no "/", cut to
// 255 bytes.
std::string TxdOutputName(std::string_view name);

// The free prefix for `label` (its first three bytes, then with 1, 2, ... appended), added to
// `prefixes` in upper case. Answers the prefix as written, in the label's case.
std::string TakePrefix(platform::Queue<PrefixQueueRecord>& prefixes, std::string_view label);
// The same, starting each three-letter start's search where `counters` says the taken
// candidates end. Gives what TakePrefix gives as long as `counters` saw every prefix added.
std::string TakePrefix(platform::Queue<PrefixQueueRecord>& prefixes, std::string_view label,
                       std::unordered_map<std::string, int>& counters);

// The index name a KEY line is written for: under the Oracle rules its first 30 bytes in
// upper case. The key's label is MakeLabel of it.
std::string KeyName(std::string_view index_name, bool oracle);

// The keys of the table that PrepareTableKeys left in PrimaryKeysQueue and IndexesQueue.
TableKeys TakeTableKeys(bool oracle);

// Reads the primary key and the indexes of `table` (of schema `owner`) into PrimaryKeysQueue
// and IndexesQueue: index names in label form, the statistics rows and every index over
// something other than a column of ColumnsQueue removed, and the primary key's rows marked:
// those of the index named like it, else of the first index over exactly its columns, else
// rows added first for an index named PrimaryKey over them.
// REQUIRES: ColumnsQueue holds the columns of `table`.
void PrepareTableKeys(CatalogSource& catalog, std::string_view table, std::string_view owner);

// Writes one run, reading the catalog from `catalog`, and shows the written file with the
// desktop's opener. Answers the output name used. When the file cannot be created or a line
// cannot be written, a message names the file and the error, the old file stays as it was,
// and nothing is shown.
std::string WriteTXD(const TxdOptions& options, CatalogSource& catalog);

// WriteTXD of the dictionary window: the options from the program's globals, the catalog of
// QueryObject; Glo.TXDFilename receives the full output name.
void WriteTXD();

}  // namespace catalog
