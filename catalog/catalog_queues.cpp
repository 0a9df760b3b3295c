#include "catalog/catalog_queues.h"

namespace catalog {

using platform::Field;
using platform::MakeLayout;
using platform::RecordLayout;

const RecordLayout& TablesQueueRecord::Layout() {
  using R = TablesQueueRecord;
  static const RecordLayout layout =
      MakeLayout<R>("GTQ", Field<&R::CATALOG>("CATALOG"), Field<&R::OWNER>("OWNER"),
                    Field<&R::TABLENAME>("TABLENAME"), Field<&R::TABLETYPE>("TABLETYPE"),
                    Field<&R::REMARKS>("REMARKS"), Field<&R::ORGINALTABLENAME>("ORGINALTABLENAME"));
  return layout;
}

const RecordLayout& ColumnsQueueRecord::Layout() {
  using R = ColumnsQueueRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "GCQ", Field<&R::DATABASE>("DATABASE"), Field<&R::OWNER>("OWNER"), Field<&R::TABLE>("TABLE"),
      Field<&R::COLUMNNAME>("COLUMNNAME"), Field<&R::NCOLUMNTYPE>("NCOLUMNTYPE"),
      Field<&R::COLUMNTYPE>("COLUMNTYPE"), Field<&R::COLUMNSIZE>("COLUMNSIZE"),
      Field<&R::BUFFERLENGTH>("BUFFERLENGTH"), Field<&R::DECIMALDIGITS>("DECIMALDIGITS"),
      Field<&R::NUMPRECRADIX>("NUMPRECRADIX"), Field<&R::NULLABLE>("NULLABLE"),
      Field<&R::REMARKS>("REMARKS"), Field<&R::DEFAULTVALUE>("DEFAULTVALUE"),
      Field<&R::SQLDATATYPE>("SQLDATATYPE"), Field<&R::SQLDATETIMESUB>("SQLDATETIMESUB"),
      Field<&R::CHAROCTETLENGTH>("CHAROCTETLENGTH"), Field<&R::ORDINALPOSITION>("ORDINALPOSITION"),
      Field<&R::ISNULLABLE>("ISNULLABLE"), Field<&R::MARK>("MARK"));
  return layout;
}

const RecordLayout& PrimaryKeysQueueRecord::Layout() {
  using R = PrimaryKeysQueueRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "GPQ", Field<&R::DATABASE>("DATABASE"), Field<&R::OWNER>("OWNER"), Field<&R::TABLE>("TABLE"),
      Field<&R::COLUMNNAME>("COLUMNNAME"), Field<&R::ORDINALPOSITION>("ORDINALPOSITION"),
      Field<&R::INDEX_NAME>("INDEX_NAME"));
  return layout;
}

const RecordLayout& IndexesQueueRecord::Layout() {
  using R = IndexesQueueRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "GIQ", Field<&R::DATABASE>("DATABASE"), Field<&R::OWNER>("OWNER"), Field<&R::TABLE>("TABLE"),
      Field<&R::NON_UNIQUE>("NON_UNIQUE"), Field<&R::INDEX_QUALIFIER>("INDEX_QUALIFIER"),
      Field<&R::INDEX_NAME>("INDEX_NAME"), Field<&R::INDEXTYPE>("INDEXTYPE"),
      Field<&R::ORDINALPOSITION>("ORDINALPOSITION"), Field<&R::COLUMN_NAME>("COLUMN_NAME"),
      Field<&R::ASC_OR_DESC>("ASC_OR_DESC"), Field<&R::CARDINALITY>("CARDINALITY"),
      Field<&R::PAGES>("PAGES"), Field<&R::FILTER_CONDITION>("FILTER_CONDITION"),
      Field<&R::PRIMARYKEY>("PRIMARYKEY"));
  return layout;
}

const RecordLayout& ForeignKeysQueueRecord::Layout() {
  using R = ForeignKeysQueueRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "GFQ", Field<&R::PKTABLE_CAT>("PKTABLE_CAT"), Field<&R::PKTABLE_SCHEM>("PKTABLE_SCHEM"),
      Field<&R::PKTABLE_NAME>("PKTABLE_NAME"), Field<&R::PKCOLUMN_NAME>("PKCOLUMN_NAME"),
      Field<&R::FKTABLE_CAT>("FKTABLE_CAT"), Field<&R::FKTABLE_SCHEM>("FKTABLE_SCHEM"),
      Field<&R::FKTABLE_NAME>("FKTABLE_NAME"), Field<&R::FKCOLUMN_NAME>("FKCOLUMN_NAME"),
      Field<&R::KEY_SEQ>("KEY_SEQ"), Field<&R::UPDATE_RULE>("UPDATE_RULE"),
      Field<&R::DELETE_RULE>("DELETE_RULE"), Field<&R::FK_NAME>("FK_NAME"),
      Field<&R::PK_NAME>("PK_NAME"), Field<&R::DEFERRABILITY>("DEFERRABILITY"));
  return layout;
}

const RecordLayout& DataSourceQueueRecord::Layout() {
  using R = DataSourceQueueRecord;
  static const RecordLayout layout =
      MakeLayout<R>("DSQ", Field<&R::DISPLAY>("DISPLAY"), Field<&R::DSNNAME>("DSNNAME"),
                    Field<&R::UPPER>("UPPER"));
  return layout;
}

platform::Queue<TablesQueueRecord> TablesQueue;
platform::Queue<ColumnsQueueRecord> ColumnsQueue;
platform::Queue<PrimaryKeysQueueRecord> PrimaryKeysQueue;
platform::Queue<IndexesQueueRecord> IndexesQueue;
platform::Queue<ForeignKeysQueueRecord> ForeignKeysQueue;
platform::Queue<DataSourceQueueRecord> DataSourceQueue;

}  // namespace catalog
