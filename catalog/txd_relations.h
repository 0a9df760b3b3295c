// The relations section of the TXD dictionary: one RELATION block per column pair of every
// relation between two tables of the dictionary. The relations come from the foreign keys the
// source reports (SQLForeignKeys) or, when it reports none, from a table named `sysrel` laid
// out like the relationship table of desktop databases.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "catalog/catalog_queues.h"
#include "catalog/txd_writer.h"
#include "catalog/txd_writer_source.h"
#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"

namespace catalog {

// One column pair of a relation. SZOBJECT is the first file of the block (the many side, the
// table that holds the foreign key), SZREFERENCEDOBJECT the related file (the one side).
struct RelationsQueueRecord {
  platform::Decimal CCOLUMN;  // PDECIMAL(11,0), carried from sysrel
  platform::Decimal GRBIT;    // PDECIMAL(11,0), carried from sysrel
  platform::Decimal ICOLUMN;  // PDECIMAL(11,0), carried from sysrel
  // sysrel's columns are CSTRING(256); the fields hold the catalog's names whole.
  CatalogName SZCOLUMN;
  CatalogName SZOBJECT;
  CatalogName SZREFERENCEDCOLUMN;
  CatalogName SZREFERENCEDOBJECT;
  // "FK_" and two table names.
  platform::CString<2 * kCatalogNameSize + 4> SZRELATIONSHIP;
  static const platform::RecordLayout& Layout();
};

// SYSREL, the record of the table `sysrel`: the same eight fields, named as its columns
// (ccolumn, grbit, icolumn, szColumn, szObject, szReferencedColumn, szReferencedObject,
// szRelationship; the sources compare column names without regard to case).
using SysrelRecord = RelationsQueueRecord;
const platform::RecordLayout& SysrelLayout();

// Adds every row of the table `sysrel` of the source that `connect_string` connects to at the
// end of `relations`, field by field; nothing when the source has no such table.
void ReadSysrelTable(std::string_view connect_string, platform::QueueBase& relations);

// WriteRelations and its steps, over the state of one TXD run after its tables were written.
class RelationWriter {
 public:
  using LineSink = std::function<void(std::string_view)>;

  // `state` is borrowed for the writer's life; its table_keys serve the key lookups and
  // receive the keys of tables read anew.
  RelationWriter(CatalogSource& catalog, TxdRunState& state, bool system_tables);
  RelationWriter(const RelationWriter&) = delete;
  RelationWriter& operator=(const RelationWriter&) = delete;

  // Empties RelationsQueue, collects the foreign keys, reads sysrel when they gave nothing,
  // and writes the blocks when there is at least one row.
  void WriteRelations(const LineSink& line);

  // One row per column pair of every foreign key between two tables of the dictionary, with
  // the primary-key tables in TablesQueue order and, within one, the rows in the source's
  // order. A row equal to an earlier one in its four names is left out.
  void CollectForeignKeyRelations();
  void ReadSysrel();
  // "[RELATIONS]", two empty lines and the blocks. Rows relating a table to itself and rows
  // naming a table without a FILE in this dictionary give no block.
  void WriteRelationBlocks(const LineSink& line);

  platform::Queue<RelationsQueueRecord> RelationsQueue;

 private:
  void AddForeignKey(const ForeignKeysQueueRecord& row, const TableName& primary_table);
  const TableKeys& KeysOf(const TableName& table);
  // The FILE written for `table`; for a name without an owner (from sysrel), the first FILE
  // of that name. Null when the dictionary has none.
  const std::pair<const TableName, WrittenTable>* WrittenFile(const TableName& table) const;

  CatalogSource& catalog_;
  TxdRunState& state_;
  const bool system_tables_;
  // The four names and the two owners of every row collected from the foreign keys.
  std::set<std::tuple<std::string, std::string, std::string, std::string, std::string, std::string>>
      collected_;
  // The owners (of SZOBJECT, of SZREFERENCEDOBJECT) of RelationsQueue's rows collected from the
  // foreign keys, row n at n - 1. The rows of sysrel have none: they name tables by name only.
  std::vector<std::pair<std::string, std::string>> owners_;
};

}  // namespace catalog
