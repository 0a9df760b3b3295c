// Where the dictionary writer reads the catalog: five reads that each replace the content of
// one global catalog queue. The program reads through the catalog readers on the statement
// object; tests hand in queue contents of their own.
#pragma once

#include <memory>
#include <string_view>

namespace platform {
class QueueBase;
}

namespace catalog {

class CatalogSource {
 public:
  virtual ~CatalogSource() = default;

  // TablesQueue, filtered as the dictionary window asks.
  virtual void ReadTables(bool system_tables, bool tables_only, std::string_view owner_filter) = 0;
  // The reads of one table name it with its owner (schema) as TablesQueue lists it; a blank
  // owner searches every schema.
  // ColumnsQueue with the columns of `table`.
  virtual void ReadColumns(std::string_view table, std::string_view owner) = 0;
  // PrimaryKeysQueue with the primary key of `table`.
  virtual void ReadPrimaryKeys(std::string_view table, std::string_view owner) = 0;
  // IndexesQueue with every index of `table`.
  virtual void ReadIndexes(std::string_view table, std::string_view owner) = 0;
  // ForeignKeysQueue with the foreign keys of other tables that refer to `table`.
  virtual void ReadForeignKeys(std::string_view table, std::string_view owner) = 0;
  // ForeignKeysQueue with the foreign keys that `table` holds.
  virtual void ReadForeignKeysOf(std::string_view table, std::string_view owner) = 0;
  // True when ReadForeignKeys costs a walk over the whole catalog for every table (the SQLite
  // driver's does), so the relations are collected through ReadForeignKeysOf instead.
  virtual bool ForeignKeysScanCatalog() = 0;
  // Why the last read found nothing because it failed (the source cannot be reached, the
  // catalog call failed): the driver's message. Empty after a read that succeeded, also when
  // it found nothing.
  virtual std::string ReadError() = 0;
  // Adds the rows of the source's table `sysrel` at the end of `relations`, each field into
  // the field of the same name; nothing when the source has no such table.
  virtual void ReadSysrel(platform::QueueBase& relations) = 0;
};

// The catalog of the program's statement object (QueryObject).
std::unique_ptr<CatalogSource> MakeQueryObjectCatalog();

}  // namespace catalog
