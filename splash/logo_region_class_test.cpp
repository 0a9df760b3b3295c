#include "splash/logo_region_class.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/region/region_testing.h"
#include "platform/region/shapes.h"
#include "platform/testing/window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "splash/outline_points.h"

namespace splash {
namespace {

using platform::region::Point;
using platform::region::Rect;
using platform::region::Region;
using namespace platform::ui;

// Under the close button, one covering the whole window, so a click anywhere on the window
// reaches one of its controls.
constexpr ControlDecl kControls[] = {
    Button("?CloseButton", "&Close", {4, 4, 40, 14}).Std(StdAction::kClose),
    Button("?Cover", "", {0, 0, 380, 300}),
};
constexpr WindowStructure kWindow{"test$logo",   "P1$WINDOW",      WindowKind::kPlain,
                                  "Logo window", {0, 0, 380, 300}, kControls};
constexpr FieldId kCover = kWindow.Equate("?Cover");

// A larger window at the same place, covered by one button, for the logo window to lie on.
constexpr ControlDecl kBehindControls[] = {
    Button("?Behind", "", {0, 0, 400, 320}),
};
constexpr WindowStructure kBehindWindow{"test$behind", "P2$WINDOW",      WindowKind::kPlain,
                                        "Behind",      {0, 0, 400, 320}, kBehindControls};
constexpr FieldId kBehind = kBehindWindow.Equate("?Behind");

// The headless frame is 4 pixels wide and the caption 19 high.
constexpr int32_t kDx = 4;
constexpr int32_t kDy = 4 + 19;

class LogoRegionTest : public platform::testing::WindowTest {
 protected:
  // Opens the window, shapes it and waits in its loop.
  Region BuildOnWindow() {
    runtime.StartMain([] {
      Window window(kWindow);
      window.Open();
      ZOVLogoRegionClass logo;
      logo.BuildLogoRegion();
      while (window.Accept()) {
      }
    });
    const WindowHandle w = user.Window("Logo window");
    const auto shape = display.FindWindow(w)->view.shape;
    return shape ? *shape : Region();
  }
};

TEST_F(LogoRegionTest, OutlinesComeInTheirOrderAtTheirOffsets) {
  struct Case {
    void (ZOVLogoRegionClass::*add)(LogoPointQueue&);
    size_t count;
    int16_t x0, y0;  // the first vertex
  };
  const Case kCases[] = {
      {&ZOVLogoRegionClass::AddLogoPoints1, 223, 4, 284},
      {&ZOVLogoRegionClass::AddLogoPoints2, 223, 4 + 91, 284 + 138},
      {&ZOVLogoRegionClass::AddLogoPoints3, 223, 4 + 102, 284 - 136},
      {&ZOVLogoRegionClass::AddLogoPoints4, 523, 284, 293},
      {&ZOVLogoRegionClass::AddLogoPoints5, 223, 4 + 574, 284 + 5},
      {&ZOVLogoRegionClass::AddLogoPoints6, 223, 4 + 295, 284 + 220},
      {&ZOVLogoRegionClass::AddLogoPoints7, 223, 4 + 310, 284 - 228},
      {&ZOVLogoRegionClass::AddLogoPoints8, 223, 4 + 500, 284 + 140},
      {&ZOVLogoRegionClass::AddLogoPoints9, 223, 4 + 513, 284 - 133},
  };
  ZOVLogoRegionClass logo;
  int n = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(++n);
    LogoPointQueue points;
    points.buffer.X = 7;  // a row already there stays in front
    points.Add();
    (logo.*c.add)(points);
    ASSERT_EQ(points.Records(), c.count + 1);
    EXPECT_EQ(points.entry(2).X, c.x0);
    EXPECT_EQ(points.entry(2).Y, c.y0);
    EXPECT_EQ(points.entry(c.count + 1).X, c.x0);  // closed
    EXPECT_EQ(points.entry(c.count + 1).Y, c.y0);
  }
}

TEST_F(LogoRegionTest, ShapesTheTargetWindowInsideItsFrameAndCaption) {
  const Region logo = BuildOnWindow();
  // The logo spans 3-749 by 5-571 before the offsets; right and bottom edges are outside.
  EXPECT_EQ(logo.BoundingBox(), (Rect{3 + kDx, 5 + kDy, 749 + kDx, 571 + kDy}));
  EXPECT_EQ(logo.PixelCount(), 177308);
  // The outlines do not overlap, so their exclusive or holds every pixel of each.
  int64_t sum = 0;
  ZOVLogoRegionClass maker;
  void (ZOVLogoRegionClass::*const adds[])(LogoPointQueue&) = {
      &ZOVLogoRegionClass::AddLogoPoints1, &ZOVLogoRegionClass::AddLogoPoints2,
      &ZOVLogoRegionClass::AddLogoPoints3, &ZOVLogoRegionClass::AddLogoPoints4,
      &ZOVLogoRegionClass::AddLogoPoints5, &ZOVLogoRegionClass::AddLogoPoints6,
      &ZOVLogoRegionClass::AddLogoPoints7, &ZOVLogoRegionClass::AddLogoPoints8,
      &ZOVLogoRegionClass::AddLogoPoints9};
  for (auto add : adds) {
    LogoPointQueue points;
    (maker.*add)(points);
    std::vector<Point> vertices;
    for (size_t i = 1; i <= points.Records(); ++i) {
      vertices.push_back({points.entry(i).X + kDx, points.entry(i).Y + kDy});
    }
    sum += platform::region::CreatePolygonRgn(vertices, platform::region::FillMode::kWinding)
               .PixelCount();
  }
  EXPECT_EQ(logo.PixelCount(), sum);
}

TEST_F(LogoRegionTest, AClickBetweenTwoSmallFiguresFallsThrough) {
  // The logo window opens over the window behind it, on a thread of its own.
  runtime.StartMain([this] {
    Window behind(kBehindWindow);
    behind.Open();
    Start([this] {
      Window window(kWindow);
      window.Open();
      ZOVLogoRegionClass logo;
      logo.BuildLogoRegion();
      while (window.Accept()) {
        if (Event() == kEventAccepted) log.Add("logo " + std::to_string(Field()));
      }
    });
    while (behind.Accept()) {
      if (Event() == kEventAccepted) log.Add("behind " + std::to_string(Field()));
    }
  });
  const WindowHandle w = user.Window("Logo window");
  const auto shape = display.FindWindow(w)->view.shape;
  ASSERT_NE(shape, nullptr);
  const Region& logo = *shape;
  // Figure 1 spans x 3-175, figure 3 begins at x 105 but lies above (y 97-215), figure 2
  // below (y 371-489): the point (90 + dx, 360 + dy) lies between figures 1 and 2.
  EXPECT_FALSE(logo.Contains(90 + kDx, 360 + kDy));
  // The centres of a small figure and of the central figure are inside.
  EXPECT_TRUE(logo.Contains(89 + kDx, 292 + kDy));
  EXPECT_TRUE(logo.Contains(378 + kDx, 290 + kDy));

  // Clicked there: both windows lie at (0, 0), so the window's pixels are the screen's.
  struct Case {
    int32_t x, y;
    std::string reaches;
  };
  const Case kCases[] = {
      {90 + kDx, 360 + kDy, "behind " + std::to_string(kBehind)},
      {89 + kDx, 292 + kDy, "logo " + std::to_string(kCover)},
      {378 + kDx, 290 + kDy, "logo " + std::to_string(kCover)},
      // Right of the logo's bounding box, still inside the logo window's rectangle.
      {752 + kDx, 300 + kDy, "behind " + std::to_string(kBehind)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    log.Clear();
    display.SetMousePosition(c.x, c.y);
    display.SynthesizeMouseButton(1, true);
    display.SynthesizeMouseButton(1, false);
    user.WaitUntilIdle();
    EXPECT_EQ(log.lines(), std::vector<std::string>{c.reaches});
  }
}

}  // namespace
}  // namespace splash
