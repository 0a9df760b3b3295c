// ZOVSplashClass: the start-up splash window. The main program shows it for a number of
// seconds and goes on when it has closed.
//
// The body stands in until the splash window is built: it shows nothing and reports its call
// to the call trace.
#pragma once

#include <cstdint>

namespace splash {

class ZOVSplashClass {
 public:
  // Shows the splash window for `seconds` and returns when it has closed.
  void SplashWindow(int32_t seconds);
};

}  // namespace splash
