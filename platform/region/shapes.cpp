#include "platform/region/shapes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform::region {

namespace {

// A rectangle with its corners sorted, in 64 bits so that widths never overflow.
struct Box {
  int64_t left;
  int64_t top;
  int64_t right;
  int64_t bottom;
};

Box Sorted(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return Box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// REQUIRES: the corners of `box` fit in int32_t.
Region RectRegion(const Box& box) {
  RegionBuilder builder;
  const int32_t xs[] = {static_cast<int32_t>(box.left), static_cast<int32_t>(box.right)};
  builder.AddRows(static_cast<int32_t>(box.top), static_cast<int32_t>(box.bottom), xs);
  return builder.Finish();
}

// One polygon edge that crosses at least one row, stepped down one row at a time. Its
// crossing on the current row is x_top + n / dy with n = (row - y_top) * dx; `ceil` holds
// ceil(n / dy) as ceil = (n + rem) / dy with 0 <= rem < dy, so the pixels at or right of the
// crossing start at column x_top + ceil, computed without rounding error.
struct Edge {
  int64_t y_top;
  int64_t y_bottom;  // excluded
  int64_t x_top;
  int64_t dx;
  int64_t dy;          // > 0
  int64_t step_whole;  // floor(dx / dy)
  int64_t step_rem;    // dx - step_whole * dy, in [0, dy)
  int direction;       // +1 when the outline runs downward here, -1 upward
  int64_t ceil = 0;
  int64_t rem = 0;

  int64_t Crossing() const { return x_top + ceil; }

  void NextRow() {
    // n grows by dx = step_whole * dy + step_rem.
    ceil += step_whole;
    const int64_t over = step_rem - rem;
    if (over > 0) {
      ceil += 1;
      rem = dy - over;
    } else {
      rem = -over;
    }
  }
};

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

struct Crossing {
  int64_t x;
  int direction;
};

using U128 = unsigned __int128;

// The largest m in [0, limit] with m * m * d <= k, for d > 0. The products stay below 2^128
// for limit below 2^32 and d below 2^64.
int64_t FloorSqrtRatio(U128 k, U128 d, int64_t limit) {
  auto m = static_cast<int64_t>(std::sqrt(static_cast<long double>(k) / d));
  m = std::min(m, limit);
  while (m > 0 && U128(m) * U128(m) * d > k) --m;
  while (m < limit && U128(m + 1) * U128(m + 1) * d <= k) ++m;
  return m;
}

// The pixels of row y inside the ellipse inscribed in `box` (by pixel centre, outline
// included), as [*left, *right). Answers false when the row holds none.
// Doubling every coordinate keeps the centres whole: with X = 2x + 1 - (left + right),
// Y = 2y + 1 - (top + bottom), W and H the box's size, the centre is in when
// X^2 H^2 + Y^2 W^2 <= W^2 H^2, i.e. |X| <= m with m^2 H^2 <= W^2 (H^2 - Y^2).
bool EllipseRow(const Box& box, int64_t y, int64_t* left, int64_t* right) {
  const int64_t w = box.right - box.left;
  const int64_t h = box.bottom - box.top;
  const int64_t yy = 2 * y + 1 - (box.top + box.bottom);
  // |yy| < h for every row of the box, and |X| <= w, so w bounds m.
  if (yy <= -h || yy >= h) return false;
  const U128 k = U128(w) * U128(w) * (U128(h) * U128(h) - U128(std::abs(yy)) * U128(std::abs(yy)));
  const int64_t m = FloorSqrtRatio(k, U128(h) * U128(h), w);
  const int64_t sum = box.left + box.right;
  // -m <= 2x + 1 - sum <= m.
  const int64_t first = -FloorDiv(-(sum - 1 - m), 2);  // ceil((sum - 1 - m) / 2)
  const int64_t last = FloorDiv(sum - 1 + m, 2);
  if (last < first) return false;
  *left = first;
  *right = last + 1;
  return true;
}

// The rounded rectangle `box` with corner ellipses corner_w by corner_h (cut to the box).
Region RoundRect(const Box& box, int64_t corner_w, int64_t corner_h) {
  const int64_t width = box.right - box.left;
  const int64_t height = box.bottom - box.top;
  corner_w = std::min(corner_w, width);
  corner_h = std::min(corner_h, height);
  if (corner_w == 0 || corner_h == 0) return RectRegion(box);
  RegionBuilder builder;
  // The corner ellipses' boxes at the left edge; the right side mirrors the left. Rows whose
  // centre lies above the upper ellipse's centre (or below the lower one's) take the
  // corner's width; the rows between are full.
  const Box upper{box.left, box.top, box.left + corner_w, box.top + corner_h};
  const Box lower{box.left, box.bottom - corner_h, box.left + corner_w, box.bottom};
  auto add_corner_row = [&](const Box& corner, int64_t y) {
    int64_t left = 0;
    int64_t unused = 0;
    if (!EllipseRow(corner, y, &left, &unused)) return;
    const int32_t xs[] = {static_cast<int32_t>(left),
                          static_cast<int32_t>(box.right - (left - box.left))};
    builder.AddRows(static_cast<int32_t>(y), static_cast<int32_t>(y + 1), xs);
  };
  int64_t y = box.top;
  for (; y < box.bottom && 2 * y + 1 < 2 * box.top + corner_h; ++y) add_corner_row(upper, y);
  // The full rows are those with 2 * y + 1 <= 2 * bottom - corner_h.
  const int64_t middle_end =
      std::clamp(FloorDiv(2 * box.bottom - corner_h - 1, 2) + 1, y, box.bottom);
  const int32_t full[] = {static_cast<int32_t>(box.left), static_cast<int32_t>(box.right)};
  builder.AddRows(static_cast<int32_t>(y), static_cast<int32_t>(middle_end), full);
  for (y = middle_end; y < box.bottom; ++y) add_corner_row(lower, y);
  return builder.Finish();
}

}  // namespace

Region CreateRectRgn(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return RectRegion(Sorted(x1, y1, x2, y2));
}

Region CreatePolygonRgn(std::span<const Point> points, FillMode fill_mode) {
  if (fill_mode != FillMode::kAlternate && fill_mode != FillMode::kWinding) return Region();
  if (points.size() < 3) return Region();

  std::vector<Edge> edges;
  edges.reserve(points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    const Point& p = points[i];
    const Point& q = points[(i + 1) % points.size()];
    if (p.y == q.y) continue;  // a horizontal edge crosses no row
    const bool down = p.y < q.y;
    const Point& top = down ? p : q;
    const Point& bottom = down ? q : p;
    Edge e{};
    e.y_top = top.y;
    e.y_bottom = bottom.y;
    e.x_top = top.x;
    e.dx = int64_t{bottom.x} - top.x;
    e.dy = int64_t{bottom.y} - top.y;
    e.step_whole = FloorDiv(e.dx, e.dy);
    e.step_rem = e.dx - e.step_whole * e.dy;
    e.direction = down ? 1 : -1;
    edges.push_back(e);
  }
  if (edges.empty()) return Region();
  std::sort(edges.begin(), edges.end(),
            [](const Edge& a, const Edge& b) { return a.y_top < b.y_top; });
  int64_t y_end = edges.front().y_bottom;
  for (const Edge& e : edges) y_end = std::max(y_end, e.y_bottom);

  RegionBuilder builder;
  std::vector<Edge> active;
  std::vector<Crossing> crossings;
  std::vector<int32_t> spans;
  size_t next_edge = 0;
  // Rows with no active edge are skipped by jumping to the next edge's top.
  for (int64_t y = edges.front().y_top; y < y_end;) {
    while (next_edge < edges.size() && edges[next_edge].y_top == y) {
      active.push_back(edges[next_edge++]);
    }
    if (active.empty()) {
      y = edges[next_edge].y_top;
      continue;
    }
    crossings.clear();
    for (const Edge& e : active) crossings.push_back(Crossing{e.Crossing(), e.direction});
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
    spans.clear();
    if (fill_mode == FillMode::kAlternate) {
      for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
        spans.push_back(static_cast<int32_t>(crossings[i].x));
        spans.push_back(static_cast<int32_t>(crossings[i + 1].x));
      }
    } else {
      int winding = 0;
      for (const Crossing& c : crossings) {
        const int before = winding;
        winding += c.direction;
        if (before == 0 && winding != 0) spans.push_back(static_cast<int32_t>(c.x));
        if (before != 0 && winding == 0) spans.push_back(static_cast<int32_t>(c.x));
      }
    }
    builder.AddRows(static_cast<int32_t>(y), static_cast<int32_t>(y + 1), spans);

    ++y;
    std::erase_if(active, [y](const Edge& e) { return e.y_bottom <= y; });
    for (Edge& e : active) e.NextRow();
  }
  return builder.Finish();
}

Region CreateEllipticRgn(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const Box box = Sorted(x1, y1, x2, y2);
  return RoundRect(box, box.right - box.left, box.bottom - box.top);
}

Region CreateRoundRectRgn(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t w, int32_t h) {
  const Box box = Sorted(x1, y1, x2, y2);
  return RoundRect(box, std::abs(int64_t{w}), std::abs(int64_t{h}));
}

}  // namespace platform::region
