#include "splash/splash_class.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/headless/virtual_clock.h"
#include "platform/region/region_testing.h"
#include "platform/region/shapes.h"
#include "platform/testing/scripted_display.h"
#include "platform/testing/scripted_user.h"
#include "platform/testing/window_test.h"
#include "platform/ui/thread.h"
#include "splash/outline_points.h"
#include "splash/recording_backend.h"

namespace splash {
namespace {

using platform::headless::MirrorWindow;
using platform::headless::VirtualClock;
using platform::region::CombineMode;
using platform::region::CreateEllipticRgn;
using platform::region::Point;
using platform::region::Rect;
using platform::region::Region;
using platform::testing::Log;
using platform::testing::ScriptedDisplay;
using platform::testing::ScriptedUser;
using platform::ui::WindowHandle;

using Shapes = std::vector<std::shared_ptr<const Region>>;

// The headless frame is 4 pixels wide and the caption 19 high: the outline moves by
// (4, 4 + 19 - 1). The window is 254 x 185 dialog units, 508 x 370 pixels; the outline reaches
// down to 387, so the window grows to 195 units (390 pixels) to show it whole.
constexpr int32_t kDx = 4;
constexpr int32_t kDy = 22;
constexpr float kCentreX = 254.0f;
constexpr float kCentreY = 195.0f;

Region Polygon(int n) {
  std::vector<Point> points;
  for (const OutlinePoint& p : SplashOutline(n)) points.push_back({p.x + kDx, p.y + kDy});
  return platform::region::CreatePolygonRgn(points, platform::region::FillMode::kWinding);
}

Region Outline() {
  Region r;
  for (int n = 1; n <= 5; ++n) r = Region::Combine(r, Polygon(n), CombineMode::kXor);
  return r;
}

// What a circle step of size r shows.
Region Step(float r) {
  const Region circle =
      CreateEllipticRgn(static_cast<int32_t>(kCentreX - r), static_cast<int32_t>(kCentreY - r),
                        static_cast<int32_t>(kCentreX + r), static_cast<int32_t>(kCentreY + r));
  return Region::Combine(circle, Outline(), CombineMode::kAnd);
}

class SplashTest : public ::testing::Test {
 protected:
  // Thread 1 shows the splash and then logs how many windows are left open.
  void StartSplash(uint8_t seconds) {
    runtime.StartMain([this, seconds] {
      splash.SplashWindow(seconds);
      log.Add("went on with " + std::to_string(display.Windows().size()) + " windows open");
    });
    user.WaitUntilIdle();
    const std::vector<MirrorWindow> windows = display.Windows();
    ASSERT_EQ(windows.size(), 1u);
    view = windows[0].view;
  }

  Shapes StepsShown() const { return recorder.Shapes(view.handle); }

  void TearDown() override {
    for (const MirrorWindow& w : display.Windows()) user.CloseBox(w.view.handle);
    runtime.Join();
  }

