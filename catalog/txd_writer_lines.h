// The fixed and composed lines of the TXD dictionary: the header, the global-variables file
// that carries the connection, and the lines of tables, keys and fields. Every text that
// stands between apostrophes is quoted with QuoteTxd.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace catalog {

// The six header lines.
std::vector<std::string> TxdHeaderLines();

// The global-variables file (identification numbers 1 to 5) for `connect_string`.
std::vector<std::string> GlobalVariablesLines(std::string_view connect_string);

// A table's FILE line. `original_name` is written in NAME unless `external_names`.
std::string TxdFileLine(std::string_view label, std::string_view driver,
                        std::string_view original_name, std::string_view prefix,
                        bool external_names);

// "!!> IDENT(n)" followed by `rest`.
std::string IdentLine(int32_t id, std::string_view rest = {});

// A field line: label, blank, type and, unless `external_names`, NAME with the name as read.
std::string FieldLine(std::string_view label, std::string_view type, std::string_view name,
                      bool external_names);
// The identification line of a field, with its prompt, header, message and tool tip.
std::string FieldIdentLine(int32_t id, std::string_view label);

// The eight lines of the date/time group over a TIMESTAMP or DATETIME column; `first_id` is
// the number of the group line, the next three follow it.
std::vector<std::string> DateTimeGroupLines(std::string_view label, std::string_view name,
                                            int32_t first_id);

}  // namespace catalog
