#include "platform/region/region.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/region/region_testing.h"
#include "platform/region/shapes.h"

namespace platform::region {
namespace {

using Art = std::vector<std::string>;
using testing::Draw;
using testing::FromArt;

TEST(Region, EmptyRegionsHaveNoPixelsAndAreAllEqual) {
  struct Case {
    std::string_view name;
    Region region;
  };
  const Case cases[] = {
      {"default", Region()},
      {"CreateRectRgn(0, 0, 0, 0)", CreateRectRgn(0, 0, 0, 0)},
      {"zero width", CreateRectRgn(5, 5, 5, 10)},
      {"zero height", CreateRectRgn(5, 5, 10, 5)},
      {"no art", FromArt({"...", "..."})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(c.region.empty());
    EXPECT_EQ(c.region.kind(), RegionKind::kNullRegion);
    EXPECT_EQ(c.region.BoundingBox(), (Rect{0, 0, 0, 0}));
    EXPECT_EQ(c.region.PixelCount(), 0);
    EXPECT_TRUE(c.region.Rects().empty());
    EXPECT_FALSE(c.region.Contains(5, 5));
    EXPECT_EQ(Draw(c.region, Rect{0, 0, 3, 2}), (Art{"...", "..."}));
    EXPECT_EQ(c.region, Region());
  }
}

TEST(Region, RectangleExcludesItsRightAndBottomEdges) {
  const Region r = CreateRectRgn(1, 2, 4, 5);
  EXPECT_EQ(r.kind(), RegionKind::kSimpleRegion);
  EXPECT_EQ(r.BoundingBox(), (Rect{1, 2, 4, 5}));
  EXPECT_EQ(r.PixelCount(), 9);
  EXPECT_TRUE(r.Contains(1, 2));
  EXPECT_TRUE(r.Contains(3, 4));
  EXPECT_FALSE(r.Contains(4, 2));  // right edge
  EXPECT_FALSE(r.Contains(1, 5));  // bottom edge
  EXPECT_FALSE(r.Contains(0, 3));
  EXPECT_FALSE(r.Contains(2, 1));
  EXPECT_EQ(Draw(r, Rect{0, 1, 5, 6}), (Art{".....", ".###.", ".###.", ".###.", "....."}));
  // Corners in either order make the same rectangle.
  EXPECT_EQ(CreateRectRgn(4, 5, 1, 2), r);
  EXPECT_EQ(CreateRectRgn(1, 5, 4, 2), r);
}

TEST(Region, NegativeCoordinatesWork) {
  const Region r = CreateRectRgn(-3, -2, -1, 0);
  EXPECT_EQ(r.PixelCount(), 4);
  EXPECT_TRUE(r.Contains(-3, -2));
  EXPECT_FALSE(r.Contains(-1, -1));
  EXPECT_EQ(Draw(r, Rect{-4, -3, 0, 1}), (Art{"....", ".##.", ".##.", "...."}));
}

// Two overlapping 4 by 4 squares, (0, 0, 4, 4) and (2, 2, 6, 6), under every mode.
TEST(CombineRgn, EveryModeOnOverlappingSquares) {
  struct Case {
    CombineMode mode;
    RegionKind kind;
    Art art;
  };
  const Case cases[] = {
      {CombineMode::kAnd,
       RegionKind::kSimpleRegion,
       {"......", "......", "..##..", "..##..", "......", "......"}},
      {CombineMode::kOr,
       RegionKind::kComplexRegion,
       {"####..", "####..", "######", "######", "..####", "..####"}},
      {CombineMode::kXor,
       RegionKind::kComplexRegion,
       {"####..", "####..", "##..##", "##..##", "..####", "..####"}},
      {CombineMode::kDiff,
       RegionKind::kComplexRegion,
       {"####..", "####..", "##....", "##....", "......", "......"}},
      {CombineMode::kCopy,
       RegionKind::kSimpleRegion,
       {"####..", "####..", "####..", "####..", "......", "......"}},
  };
  const Region a = CreateRectRgn(0, 0, 4, 4);
  const Region b = CreateRectRgn(2, 2, 6, 6);
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    Region dest;
    EXPECT_EQ(CombineRgn(dest, a, b, c.mode), c.kind);
    EXPECT_EQ(dest.kind(), c.kind);
    EXPECT_EQ(Draw(dest, Rect{0, 0, 6, 6}), c.art);
    EXPECT_EQ(dest, FromArt(c.art));
  }
}

TEST(CombineRgn, ResultKinds) {
  struct Case {
    std::string_view name;
    Region a;
    Region b;
    CombineMode mode;
    RegionKind kind;
  };
  const Case cases[] = {
      {"disjoint and", CreateRectRgn(0, 0, 2, 2), CreateRectRgn(5, 5, 7, 7), CombineMode::kAnd,
       RegionKind::kNullRegion},
      {"touching and", CreateRectRgn(0, 0, 2, 2), CreateRectRgn(2, 0, 4, 2), CombineMode::kAnd,
       RegionKind::kNullRegion},
      {"side by side or", CreateRectRgn(0, 0, 2, 2), CreateRectRgn(2, 0, 4, 2), CombineMode::kOr,
       RegionKind::kSimpleRegion},
      {"stacked or", CreateRectRgn(0, 0, 2, 2), CreateRectRgn(0, 2, 2, 5), CombineMode::kOr,
       RegionKind::kSimpleRegion},
      {"disjoint or", CreateRectRgn(0, 0, 2, 2), CreateRectRgn(3, 0, 5, 2), CombineMode::kOr,
       RegionKind::kComplexRegion},
      {"xor with itself", CreateRectRgn(0, 0, 2, 2), CreateRectRgn(0, 0, 2, 2), CombineMode::kXor,
       RegionKind::kNullRegion},
      {"xor side by side", CreateRectRgn(0, 0, 2, 2), CreateRectRgn(2, 0, 4, 2), CombineMode::kXor,
       RegionKind::kSimpleRegion},
      {"diff covered", CreateRectRgn(1, 1, 2, 2), CreateRectRgn(0, 0, 3, 3), CombineMode::kDiff,
       RegionKind::kNullRegion},
      {"diff hole", CreateRectRgn(0, 0, 3, 3), CreateRectRgn(1, 1, 2, 2), CombineMode::kDiff,
       RegionKind::kComplexRegion},
      {"diff a side", CreateRectRgn(0, 0, 4, 2), CreateRectRgn(2, 0, 4, 2), CombineMode::kDiff,
       RegionKind::kSimpleRegion},
      {"or with empty", CreateRectRgn(0, 0, 2, 2), Region(), CombineMode::kOr,
       RegionKind::kSimpleRegion},
      {"empty or empty", Region(), Region(), CombineMode::kOr, RegionKind::kNullRegion},
      {"xor with empty", Region(), CreateRectRgn(0, 0, 2, 2), CombineMode::kXor,
       RegionKind::kSimpleRegion},
      {"and with empty", CreateRectRgn(0, 0, 2, 2), Region(), CombineMode::kAnd,
       RegionKind::kNullRegion},
      {"copy of empty", Region(), CreateRectRgn(0, 0, 2, 2), CombineMode::kCopy,
       RegionKind::kNullRegion},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Region dest = CreateRectRgn(9, 9, 10, 10);
    EXPECT_EQ(CombineRgn(dest, c.a, c.b, c.mode), c.kind);
    EXPECT_EQ(dest.kind(), c.kind);
  }
}

TEST(CombineRgn, DestinationMayBeAnOperand) {
  // The splash builds its outline this way: r1 := r1 xor r2.
  Region r1 = CreateRectRgn(0, 0, 0, 0);
  const Region r2 = CreateRectRgn(0, 0, 4, 4);
  EXPECT_EQ(CombineRgn(r1, r1, r2, CombineMode::kXor), RegionKind::kSimpleRegion);
  EXPECT_EQ(r1, r2);
  const Region hole = CreateRectRgn(1, 1, 3, 3);
  EXPECT_EQ(CombineRgn(r1, r1, hole, CombineMode::kXor), RegionKind::kComplexRegion);
  EXPECT_EQ(Draw(r1, Rect{0, 0, 4, 4}), (Art{"####", "#..#", "#..#", "####"}));
  Region r3 = CreateRectRgn(2, 0, 6, 4);
  EXPECT_EQ(CombineRgn(r3, r1, r3, CombineMode::kAnd), RegionKind::kComplexRegion);
  EXPECT_EQ(Draw(r3, Rect{0, 0, 4, 4}), (Art{"..##", "...#", "...#", "..##"}));
}

TEST(CombineRgn, InvalidModeIsAnErrorAndChangesNothing) {
  Region dest = CreateRectRgn(0, 0, 2, 2);
  const Region before = dest;
  for (int mode : {0, 6, -1}) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(CombineRgn(dest, CreateRectRgn(5, 5, 6, 6), Region(), static_cast<CombineMode>(mode)),
              RegionKind::kError);
    EXPECT_EQ(dest, before);
  }
}

TEST(Region, SamePixelsGiveEqualRegionsWhateverTheirHistory) {
  // The whole square, built from halves, quarters and a square with a filled hole.
  Region halves;
  CombineRgn(halves, CreateRectRgn(0, 0, 2, 4), CreateRectRgn(2, 0, 4, 4), CombineMode::kOr);
  Region quarters;
  CombineRgn(quarters, CreateRectRgn(0, 0, 4, 2), CreateRectRgn(0, 2, 4, 4), CombineMode::kOr);
  Region ring;
  CombineRgn(ring, CreateRectRgn(0, 0, 4, 4), CreateRectRgn(1, 1, 3, 3), CombineMode::kDiff);
  CombineRgn(ring, ring, CreateRectRgn(1, 1, 3, 3), CombineMode::kOr);
  const Region whole = CreateRectRgn(0, 0, 4, 4);
  EXPECT_EQ(halves, whole);
  EXPECT_EQ(quarters, whole);
  EXPECT_EQ(ring, whole);
  EXPECT_EQ(ring.Rects(), (std::vector<Rect>{{0, 0, 4, 4}}));
  EXPECT_NE(whole, CreateRectRgn(0, 0, 4, 5));
}

TEST(Region, RectsAreBandsTopToBottomLeftToRight) {
  const Region r = FromArt({
      "##.##",
      "##.##",
      "#####",
      "..#..",
  });
  EXPECT_EQ(r.kind(), RegionKind::kComplexRegion);
  EXPECT_EQ(r.Rects(), (std::vector<Rect>{{0, 0, 2, 2}, {3, 0, 5, 2}, {0, 2, 5, 3}, {2, 3, 3, 4}}));
  EXPECT_EQ(r.BoundingBox(), (Rect{0, 0, 5, 4}));
  EXPECT_EQ(r.PixelCount(), 14);
}

TEST(Region, OffsetMovesEveryPixel) {
  Region r = FromArt({"#.", ".#"});
  r.Offset(10, -3);
  EXPECT_EQ(r, FromArt({"#.", ".#"}, 10, -3));
  EXPECT_EQ(r.BoundingBox(), (Rect{10, -3, 12, -1}));
  EXPECT_TRUE(r.Contains(11, -2));
  Region empty;
  empty.Offset(5, 5);
  EXPECT_TRUE(empty.empty());
}

TEST(Region, MaskClipsToTheArea) {
  const Region r = CreateRectRgn(0, 0, 4, 4);
  EXPECT_EQ(Draw(r, Rect{2, 3, 6, 5}), (Art{"##..", "...."}));
  EXPECT_TRUE(r.Mask(Rect{3, 3, 3, 9}).empty());
}

// Every combine mode against a per-pixel reference, on random unions of rectangles.
TEST(CombineRgn, AgreesWithPixelByPixelCombination) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> coord(-2, 14);
  auto random_region = [&] {
    Region r;
    const int n = std::uniform_int_distribution<int>(0, 5)(rng);
    for (int i = 0; i < n; ++i) {
      CombineRgn(r, r, CreateRectRgn(coord(rng), coord(rng), coord(rng), coord(rng)),
                 i % 3 == 2 ? CombineMode::kXor : CombineMode::kOr);
    }
    return r;
  };
  const Rect area{-3, -3, 16, 16};
  for (int round = 0; round < 300; ++round) {
    const Region a = random_region();
    const Region b = random_region();
    const std::vector<uint8_t> ma = a.Mask(area);
    const std::vector<uint8_t> mb = b.Mask(area);
    for (int m = 1; m <= 5; ++m) {
      SCOPED_TRACE(::testing::Message() << "round " << round << " mode " << m);
      Region dest;
      const RegionKind kind = CombineRgn(dest, a, b, static_cast<CombineMode>(m));
      const std::vector<uint8_t> md = dest.Mask(area);
      int64_t count = 0;
      for (size_t i = 0; i < md.size(); ++i) {
        const bool x = ma[i] != 0;
        const bool y = mb[i] != 0;
        const bool want = m == 1   ? (x && y)
                          : m == 2 ? (x || y)
                          : m == 3 ? (x != y)
                          : m == 4 ? (x && !y)
                                   : x;
        ASSERT_EQ(md[i] != 0, want) << "pixel " << i;
        count += want;
      }
      EXPECT_EQ(dest.PixelCount(), count);
      EXPECT_EQ(kind, dest.kind());
      EXPECT_EQ(kind == RegionKind::kNullRegion, count == 0);
      // The band form is canonical: rebuilding from the pixels gives an equal region.
      EXPECT_EQ(dest, FromArt(Draw(dest, area), area.left, area.top));
    }
  }
}

}  // namespace
}  // namespace platform::region