  // Declared in the order they are built; the runtime joins thread 1 before the splash
  // object and the displays go away.
  ScriptedDisplay display;
  testing::RecordingBackend recorder{display};
  ZOVSplashClass splash;
  platform::ui::Runtime runtime{recorder};
  ScriptedUser user{runtime, display};
  VirtualClock clock{runtime, display};
  Log log;
  platform::ui::WindowView view;
};

TEST_F(SplashTest, OpensByAGrowingCircleAndHoldsOnTop) {
  StartSplash(10);
  EXPECT_EQ(view.module, "zovsplash");
  EXPECT_EQ(view.label, "P1$WINDOW");
  EXPECT_EQ(view.title, " ");
  EXPECT_EQ(view.properties.at({static_cast<int32_t>(platform::ui::Prop::TopMost), 0}), "1");
  const Shapes steps = StepsShown();
  // The window is wider than high: the circle grows from 1 by 4 up to its width, 508.
  ASSERT_EQ(steps.size(), 127u);
  for (size_t i : {size_t{0}, size_t{1}, size_t{63}, size_t{126}}) {
    SCOPED_TRACE(i);
    ASSERT_NE(steps[i], nullptr);
    EXPECT_EQ(*steps[i], Step(1.0f + 4.0f * static_cast<float>(i)));
  }
  // The first step is the outline within a pixel of the centre, the last the whole outline.
  EXPECT_TRUE(steps[0]->BoundingBox().left >= 253 && steps[0]->BoundingBox().right <= 255);
  EXPECT_EQ(*steps.back(), Outline());
  EXPECT_EQ(splash.R1, Outline());
  EXPECT_EQ(splash.DX, kDx);
  EXPECT_EQ(splash.DY, kDy);
  // Holding: the display time in hundredths, "&Continue" shown, the caller still waiting.
  EXPECT_EQ(view.timer, 1000);
  platform::ui::ControlView button = user.Control(view.handle, 4);
  EXPECT_EQ(button.equate, "?CLOSEBUTTON");
  EXPECT_EQ(button.text, "&Continue");
  EXPECT_TRUE(button.visible);
  EXPECT_TRUE(log.lines().empty());
}

TEST_F(SplashTest, StaysTenSecondsThenClosesByAShrinkingCircleBeforeTheCallerGoesOn) {
  StartSplash(10);
  clock.Advance(999);
  EXPECT_EQ(StepsShown().size(), 127u);
  EXPECT_TRUE(log.lines().empty());
  clock.Advance(1);
  const Shapes steps = StepsShown();
  // 127 steps down from 508 by 4 to 4.
  ASSERT_EQ(steps.size(), 254u);
  EXPECT_EQ(*steps[127], Step(508.0f));
  EXPECT_EQ(*steps[128], Step(504.0f));
  EXPECT_EQ(*steps.back(), Step(4.0f));
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"went on with 0 windows open"}));
  EXPECT_FALSE(runtime.running());
}

TEST_F(SplashTest, ContinueCutsTheHoldShort) {
  StartSplash(10);
  user.Click(view.handle, "?CLOSEBUTTON");
  EXPECT_EQ(clock.now(), 0);
  EXPECT_EQ(StepsShown().size(), 254u);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"went on with 0 windows open"}));
}

TEST_F(SplashTest, ItsLinesAndTheContinueButtonLieWithinTheOutline) {
  StartSplash(10);
  const std::optional<MirrorWindow> w = display.FindWindow(view.handle);
  ASSERT_TRUE(w.has_value());
  ASSERT_EQ(w->controls.size(), 4u);
  for (const auto& [field, c] : w->controls) {
    SCOPED_TRACE(c.equate);
    // The client area begins inside the frame (4) and below the caption (19) and frame.
    const platform::ui::RectDu px = platform::ui::PixelsFromDialogUnits(c.at, display.Metrics());
    const Region control = platform::region::CreateRectRgn(px.x + 4, px.y + 23, px.x + 4 + px.width,
                                                           px.y + 23 + px.height);
    EXPECT_EQ(Region::Combine(control, splash.R1, CombineMode::kDiff), Region());
  }
}

TEST_F(SplashTest, OverlappingPolygonsCutHolesInTheOutline) {
  StartSplash(10);
  const Region polygon1 = Polygon(1);
  // Polygons 2 and 5 lie inside the outer outline: where they are, the desktop shows.
  for (int n : {2, 5}) {
    SCOPED_TRACE(n);
    const Region inside = Region::Combine(Polygon(n), polygon1, CombineMode::kAnd);
    ASSERT_FALSE(inside.empty());
    EXPECT_TRUE(Region::Combine(inside, splash.R1, CombineMode::kAnd).empty());
  }
  EXPECT_EQ(splash.R1.BoundingBox(), (Rect{38 + kDx, 0 + kDy, 478 + kDx, 364 + kDy}));
  EXPECT_LT(splash.R1.PixelCount(), polygon1.PixelCount());
}

}  // namespace
}  // namespace splash
