// WriteTXD: the text dictionary of the connected source. A fixed header, a global-variables
// file that carries the connection, then one FILE per row of TablesQueue with its keys and
// fields, and (when asked for) the relations. The written file is then shown in the desktop's
// editor.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
  platform::CString<20> PREFIX;     // upper case
  platform::CString<81> TABLENAME;  // the label of the table that owns it
  static const platform::RecordLayout& Layout();
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
};

// The output name: `name` with the current directory in front when it holds no "/", cut to
// 255 bytes.
std::string TxdOutputName(std::string_view name);

// The free prefix for `label` (its first three bytes, then with 1, 2, ... appended), added to
// `prefixes` in upper case. Answers the prefix as written, in the label's case.
std::string TakePrefix(platform::Queue<PrefixQueueRecord>& prefixes, std::string_view label);

// Reads the primary key and the indexes of `table` into PrimaryKeysQueue and IndexesQueue:
// index names in label form, primary-key rows marked, and the statistics rows and every index
// over something other than a column of ColumnsQueue removed.
// REQUIRES: ColumnsQueue holds the columns of `table`.
void PrepareTableKeys(CatalogSource& catalog, std::string_view table);

// Writes one run, reading the catalog from `catalog`, and shows the written file with the
// desktop's opener. Answers the output name used. When the file cannot be created or a line
// cannot be written, a message names the file and the error, the old file stays as it was,
// and nothing is shown.
std::string WriteTXD(const TxdOptions& options, CatalogSource& catalog);

// WriteTXD of the dictionary window: the options from the program's globals, the catalog of
// QueryObject; Glo.TXDFilename receives the full output name.
void WriteTXD();

}  // namespace catalog
