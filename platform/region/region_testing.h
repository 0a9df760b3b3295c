// Test helpers: regions drawn as ASCII art, one string per row, '#' for a pixel in the region
// and '.' for one outside.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/region/region.h"

namespace platform::region {

// gtest prints rectangles readably.
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace testing {

// The rows of `area` as drawn by Region::Mask.
inline std::vector<std::string> Draw(const Region& region, const Rect& area) {
  const std::vector<uint8_t> mask = region.Mask(area);
  const size_t width = static_cast<size_t>(area.right - area.left);
  std::vector<std::string> rows;
  for (size_t i = 0; i < mask.size(); i += width) {
    std::string row;
    for (size_t x = 0; x < width; ++x) row += mask[i + x] ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

// The region drawn by `rows`, whose top-left character is pixel (left, top).
inline Region FromArt(const std::vector<std::string>& rows, int32_t left = 0, int32_t top = 0) {
  RegionBuilder builder;
  for (size_t y = 0; y < rows.size(); ++y) {
    std::vector<int32_t> xs;
    for (size_t x = 0; x < rows[y].size(); ++x) {
      if (rows[y][x] != '#') continue;
      xs.push_back(left + static_cast<int32_t>(x));
      xs.push_back(left + static_cast<int32_t>(x) + 1);
    }
    const int32_t row = top + static_cast<int32_t>(y);
    builder.AddRows(row, row + 1, xs);
  }
  return builder.Finish();
}

}  // namespace testing
}  // namespace platform::region
