// Region: an exact set of integer pixels, the value behind the runtime's window regions.
// A region is kept as sorted horizontal bands; each band holds the sorted, non-overlapping
// x-intervals that every row of the band shares. Pixel (x, y) is the unit square whose
// top-left corner is (x, y); a rectangle (left, top, right, bottom) holds the pixels with
// left <= x < right and top <= y < bottom, so its right and bottom edges are not part of it.
//
//   Region r = CreateRectRgn(0, 0, 0, 0);                       // empty
//   CombineRgn(r, r, CreatePolygonRgn(points, FillMode::kWinding), CombineMode::kXor);
//   std::vector<uint8_t> mask = r.Mask(r.BoundingBox());
//
// The shapes (rectangles, polygons, ellipses, rounded rectangles) are built in shapes.h.
//
// A window's shape is not part of this library: a window holds at most one region, which it
// owns once set. No region at all (a null shape) means the window keeps its plain rectangle;
// an empty region makes the whole window invisible.
//
// Frame and caption sizes (SM_CXFRAME, SM_CYCAPTION, SM_CXEDGE, ...) that the callers add to
// their outlines come from the display backend, not from here.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform::region {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
};

// A rectangle with its right and bottom edges excluded. Empty when right <= left or
// bottom <= top.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The kind of a region, as CombineRgn and friends answer it.
enum class RegionKind : int {
  kError = 0,          // ERROR: the operation failed and changed nothing
  kNullRegion = 1,     // NULLREGION: no pixel
  kSimpleRegion = 2,   // SIMPLEREGION: one rectangle
  kComplexRegion = 3,  // COMPLEXREGION: more than one rectangle
};

// The combine modes of CombineRgn, numbered as the runtime numbers them.
enum class CombineMode : int {
  kAnd = 1,   // RGN_AND: pixels in both
  kOr = 2,    // RGN_OR: pixels in either
  kXor = 3,   // RGN_XOR: pixels in exactly one
  kDiff = 4,  // RGN_DIFF: pixels of the first that are not in the second
  kCopy = 5,  // RGN_COPY: the first, the second ignored
};

class RegionBuilder;

// A value type: copying copies the pixel set, and two regions compare equal exactly when
// they hold the same pixels (the band form is canonical).
class Region {
 public:
  // The empty region.
  Region() = default;

  bool empty() const { return bands_.empty(); }
  RegionKind kind() const;

  // The smallest rectangle holding every pixel; (0, 0, 0, 0) for the empty region.
  Rect BoundingBox() const;
  // REQUIRES: fewer than 2^63 pixels (a region of the whole int32_t plane has more).
  int64_t PixelCount() const;
  bool Contains(int32_t x, int32_t y) const;

  // Moves every pixel by (dx, dy).
  // REQUIRES: no coordinate leaves the int32_t range.
  void Offset(int32_t dx, int32_t dy);

  // The region as rectangles, top to bottom and, within a band, left to right. Rectangles of
  // one band share top and bottom; no two rectangles touch within a band.
  std::vector<Rect> Rects() const;

  // Renders the pixels of `area` row by row, top to bottom: element
  // (y - area.top) * width + (x - area.left) is 1 when pixel (x, y) is in the region, else
  // 0. An empty `area` gives an empty vector.
  std::vector<uint8_t> Mask(const Rect& area) const;

  // The region `mode` makes of `a` and `b` (`b` is ignored for kCopy). An invalid mode gives
  // the empty region; CombineRgn reports it as an error instead.
  static Region Combine(const Region& a, const Region& b, CombineMode mode);

  friend bool operator==(const Region&, const Region&) = default;

 private:
  friend class RegionBuilder;

  struct Band {
    int32_t top = 0;
    int32_t bottom = 0;       // excluded; bottom > top
    std::vector<int32_t> xs;  // pairs [xs[2i], xs[2i+1]), strictly increasing
    friend bool operator==(const Band&, const Band&) = default;
  };

  std::vector<Band> bands_;  // sorted by top, not overlapping; touching bands differ in xs
};

// Builds a region from rows given top to bottom, merging rows that repeat the one above.
class RegionBuilder {
 public:
  // Adds the rows top to bottom - 1, each holding the intervals [xs[0], xs[1]),
  // [xs[2], xs[3]), ... Empty intervals are dropped, and intervals that touch or overlap are
  // joined.
  // REQUIRES: top is not above the bottom of the previous call; xs has an even size and its
  // intervals are sorted by their left ends.
  void AddRows(int32_t top, int32_t bottom, std::span<const int32_t> xs);

  // The region built so far; the builder is left empty.
  Region Finish();

 private:
  Region region_;
  std::vector<int32_t> scratch_;
};

// CombineRgn(dest, a, b, mode): dest := a `mode` b, and the kind of the new dest. `dest` may
// be `a` or `b`. A mode outside 1 to 5 answers kError and leaves dest unchanged.
RegionKind CombineRgn(Region& dest, const Region& a, const Region& b, CombineMode mode);

}  // namespace platform::region
