// For the tests of the character files: archives and PNG headers made to order.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace platform::agent {

using ArchiveFiles = std::vector<std::pair<std::string, std::string>>;

// A ustar archive of `files` (name, data) in their order, as a careful writer makes it:
// plain files, mode 0644, owner 0, checksums right, two end blocks, padded to 10240 bytes.
// Names over 100 bytes are split into prefix and name at a '/'.
std::string UstarArchive(const ArchiveFiles& files);

// Writes the checksum of the header block at `at` of `archive` again, after a change.
void RewriteChecksum(std::string& archive, size_t at);

// The start of a PNG of `width` by `height`: the signature and the header chunk, which is
// all the loader reads.
std::string PngHeader(int64_t width, int64_t height);

// A small valid character: 40 by 30, frames "rest", "talk" and "wave", every name through
// the fallback but Greet and RestPose. `manifest` replaces its character.ini.
std::string SmallManifest();
std::string SmallCharacterFile(const std::string& manifest = SmallManifest());
ArchiveFiles SmallCharacterFiles(const std::string& manifest = SmallManifest());

}  // namespace platform::agent
