// GETINI and PUTINI: settings in INI files, with the private-profile rules the program relies
// on. Section and key names compare without regard to ASCII case. A line whose first
// non-blank character is ';' is a comment; a ';' anywhere else is part of the text, so a
// connect string such as "DSN=x;UID=u" is a value like any other. Blanks around a key and
// around a value are not part of them; quotes are (a value reads back as it was written).
// A file named without a path lives in the current directory.
//
//   std::string cs = GetIni("Last connectstring", "Connectstring", "", ini_name);
//   Status s = PutIni("Last connectstring", "Password", password, ini_name, {.mode = 0600});
#pragma once

#include <string>
#include <string_view>

#include "platform/core/status.h"
#include "platform/files/atomic_file.h"

namespace platform::files {

// GETINI: the value of `key` in `section` of `file`; `default_value` when the file, the
// section or the key is missing or the file cannot be read. A key present with an empty value
// answers "". Where a section or key appears twice, the first wins. Any thread.
std::string GetIni(std::string_view section, std::string_view key, std::string_view default_value,
                   std::string_view file);

// PUTINI: sets `key` in `section` of `file` to `value`. An existing key line is replaced
// where it stands; a new key goes after the section's last entry; a missing section
// is added at the end of the file. Every other line keeps its bytes. A line break in the
// value (CR, LF or CR LF) becomes a blank, so a value is always one line. Written lines end
// in CR LF. The file is replaced atomically; `options.mode` sets its permission bits (0600
// for a file that holds a password). On failure the file is left as it was and the Status
// says why (an unreadable file is not overwritten). Any thread; calls are serialised.
[[nodiscard]] Status PutIni(std::string_view section, std::string_view key, std::string_view value,
                            std::string_view file, const AtomicFileOptions& options = {});

}  // namespace platform::files
