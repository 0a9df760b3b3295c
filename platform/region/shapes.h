// The region shapes: rectangles, polygons, ellipses and rounded rectangles, each turned into
// an exact pixel set by one stated rule. Every shape takes its corners in either order (they
// are sorted first), and its right and bottom edges are never part of it.
#pragma once

#include <cstdint>
#include <span>

#include "platform/region/region.h"

namespace platform::region {

// The polygon fill modes, numbered as the runtime numbers them.
enum class FillMode : int {
  kAlternate = 1,  // ALTERNATE: in where a ray to the left crosses the outline an odd number
                   // of times
  kWinding = 2,    // WINDING: in where the outline winds around the point a non-zero number
                   // of times
};

// CreateRectRgn: the pixels with min(x1, x2) <= x < max(x1, x2) and
// min(y1, y2) <= y < max(y1, y2). (0, 0, 0, 0) gives the empty region.
Region CreateRectRgn(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// CreatePolygonRgn: the polygon through `points`, closed from the last point back to the
// first (a repeated first point at the end is harmless). Scan rule: pixel (x, y) is sampled
// at its top-left corner, the point (x, y). On row y, only edges whose upper end is at or
// above y and whose lower end is below y cross it (an edge's top end counts, its bottom end
// does not; horizontal edges never cross). The sample is in when, counting the crossings at
// or left of it (crossing x <= x, computed exactly), the count is odd (kAlternate) or the sum
// of the crossings' directions (+1 downward, -1 upward) is not zero (kWinding). So a point on
// a left or top edge is in and one on a right or bottom edge is out, and the rectangle
// polygon (l, t), (r, t), (r, b), (l, b) gives the same pixels as CreateRectRgn(l, t, r, b).
// Fewer than three points, or a fill mode other than 1 or 2, give the empty region.
Region CreatePolygonRgn(std::span<const Point> points, FillMode fill_mode);

// CreateEllipticRgn: the ellipse inscribed in the rectangle (x1, y1, x2, y2). Pixel (x, y)
// is in when its centre (x + 0.5, y + 0.5) lies inside the ellipse or on its outline:
// ((x + 0.5 - cx) / a)^2 + ((y + 0.5 - cy) / b)^2 <= 1 with the centre (cx, cy) and the half
// axes a, b of the rectangle, computed exactly. The result is symmetric within the
// rectangle; an empty rectangle gives the empty region.
Region CreateEllipticRgn(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// CreateRoundRectRgn: the rectangle (x1, y1, x2, y2) with its corners rounded by an ellipse
// `w` wide and `h` high (negative sizes count by their magnitude; sizes beyond the
// rectangle's are cut to its width and height). Each corner takes the pixels of the quarter
// of that ellipse, placed in the corner, by the rule of CreateEllipticRgn; rows and columns
// between the corners are full. A zero `w` or `h` gives the plain rectangle, and `w`, `h`
// equal to the rectangle's size give CreateEllipticRgn of it.
Region CreateRoundRectRgn(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t w, int32_t h);

}  // namespace platform::region
