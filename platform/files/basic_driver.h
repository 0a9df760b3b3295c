// The BASIC (comma-delimited) file driver: one record per line, fields separated by a comma
// or by the character the driver string names ("/COMMA=59" gives ';'). ADD writes every
// field of the record: a text field in double quotes, without its trailing blanks and with
// each double quote inside it doubled; a number as its text; the line ended by CR LF. Nothing
// else is escaped. NEXT reads such lines back (quoted fields may hold the separator, quotes
// and line breaks). Writing replaces the file atomically (see text_file_driver.h).
#pragma once

#include <memory>

#include "platform/files/file.h"

namespace platform::files {

// A new driver for one File; owned by that File. The separator comes from the declaration's
// driver options at CREATE and OPEN.
std::unique_ptr<Driver> MakeBasicDriver();

}  // namespace platform::files
