// The query window's result record: the 25 texts of one result row. The result queue holds
// rows of it (row 1 of a fresh fill is the column names), and the export file's record
// ODBCGROUP has the same layout, so a queue row is copied into the file whole.
//
// Also the catalog reads the query window and the query builder share: the tables into GTQ
// and the columns of a table into GCQ, on the statement object. Both require the runtime lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"

namespace app {

inline constexpr size_t kResultFields = 25;

struct ResultQueueRecord {
  platform::FixedString<255> FIELD1;
  platform::FixedString<255> FIELD2;
  platform::FixedString<255> FIELD3;
  platform::FixedString<255> FIELD4;
  platform::FixedString<255> FIELD5;
  platform::FixedString<255> FIELD6;
  platform::FixedString<255> FIELD7;
  platform::FixedString<255> FIELD8;
  platform::FixedString<255> FIELD9;
  platform::FixedString<255> FIELD10;
  platform::FixedString<255> FIELD11;
  platform::FixedString<255> FIELD12;
  platform::FixedString<255> FIELD13;
  platform::FixedString<255> FIELD14;
  platform::FixedString<255> FIELD15;
  platform::FixedString<255> FIELD16;
  platform::FixedString<255> FIELD17;
  platform::FixedString<255> FIELD18;
  platform::FixedString<255> FIELD19;
  platform::FixedString<255> FIELD20;
  platform::FixedString<255> FIELD21;
  platform::FixedString<255> FIELD22;
  platform::FixedString<255> FIELD23;
  platform::FixedString<255> FIELD24;
  platform::FixedString<255> FIELD25;
  static const platform::RecordLayout& Layout();
};

// GetTables with these options, then the columns of its first table. Without a connection
// (no statement object yet) both queues are emptied.
void GetTablesAndFirstColumns(uint8_t system_tables, uint8_t filters_off, uint8_t tables_only,
                              std::string_view owner_filter);
// Fetches row `row` of GTQ; when that succeeds, reads the columns of its table into GCQ.
void GetColumnsOfTableRow(int32_t row);

}  // namespace app
