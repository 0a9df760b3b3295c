// Connect strings as the ODBC driver hands them to the driver manager.
#pragma once

#include <string>
#include <string_view>

namespace platform::files {

// `connect` with the blanks around each `key=value` pair removed, so "DSN=x; UID=u; PWD=p"
// becomes "DSN=x;UID=u;PWD=p". Text inside a braced value ("PWD={ a;b }") is kept as it is,
// `}}` inside braces included. Everything else, empty pairs too, stays as written.
std::string NormalizeConnectString(std::string_view connect);

}  // namespace platform::files
