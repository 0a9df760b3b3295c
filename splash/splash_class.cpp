#include "splash/splash_class.h"

#include <string>

#include "platform/core/call_trace.h"

namespace splash {

// TODO(splash window): the shaped, topmost window with its opening and closing circle.
void ZOVSplashClass::SplashWindow(int32_t seconds) {
  platform::TraceCall("ZOVSplashClass.SplashWindow " + std::to_string(seconds));
}

}  // namespace splash
