// The data type of a column in the dictionary: the user's mapping from the custom field-types
// table when it holds the column's type, size and digits, else the built-in rules, whose
// mapping is then added to the table (and the file).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace catalog {

// A column's type as the catalog reports it (SQLColumns' TYPE_NAME, DATA_TYPE, COLUMN_SIZE
// and DECIMAL_DIGITS). `sql_type` is the ODBC type code; 0 (SQL_UNKNOWN_TYPE) when not known.
struct SqlColumnType {
  std::string_view name;
  int32_t sql_type = 0;
  int32_t size = 0;
  int32_t digits = 0;
};

// What a built-in rule makes of a type.
struct BuiltInMapping {
  std::string data_type;
  int32_t key_size = 0;  // the key under which the mapping is stored
  int32_t key_digits = 0;
  int32_t column_size = 0;    // the size that stands for the first "*" (some rules change it)
  int32_t column_digits = 0;  // the digits that stand for the second "*"
};

// The built-in rule for `type`. The rules match the type name without a parameter list
// ("NVARCHAR(160)" is NVARCHAR, of size 160); a name they do not know, or a number they cannot
// write as a valid data type, is decided by the ODBC type code; a column that neither tells
// is taken as a text. The result is always a valid data type of the dictionary (or SKIP).
BuiltInMapping BuiltInFieldType(const SqlColumnType& type, bool oracle);

// True when `sql_type` is one of ODBC's timestamp codes, whose columns get the date/time group
// whatever their type name.
bool IsTimestampCode(int32_t sql_type);

// The data type of a column, at most 20 bytes, with its asterisks replaced; nullopt when the
// column is to be left out (SKIP). May add a mapping to the custom field-types table, stored
// under the type name, size and digits as read.
std::optional<std::string> ColumnDataType(const SqlColumnType& type, bool oracle);

}  // namespace catalog
