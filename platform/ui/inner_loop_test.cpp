// A second loop on a window, run while its own loop handles an event: what it takes, what it
// leaves queued for the window's own loop, and how a close ends both.
#include "platform/ui/inner_loop.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/window_test.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"

namespace platform::ui {
namespace {

using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    Button("?OkButton", "&OK", {4, 4, 40, 14}),
    Button("?CloseButton", "&Close", {50, 4, 40, 14}).Std(StdAction::kClose),
};
constexpr WindowStructure kWindow{"test$inner", "P1$INNER",      WindowKind::kPlain,
                                  "Inner loop", {0, 0, 120, 40}, kControls};
constexpr FieldId kOkButton = kWindow.Equate("?OkButton");
constexpr FieldId kCloseButton = kWindow.Equate("?CloseButton");

constexpr EventId kGlide = 0x500;  // runs an inner loop that takes every event
constexpr EventId kFade = 0x501;   // runs an inner loop that takes only Timer events
constexpr EventId kLeave = 0x502;  // leaves the inner loop
constexpr EventId kWait = 0x503;   // runs an inner loop that takes only kLeave
constexpr EventId kOther = 0x510;
constexpr EventId kDeferred = 0x999;
constexpr EventId kReplay = 0xFFF;
constexpr int kFadeTicks = 3;

std::string Describe(EventId e, FieldId f) { return std::to_string(e) + "@" + std::to_string(f); }

bool TimerOnly(EventId e) { return e == kEventTimer; }

class InnerLoopTest : public WindowTest {
 protected:
  // The window's procedure logs each event of its own loop as "outer", each of an inner
  // loop as "inner", and the event its own loop has again after an inner loop as "back".
  void StartProcedure(bool fade_at_open = false) {
    runtime.StartMain([this, fade_at_open] {
      Window window(kWindow);
      window.Open();
      if (fade_at_open) RunInner(window, TimerOnly);
      while (window.Accept()) {
        log.Add("outer " + Describe(Event(), Field()));
        const bool glide =
            Event() == kGlide || (Event() == kEventAccepted && Field() == kCloseButton);
        if (glide) RunInner(window, {});
        if (Event() == kFade) RunInner(window, TimerOnly);
        if (Event() == kWait) RunInner(window, [](EventId e) { return e == kLeave; });
        if (glide || Event() == kFade || Event() == kWait) {
          log.Add("back " + Describe(Event(), Field()));
        }
      }
      log.Add("outer ended");
    });
    w = user.Window("Inner loop");
  }

  // The window's procedure, handling `event` from the test: the log starts there.
  void StartWith(EventId event) {
    StartProcedure();
    log.Clear();
    PostToWindow(w, event);
    user.WaitUntilIdle();
  }

  void RunInner(Window& window, std::function<bool(EventId)> takes) {
    InnerLoop loop(window, std::move(takes));
    int timers = 0;
    for (;;) {
      if (!loop.Accept()) {
        log.Add("inner ended");
        return;
      }
      log.Add("inner " + Describe(Event(), Field()));
      if (Event() == kLeave) {
        // Posted meanwhile: waits for the window's own loop.
        window.Post(kOther);
        break;
      }
      if (Event() == kEventTimer && ++timers == kFadeTicks) break;
    }
    log.Add("left");
  }

  void FireTimers(int n) {
    for (int i = 0; i < n; ++i) {
      user.FireTimer(w);
      user.WaitUntilIdle();
    }
  }

  // The log of a fade run from the window's own loop: its timers, then the loop goes on.
  static std::vector<std::string> FadeLines() {
    std::vector<std::string> lines{"outer " + Describe(kFade, 0)};
    lines.insert(lines.end(), kFadeTicks, "inner " + Describe(kEventTimer, 0));
    lines.push_back("left");
    lines.push_back("back " + Describe(kFade, 0));
    return lines;
  }
  static std::vector<std::string> Then(std::vector<std::string> lines,
                                       const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
  }

