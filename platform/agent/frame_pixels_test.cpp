#include "platform/agent/frame_pixels.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/region/region_testing.h"

namespace platform::agent {
namespace {

TEST(OpaqueRegion, HoldsThePixelsOfAlphaAtLeastHalf) {
  // Alpha per pixel, three rows of four: 127 is beside the figure, 128 part of it.
  const std::vector<std::vector<uint8_t>> alpha = {
      {0, 128, 255, 127},
      {255, 0, 0, 255},
      {127, 127, 127, 127},
  };
  FramePixels pixels{4, 3, {}};
  for (const auto& row : alpha) {
    for (const uint8_t a : row) pixels.rgba.insert(pixels.rgba.end(), {10, 20, 30, a});
  }
  const region::Region r = OpaqueRegion(pixels);
  EXPECT_EQ(region::testing::Draw(r, {0, 0, 4, 3}),
            (std::vector<std::string>{".##.", "#..#", "...."}));
  EXPECT_TRUE(OpaqueRegion(FramePixels{}).empty());
}

}  // namespace
}  // namespace platform::agent
