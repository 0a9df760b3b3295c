// The outlines that shape the splash window and the logo region: closed polygons in whole
// pixels, the first vertex repeated at the end. The tables are generated (see
// gen_outline_points.py beside this file).
#pragma once

#include <cstdint>
#include <span>

namespace splash {

struct OutlinePoint {
  int32_t x;
  int32_t y;
};

// Polygon n (1..5) of the splash outline; empty for any other n. Polygon 1 is the outer
// outline; the others are combined with it by exclusive or.
std::span<const OutlinePoint> SplashOutline(int n);

// The small logo figure at offset (0, 0), drawn eight times at different offsets, and the
// central figure of the logo.
std::span<const OutlinePoint> LogoFigure();
std::span<const OutlinePoint> LogoCentre();

}  // namespace splash
