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

// A catalog of hand-made rows per table name. A read with an owner takes the rows stored
// under "owner.table" when there are any, else those of the table name.
class MemoryCatalog : public CatalogSource {
 public:
  std::vector<TablesQueueRecord> tables;
  std::map<std::string, std::vector<ColumnsQueueRecord>, std::less<>> columns;
  std::map<std::string, std::vector<PrimaryKeysQueueRecord>, std::less<>> primary_keys;
  std::map<std::string, std::vector<IndexesQueueRecord>, std::less<>> indexes;
  std::map<std::string, std::vector<ForeignKeysQueueRecord>, std::less<>> foreign_keys;
  // The foreign keys by the table that holds them, for ReadForeignKeysOf.
  std::map<std::string, std::vector<ForeignKeysQueueRecord>, std::less<>> foreign_keys_of;
  bool scans_catalog = false;  // what ForeignKeysScanCatalog answers
  // The rows of the table sysrel, in SRQ's layout; none when `has_sysrel` is false.
  bool has_sysrel = false;
  std::vector<std::vector<std::string>> sysrel;  // eight texts per row, in field order
  std::vector<std::string> reads;                // "columns:Orders", ... in order

  void ReadTables(bool system_tables, bool tables_only, std::string_view owner_filter) override;
  void ReadColumns(std::string_view table, std::string_view owner) override;
  void ReadPrimaryKeys(std::string_view table, std::string_view owner) override;
  void ReadIndexes(std::string_view table, std::string_view owner) override;
  void ReadForeignKeys(std::string_view table, std::string_view owner) override;
  void ReadForeignKeysOf(std::string_view table, std::string_view owner) override;
  bool ForeignKeysScanCatalog() override { return scans_catalog; }
  // What ReadError answers after every read.
  std::string read_error;
  std::string ReadError() override { return read_error; }
  void ReadSysrel(platform::QueueBase& relations) override;

 private:
  template <class R>
  void Read(std::string_view what, platform::Queue<R>& queue,
            const std::map<std::string, std::vector<R>, std::less<>>& rows, std::string_view table,
            std::string_view owner);
};

// Row builders.
TablesQueueRecord Table(std::string_view name, std::string_view type = "TABLE");
ColumnsQueueRecord Column(std::string_view name, std::string_view type, int32_t size,
                          int32_t digits = 0);
IndexesQueueRecord Index(std::string_view name, std::string_view column, bool ascending = true,
                         bool non_unique = false, uint8_t type = 3);
PrimaryKeysQueueRecord PrimaryKey(std::string_view column, std::string_view name);
// A foreign key row: `fk_table`.`fk_column` refers to `pk_table`.`pk_column`.
ForeignKeysQueueRecord ForeignKey(std::string_view pk_table, std::string_view pk_column,
                                  std::string_view fk_table, std::string_view fk_column,
                                  int key_seq = 1);

// A TXD file read back into its parts.
struct TxdKey {
  std::string line;
  int32_t ident = 0;
};
struct TxdField {
  std::string label;
  std::string type;
  int32_t ident = 0;
  std::string name;         // the NAME text, its quoting undone; empty without one
  bool group_part = false;  // a line of a date/time group (GROUP, its DATE and TIME)
};
struct TxdFile {
  std::string label;
  std::string prefix;
  std::string name;  // the NAME text, its quoting undone; empty without one
  int32_t ident = 0;
  int primary_keys = 0;  // KEY lines marked PRIMARY
  std::vector<TxdKey> keys;
  std::vector<TxdField> fields;
};
// One RELATION block: the first file (many side) and the related file (one side), each with
// its key ("PRE:Key", empty without one), and the FIELD pairs of its two parts.
struct TxdRelation {
  std::string file;
  std::string file_key;
  std::string related;
  std::string related_key;
  std::string file_to_related;  // "ORD:CustomerID,CUS:CustomerID"; empty without the part
  std::string related_to_file;  // "CUS:CustomerID,ORD:CustomerID"
};
struct TxdDocument {
  std::vector<TxdFile> files;  // the global-variables file first
  bool has_relations = false;  // the file holds "[RELATIONS]"
  std::vector<TxdRelation> relations;
  std::vector<std::string> errors;
};

// Reads `text` (CR LF lines) and lists every structural fault: a CR or LF inside a line, a
// missing header, a FILE without its identification, "Record RECORD" or closing lines, a key
// or field without its identification line, numbers that do not increase, a prefix used
// twice; a FILE, key, field label or prefix that is no label, a FILE label used twice in the
// dictionary or a field label twice in its record (in any case); a field whose type is no
// data type of the dictionary (a known type name, STRING of at least 1, CSTRING and PSTRING of
// at least 2, DECIMAL and PDECIMAL of 1 to 31 digits and no more decimals, nothing left of a
// type name's parameters); in the relations, a block whose lines or indents differ from the
// block's form, or whose prefixes belong to no FILE.
TxdDocument ReadTxd(std::string_view text);

}  // namespace catalog::testing
