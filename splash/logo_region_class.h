// ZOVLogoRegionClass: shapes the target window as the logo, a central figure surrounded by
// eight equal smaller ones, each a polygon outline (outline_points.h) combined by exclusive
// or. The style manager's main configuration window keeps one and calls BuildLogoRegion once
// its window is open; the window owns the region from then on.
#pragma once

#include <cstdint>

#include "platform/core/queue.h"
#include "platform/core/record.h"

namespace splash {

// One vertex of an outline as the point queue holds it.
struct LogoPointRecord {
  int16_t X = 0;
  int16_t Y = 0;
  static const platform::RecordLayout& Layout();
};
using LogoPointQueue = platform::Queue<LogoPointRecord>;

class ZOVLogoRegionClass {
 public:
  // Sets the target window's region to the logo, moved right by the frame width and down by
  // the caption and frame height, so the logo begins inside the frame and caption. Nothing
  // when there is no target window. Requires the runtime lock.
  void BuildLogoRegion();

  // Each appends one outline's vertices to `points`, in order, the first vertex repeated at
  // the end: 1 to 3 and 5 to 9 are the small figure at its nine offsets, 4 the central one.
  void AddLogoPoints1(LogoPointQueue& points);
  void AddLogoPoints2(LogoPointQueue& points);
  void AddLogoPoints3(LogoPointQueue& points);
  void AddLogoPoints4(LogoPointQueue& points);
  void AddLogoPoints5(LogoPointQueue& points);
  void AddLogoPoints6(LogoPointQueue& points);
  void AddLogoPoints7(LogoPointQueue& points);
  void AddLogoPoints8(LogoPointQueue& points);
  void AddLogoPoints9(LogoPointQueue& points);
};

}  // namespace splash
