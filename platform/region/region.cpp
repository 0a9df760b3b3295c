#include "platform/region/region.h"

#include <algorithm>
#include <limits>

namespace platform::region {

namespace {

bool Apply(CombineMode mode, bool in_a, bool in_b) {
  switch (mode) {
    case CombineMode::kAnd:
      return in_a && in_b;
    case CombineMode::kOr:
      return in_a || in_b;
    case CombineMode::kXor:
      return in_a != in_b;
    case CombineMode::kDiff:
      return in_a && !in_b;
    case CombineMode::kCopy:
      return in_a;
  }
  return false;
}

bool IsValid(CombineMode mode) {
  const int m = static_cast<int>(mode);
  return m >= static_cast<int>(CombineMode::kAnd) && m <= static_cast<int>(CombineMode::kCopy);
}

// Combines two rows of interval boundaries (each strictly increasing, even in size) into
// `out`. Walking the boundaries in order, each one toggles its row's membership; a boundary is
// written whenever the combined membership changes, so `out` is strictly increasing too.
void CombineRow(std::span<const int32_t> a, std::span<const int32_t> b, CombineMode mode,
                std::vector<int32_t>& out) {
  out.clear();
  constexpr int64_t kEnd = std::numeric_limits<int64_t>::max();
  size_t ia = 0;
  size_t ib = 0;
  bool in_a = false;
  bool in_b = false;
  bool in = false;
  while (ia < a.size() || ib < b.size()) {
    const int64_t xa = ia < a.size() ? a[ia] : kEnd;
    const int64_t xb = ib < b.size() ? b[ib] : kEnd;
    const int64_t x = std::min(xa, xb);
    if (xa == x) {
      in_a = !in_a;
      ++ia;
    }
    if (xb == x) {
      in_b = !in_b;
      ++ib;
    }
    const bool now = Apply(mode, in_a, in_b);
    if (now != in) {
      out.push_back(static_cast<int32_t>(x));
      in = now;
    }
  }
}

}  // namespace

void RegionBuilder::AddRows(int32_t top, int32_t bottom, std::span<const int32_t> xs) {
  if (bottom <= top) return;
  // Normalise into scratch_: drop empty intervals, join touching or overlapping ones.
  scratch_.clear();
  for (size_t i = 0; i + 1 < xs.size(); i += 2) {
    const int32_t left = xs[i];
    const int32_t right = xs[i + 1];
    if (right <= left) continue;
    if (!scratch_.empty() && left <= scratch_.back()) {
      scratch_.back() = std::max(scratch_.back(), right);
    } else {
      scratch_.push_back(left);
      scratch_.push_back(right);
    }
  }
  if (scratch_.empty()) return;
  auto& bands = region_.bands_;
  if (!bands.empty() && bands.back().bottom == top && bands.back().xs == scratch_) {
    bands.back().bottom = bottom;
    return;
  }
  bands.push_back(Region::Band{top, bottom, scratch_});
}

Region RegionBuilder::Finish() {
  Region result = std::move(region_);
  region_ = Region();
  return result;
}

RegionKind Region::kind() const {
  if (bands_.empty()) return RegionKind::kNullRegion;
  if (bands_.size() == 1 && bands_.front().xs.size() == 2) return RegionKind::kSimpleRegion;
  return RegionKind::kComplexRegion;
}

Rect Region::BoundingBox() const {
  if (bands_.empty()) return Rect{};
  Rect box{bands_.front().xs.front(), bands_.front().top, bands_.front().xs.back(),
           bands_.back().bottom};
  for (const Band& band : bands_) {
    box.left = std::min(box.left, band.xs.front());
    box.right = std::max(box.right, band.xs.back());
  }
  return box;
}

int64_t Region::PixelCount() const {
  int64_t count = 0;
  for (const Band& band : bands_) {
    int64_t width = 0;
    for (size_t i = 0; i < band.xs.size(); i += 2) {
      width += int64_t{band.xs[i + 1]} - band.xs[i];
    }
    count += width * (int64_t{band.bottom} - band.top);
  }
  return count;
}

bool Region::Contains(int32_t x, int32_t y) const {
  // The first band whose bottom lies below y is the only one that can hold row y.
  auto band = std::upper_bound(bands_.begin(), bands_.end(), y,
                               [](int32_t row, const Band& b) { return row < b.bottom; });
  if (band == bands_.end() || y < band->top) return false;
  // x is inside when an odd number of boundaries lie at or left of it.
  const auto pos = std::upper_bound(band->xs.begin(), band->xs.end(), x) - band->xs.begin();
  return pos % 2 == 1;
}

void Region::Offset(int32_t dx, int32_t dy) {
  for (Band& band : bands_) {
    band.top += dy;
    band.bottom += dy;
    for (int32_t& x : band.xs) x += dx;
  }
}

std::vector<Rect> Region::Rects() const {
  std::vector<Rect> rects;
  for (const Band& band : bands_) {
    for (size_t i = 0; i < band.xs.size(); i += 2) {
      rects.push_back(Rect{band.xs[i], band.top, band.xs[i + 1], band.bottom});
    }
  }
  return rects;
}

std::vector<uint8_t> Region::Mask(const Rect& area) const {
  if (area.empty()) return {};
  const int64_t width = int64_t{area.right} - area.left;
  const int64_t height = int64_t{area.bottom} - area.top;
  std::vector<uint8_t> mask(static_cast<size_t>(width * height), 0);
  for (const Band& band : bands_) {
    const int32_t top = std::max(band.top, area.top);
    const int32_t bottom = std::min(band.bottom, area.bottom);
    for (int32_t y = top; y < bottom; ++y) {
      uint8_t* row = mask.data() + (int64_t{y} - area.top) * width;
      for (size_t i = 0; i < band.xs.size(); i += 2) {
        const int32_t left = std::max(band.xs[i], area.left);
        const int32_t right = std::min(band.xs[i + 1], area.right);
        if (left < right) {
          std::fill(row + (int64_t{left} - area.left), row + (int64_t{right} - area.left), 1);
        }
      }
    }
  }
  return mask;
}

Region Region::Combine(const Region& a, const Region& b, CombineMode mode) {
  if (!IsValid(mode)) return Region();
  if (mode == CombineMode::kCopy) return a;
  const std::vector<Band>& ba = a.bands_;
  const std::vector<Band>& bb = b.bands_;
  RegionBuilder builder;
  std::vector<int32_t> row;
  size_t ia = 0;
  size_t ib = 0;
  int64_t y = std::numeric_limits<int64_t>::max();
  if (!ba.empty()) y = std::min<int64_t>(y, ba.front().top);
  if (!bb.empty()) y = std::min<int64_t>(y, bb.front().top);
  // Sweep down through every band edge of either region; between two edges both regions
  // have a fixed row, which is combined once for the whole stretch.
  while (ia < ba.size() || ib < bb.size()) {
    if (ia < ba.size() && ba[ia].bottom <= y) {
      ++ia;
      continue;
    }
    if (ib < bb.size() && bb[ib].bottom <= y) {
      ++ib;
      continue;
    }
    int64_t next = std::numeric_limits<int64_t>::max();
    std::span<const int32_t> row_a;
    std::span<const int32_t> row_b;
    if (ia < ba.size()) {
      if (ba[ia].top <= y) {
        row_a = ba[ia].xs;
        next = std::min<int64_t>(next, ba[ia].bottom);
      } else {
        next = std::min<int64_t>(next, ba[ia].top);
      }
    }
    if (ib < bb.size()) {
      if (bb[ib].top <= y) {
        row_b = bb[ib].xs;
        next = std::min<int64_t>(next, bb[ib].bottom);
      } else {
        next = std::min<int64_t>(next, bb[ib].top);
      }
    }
    if (!row_a.empty() || !row_b.empty()) {
      CombineRow(row_a, row_b, mode, row);
      builder.AddRows(static_cast<int32_t>(y), static_cast<int32_t>(next), row);
    }
    y = next;
  }
  return builder.Finish();
}

RegionKind CombineRgn(Region& dest, const Region& a, const Region& b, CombineMode mode) {
  if (!IsValid(mode)) return RegionKind::kError;
  dest = Region::Combine(a, b, mode);
  return dest.kind();
}

}  // namespace platform::region
