// The catalog readers: the list of data sources, and the tables, columns, primary key,
// indexes and foreign keys of the connected source, each read into a queue. Every reader
// but GetDataSources takes the statement object: its FILE gives the connection (CLOSE and
// OPEN, then the connection handle) and its ColumnDataBuffer takes the values.
//
// A read replaces the whole queue: FREE and a cleared record buffer, then one entry per row
// in the driver's order, column n in field n while the queue has that field. Nothing is
// shown when a call fails; the queue is then empty and LastCatalogReadError says why. The
// file's connection stays open.
//
// Requires the runtime lock (the queues and the statement object are shared).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class QueueBase;
}

namespace catalog {

class ODBCQueryClass;

// SQLDataSources into DataSourceQueue-shaped `queue` (DISPLAY, DSNNAME, UPPER), kept in
// ascending order of UPPER. Its record buffer is not cleared first.
void GetDataSources(platform::QueueBase& queue);

// SQLTables, columns 1-5. A row is dropped when neither system-tables flag is set and its
// type is "SYSTEM TABLE"; when the type filter is on (type_filter_off 0) and tables_only is 1
// and its type is not "TABLE"; and when the owner filter is on, `owner_filter` is not blank
// and the row's owner differs from it (both clipped, any case).
void GetTables(ODBCQueryClass& query, platform::QueueBase& queue, uint8_t system_tables,
               uint8_t system_tables2, uint8_t owner_filter_off, uint8_t type_filter_off,
               uint8_t tables_only, std::string_view owner_filter);

// The table readers below take the table's owner (its schema, GTQ.OWNER) as well: a blank
// owner is passed as NULL, so the driver searches every schema, as for a source without
// schemas; any other owner reads the table of that schema only.

// SQLColumns of `table`, columns 1-18, read with the buffer's whole length. The names are
// matched exactly: their `_` and `%` are escaped, or, where the driver has no escape, rows of
// other tables are left out.
void GetColumns(ODBCQueryClass& query, platform::QueueBase& queue, std::string_view table,
                std::string_view owner = {});

// SQLPrimaryKeys of `table`, columns 1-6.
void GetPrimaryKeys(ODBCQueryClass& query, platform::QueueBase& queue, std::string_view table,
                    std::string_view owner = {});

// SQLStatistics of `table`, columns 1-13; `unique` is passed as the Unique argument
// (1 every index, 0 unique ones only), with SQL_QUICK.
void GetIndexes(ODBCQueryClass& query, platform::QueueBase& queue, uint8_t unique,
                std::string_view table, std::string_view owner = {});

// SQLForeignKeys with `table` as the primary-key table: the foreign keys of other tables
// that refer to it, columns 1-14. `all` is accepted and not used (the dictionary window
// passes 1 with an empty name); an empty name is passed to the driver as it is.
void GetForeignKeys(ODBCQueryClass& query, platform::QueueBase& queue, std::string_view table,
                    uint8_t all = 0, std::string_view owner = {});

// SQLForeignKeys with `table` as the foreign-key table: the foreign keys that this table
// holds, columns 1-14. The TXD writer collects relations this way where the primary-key form
// costs a scan of the whole catalog per call.
void GetForeignKeysOf(ODBCQueryClass& query, platform::QueueBase& queue, std::string_view table,
                      std::string_view owner = {});

// Why the last catalog read of the readers above found nothing: the driver's message when the
// connection could not be made or the catalog call failed; empty when it succeeded (an empty
// but reachable source included). The readers themselves show nothing; the caller decides.
const std::string& LastCatalogReadError();

// The source's DBMS name (SQLGetInfo SQL_DBMS_NAME), "SQLite" or "PostgreSQL"; empty when the
// file cannot connect.
std::string GetDbmsName(ODBCQueryClass& query);

}  // namespace catalog
