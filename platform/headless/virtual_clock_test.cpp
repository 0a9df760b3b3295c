#include "platform/headless/virtual_clock.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/headless/test_support.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::headless {
namespace {

using namespace platform::ui;

constexpr ControlDecl kControls[] = {
    Button("?CloseButton", "&Close", {4, 4, 40, 14}).Std(StdAction::kClose),
};
constexpr WindowStructure kWindow{"test$clock",   "P1$WINDOW",     WindowKind::kPlain,
                                  "Clock window", {0, 0, 100, 40}, kControls};
constexpr EventId kSetTimer = 0x500;

class VirtualClockTest : public WindowTest {
 protected:
  // The window logs each timer event with the clock's time, and sets its timer to what the
  // test asks; on the third tick it changes its own timer to 20.
  void StartProcedure(int32_t timer) {
    runtime.StartMain([this, timer] {
      Window window(kWindow);
      window.Open();
      SetProp(0, Prop::Timer, timer);
      int ticks = 0;
      while (window.Accept()) {
        if (Event() == kEventTimer) {
          log.Add("tick at " + std::to_string(clock.now()) + " (" + std::to_string(MonotonicMs()) +
                  " ms)");
          if (++ticks == 3) SetProp(0, Prop::Timer, 20);
        }
        if (Event() == kSetTimer) SetProp(0, Prop::Timer, next_timer);
      }
    });
    w = user.Window("Clock window");
  }

  VirtualClock clock{runtime, display};
  WindowHandle w = 0;
  int32_t next_timer = 0;
};

TEST_F(VirtualClockTest, TimersRunOutAtTheirTimesAndNotBefore) {
  StartProcedure(8);
  clock.Advance(7);
  EXPECT_TRUE(log.lines().empty());
  clock.Advance(1);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"tick at 8 (80 ms)"}));
  // The third tick sets the timer to 20, which counts from that tick.
  clock.Advance(60);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"tick at 8 (80 ms)", "tick at 16 (160 ms)",
                                                   "tick at 24 (240 ms)", "tick at 44 (440 ms)",
                                                   "tick at 64 (640 ms)"}));
  EXPECT_EQ(clock.now(), 68);
  EXPECT_EQ(MonotonicMs(), 680);
}

TEST_F(VirtualClockTest, ATimerSwitchedOffOrOnCountsFromThen) {
  StartProcedure(0);
  clock.Advance(100);
  EXPECT_TRUE(log.lines().empty());
  next_timer = 50;
  PostToWindow(w, kSetTimer);
  user.WaitUntilIdle();
  clock.Advance(49);
  EXPECT_TRUE(log.lines().empty());
  clock.Advance(1);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"tick at 150 (1500 ms)"}));
  next_timer = 0;
  PostToWindow(w, kSetTimer);
  user.WaitUntilIdle();
  clock.Advance(1000);
  EXPECT_EQ(log.lines().size(), 1u);
}

TEST(VirtualClock, OwnsTheMonotonicClockWhileItLives) {
  MonotonicSource previous = SetMonotonicSource([] { return int64_t{777}; });
  {
    HeadlessBackend display;
    ui::Runtime runtime{display};
    VirtualClock clock(runtime, display);
    EXPECT_EQ(MonotonicMs(), 0);
    clock.Advance(12);
    EXPECT_EQ(MonotonicMs(), 120);
    clock.AdvanceMs(3);
    EXPECT_EQ(MonotonicMs(), 123);
    EXPECT_EQ(clock.now(), 12);
  }
  EXPECT_EQ(MonotonicMs(), 777);
  SetMonotonicSource(std::move(previous));
}

TEST_F(VirtualClockTest, AClosedWindowsTimerStops) {
  StartProcedure(10);
  user.Click(w, "?CloseButton");
  clock.Advance(100);
  EXPECT_TRUE(log.lines().empty());
  EXPECT_FALSE(runtime.running());
}

}  // namespace
}  // namespace platform::headless
