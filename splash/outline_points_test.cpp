#include "splash/outline_points.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace splash {
namespace {

struct Expected {
  const char* name;
  std::span<const OutlinePoint> points;
  size_t count;
  int32_t x0, x1, y0, y1;
  std::vector<OutlinePoint> first;
};

TEST(OutlinePoints, CountsBoundsAndFirstVertices) {
  const Expected kOutlines[] = {
      {"splash 1", SplashOutline(1), 720, 38, 466, 0, 364, {{39, 85}, {39, 84}, {57, 66}}},
      {"splash 2", SplashOutline(2), 55, 54, 109, 109, 181, {{55, 109}, {57, 109}, {80, 109}}},
      {"splash 3", SplashOutline(3), 434, 164, 349, 85, 294, {{166, 294}, {168, 294}, {201, 294}}},
      {"splash 4", SplashOutline(4), 115, 226, 283, 122, 213, {{227, 211}, {227, 208}, {228, 207}}},
      {"splash 5", SplashOutline(5), 87, 411, 478, 110, 269, {{412, 111}, {412, 110}, {414, 111}}},
      {"logo figure", LogoFigure(), 223, 3, 175, 233, 351, {{4, 284}, {4, 280}}},
      {"logo centre", LogoCentre(), 523, 283, 473, 151, 430, {{284, 293}, {284, 290}}},
  };
  for (const Expected& e : kOutlines) {
    SCOPED_TRACE(e.name);
    ASSERT_EQ(e.points.size(), e.count);
    EXPECT_EQ(e.points.front().x, e.points.back().x);  // closed: the first vertex repeats
    EXPECT_EQ(e.points.front().y, e.points.back().y);
    for (size_t i = 0; i < e.first.size(); ++i) {
      EXPECT_EQ(e.points[i].x, e.first[i].x);
      EXPECT_EQ(e.points[i].y, e.first[i].y);
    }
    auto [minx, maxx] = std::minmax_element(e.points.begin(), e.points.end(),
                                            [](auto& a, auto& b) { return a.x < b.x; });
    auto [miny, maxy] = std::minmax_element(e.points.begin(), e.points.end(),
                                            [](auto& a, auto& b) { return a.y < b.y; });
    EXPECT_EQ(minx->x, e.x0);
    EXPECT_EQ(maxx->x, e.x1);
    EXPECT_EQ(miny->y, e.y0);
    EXPECT_EQ(maxy->y, e.y1);
  }
  EXPECT_TRUE(SplashOutline(0).empty());
  EXPECT_TRUE(SplashOutline(6).empty());
}

}  // namespace
}  // namespace splash
