// Keeping a restyled window inside the application frame, and inside the desktop when no
// frame is known.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"
#include "stylemanager/stylemanager_test_support.h"

namespace restyle {
namespace {

namespace ui = platform::ui;

constexpr ui::WindowStructure kFrame{"test$position", "P1$FRAME",       ui::WindowKind::kFrame,
                                     "Frame",         {0, 0, 300, 200}, {}};
constexpr ui::WindowStructure kChild{"test$position", "P1$CHILD",      ui::WindowKind::kMdiChild,
                                     "Child",         {0, 0, 100, 50}, {}};
constexpr ui::WindowStructure kPlain{"test$position", "P1$PLAIN",      ui::WindowKind::kPlain,
                                     "Plain",         {0, 0, 100, 50}, {}};

struct Placed {
  int32_t x, y, width, height;  // the window's before the check, dialog units
};

std::string At(const ui::Window& w) {
  return w.Get(0, ui::Prop::Xpos) + "," + w.Get(0, ui::Prop::Ypos) + " " +
         w.Get(0, ui::Prop::Width) + "x" + w.Get(0, ui::Prop::Height);
}

class CheckWindowPositionTest : public stylemanager::testing::StyleManagerFixture {
 protected:
  // Places a window of `structure` at `p`, checks its position and answers where it is.
  // With `frame` the application frame is open and known (300 by 200 units).
  std::string Check(const ui::WindowStructure& structure, bool frame, const Placed& p) {
    std::string at;
    OnThread1([&] {
      ui::Window frame_window(kFrame);
      ZOVRestyleClass frame_restyle;
      if (frame) Open(frame_restyle, frame_window, "Main");
      ui::Window window(structure);
      ZOVRestyleClass restyle;
      Open(restyle, window, "Checked");
      window.SetPosition(0, p.x, p.y, p.width, p.height);
      restyle.CheckWindowPosition();
      at = At(window);
      window.Close();
    });
    return at;
  }
};

TEST_F(CheckWindowPositionTest, AWindowEndingPastTheFrameMovesBackAndOneThatDoesNotFitGoesToZero) {
  struct Case {
    std::string_view name;
    Placed placed;
    std::string_view expected;
  };
  const Case cases[] = {
      {"inside stays", {10, 20, 100, 50}, "10,20 100x50"},
      {"ending on the edge stays", {200, 150, 100, 50}, "200,150 100x50"},
      {"5 out to the right moves 5 left", {205, 20, 100, 50}, "200,20 100x50"},
      {"5 out at the bottom moves 5 up", {10, 155, 100, 50}, "10,150 100x50"},
      {"20 wider than the frame goes to x 0", {10, 20, 320, 50}, "0,20 320x50"},
      {"as high as the frame goes to y 0", {10, 20, 100, 200}, "10,0 100x200"},
      {"out to the left and top is not moved", {-30, -10, 100, 50}, "-30,-10 100x50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Check(kChild, /*frame=*/true, c.placed), c.expected);
  }
}

TEST_F(CheckWindowPositionTest, WithoutAFrameTheWholeWindowIsKeptInsideTheDesktop) {
  // Headless: 2 pixels a unit; the window's outer rectangle is 8 pixels wider (frames) and 27
  // higher (frames and caption) than its 200 by 100 pixels. The desktop is 1024 by 768.
  struct Case {
    std::string_view name;
    Placed placed;
    std::string_view expected;
  };
  const Case cases[] = {
      {"inside stays", {100, 100, 100, 50}, "100,100 100x50"},
      {"the frame past the right edge moves back", {410, 100, 100, 50}, "408,100 100x50"},
      {"past the bottom moves up", {100, 330, 100, 50}, "100,320 100x50"},
      {"wider than the desktop goes to x 0", {50, 100, 520, 50}, "0,100 520x50"},
      {"out to the left and top is not moved", {-20, -20, 100, 50}, "-20,-20 100x50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Check(kPlain, /*frame=*/false, c.placed), c.expected);
  }
}

TEST_F(CheckWindowPositionTest, ADesktopThatDoesNotStartAtZeroCountsFromItsOwnCorner) {
  display.TEST_SetDesktopRect({100, 40, 700, 640});
  // Past the right edge: the outer right edge comes to 700 pixels (x 246 units); too wide:
  // the left edge to the desktop's, 100 pixels (50 units).
  EXPECT_EQ(Check(kPlain, false, {260, 60, 100, 50}), "246,60 100x50");
  EXPECT_EQ(Check(kPlain, false, {80, 60, 300, 50}), "50,60 300x50");
}

}  // namespace
}  // namespace restyle
