// The ASCII file driver: a text file of one record per line. ADD writes the record's text
// without its trailing blanks and a CR LF; NEXT reads one line (ended by CR LF or LF) into the
// record, cut to the record's length on a UTF-8 boundary, and posts 33 past the last line.
// Writing replaces the file atomically (see text_file_driver.h).
//
//   File txd(FileDeclaration{.label = "TXDFILE", .name = name, .layout = &layout,
//                            .record = &line}, MakeAsciiDriver());
#pragma once

#include <memory>

#include "platform/files/file.h"

namespace platform::files {

// A new driver for one File; owned by that File.
std::unique_ptr<Driver> MakeAsciiDriver();

}  // namespace platform::files
