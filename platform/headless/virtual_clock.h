// A virtual clock for window timers and the monotonic clock in tests. Time stands still
// until the test moves it; moving it runs out every window timer that falls due on the way,
// at its own time, and lets the program settle after each, so a ten-second wait takes no
// time at all. While the clock lives, MonotonicMs() answers its time in milliseconds.
//
//   VirtualClock clock(runtime, display);
//   clock.Advance(999);   // nothing yet
//   clock.Advance(1);     // the window's Timer of 1000 hundredths runs out
#pragma once

#include <atomic>
#include <cstdint>
#include <map>

#include "platform/core/clock.h"
#include "platform/headless/headless_backend.h"
#include "platform/ui/thread.h"

namespace platform::headless {

class VirtualClock {
 public:
  // Both must outlive the clock. The clock starts at 0 and replaces the monotonic clock's
  // source until it is destroyed.
  VirtualClock(ui::Runtime& runtime, HeadlessBackend& display);
  ~VirtualClock();
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;

  // Hundredths of a second since the clock started. Any thread.
  int64_t now() const { return now_ms_ / 10; }
  // Milliseconds since the clock started. Any thread.
  int64_t now_ms() const { return now_ms_; }

  // Moves the clock on by `hundredths`. A window's timer counts from the moment the clock
  // first sees its interval (set, or changed), and runs out every interval after that; each
  // time it runs out the window gets its timer input and every runtime thread becomes idle
  // before the clock moves on. A SLEEP ends at its own time on the way, the clock stopping
  // there until every thread is idle again. Polling waits look at the time again at each
  // step, and every thread is idle again when it returns. Not on a runtime thread.
  void Advance(int64_t hundredths) { AdvanceMs(hundredths * 10); }
  // The same by `ms` milliseconds, for what counts in milliseconds (the characters).
  void AdvanceMs(int64_t ms);

 private:
  struct Timer {
    int32_t interval = 0;  // hundredths
    int64_t due_ms = 0;
  };

  // Takes in the timers the windows have now: new and changed ones start counting at now_ms_,
  // those of closed windows or switched off are dropped.
  void Rescan();

  ui::Runtime& runtime_;
  HeadlessBackend& display_;
  // Read by MonotonicMs() on any thread.
  std::atomic<int64_t> now_ms_ = 0;
  MonotonicSource previous_source_;
  std::map<ui::WindowHandle, Timer> timers_;
};

}  // namespace platform::headless
