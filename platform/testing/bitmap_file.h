// Small pictures for tests: a 32-bit bitmap file written from a function of the pixel, so a
// test names the size and colours it checks for instead of carrying a fixture.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform::testing {

// 0xRRGGBB colour of the pixel at (x, y), opaque.
using PixelColour = std::function<uint32_t(int x, int y)>;

// Writes a `width` x `height` bitmap file at `path`; false when it cannot be written.
bool WriteBitmapFile(const std::string& path, int width, int height, const PixelColour& colour);

}  // namespace platform::testing
