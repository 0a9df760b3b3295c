// Test support for the dictionary writer: a catalog source fed by hand, and a small reader
// that checks a TXD file's structure.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog_queues.h"
#include "catalog/txd_writer_source.h"

namespace catalog::testing {

// `lines` each followed by CR LF.
std::string CrLf(const std::vector<std::string>& lines);

// A catalog of hand-made rows per table name.
class MemoryCatalog : public CatalogSource {
 public:
  std::vector<TablesQueueRecord> tables;
  std::map<std::string, std::vector<ColumnsQueueRecord>, std::less<>> columns;
  std::map<std::string, std::vector<PrimaryKeysQueueRecord>, std::less<>> primary_keys;
  std::map<std::string, std::vector<IndexesQueueRecord>, std::less<>> indexes;
  std::map<std::string, std::vector<ForeignKeysQueueRecord>, std::less<>> foreign_keys;
  std::vector<std::string> reads;  // "columns:Orders", ... in order

  void ReadTables(bool system_tables, bool tables_only, std::string_view owner_filter) override;
  void ReadColumns(std::string_view table) override;
  void ReadPrimaryKeys(std::string_view table) override;
  void ReadIndexes(std::string_view table) override;
  void ReadForeignKeys(std::string_view table) override;
};

// Row builders.
TablesQueueRecord Table(std::string_view name, std::string_view type = "TABLE");
ColumnsQueueRecord Column(std::string_view name, std::string_view type, int32_t size,
                          int32_t digits = 0);
IndexesQueueRecord Index(std::string_view name, std::string_view column, bool ascending = true,
                         bool non_unique = false, uint8_t type = 3);
PrimaryKeysQueueRecord PrimaryKey(std::string_view column, std::string_view name);

// A TXD file read back into its parts.
struct TxdKey {
  std::string line;
  int32_t ident = 0;
};
struct TxdField {
  std::string label;
  std::string type;
  int32_t ident = 0;
};
struct TxdFile {
  std::string label;
  std::string prefix;
  int32_t ident = 0;
  std::vector<TxdKey> keys;
  std::vector<TxdField> fields;
};
struct TxdDocument {
  std::vector<TxdFile> files;  // the global-variables file first
  std::vector<std::string> errors;
};

// Reads `text` (CR LF lines) and lists every structural fault: a missing header, a FILE
// without its identification, "Record RECORD" or closing lines, a key or field without its
// identification line, numbers that do not increase, a prefix used twice.
TxdDocument ReadTxd(std::string_view text);

}  // namespace catalog::testing