  WindowHandle w = 0;
};

TEST_F(InnerLoopTest, TheOuterLoopGoesOnWithTheEventItHandledAndWhatWasPostedMeanwhile) {
  StartWith(kGlide);
  // All three arrive before the window's thread takes any: it needs the lock to go on, so the
  // replay is queued before leaving the inner loop posts its own event.
  AcquireRuntimeLock();
  PostToWindow(w, kDeferred);
  PostToWindow(w, kLeave);
  PostToWindow(w, kReplay);
  ReleaseRuntimeLock();
  user.WaitUntilIdle();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "outer " + Describe(kGlide, 0),
                             "inner " + Describe(kDeferred, 0),
                             "inner " + Describe(kLeave, 0),
                             "left",
                             "back " + Describe(kGlide, 0),
                             "outer " + Describe(kReplay, 0),
                             "outer " + Describe(kOther, 0),
                         }));
}

TEST_F(InnerLoopTest, TheOuterEventKeepsItsDefaultAction) {
  StartProcedure();
  log.Clear();
  user.Click(w, kCloseButton);
  PostToWindow(w, kLeave);
  user.WaitUntilIdle();
  // The close button's Accepted closes the window once the outer loop goes on: its
  // CloseWindow comes before what was posted.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "outer " + Describe(kEventAccepted, kCloseButton),
                             "inner " + Describe(kLeave, 0),
                             "left",
                             "back " + Describe(kEventAccepted, kCloseButton),
                             "outer " + Describe(kEventCloseWindow, 0),
                             "outer ended",
                         }));
}

TEST_F(InnerLoopTest, ALoopOfTimersLeavesEveryOtherEventQueuedInOrder) {
  StartWith(kFade);
  PostToWindow(w, kDeferred);
  user.Click(w, kOkButton);
  PostToWindow(w, kReplay);
  user.WaitUntilIdle();
  FireTimers(kFadeTicks);
  EXPECT_EQ(log.lines(), Then(FadeLines(), {
                                               "outer " + Describe(kDeferred, 0),
                                               "outer " + Describe(kEventAccepted, kOkButton),
                                               "outer " + Describe(kReplay, 0),
                                           }));
}

TEST_F(InnerLoopTest, ALoopBeforeTheWindowsOwnLoopLeavesItsOpenWindow) {
  StartProcedure(/*fade_at_open=*/true);
  PostToWindow(w, kDeferred);
  user.WaitUntilIdle();
  FireTimers(kFadeTicks);
  const std::string timer = "inner " + Describe(kEventTimer, 0);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             timer,
                             timer,
                             timer,
                             "left",
                             "outer " + Describe(kEventOpenWindow, 0),
                             "outer " + Describe(kDeferred, 0),
                         }));
}

TEST_F(InnerLoopTest, ACloseTakenByTheInnerLoopEndsBothLoops) {
  StartWith(kGlide);
  user.CloseBox(w);
  user.WaitUntilIdle();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "outer " + Describe(kGlide, 0),
                             "inner " + Describe(kEventCloseWindow, 0),
                             "inner ended",
                             "back " + Describe(kGlide, 0),
                             "outer ended",
                         }));
  EXPECT_FALSE(runtime.running());
}

TEST_F(InnerLoopTest, ACloseDuringALoopOfTimersWaitsForTheWindowsOwnLoop) {
  StartWith(kFade);
  user.CloseBox(w);
  user.WaitUntilIdle();
  FireTimers(kFadeTicks);
  EXPECT_EQ(log.lines(),
            Then(FadeLines(), {"outer " + Describe(kEventCloseWindow, 0), "outer ended"}));
}

TEST_F(InnerLoopTest, TimerTicksDoNotPileUpBehindALoopThatTakesNone) {
  StartWith(kWait);
  FireTimers(kFadeTicks);
  PostToWindow(w, kLeave);
  user.WaitUntilIdle();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "outer " + Describe(kWait, 0),
                             "inner " + Describe(kLeave, 0),
                             "left",
                             "back " + Describe(kWait, 0),
                             "outer " + Describe(kEventTimer, 0),
                             "outer " + Describe(kOther, 0),
                         }));
}

}  // namespace
}  // namespace platform::ui
