// The keyed-file driver: each file is one SQLite database, named exactly as the program names
// the file, that holds the records, an index per declared key and the record layout it was
// created with. OPEN compares that layout with the declaration and fails with 47 "Invalid
// Record Declaration" when they differ.
//
//   File steps(FileDeclaration{.label = "AGNTFILE", .name = "AGNTFILE", .layout = ...,
//                              .record = &agf, .keys = {...}, .create = true},
//              MakeKeyedDriver());
//   if (!steps.Open(kReadWrite | kDenyNone)) Message(...);
//
// Transactions over several keyed files: transaction.h. EXISTS, COPY, REMOVE: file_system.h.
#pragma once

#include <memory>

#include "platform/files/file.h"

namespace platform::files {

// A new keyed driver for one File; the File owns it.
std::unique_ptr<Driver> MakeKeyedDriver();

}  // namespace platform::files
