// Runtime threads and the runtime lock, driven through the scripted user: posted events
// reach the right window on the right thread, nested windows suspend the outer loop, the
// frame closes its children's threads first, YIELD lets pollers progress, and no two
// threads ever hold the runtime lock at once.
#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "platform/core/clock.h"
#include "platform/core/message.h"
#include "platform/headless/virtual_clock.h"
#include "platform/testing/window_test.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using headless::HeadlessBackend;
using testing::Log;
using testing::WindowTest;

constexpr ControlDecl kFrameMenu[] = {
    Menubar(),
    Menu("?FileMenu", "&File"),
    Item("?OpenChild", "Open child  F2", "?FileMenu").Key(kF2Key),
    Item("?Exit", "E&xit", "?FileMenu").Std(StdAction::kClose),
    Item("?Tile", "&Tile", "?FileMenu").Std(StdAction::kTile),
};
constexpr WindowStructure kFrame{"test$frame", "P1$APPFRAME",    WindowKind::kFrame,
                                 "Frame",      {0, 0, 300, 200}, kFrameMenu};
constexpr FieldId kOpenChild = kFrame.Equate("?OpenChild");
constexpr FieldId kTile = kFrame.Equate("?Tile");
constexpr FieldId kExit = kFrame.Equate("?Exit");

constexpr ControlDecl kChildControls[] = {
    Button("?InnerButton", "&Inner", {4, 4, 40, 14}),
    Button("?CloseButton", "&Close", {50, 4, 40, 14}).Std(StdAction::kClose),
};
constexpr WindowStructure kChild{"test$child", "P1$WINDOW",     WindowKind::kMdiChild,
                                 "Child",      {0, 0, 100, 40}, kChildControls};
constexpr WindowStructure kInner{"test$inner", "P1$WINDOW",     WindowKind::kMdiChild,
                                 "Inner",      {0, 0, 100, 40}, kChildControls};
constexpr FieldId kInnerButton = kChild.Equate("?InnerButton");
constexpr EventId kHello = 0x999;
constexpr EventId kActivate = 0x998;
constexpr EventId kTileFrame = 0x997;
constexpr EventId kCloseFrame = 0x996;

class ThreadTest : public WindowTest {
 protected:
  // A child procedure on its own thread: logs its events with the thread number; its
  // ?InnerButton opens a nested window on the same thread.
  void Child() {
    Window window(kChild);
    window.Open();
    while (window.Accept()) {
      log.Add("child t" + std::to_string(Thread()) + " " + std::to_string(Event()));
      if (Event() == kTileFrame) PostStdAction(frame_, StdAction::kTile);
      if (Event() == kCloseFrame) PostStdAction(frame_, StdAction::kClose);
      if (Accepted() == kInnerButton) {
        Window inner(kInner);
        inner.Open();
        while (inner.Accept()) {
          log.Add("inner t" + std::to_string(Thread()) + " " + std::to_string(Event()));
        }
        log.Add("inner closed");
      }
    }
    window.Close();
    log.Add("child ended t" + std::to_string(Thread()));
  }

  void StartFrame() {
    runtime.StartMain([this] {
      Window frame(kFrame);
      frame.Open();
      while (frame.Accept()) {
        log.Add("frame t" + std::to_string(Thread()) + " " + std::to_string(Event()));
        if (Accepted() == kOpenChild) Start([this] { Child(); }, /*stack_bytes=*/25000);
        if (Event() == kActivate) {
          const std::string before = GetProp(0, Prop::Active);
          SetProp(0, Prop::Active, 1);
          log.Add("active '" + before + "' then '" + GetProp(0, Prop::Active) + "'");
        }
      }
      log.Add("frame loop ended");
    });
    frame_ = user.Window("Frame");
  }

  WindowHandle frame_ = 0;
};

