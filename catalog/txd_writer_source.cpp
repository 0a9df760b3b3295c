#include "catalog/txd_writer_source.h"

#include <optional>
#include <utility>

#include "catalog/catalog_queues.h"
#include "catalog/catalog_readers.h"
#include "catalog/globals.h"
#include "catalog/txd_relations.h"

namespace catalog {
namespace {

// The SQLite driver answers SQLForeignKeys by primary-key table by reading the foreign keys
// of every table of the database.
constexpr std::string_view kSqliteDbms = "SQLite";

// Reads through the catalog readers on the statement object. The object is held for the
// whole run, so a connection chosen meanwhile does not pull it away mid-run; without one
// (no connection chosen yet) every read finds nothing.
class QueryObjectCatalog final : public CatalogSource {
 public:
  explicit QueryObjectCatalog(std::shared_ptr<ODBCQueryClass> query) : query_(std::move(query)) {}

  void ReadTables(bool system_tables, bool tables_only, std::string_view owner_filter) override {
    if (!query_) return Empty(TablesQueue);
    GetTables(*query_, TablesQueue, system_tables ? 1 : 0, /*system_tables2=*/0,
              /*owner_filter_off=*/0, /*type_filter_off=*/0, tables_only ? 1 : 0, owner_filter);
  }
  void ReadColumns(std::string_view table, std::string_view owner) override {
    if (!query_) return Empty(ColumnsQueue);
    GetColumns(*query_, ColumnsQueue, table, owner);
  }
  void ReadPrimaryKeys(std::string_view table, std::string_view owner) override {
    if (!query_) return Empty(PrimaryKeysQueue);
    GetPrimaryKeys(*query_, PrimaryKeysQueue, table, owner);
  }
  void ReadIndexes(std::string_view table, std::string_view owner) override {
    if (!query_) return Empty(IndexesQueue);
    GetIndexes(*query_, IndexesQueue, /*unique=*/1, table, owner);
  }
  void ReadForeignKeys(std::string_view table, std::string_view owner) override {
    if (!query_) return Empty(ForeignKeysQueue);
    GetForeignKeys(*query_, ForeignKeysQueue, table, /*all=*/0, owner);
  }
  void ReadForeignKeysOf(std::string_view table, std::string_view owner) override {
    if (!query_) return Empty(ForeignKeysQueue);
    GetForeignKeysOf(*query_, ForeignKeysQueue, table, owner);
  }
  bool ForeignKeysScanCatalog() override {
    if (!query_) return false;
    if (!scans_catalog_) scans_catalog_ = GetDbmsName(*query_) == kSqliteDbms;
    return *scans_catalog_;
  }
  std::string ReadError() override { return query_ ? LastCatalogReadError() : std::string(); }
  void ReadSysrel(platform::QueueBase& relations) override {
    if (query_) ReadSysrelTable(Glo.ConnectString.view(), relations);
  }

 private:
  static void Empty(platform::QueueBase& queue) {
    queue.Free();
    queue.ClearBuffer();
  }

  const std::shared_ptr<ODBCQueryClass> query_;
  std::optional<bool> scans_catalog_;  // asked once per source
};

}  // namespace

std::unique_ptr<CatalogSource> MakeQueryObjectCatalog() {
  return std::make_unique<QueryObjectCatalog>(QueryObject);
}

}  // namespace catalog
