// The desktop-settings service (SystemParametersInfoA) for full-window dragging. The desktop
// here has no such setting, so the service answers "off" and changes nothing on the desktop;
// every call is reported to the call trace (platform/core/call_trace.h) as
// "SystemParametersInfoA <action> <value> <flags>", and a test may make it answer "on".
//
//   int32_t drag = 0;
//   SystemParametersInfoA(kSpiGetDragFullWindows, 0, &drag, 0);
//   if (drag == 1) SystemParametersInfoA(kSpiSetDragFullWindows, 0, nullptr, kSpifUpdateAndSend);
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/core/call_trace.h"

namespace platform::ui {

inline constexpr uint32_t kSpiSetDragFullWindows = 37;
inline constexpr uint32_t kSpiGetDragFullWindows = 38;
inline constexpr uint32_t kSpifUpdateIniFile = 1;
inline constexpr uint32_t kSpifSendChange = 2;
inline constexpr uint32_t kSpifUpdateAndSend = kSpifUpdateIniFile | kSpifSendChange;
static_assert(kSpifUpdateAndSend == 3);

namespace detail {
// What the service answers for SPI_GETDRAGFULLWINDOWS: 0 unless a test set it; a SET changes
// it as it would change the desktop's, so a test sees the whole round trip.
inline std::atomic<int32_t>& DragFullWindowsSetting() {
  static std::atomic<int32_t> value{0};
  return value;
}
}  // namespace detail

// SPI_GETDRAGFULLWINDOWS writes the setting (1 on, 0 off) into `*value`; SPI_SETDRAGFULLWINDOWS
// takes it from `param`. Answers true for these two actions, false (doing nothing) for others.
// Any thread.
inline bool SystemParametersInfoA(uint32_t action, int32_t param, int32_t* value, uint32_t flags) {
  TraceCall("SystemParametersInfoA " + std::to_string(action) + " " + std::to_string(param) + " " +
            std::to_string(flags));
  switch (action) {
    case kSpiGetDragFullWindows:
      if (value != nullptr) *value = detail::DragFullWindowsSetting().load();
      return true;
    case kSpiSetDragFullWindows:
      detail::DragFullWindowsSetting().store(param != 0 ? 1 : 0);
      return true;
    default:
      return false;
  }
}

// Makes the service answer `on` (1) or off (0) from now on.
inline void TEST_SetDragFullWindows(int32_t on) { detail::DragFullWindowsSetting().store(on); }

}  // namespace platform::ui
