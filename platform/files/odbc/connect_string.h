// Connect strings as the ODBC driver hands them to the driver manager.
#pragma once

#include <string>
#include <string_view>

namespace platform::files {

// `connect` with the blanks around each `key=value` pair removed, so "DSN=x; UID=u; PWD=p"
// becomes "DSN=x;UID=u;PWD=p". Text inside a braced value ("PWD={ a;b }") is kept as it is,
// `}}` inside braces included. Everything else, empty pairs too, stays as written.
std::string NormalizeConnectString(std::string_view connect);

// `text` with the value of every PWD or PASSWORD pair (any case, blanks around the key
// ignored) replaced by "*****", for showing a connect string or a message that holds one.
// A braced value is masked whole, braces included; any other value runs to the next ';'.
// The key is the last word before the '=', so "Owner:DSN=x;PWD=p" masks p too.
// Everything else stays as written; stored connect strings are never masked.
std::string MaskPasswords(std::string_view text);

}  // namespace platform::files
