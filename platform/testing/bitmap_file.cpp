#include "platform/testing/bitmap_file.h"

#include <fstream>
#include <vector>

namespace platform::testing {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

bool WriteBitmapFile(const std::string& path, int width, int height, const PixelColour& colour) {
  constexpr uint32_t kHeaders = 14 + 40;
  const uint32_t pixels = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 4;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, kHeaders + pixels);
  Put32(out, 0);
  Put32(out, kHeaders);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(-height));  // top-down rows
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);  // no compression
  Put32(out, pixels);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t c = colour(x, y);
      out.push_back(static_cast<uint8_t>(c));
      out.push_back(static_cast<uint8_t>(c >> 8));
      out.push_back(static_cast<uint8_t>(c >> 16));
      out.push_back(0);
    }
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

}  // namespace platform::testing
