// Picture names as the program writes them: "~name" is one of the program's own pictures, in
// the data directory's `images` folder and never in the current directory; any other name is
// a file, a relative one in the current directory, and a bare name the current directory
// lacks is looked for among the program's own pictures.
//
//   ResolvePictureName("~Finger.cur")  // "<data>/images/Finger.cur"
//   ResolvePictureName("zov.ico")      // "zov.ico" when there, else "<data>/images/zov.ico"
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/image/picture.h"

namespace platform::image {

// The file `name` stands for when that file exists, else nullopt. Any thread.
std::optional<std::string> ResolvePictureName(std::string_view name);

// The bytes of the file at `path`, the first `max_bytes` of them at most, or nullopt when it
// cannot be read or is larger than any picture within the limits.
std::optional<std::vector<std::uint8_t>> ReadPictureFile(const std::string& path,
                                                         std::size_t max_bytes = SIZE_MAX);

// The picture `name` stands for, decoded; nullopt when there is none or it cannot be read.
std::optional<Picture> LoadNamedPicture(std::string_view name, int want_side = 0);
// Its natural size alone, read from the file's first bytes where they hold the header.
std::optional<PictureSize> ProbeNamedPicture(std::string_view name, int want_side = 0);

}  // namespace platform::image
