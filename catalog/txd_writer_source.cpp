#include "catalog/txd_writer_source.h"

#include "catalog/catalog_queues.h"

namespace catalog {
namespace {

// TODO(catalog readers): read through GetTables, GetColumns, GetPrimaryKeys, GetIndexes and
// GetForeignKeys on QueryObject once they exist. Until then every read finds nothing, as a
// read on a source that cannot be opened does.
class QueryObjectCatalog final : public CatalogSource {
 public:
  void ReadTables(bool, bool, std::string_view) override { Empty(TablesQueue); }
  void ReadColumns(std::string_view) override { Empty(ColumnsQueue); }
  void ReadPrimaryKeys(std::string_view) override { Empty(PrimaryKeysQueue); }
  void ReadIndexes(std::string_view) override { Empty(IndexesQueue); }
  void ReadForeignKeys(std::string_view) override { Empty(ForeignKeysQueue); }

 private:
  static void Empty(platform::QueueBase& queue) {
    queue.Free();
    queue.ClearBuffer();
  }
};

}  // namespace

std::unique_ptr<CatalogSource> MakeQueryObjectCatalog() {
  return std::make_unique<QueryObjectCatalog>();
}

}  // namespace catalog
