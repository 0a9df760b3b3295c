// A strict reader of uncompressed ustar archives, the container of a character file.
//
// The archive is input anyone can write, so every header is checked against the bytes it
// sits in: the checksum, the "ustar" magic and version 00, the size field (octal), and that
// the entry's data lies inside the archive. Only plain files are accepted, named without
// "..", ".", empty parts, a leading "/" or a backslash, each name once. The archive ends
// with two zero blocks, and only zero blocks may follow them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/status.h"

namespace platform::agent {

inline constexpr size_t kUstarBlock = 512;

struct UstarEntry {
  std::string name;       // the prefix and the name, joined by "/"
  std::string_view data;  // inside the archive given to ReadUstar
};

// The entries of `archive`, in their order; the views borrow `archive`. An error
// (kInvalidDataFile, the fault in file_error()) for any fault, or for more than
// `max_entries` entries.
Result<std::vector<UstarEntry>> ReadUstar(std::string_view archive, size_t max_entries);

}  // namespace platform::agent
