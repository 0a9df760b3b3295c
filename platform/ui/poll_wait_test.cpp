#include "platform/ui/poll_wait.h"

#include <atomic>

#include <gtest/gtest.h>

#include "platform/headless/virtual_clock.h"
#include "platform/testing/scripted_display.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/thread.h"

namespace platform::ui {
namespace {

TEST(PollUntil, EndsWhenAnotherThreadSetsTheField) {
  testing::ScriptedDisplay display;
  Runtime runtime(display);
  int field = 0;  // under the runtime lock
  bool answer = false;
  runtime.StartMain([&] {
    Start([&] { field = 1; });
    answer = PollUntil([&] { return field == 1; }, kPollForever);
    field = 2;
    Start([&] {
      Yield();
      field = 3;
    });
    EXPECT_TRUE(PollUntil([&] { return field == 3; }, kPollForever, PollTurn::kReleaseLock));
  });
  runtime.Join();
  EXPECT_TRUE(answer);
  EXPECT_EQ(field, 3);
}

TEST(PollUntil, RunsOutOnTheVirtualClockAndIsIdleMeanwhile) {
  testing::ScriptedDisplay display;
  Runtime runtime(display);
  headless::VirtualClock clock(runtime, display);
  std::atomic<int> answer = -1;
  runtime.StartMain([&] { answer = PollUntil([] { return false; }, /*timeout_ms=*/5000); });
  // The poller counts as idle while it waits for the time to pass.
  runtime.WaitUntilIdle();
  clock.Advance(499);
  EXPECT_EQ(answer, -1);
  clock.Advance(1);
  EXPECT_EQ(answer, 0);
  runtime.Join();
}

TEST(PollUntil, AWaitThatHoldsAtOnceNeverLetsGo) {
  testing::ScriptedDisplay display;
  Runtime runtime(display);
  int turns = 0;
  runtime.StartMain([&] {
    TEST_SetRuntimeLockObserver([&](bool acquired) { turns += acquired ? 1 : 0; });
    EXPECT_TRUE(PollUntil([] { return true; }, /*timeout_ms=*/0));
    EXPECT_FALSE(PollUntil([] { return false; }, /*timeout_ms=*/0));
    TEST_SetRuntimeLockObserver({});
  });
  runtime.Join();
  EXPECT_EQ(turns, 0);
}

}  // namespace
}  // namespace platform::ui
