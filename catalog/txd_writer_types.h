// The data type of a column in the dictionary: the user's mapping from the custom field-types
// table when it holds the column's type, size and digits, else the built-in rules, whose
// mapping is then added to the table (and the file).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace catalog {

// What a built-in rule makes of a type.
struct BuiltInMapping {
  std::string data_type;
  int32_t key_size = 0;  // the key under which the mapping is stored
  int32_t key_digits = 0;
  int32_t column_size = 0;  // the size that stands for "*" (some rules change it)
};

// The built-in rule for the SQL type `type_name` (as read) of `size` and `digits`.
// A type without a name is taken as a text: CSTRING(size + 1), or CSTRING(4001) when the
// source gives no size.
BuiltInMapping BuiltInFieldType(std::string_view type_name, int32_t size, int32_t digits,
                                bool oracle);

// The data type of a column, at most 20 bytes, with its asterisks replaced; nullopt when the
// column is to be left out (SKIP). May add a mapping to the custom field-types table.
std::optional<std::string> ColumnDataType(std::string_view type_name, int32_t size, int32_t digits,
                                          bool oracle);

}  // namespace catalog