TEST_F(ThreadTest, SleepLetsTheOtherThreadsRunWhileItWaits) {
  runtime.StartMain([this] {
    Start([this] { log.Add("thread 2 ran"); });
    Sleep(20);
    log.Add("thread 1 woke");
    // The runtime lock is held again after the sleep.
    AssertRuntimeLockHeld();
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"thread 2 ran", "thread 1 woke"}));
}

TEST_F(ThreadTest, ARefusedStartAnswersZeroAndRunsNothingAndTheNextStartWorks) {
  std::vector<ThreadId> started;
  runtime.StartMain([&] {
    TEST_RefuseStarts(1);
    started.push_back(Start([this] { log.Add("refused thread ran"); }));
    started.push_back(Start([this] { log.Add("thread ran"); }));
    Sleep(0);
  });
  runtime.Join();
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0], 0);
  EXPECT_NE(started[1], 0);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"thread ran"}));
}

TEST_F(ThreadTest, SleepZeroLetsEveryWaitingThreadRunOnce) {
  runtime.StartMain([this] {
    Start([this] { log.Add("thread 2 ran"); });
    Sleep(0);
    log.Add("thread 1 went on");
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"thread 2 ran", "thread 1 went on"}));
}

TEST_F(ThreadTest, SleepCountsOnTheVirtualClockAndEachEndsAtItsOwnTime) {
  headless::VirtualClock clock(runtime, display);
  runtime.StartMain([this] {
    for (int i = 0; i < 3; ++i) {
      Sleep(100);
      log.Add("woke at " + std::to_string(MonotonicMs()));
    }
  });
  // The sleeper is idle while it waits, so the clock can move on.
  clock.AdvanceMs(99);
  EXPECT_TRUE(log.lines().empty());
  clock.AdvanceMs(1);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"woke at 100"}));
  // One step of the clock past two sleeps ends each of them at its own time.
  clock.AdvanceMs(250);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"woke at 100", "woke at 200", "woke at 300"}));
  runtime.Join();
}

// Thread 1 leaves a window, a polling wait and a long sleep running on other threads when
// its procedure returns: the window closes by CloseWindow, the waits end at once, a window
// opened after that closes too, and the program ends.
TEST_F(ThreadTest, WhenThread1EndsTheOtherThreadsWindowsCloseAndTheirWaitsEnd) {
  runtime.StartMain([this] {
    bool open = false;  // under the runtime lock
    Start([this, &open] {
      Window window(kChild);
      window.Open();
      open = true;
      while (window.Accept()) {
        if (Event() == kEventCloseWindow) log.Add("window got CloseWindow");
      }
      log.Add("window procedure ended");
    });
    Start([this] {
      const bool held = PollUntil([] { return false; }, kPollForever);
      log.Add(std::string("poll ended ") + (held ? "held" : "not held"));
      Window late(kInner);
      late.Open();
      while (late.Accept()) {
        if (Event() == kEventCloseWindow) log.Add("late window got CloseWindow");
      }
    });
    Start([this] {
      Sleep(3'600'000);
      log.Add(std::string("sleep ended") + (ProgramEnding() ? " while ending" : ""));
    });
    PollUntil([&] { return open; }, kPollForever);
    log.Add(ProgramEnding() ? "ending too soon" : "thread 1 returns");
  });
  runtime.Join();
  std::vector<std::string> lines = log.lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "thread 1 returns");
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{"late window got CloseWindow", "poll ended not held",
                                             "sleep ended while ending", "thread 1 returns",
                                             "window got CloseWindow", "window procedure ended"}));
  EXPECT_TRUE(display.program_ended());
  EXPECT_TRUE(display.Windows().empty());
}

TEST_F(ThreadTest, OpenWindowsListsEveryThreadsWindowsAndAClosedOneIsNotFound) {
  runtime.StartMain([this] {
    Window frame(kFrame);
    frame.Open();
    auto child = std::make_unique<Window>(kChild);
    child->Open();
    const WindowHandle gone = child->handle();
    log.Add("open " + std::to_string(OpenWindows().size()));
    log.Add(FindWindow(frame.handle()) == &frame ? "frame found" : "frame missing");
    child.reset();
    log.Add("open " + std::to_string(OpenWindows().size()));
    log.Add(FindWindow(gone) == nullptr ? "child not found" : "child found");
  });
  runtime.Join();
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"open 2", "frame found", "open 1", "child not found"}));
}

