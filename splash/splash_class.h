// ZOVSplashClass: the start-up splash window. Its outline is five polygons combined by
// exclusive or (outline_points.h); it opens by a circle growing from its centre, cut out of
// that outline, stays for the caller's display time or until "&Continue" is pressed, and
// closes by the circle shrinking back. The main program shows it on thread 1 and goes on
// when it has closed.
//
//   Splash.SplashWindow(10);  // returns once the window has closed
#pragma once

#include <array>
#include <cstdint>

#include "platform/region/region.h"

namespace splash {

class ZOVSplashClass {
 public:
  // Shows the splash window, holds it for `seconds` (0: until "&Continue" is pressed) and
  // returns when it has closed. Requires the runtime lock, on a runtime thread; releases it
  // while the window waits.
  void SplashWindow(uint8_t seconds);

  // Builds the outline into R1, moved right by DX and down by DY so it begins inside the
  // window's frame and caption. Requires the runtime lock.
  void BuildSplashRegion();

  platform::region::Region R1;  // the outline
  platform::region::Region R2;  // the polygon made last
  platform::region::Region R3;  // the current step of the opening or closing circle
  int16_t DX = 0;               // the width of a sizing frame
  int16_t DY = 0;               // the caption and a sizing frame, less 1
  // The vertex buffer each polygon is assembled in; the outer outline fills it.
  std::array<platform::region::Point, 720> POINTS{};
};

}  // namespace splash
