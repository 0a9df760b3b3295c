// The global catalog queues: tables, columns, primary keys, indexes and foreign keys of the
// connected data source, and the list of data sources. The catalog readers fill them by field
// number in the order of the ODBC result sets; the windows and the TXD writer read them.
//
// One queue of each kind for the whole program. `GTQ`, `GCQ`, ... name the record buffers.
#pragma once

#include <cstdint>

#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"

namespace catalog {

using platform::CString;
using platform::FixedString;

// A name of the catalog (catalog, schema, table, column, index, key): held whole up to what
// one catalog value can be (the readers read 511 bytes at most), far above the longest name
// either test driver allows (SQL_MAX_TABLE_NAME_LEN and SQL_MAX_COLUMN_NAME_LEN: 255 for
// SQLite, 63 for PostgreSQL). Queue entries store only the bytes a name has.
inline constexpr size_t kCatalogNameSize = 512;
using CatalogName = CString<kCatalogNameSize>;

// SQLTables, columns 1-5, then the writer's own copy of the name.
struct TablesQueueRecord {
  CatalogName CATALOG;
  CatalogName OWNER;
  CatalogName TABLENAME;
  CString<100> TABLETYPE;
  CString<255> REMARKS;
  // The table's name as read, kept by the TXD writer before it turns TABLENAME into a label.
  CatalogName ORGINALTABLENAME;
  static const platform::RecordLayout& Layout();
};

// SQLColumns, columns 1-18, then the query window's mark.
struct ColumnsQueueRecord {
  CatalogName DATABASE;
  CatalogName OWNER;
  CatalogName TABLE;
  CatalogName COLUMNNAME;
  int32_t NCOLUMNTYPE = 0;
  CString<100> COLUMNTYPE;
  int32_t COLUMNSIZE = 0;
  int32_t BUFFERLENGTH = 0;
  int32_t DECIMALDIGITS = 0;
  int32_t NUMPRECRADIX = 0;
  int32_t NULLABLE = 0;
  CString<255> REMARKS;
  CString<100> DEFAULTVALUE;
  int32_t SQLDATATYPE = 0;
  int32_t SQLDATETIMESUB = 0;
  int32_t CHAROCTETLENGTH = 0;
  int32_t ORDINALPOSITION = 0;
  CString<10> ISNULLABLE;
  uint8_t MARK = 0;
  static const platform::RecordLayout& Layout();
};

// SQLPrimaryKeys, columns 1-6.
struct PrimaryKeysQueueRecord {
  CatalogName DATABASE;
  CatalogName OWNER;
  CatalogName TABLE;
  CatalogName COLUMNNAME;
  int32_t ORDINALPOSITION = 0;
  CatalogName INDEX_NAME;
  static const platform::RecordLayout& Layout();
};

// SQLStatistics, columns 1-13, then the writer's primary-key mark.
struct IndexesQueueRecord {
  CatalogName DATABASE;
  CatalogName OWNER;
  CatalogName TABLE;
  uint8_t NON_UNIQUE = 0;
  CatalogName INDEX_QUALIFIER;
  CatalogName INDEX_NAME;
  uint8_t INDEXTYPE = 0;
  int16_t ORDINALPOSITION = 0;
  CatalogName COLUMN_NAME;
  FixedString<1> ASC_OR_DESC;
  int32_t CARDINALITY = 0;
  int32_t PAGES = 0;
  CString<255> FILTER_CONDITION;
  // 1 on the rows of the index that is the table's primary key (set by the TXD writer).
  uint8_t PRIMARYKEY = 0;
  static const platform::RecordLayout& Layout();
};

// SQLForeignKeys, columns 1-14; every field is a text, the numbers included.
struct ForeignKeysQueueRecord {
  CatalogName PKTABLE_CAT;
  CatalogName PKTABLE_SCHEM;
  CatalogName PKTABLE_NAME;
  CatalogName PKCOLUMN_NAME;
  CatalogName FKTABLE_CAT;
  CatalogName FKTABLE_SCHEM;
  CatalogName FKTABLE_NAME;
  CatalogName FKCOLUMN_NAME;
  CString<100> KEY_SEQ;
  CString<100> UPDATE_RULE;
  CString<100> DELETE_RULE;
  CatalogName FK_NAME;
  CatalogName PK_NAME;
  CString<100> DEFERRABILITY;
  static const platform::RecordLayout& Layout();
};

// The data sources of SQLDataSources, kept in ascending order of UPPER.
struct DataSourceQueueRecord {
  FixedString<165> DISPLAY;  // "name (description)"
  CString<60> DSNNAME;
  CString<60> UPPER;
  static const platform::RecordLayout& Layout();
};

// The queues live for the whole run. They are defined in catalog_queues.cpp; nothing may use
// them from a static initialiser (the main program clears them at start-up).
extern platform::Queue<TablesQueueRecord> TablesQueue;
extern platform::Queue<ColumnsQueueRecord> ColumnsQueue;
extern platform::Queue<PrimaryKeysQueueRecord> PrimaryKeysQueue;
extern platform::Queue<IndexesQueueRecord> IndexesQueue;
extern platform::Queue<ForeignKeysQueueRecord> ForeignKeysQueue;
extern platform::Queue<DataSourceQueueRecord> DataSourceQueue;

// The record buffers. Binding a reference to a member of an object of static storage is a
// constant initialisation, so these are usable from any file whatever the order in which
// files are initialised.
inline TablesQueueRecord& GTQ = TablesQueue.buffer;
inline ColumnsQueueRecord& GCQ = ColumnsQueue.buffer;
inline PrimaryKeysQueueRecord& GPQ = PrimaryKeysQueue.buffer;
inline IndexesQueueRecord& GIQ = IndexesQueue.buffer;
inline ForeignKeysQueueRecord& GFQ = ForeignKeysQueue.buffer;
inline DataSourceQueueRecord& DSQ = DataSourceQueue.buffer;

}  // namespace catalog