TEST_F(ThreadTest, PostedEventReachesTheRightWindowOnTheRightThread) {
  StartFrame();
  user.ChooseMenu(frame_, kOpenChild);
  const WindowHandle child = user.Window("Child");
  log.Clear();
  // From the test (the GUI's place), to thread 1 and to the child window.
  Post(kHello, 0, /*thread=*/1);
  user.WaitUntilIdle();
  PostToWindow(child, kHello);
  user.WaitUntilIdle();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"frame t1 2457", "child t2 2457"}));
}

TEST_F(ThreadTest, MenuKeyChoosesTheItem) {
  StartFrame();
  log.Clear();
  user.PressKey(frame_, kF2Key);
  EXPECT_TRUE(display.FindWindow("Child"));
  EXPECT_EQ(log.lines().front(), "frame t1 1");
}

TEST_F(ThreadTest, NestedWindowSuspendsTheOuterLoop) {
  StartFrame();
  user.ChooseMenu(frame_, kOpenChild);
  const WindowHandle child = user.Window("Child");
  user.Click(child, kInnerButton);
  const WindowHandle inner = user.Window("Inner");
  log.Clear();
  PostToWindow(child, kHello);  // waits while the inner loop runs
  PostToWindow(inner, kHello);
  user.WaitUntilIdle();
  user.CloseBox(inner);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"inner t2 2457", "inner t2 513", "inner closed",
                                                   "child t2 2457"}));
}

TEST_F(ThreadTest, ClosingTheFrameEndsChildThreadsFirst) {
  StartFrame();
  user.ChooseMenu(frame_, kOpenChild);
  user.ChooseMenu(frame_, kOpenChild);
  user.WaitUntilIdle();
  log.Clear();
  user.CloseBox(frame_);
  runtime.Join();
  const std::vector<std::string> lines = log.lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "frame t1 513");
  // Both children close on their own threads and end before the frame's loop does.
  for (int t : {2, 3}) {
    SCOPED_TRACE(t);
    const auto ended = std::find(lines.begin(), lines.end(), "child ended t" + std::to_string(t));
    EXPECT_NE(ended, lines.end());
    EXPECT_NE(std::find(lines.begin(), ended, "child t" + std::to_string(t) + " 513"), ended);
  }
  EXPECT_EQ(lines.back(), "frame loop ended");
  EXPECT_TRUE(display.program_ended());
}

TEST_F(ThreadTest, StandardActionsOfMenuItems) {
  StartFrame();
  user.ChooseMenu(frame_, kOpenChild);
  const WindowHandle child = user.Window("Child");
  log.Clear();
  user.ChooseMenu(frame_, kTile);
  EXPECT_EQ(display.std_actions(), (std::vector<StdAction>{StdAction::kTile}));
  // The exit item closes the frame, which closes the child first.
  user.ChooseMenu(frame_, kExit);
  runtime.Join();
  EXPECT_FALSE(display.FindWindow(child));
  EXPECT_EQ(log.lines().back(), "frame loop ended");
}

TEST_F(ThreadTest, AnotherThreadRunsAStandardActionOfTheFrameWithoutAControl) {
  StartFrame();
  user.ChooseMenu(frame_, kOpenChild);
  const WindowHandle child = user.Window("Child");
  const size_t controls = display.FindWindow(frame_)->controls.size();
  log.Clear();
  PostToWindow(child, kTileFrame);
  user.WaitUntilIdle();
  // Performed on the frame, on the frame's thread, with no event for its loop and no
  // control made for it.
  EXPECT_EQ(display.std_actions(frame_), (std::vector<StdAction>{StdAction::kTile}));
  EXPECT_TRUE(display.std_actions(child).empty());
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"child t2 " + std::to_string(kTileFrame)}));
  EXPECT_EQ(display.FindWindow(frame_)->controls.size(), controls);
  // Close asks the frame to close, which closes the child first.
  PostToWindow(child, kCloseFrame);
  runtime.Join();
  EXPECT_FALSE(display.FindWindow(child));
  EXPECT_EQ(log.lines().back(), "frame loop ended");
  EXPECT_TRUE(display.program_ended());
}

