#include "platform/region/shapes.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/region/region_testing.h"

namespace platform::region {
namespace {

using Art = std::vector<std::string>;
using testing::Draw;
using testing::FromArt;

// The polygon rule evaluated pixel by pixel, straight from its statement: sample (x, y); an
// edge crosses row y when its top end is at or above y and its bottom end below; count the
// crossings at or left of x, or add up their directions.
bool InPolygonReference(const std::vector<Point>& points, FillMode mode, int64_t x, int64_t y) {
  int count = 0;
  int winding = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const Point& p = points[i];
    const Point& q = points[(i + 1) % points.size()];
    if (p.y == q.y) continue;
    const Point& top = p.y < q.y ? p : q;
    const Point& bottom = p.y < q.y ? q : p;
    if (y < top.y || y >= bottom.y) continue;
    // crossing = top.x + (y - top.y) * dx / dy <= x, with dy > 0.
    const int64_t dx = int64_t{bottom.x} - top.x;
    const int64_t dy = int64_t{bottom.y} - top.y;
    if ((x - top.x) * dy >= (y - top.y) * dx) {
      ++count;
      winding += p.y < q.y ? 1 : -1;
    }
  }
  return mode == FillMode::kAlternate ? count % 2 == 1 : winding != 0;
}

// Compares the pixels of `area`; when `area` holds the whole polygon, also that the region
// has no pixel outside it.
void ExpectMatchesReference(const std::vector<Point>& points, FillMode mode, const Rect& area,
                            bool area_holds_all = true) {
  const Region r = CreatePolygonRgn(points, mode);
  const std::vector<uint8_t> mask = r.Mask(area);
  const int64_t width = area.right - area.left;
  int64_t count = 0;
  for (int64_t y = area.top; y < area.bottom; ++y) {
    for (int64_t x = area.left; x < area.right; ++x) {
      const bool want = InPolygonReference(points, mode, x, y);
      count += want;
      ASSERT_EQ(mask[(y - area.top) * width + (x - area.left)] != 0, want)
          << "pixel (" << x << ", " << y << ")";
    }
  }
  if (area_holds_all) {
    EXPECT_EQ(r.PixelCount(), count);
  }
}

// A five-pointed star drawn in one stroke, each vertex joined to the next but one.
const std::vector<Point> kPentagram = {{25, 5}, {37, 41}, {6, 19}, {44, 19}, {13, 41}};

TEST(CreatePolygonRgn, HandCheckedMasks) {
  struct Case {
    std::string_view name;
    std::vector<Point> points;
    FillMode mode;
    Art art;  // pixels (0, 0) to (width, height)
  };
  const Case cases[] = {
      {"triangle",
       {{0, 0}, {4, 0}, {0, 4}},
       FillMode::kAlternate,
       {"####", "###.", "##..", "#..."}},
      // The slanted edges cut pixel corners: a pixel is in when its top-left corner is.
      {"diamond",
       {{2, 0}, {4, 2}, {2, 4}, {0, 2}},
       FillMode::kAlternate,
       {"....", ".##.", "####", ".##."}},
      {"rectangle",
       {{1, 1}, {4, 1}, {4, 3}, {1, 3}},
       FillMode::kWinding,
       {".....", ".###.", ".###.", "....."}},
      {"rectangle, first point repeated",
       {{1, 1}, {4, 1}, {4, 3}, {1, 3}, {1, 1}},
       FillMode::kAlternate,
       {".....", ".###.", ".###.", "....."}},
      {"bow tie",
       {{0, 0}, {4, 4}, {4, 0}, {0, 4}},
       FillMode::kAlternate,
       {"....", "#..#", "####", "#..#"}},
      {"bow tie winding",
       {{0, 0}, {4, 4}, {4, 0}, {0, 4}},
       FillMode::kWinding,
       {"....", "#..#", "####", "#..#"}},
      // Twice round the same square: crossed twice (even) but wound twice (not zero).
      {"square wound twice",
       {{0, 0}, {3, 0}, {3, 3}, {0, 3}, {0, 0}, {3, 0}, {3, 3}, {0, 3}},
       FillMode::kAlternate,
       {"...", "...", "..."}},
      {"square wound twice winding",
       {{0, 0}, {3, 0}, {3, 3}, {0, 3}, {0, 0}, {3, 0}, {3, 3}, {0, 3}},
       FillMode::kWinding,
       {"###", "###", "###"}},
      // Two nested squares the same way round: winding fills the inner one, alternate
      // leaves it out; turned the other way round, both leave it out.
      {"nested same way",
       {{0, 0}, {5, 0}, {5, 5}, {0, 5}, {0, 0}, {1, 1}, {4, 1}, {4, 4}, {1, 4}, {1, 1}},
       FillMode::kAlternate,
       {"#####", "#...#", "#...#", "#...#", "#####"}},
      {"nested same way winding",
       {{0, 0}, {5, 0}, {5, 5}, {0, 5}, {0, 0}, {1, 1}, {4, 1}, {4, 4}, {1, 4}, {1, 1}},
       FillMode::kWinding,
       {"#####", "#####", "#####", "#####", "#####"}},
      {"nested opposite ways winding",
       {{0, 0}, {5, 0}, {5, 5}, {0, 5}, {0, 0}, {1, 1}, {1, 4}, {4, 4}, {4, 1}, {1, 1}},
       FillMode::kWinding,
       {"#####", "#...#", "#...#", "#...#", "#####"}},
      {"two points", {{0, 0}, {3, 3}}, FillMode::kWinding, {"...", "...", "..."}},
      {"flat", {{0, 1}, {3, 1}, {1, 1}}, FillMode::kAlternate, {"...", "...", "..."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Region r = CreatePolygonRgn(c.points, c.mode);
    const Rect area{0, 0, static_cast<int32_t>(c.art.front().size()),
                    static_cast<int32_t>(c.art.size())};
    EXPECT_EQ(Draw(r, area), c.art);
    EXPECT_EQ(r, FromArt(c.art));
  }
}

TEST(CreatePolygonRgn, RectanglePolygonEqualsRectRegion) {
  const std::vector<Point> square = {{-3, 2}, {7, 2}, {7, 9}, {-3, 9}};
  EXPECT_EQ(CreatePolygonRgn(square, FillMode::kAlternate), CreateRectRgn(-3, 2, 7, 9));
  const std::vector<Point> backwards(square.rbegin(), square.rend());
  EXPECT_EQ(CreatePolygonRgn(backwards, FillMode::kWinding), CreateRectRgn(-3, 2, 7, 9));
}

TEST(CreatePolygonRgn, PentagramCentreIsLeftOutByAlternateAndFilledByWinding) {
  const Region alternate = CreatePolygonRgn(kPentagram, FillMode::kAlternate);
  const Region winding = CreatePolygonRgn(kPentagram, FillMode::kWinding);
  EXPECT_FALSE(alternate.Contains(25, 25));
  EXPECT_TRUE(winding.Contains(25, 25));
  // The points of the star are in both.
  for (const Point& p : std::vector<Point>{{25, 8}, {35, 38}, {10, 20}, {40, 20}, {15, 38}}) {
    SCOPED_TRACE(::testing::Message() << p.x << ", " << p.y);
    EXPECT_TRUE(alternate.Contains(p.x, p.y));
    EXPECT_TRUE(winding.Contains(p.x, p.y));
  }
  // Winding adds exactly the inner pentagon to alternate: a hole around the centre, well
  // inside the star's box.
  Region hole;
  EXPECT_EQ(CombineRgn(hole, winding, alternate, CombineMode::kDiff), RegionKind::kComplexRegion);
  Region outside;
  EXPECT_EQ(CombineRgn(outside, alternate, winding, CombineMode::kDiff), RegionKind::kNullRegion);
  EXPECT_TRUE(hole.Contains(25, 25));
  const Rect box = hole.BoundingBox();
  EXPECT_GT(box.left, 13);
  EXPECT_LT(box.right, 37);
  EXPECT_EQ(box.top, 19);  // the row of the two upper points' horizontal stroke
  EXPECT_LT(box.bottom, 36);
  // The top point's own row is empty: its two edges meet there, so the span has no width.
  EXPECT_EQ(winding.BoundingBox(), (Rect{6, 6, 44, 41}));
  EXPECT_EQ(alternate.BoundingBox(), winding.BoundingBox());
}

TEST(CreatePolygonRgn, AgreesWithThePixelRule) {
  struct Case {
    std::string_view name;
    std::vector<Point> points;
  };
  std::vector<Case> cases = {{"pentagram", kPentagram}};
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> coord(-5, 25);
  for (int i = 0; i < 40; ++i) {
    std::vector<Point> points(std::uniform_int_distribution<size_t>(3, 12)(rng));
    for (Point& p : points) p = Point{coord(rng), coord(rng)};
    cases.push_back({"random", points});
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << cases[i].name << " " << i);
    for (FillMode mode : {FillMode::kAlternate, FillMode::kWinding}) {
      SCOPED_TRACE(static_cast<int>(mode));
      ExpectMatchesReference(cases[i].points, mode, Rect{-6, -6, 51, 51});
    }
  }
}

TEST(CreatePolygonRgn, InvalidFillModeGivesTheEmptyRegion) {
  EXPECT_TRUE(CreatePolygonRgn(kPentagram, static_cast<FillMode>(0)).empty());
  EXPECT_TRUE(CreatePolygonRgn(kPentagram, static_cast<FillMode>(3)).empty());
}

// A 1000-vertex polygon over a 1000 by 1000 area: a circle of radius 490 whose every
// other vertex is pulled in by 3 pixels, so that each row crosses many short edges.
TEST(CreatePolygonRgn, ThousandVertexPolygon) {
  std::vector<Point> points;
  for (int i = 0; i < 1000; ++i) {
    const double angle = 2 * std::numbers::pi * i / 1000;
    const double radius = i % 2 == 0 ? 490 : 487;
    points.push_back(Point{static_cast<int32_t>(std::lround(500 + radius * std::cos(angle))),
                           static_cast<int32_t>(std::lround(500 + radius * std::sin(angle)))});
  }
  const Region r = CreatePolygonRgn(points, FillMode::kWinding);
  EXPECT_EQ(r, CreatePolygonRgn(points, FillMode::kAlternate));  // a simple outline
  // Row 10 holds only the top vertex, whose span has no width.
  EXPECT_EQ(r.BoundingBox(), (Rect{10, 11, 990, 990}));
  const double circle = std::numbers::pi * 488.5 * 488.5;
  EXPECT_NEAR(static_cast<double>(r.PixelCount()), circle, circle * 0.005);
  // Spot rows against the pixel rule.
  for (int32_t y : {10, 11, 250, 500, 501, 989}) {
    SCOPED_TRACE(y);
    ExpectMatchesReference(points, FillMode::kWinding, Rect{0, y, 1000, y + 1},
                           /*area_holds_all=*/false);
  }
}

TEST(CreateEllipticRgn, HandCheckedMasks) {
  struct Case {
    Rect box;
    Art art;  // the box's pixels
  };
  const Case cases[] = {
      {{0, 0, 1, 1}, {"#"}},
      {{0, 0, 2, 1}, {"##"}},
      {{0, 0, 1, 5}, {"#", "#", "#", "#", "#"}},
      {{0, 0, 2, 2}, {"##", "##"}},
      {{0, 0, 3, 3}, {"###", "###", "###"}},
      {{0, 0, 4, 4}, {".##.", "####", "####", ".##."}},
      {{0, 0, 5, 5}, {".###.", "#####", "#####", "#####", ".###."}},
      {{0, 0, 6, 6}, {".####.", "######", "######", "######", "######", ".####."}},
      {{0, 0, 7, 7}, {"..###..", ".#####.", "#######", "#######", "#######", ".#####.", "..###.."}},
      {{0, 0, 8, 8},
       {"..####..", ".######.", "########", "########", "########", "########", ".######.",
        "..####.."}},
      {{0, 0, 8, 4}, {".######.", "########", "########", ".######."}},
      {{0, 0, 10, 4}, {"..######..", "##########", "##########", "..######.."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.box.right << " by " << c.box.bottom);
    const Region r = CreateEllipticRgn(c.box.left, c.box.top, c.box.right, c.box.bottom);
    EXPECT_EQ(Draw(r, c.box), c.art);
    EXPECT_EQ(r, FromArt(c.art));
    // The same ellipse elsewhere and with its corners swapped.
    Region moved =
        CreateEllipticRgn(c.box.right + 7, c.box.bottom - 3, c.box.left + 7, c.box.top - 3);
    moved.Offset(-7, 3);
    EXPECT_EQ(moved, r);
  }
  EXPECT_TRUE(CreateEllipticRgn(0, 0, 0, 5).empty());
  EXPECT_TRUE(CreateEllipticRgn(3, 3, 9, 3).empty());
}

TEST(CreateEllipticRgn, IsSymmetricAndAsWideAsItsBoxWhenRound) {
  for (int32_t w = 1; w <= 40; w += 3) {
    for (int32_t h = 1; h <= 40; h += 4) {
      SCOPED_TRACE(::testing::Message() << w << " by " << h);
      const Region r = CreateEllipticRgn(0, 0, w, h);
      const Art art = Draw(r, Rect{0, 0, w, h});
      for (size_t y = 0; y < art.size(); ++y) {
        EXPECT_EQ(art[y], std::string(art[y].rbegin(), art[y].rend()));
        EXPECT_EQ(art[y], art[art.size() - 1 - y]);
      }
      if (w == h) {
        EXPECT_EQ(r.BoundingBox(), (Rect{0, 0, w, h}));
      }
      EXPECT_EQ(r, CreateRoundRectRgn(0, 0, w, h, w, h));
    }
  }
}

TEST(CreateEllipticRgn, FullCoordinateRangeStaysExact) {
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  const Region wide = CreateEllipticRgn(kMin, 0, kMax, 4);
  // Width w = 2^32 - 1 and height 4, centred on x = -0.5. Row y reaches out to where
  // (x + 0.5 - c)^2 / (w / 2)^2 = 1 - (2y + 1 - 4)^2 / 16: sqrt(7/16) of the half width on
  // rows 0 and 3, sqrt(15/16) on rows 1 and 2.
  const std::vector<Rect> rects = wide.Rects();
  ASSERT_EQ(rects.size(), 3u);
  const double half = (double{kMax} - kMin) / 2;
  EXPECT_NEAR(rects[0].right, -0.5 + half * std::sqrt(7.0 / 16), 1.0);
  EXPECT_NEAR(rects[1].right, -0.5 + half * std::sqrt(15.0 / 16), 1.0);
  EXPECT_EQ(rects[1].top, 1);
  EXPECT_EQ(rects[1].bottom, 3);
  for (const Rect& r : rects) {
    EXPECT_EQ(int64_t{r.left} - kMin, int64_t{kMax} - r.right);  // mirrored about the centre
  }
  EXPECT_EQ(rects[0].left, rects[2].left);
  EXPECT_TRUE(wide.Contains(-1, 0));
  EXPECT_TRUE(wide.Contains(0, 3));
  EXPECT_EQ(CreateRectRgn(kMin, 0, kMax, 1 << 30).PixelCount(),
            (int64_t{kMax} - kMin) * (int64_t{1} << 30));
}

TEST(CreateRoundRectRgn, HandCheckedMasks) {
  struct Case {
    std::string_view name;
    Rect box;
    int32_t w;
    int32_t h;
    Art art;
  };
  const Case cases[] = {
      {"4 by 4 corners",
       {0, 0, 10, 6},
       4,
       4,
       {".########.", "##########", "##########", "##########", "##########", ".########."}},
      {"8 by 8 corners",
       {0, 0, 12, 10},
       8,
       8,
       {"..########..", ".##########.", "############", "############", "############",
        "############", "############", "############", ".##########.", "..########.."}},
      {"odd corners",
       {0, 0, 9, 7},
       5,
       5,
       {".#######.", "#########", "#########", "#########", "#########", "#########", ".#######."}},
      {"negative sizes count by magnitude",
       {0, 0, 10, 6},
       -4,
       -4,
       {".########.", "##########", "##########", "##########", "##########", ".########."}},
      {"zero roundness is the rectangle", {0, 0, 4, 3}, 0, 0, {"####", "####", "####"}},
      {"zero height is the rectangle", {0, 0, 4, 3}, 8, 0, {"####", "####", "####"}},
      {"corners larger than the box make its ellipse",
       {0, 0, 4, 4},
       50,
       60,
       {".##.", "####", "####", ".##."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Region r = CreateRoundRectRgn(c.box.left, c.box.top, c.box.right, c.box.bottom, c.w, c.h);
    EXPECT_EQ(Draw(r, c.box), c.art);
    EXPECT_EQ(r, FromArt(c.art));
  }
}

TEST(CreateRoundRectRgn, RoundedWindowKeepsItsBoxAndTrimsOnlyCorners) {
  // A window of 300 by 200 pixels with 15 by 15 corners.
  const Region r = CreateRoundRectRgn(0, 0, 300, 200, 15, 15);
  EXPECT_EQ(r.BoundingBox(), (Rect{0, 0, 300, 200}));
  EXPECT_FALSE(r.Contains(0, 0));
  EXPECT_FALSE(r.Contains(299, 199));
  EXPECT_TRUE(r.Contains(7, 0));
  EXPECT_TRUE(r.Contains(0, 7));
  EXPECT_TRUE(r.Contains(150, 100));
  // Only the corners lose pixels, each the same number.
  Region corners;
  CombineRgn(corners, CreateRectRgn(0, 0, 300, 200), r, CombineMode::kDiff);
  Region top_left;
  CombineRgn(top_left, corners, CreateRectRgn(0, 0, 8, 8), CombineMode::kAnd);
  EXPECT_GT(top_left.PixelCount(), 0);
  EXPECT_EQ(corners.PixelCount(), 4 * top_left.PixelCount());
  // Edge-trimmed, as for a window whose outer edge is cut off.
  EXPECT_EQ(CreateRoundRectRgn(2, 2, 298, 198, 0, 0), CreateRectRgn(2, 2, 298, 198));
}

}  // namespace
}  // namespace platform::region
