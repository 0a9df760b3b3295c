// Fading by a square outline: where opacity cannot be shown the window ends with the square
// of its larger side fading in, and with the smallest square fading out. Fading by opacity,
// on the virtual clock: the levels shown step by step, and the window's other events kept.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/clock.h"
#include "platform/headless/virtual_clock.h"
#include "platform/region/shapes.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/forwarding_backend.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"
#include "stylemanager/stylemanager_test_support.h"

namespace restyle {
namespace {

namespace ui = platform::ui;

constexpr ui::WindowStructure kChild{"test$fade", "P1$CHILD",      ui::WindowKind::kMdiChild,
                                     "Child",     {0, 0, 100, 50}, {}};

class RegionFadeTest : public stylemanager::testing::StyleManagerFixture {};

TEST_F(RegionFadeTest, AnMdiChildFadesBySquaresAroundItsCentre) {
  struct Case {
    std::string_view name;
    uint8_t fade_in;
    int32_t r;  // of the last square, pixels
  };
  const Case cases[] = {{"in ends with the larger side", 1, -1}, {"out ends with 1", 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OnThread1([&] {
      ui::Window window(kChild);
      ZOVRestyleClass restyle;
      Open(restyle, window, "Faded");
      window.Set(0, ui::Prop::Pixels, "1");
      const int32_t w = std::stoi(window.Get(0, ui::Prop::Width));
      const int32_t h = std::stoi(window.Get(0, ui::Prop::Height));
      window.Set(0, ui::Prop::Pixels, "");
      const int32_t r = c.r < 0 ? std::max(w, h) : c.r;
      restyle.FadeWindow(window, c.fade_in, 0, 1, 1, 0, 1, 0);
      ASSERT_NE(window.shape(), nullptr);
      EXPECT_EQ(*window.shape(),
                platform::region::CreateRectRgn(w / 2 - r, h / 2 - r, w / 2 + r, h / 2 + r));
      EXPECT_EQ(window.Get(0, ui::Prop::Pixels), "");
      window.Close();
    });
  }
}

constexpr ui::WindowStructure kPlain{"test$fade", "P1$PLAIN",      ui::WindowKind::kPlain,
                                     "Plain",     {0, 0, 100, 50}, {}};
constexpr ui::EventId kLate = 0x999;

// Passes every call on and keeps each opacity a window was shown with, in order.
class OpacityRecorder final : public ui::ForwardingBackend {
 public:
  using ForwardingBackend::ForwardingBackend;
  std::vector<std::string> Levels() const {
    std::lock_guard lock(mutex_);
    return levels_;
  }
  // The next level shown holds its thread until Release: a slow step.
  void HoldNextLevel() {
    std::lock_guard lock(mutex_);
    hold_ = true;
  }
  void WaitUntilHeld() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return held_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    hold_ = held_ = false;
    changed_.notify_all();
  }
  void UpdateWindow(const ui::WindowView& window) override {
    {
      std::unique_lock lock(mutex_);
      const auto it = window.properties.find({static_cast<int32_t>(ui::Prop::Opacity), 0});
      if (it != window.properties.end() && (levels_.empty() || levels_.back() != it->second)) {
        levels_.push_back(it->second);
        if (hold_) {
          held_ = true;
          changed_.notify_all();
          changed_.wait(lock, [&] { return !hold_; });
        }
      }
    }
    ForwardingBackend::UpdateWindow(window);
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool hold_ = false;
  bool held_ = false;
  std::vector<std::string> levels_;
};

class LayeredFadeTest : public stylemanager::testing::StyleManagerFixture {
 protected:
  // Fades a plain window with `fading` stored as its "Fade windows" value (none when empty),
  // its OpenWindow and a 999h waiting, on thread 1 while the clock ticks; the events the
  // window's own loop gets afterwards go to `after`.
  // On thread 1: starts the style manager without fading on open, opens `window` and
  // attaches it to `restyle`.
  void OpenUnfaded(ui::Window& window, ZOVRestyleClass& restyle) {
    manager.Init(0x653);
    manager.USEFADING = 0;
    Open(restyle, window, "Faded");
  }

  // Starts thread 1 fading a plain window in; its handle goes to `faded`, and `after` runs
  // once the fade has returned, before the window closes.
  void StartFadeIn(ui::Runtime& runtime, std::atomic<ui::WindowHandle>& faded,
                   std::function<void(ui::Window&)> after) {
    runtime.StartMain([this, &faded, after = std::move(after)] {
      ui::Window window(kPlain);
      ZOVRestyleClass restyle;
      OpenUnfaded(window, restyle);
      faded = window.handle();
      restyle.FadeWindow(window, 1, 0, 1, 1, 0, 1, 0);
      after(window);
      window.Close();
      manager.Shutdown();
    });
  }

  std::vector<std::string> Fade(std::string_view fading, uint8_t fade_in) {
    display.TEST_SetShowsOpacity(true);
    OpacityRecorder recorder{display};
    ui::Runtime runtime{recorder};
    platform::headless::VirtualClock clock{runtime, display};
    std::atomic<bool> done = false;
    runtime.StartMain([&] {
      ui::Window window(kPlain);
      ZOVRestyleClass restyle;
      OpenUnfaded(window, restyle);
      if (!fading.empty()) Store(restyle, false, "ControlType 25", kFadeWindows, fading);
      // The window's own OpenWindow waits in its queue already.
      window.Post(kLate);
      restyle.FadeWindow(window, fade_in, 0, 1, 1, 0, 1, 0);
      timer_after = window.Get(0, ui::Prop::Timer);
      while (window.Accept()) {
        after.push_back(window.event().event);
        if (window.event().event == kLate) break;
      }
      window.Close();
      manager.Shutdown();
      done = true;
    });
    for (int i = 0; i < 2000 && !done; ++i) clock.Advance(1);
    runtime.Join();
    return recorder.Levels();
  }

  // The levels a fade by `step` shows, as alpha values, ending whole or gone.
  static std::vector<std::string> Steps(int32_t step, bool fade_in) {
    std::vector<std::string> out;
    for (int32_t level = fade_in ? 1 + step : 100 - step; fade_in ? level <= 100 : level >= 1;
         level += fade_in ? step : -step) {
      out.push_back(std::to_string(level * 255 / 100));
    }
    out.push_back(fade_in ? "255" : "0");
    return out;
  }

  std::vector<ui::EventId> after;
  std::string timer_after;
};

TEST_F(LayeredFadeTest, TheOpacityStepsByTheStoredSpeedAndTheWindowsEventsComeAfterwards) {
  struct Case {
    std::string_view fading;
    uint8_t fade_in;
    int32_t step;
  };
  const Case kCases[] = {
      {"", 1, 4}, {"", 0, 4}, {" 000", 1, 6}, {" 000", 0, 1}, {" 150", 0, 100}, {" 010", 0, 10},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.fading) + (c.fade_in == 1 ? " in" : " out"));
    after.clear();
    EXPECT_EQ(Fade(c.fading, c.fade_in), Steps(c.step, c.fade_in == 1));
    EXPECT_EQ(after, (std::vector<ui::EventId>{ui::kEventOpenWindow, kLate}));
    // The timer is off again.
    EXPECT_EQ(timer_after, "0");
  }
}

TEST_F(LayeredFadeTest, TimerTicksDuringASlowStepMakeOneStepAfterIt) {
  display.TEST_SetShowsOpacity(true);
  OpacityRecorder recorder{display};
  ui::Runtime runtime{recorder};
  platform::testing::ScriptedUser user{runtime, display};
  std::atomic<ui::WindowHandle> faded = 0;
  std::atomic<bool> done = false;
  recorder.HoldNextLevel();
  StartFadeIn(runtime, faded, [&](ui::Window&) { done = true; });
  runtime.WaitUntilIdle();
  ui::Input tick;
  tick.kind = ui::Input::Kind::kTimer;
  ui::PostInput(faded, tick);
  // The first step is shown slowly; five ticks run out meanwhile.
  recorder.WaitUntilHeld();
  for (int i = 0; i < 5; ++i) ui::PostInput(faded, tick);
  recorder.Release();
  runtime.WaitUntilIdle();
  EXPECT_EQ(recorder.Levels(), (std::vector<std::string>{"12", "22"}));
  for (int i = 0; i < 100 && !done; ++i) user.FireTimer(faded);
  runtime.Join();
  // The fade went on to its end, a step a tick; the window closed before showing it whole.
  EXPECT_TRUE(done);
  EXPECT_EQ(recorder.Levels().size(), Steps(4, true).size() - 1);
}

TEST_F(LayeredFadeTest, AFadeEndsWholeFiveSecondsAfterItBegan) {
  display.TEST_SetShowsOpacity(true);
  OpacityRecorder recorder{display};
  std::atomic<int64_t> now_ms = 0;
  const platform::MonotonicSource kept =
      platform::SetMonotonicSource([&] { return now_ms.load(); });
  ui::Runtime runtime{recorder};
  platform::testing::ScriptedUser user{runtime, display};
  std::atomic<ui::WindowHandle> faded = 0;
  std::string opacity_after;
  StartFadeIn(runtime, faded,
              [&](ui::Window& window) { opacity_after = window.Get(0, ui::Prop::Opacity); });
  runtime.WaitUntilIdle();
  user.FireTimer(faded);
  now_ms = 4999;
  user.FireTimer(faded);
  now_ms = 5000;
  user.FireTimer(faded);
  runtime.Join();
  platform::SetMonotonicSource(kept);
  EXPECT_EQ(recorder.Levels(), (std::vector<std::string>{"12", "22"}));
  EXPECT_EQ(opacity_after, "255");
}

}  // namespace
}  // namespace restyle