TEST_F(ThreadTest, AStandardActionForAClosedWindowOrOfNoneIsDropped) {
  StartFrame();
  user.ChooseMenu(frame_, kOpenChild);
  const WindowHandle child = user.Window("Child");
  user.CloseBox(child);
  log.Clear();
  PostStdAction(child, StdAction::kClose);
  PostStdAction(frame_, StdAction::kNone);
  user.WaitUntilIdle();
  EXPECT_TRUE(display.std_actions().empty());
  EXPECT_TRUE(log.lines().empty());
  EXPECT_TRUE(display.FindWindow(frame_));
}

TEST_F(ThreadTest, SettingActiveActivatesTheWindow) {
  StartFrame();
  user.ChooseMenu(frame_, kOpenChild);
  user.Window("Child");
  log.Clear();
  PostToWindow(frame_, kActivate);
  user.WaitUntilIdle();
  // The child opened last was the active window; the frame activates itself.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"frame t1 2456", "active '' then '1'"}));
  EXPECT_EQ(display.activated(), frame_);
}

TEST_F(ThreadTest, TwoThreadsPollingWithYieldBothProgress) {
  // Each thread waits for the other's counter to move while yielding: without a fair
  // hand-over one of them would spin alone forever.
  struct Shared {
    int a = 0;
    int b = 0;
  };
  auto shared = std::make_shared<Shared>();
  constexpr int kRounds = 200;
  runtime.StartMain([shared] {
    Start([shared] {
      for (int i = 0; i < kRounds; ++i) {
        while (shared->b < i) Yield();
        ++shared->a;
      }
    });
    for (int i = 0; i < kRounds; ++i) {
      while (shared->a < i) Yield();
      ++shared->b;
    }
    while (shared->a < kRounds) Yield();
  });
  runtime.Join();
  EXPECT_EQ(shared->a, kRounds);
  EXPECT_EQ(shared->b, kRounds);
}

TEST_F(ThreadTest, AYieldingThreadNeverTakesTheLockTwiceWhileAnotherWaits) {
  // Two threads poll with YIELD while a third keeps asking for the lock again, marked in line
  // from the moment it has drawn its place until it holds the lock. Each poller lets go only
  // while that one is in line (until it is done), and the next thread to take the lock must
  // then be another than the one that let go.
  struct Shared {
    std::atomic<bool> waiter_in_line{true};  // START draws the new thread's place
    std::atomic<bool> waiter_done{false};
    // Read and written only by the observer, which runs with the lock held.
    std::thread::id waiter;
    std::thread::id last_releaser;
    bool waited_at_release = false;
    int checked = 0;
    int twice_in_a_row = 0;
  };
  auto s = std::make_shared<Shared>();
  TEST_SetRuntimeLockObserver([s](bool acquired) {
    const std::thread::id me = std::this_thread::get_id();
    if (!acquired) {
      s->last_releaser = me;
      s->waited_at_release = me != s->waiter && s->waiter_in_line.load();
      return;
    }
    if (me == s->waiter) s->waiter_in_line = false;
    if (s->waited_at_release) {
      ++s->checked;
      if (me == s->last_releaser) ++s->twice_in_a_row;
    }
    s->waited_at_release = false;
  });
  constexpr int kRounds = 2000;
  auto poll = [s] {
    for (int i = 0; i < kRounds; ++i) {
      while (!s->waiter_in_line.load() && !s->waiter_done.load()) std::this_thread::yield();
      Yield();
    }
  };
  runtime.StartMain([s, poll] {
    Start([s] {
      // Holding the lock now, so no longer in line (the observer could not tell it was this
      // thread that took it).
      s->waiter = std::this_thread::get_id();
      s->waiter_in_line = false;
      for (int i = 0; i < kRounds; ++i) {
        ReleaseRuntimeLock();
        const uint64_t ticket = ui::detail::DrawRuntimeLockTicket();
        s->waiter_in_line = true;
        ui::detail::AcquireRuntimeLockWithTicket(ticket);
      }
      s->waiter_done = true;
    });
    Start(poll);
    poll();
  });
  runtime.Join();
  TEST_SetRuntimeLockObserver(nullptr);
  EXPECT_EQ(s->twice_in_a_row, 0);
  EXPECT_GT(s->checked, 0);
}

