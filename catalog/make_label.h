// Labels and quoted texts of the TXD dictionary. A label is a name made fit to be a
// declaration's label; a quoted text is a name made fit to stand between apostrophes.
#pragma once

#include <string>
#include <string_view>

namespace catalog {

// MakeLabel: `name` clipped (at most 4999 bytes) made a valid label: every character but ASCII
// letters, digits and the underscore (a slash, apostrophe, hyphen, dollar sign, blank, comma,
// backslash, a brace, a non-ASCII letter, a control character, ...) becomes one underscore,
// and a leading digit gets an underscore in front. A blank name gives the empty text.
// MakeLabel(MakeLabel(x)) == MakeLabel(x).
std::string MakeLabel(std::string_view name);

// The label of a column, the same for its field line, the key components over it and the
// relation fields that name it. Under the Oracle rules the name is first cut to 30 bytes and
// upper-cased, and the words DATE, TIME, ORDER, USER, GROUP and COMMENT get an underscore.
std::string ColumnLabel(std::string_view column_name, bool oracle);

// A table's label: MakeLabel, then under the Oracle rules the first 30 bytes in upper case.
std::string TableLabel(std::string_view table_name, bool oracle);

// `text` as it must stand inside '...' in the dictionary: every apostrophe doubled, and "{"
// and "<" doubled, because the dictionary's string literals read "{n}" as a repeat count and
// "<n>" as a character code; a control character (CR and LF included) and a byte that is not
// part of a UTF-8 character are written as that code, "<13>".
std::string QuoteTxd(std::string_view text);

// True when the driver option selects the Oracle rules: exactly "ORACLE", trailing blanks
// ignored.
bool IsOracleDriver(std::string_view driver);

}  // namespace catalog
