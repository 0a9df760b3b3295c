// How the catalog readers copy a result set into a queue: row by row, column n into the
// queue's field n, read as text through one buffer. The ODBC result sets of the readers come
// through this interface, and so do the made-up result sets of tests for rows no real driver
// produces on demand.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {
class QueueBase;
}

namespace catalog {

// What a move to the next row answered, as SQLFetch answers it: SQL_SUCCESS (0),
// SQL_SUCCESS_WITH_INFO (1), SQL_NO_DATA (100), SQL_ERROR (-1), SQL_INVALID_HANDLE (-2), ...
using FetchResult = int16_t;

// Whether the reading goes on after a fetch that answered `result`: on SQL_SUCCESS and
// SQL_SUCCESS_WITH_INFO (a row with a warning is a row), so an informational result does not
// cut a catalog short; every other answer ends the reading.
bool FetchGoesOn(FetchResult result);

// One result set being read.
class CatalogRows {
 public:
  virtual ~CatalogRows() = default;
  // Moves to the next row and answers as SQLFetch does.
  virtual FetchResult Fetch() = 0;
  // Reads column `n` of the row as a zero-terminated text into `buffer` of `length` bytes,
  // cut to length - 1 bytes. False when the value is NULL or cannot be read.
  virtual bool Read(int32_t n, char* buffer, int32_t length) = 0;
};

// Decides, after field `n` of the queue's buffer was assigned, whether the row is dropped.
using RowFilter = std::function<bool(platform::QueueBase& queue, size_t n)>;

// Empties nothing: reads the rows of `rows` while FetchGoesOn, each into `queue`, and ADDs it
// at the end. Field n takes column n for n = 1 up to `columns`, stopping at the first field
// the queue does not have; a NULL or unreadable column gives the empty text (0 for a number).
// A row for which `drop` answered true for any field is not added.
void ReadRows(CatalogRows& rows, platform::QueueBase& queue, int32_t columns, char* buffer,
              int32_t length, const RowFilter& drop = {});

// The filter of GetTables over a queue whose fields are named like TablesQueue's (the part of
// the label after its first four characters is compared with "TABLETYPE" and "OWNER").
RowFilter TablesFilter(uint8_t system_tables, uint8_t system_tables2, uint8_t owner_filter_off,
                       uint8_t type_filter_off, uint8_t tables_only, std::string_view owner_filter);

// The filter of GetColumns where the driver has no search-pattern escape, so the table name
// it was given still matches other tables (`_` any one character, `%` any run): a row whose
// field `table_field` (TABLE_NAME) is not `table` is dropped. The two are compared as that
// field holds them, so a name longer than the field still keeps its own rows.
RowFilter ExactTableNameFilter(std::string table, size_t table_field);

// `name` as an ODBC search pattern that matches only itself: `_`, `%` and `escape` itself are
// preceded by `escape` (the driver's SQL_SEARCH_PATTERN_ESCAPE). REQUIRES: !escape.empty().
std::string EscapeSearchPattern(std::string_view name, std::string_view escape);

}  // namespace catalog