TEST_F(ThreadTest, NoTwoThreadsEverHoldTheRuntimeLock) {
  // The observer runs while the lock is held: a second holder would find the slot taken.
  std::atomic<std::thread::id> holder{};
  std::atomic<int> overlaps{0};
  std::atomic<int> acquisitions{0};
  TEST_SetRuntimeLockObserver([&](bool acquired) {
    if (acquired) {
      std::thread::id none{};
      if (!holder.compare_exchange_strong(none, std::this_thread::get_id())) ++overlaps;
      ++acquisitions;
    } else {
      holder.store(std::thread::id{});
    }
  });
  auto counter = std::make_shared<int>(0);  // plain int: only the lock protects it
  runtime.StartMain([counter] {
    for (int t = 0; t < 4; ++t) {
      Start([counter] {
        for (int i = 0; i < 500; ++i) {
          ++*counter;
          Yield();
        }
      });
    }
    for (int i = 0; i < 500; ++i) {
      ++*counter;
      Yield();
    }
  });
  runtime.Join();
  TEST_SetRuntimeLockObserver(nullptr);
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_GE(acquisitions.load(), 2500);
  EXPECT_EQ(*counter, 2500);
}

TEST_F(ThreadTest, MessageGoesThroughTheInstalledHook) {
  display.dialogs().ExpectMessage("Plain", kButtonOk);
  runtime.StartMain([this] {
    SetSystemMessageHook([this](const MessageRequest& r) {
      log.Add("hook: " + r.text + " / " + r.caption + " / " + std::to_string(r.button_mask));
      return int32_t{kButtonNo};
    });
    log.Add("answer " +
            std::to_string(Message("Overwrite?", "Export", kIconQuestion, kButtonYes | kButtonNo)));
    log.Add("system property " + GetSystemProp(Prop::MessageHook));
    SetSystemMessageHook(nullptr);
    // Without the hook the standard box answers: the scripted dialogs here.
    log.Add("answer " + std::to_string(Message("Plain")));
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"hook: Overwrite? / Export / 6", "answer 4",
                                                   "system property 1", "answer 1"}));
}

TEST_F(ThreadTest, DialogsReleaseTheRuntimeLockWhileTheyWait) {
  // While thread 1 sits in a message box, thread 2 runs: the box is answered only after
  // thread 2 has set its mark, which it can do only with the runtime lock.
  std::atomic<bool> marked{false};
  display.SetDialogHook([&] {
    while (!marked.load()) std::this_thread::yield();
  });
  display.dialogs().ExpectMessage("Wait", kButtonOk);
  runtime.StartMain([&] {
    Start([&] { marked = true; });
    log.Add("answer " + std::to_string(Message("Wait")));
    log.Add(GetSystemProp(Prop::Modal).empty() ? "not modal" : "modal");
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"answer 1", "not modal"}));
}

TEST(RuntimeExit, HaltEndsTheProgramWhileOtherThreadsWaitForTheLock) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        HeadlessBackend display;
        Runtime runtime(display);
        runtime.StartMain([] {
          // Two threads that always want the lock are waiting for it when thread 1 halts.
          for (int t = 0; t < 2; ++t) {
            Start([] {
              for (;;) Yield();
            });
          }
          Yield();
          Halt(7);
        });
        runtime.Join();
      },
      ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace platform::ui
