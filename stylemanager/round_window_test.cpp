// Rounded corners: the outline a window gets from its roundness, compared pixel for pixel with
// the region library's rounded rectangle of the window's outer size.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/region/region_testing.h"
#include "platform/region/shapes.h"
#include "platform/testing/window_test.h"
#include "platform/ui/desktop.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {
namespace {

namespace ui = platform::ui;
using platform::region::CreateRectRgn;
using platform::region::CreateRoundRectRgn;
using platform::region::Region;

constexpr ui::WindowStructure kPlain{"test$round", "P1$WINDOW",       ui::WindowKind::kPlain,
                                     "Rounded",    {10, 20, 100, 50}, {}};
constexpr ui::WindowStructure kFrame{"test$round", "P1$FRAME",       ui::WindowKind::kFrame,
                                     "Frame",      {0, 0, 300, 200}, {}};

class RoundWindowTest : public platform::testing::WindowTest {};

TEST_F(RoundWindowTest, TheOutlineIsTheRoundedOuterRectangleEdgeTrimmedExceptForTheFrame) {
  // Headless: 2 pixels a dialog unit, frames 4, caption 19, edges 2. The plain window is
  // 208 by 127 pixels outside, the frame 608 by 427.
  struct Case {
    std::string_view name;
    const ui::WindowStructure* structure;
    std::optional<uint8_t> before;  // a roundness given first
    uint8_t roundness;
    std::optional<Region> expected;  // nullopt: the plain rectangle, no outline
  };
  const Case cases[] = {
      {"0FFh on an unrounded window", &kPlain, std::nullopt, 0xFF, std::nullopt},
      {"0FFh on a rounded window", &kPlain, 20, 0xFF, std::nullopt},
      {"0 gives the trimmed rectangle", &kPlain, std::nullopt, 0, CreateRectRgn(2, 2, 206, 125)},
      {"rounded and trimmed", &kPlain, std::nullopt, 20,
       CreateRoundRectRgn(2, 2, 206, 125, 20, 20)},
      {"a new roundness replaces the old", &kPlain, 40, 10,
       CreateRoundRectRgn(2, 2, 206, 125, 10, 10)},
      {"the frame is not trimmed", &kFrame, std::nullopt, 30,
       CreateRoundRectRgn(0, 0, 608, 427, 30, 30)},
      {"the frame's 0 is its whole rectangle", &kFrame, std::nullopt, 0,
       CreateRectRgn(0, 0, 608, 427)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<Region> shape;
    RectGroup rect;
    runtime.StartMain([&] {
      ZOVStylemanagerClass manager;
      ui::Window window(*c.structure);
      window.Open();
      if (c.before) manager.RoundWindow(&window, *c.before);
      manager.RoundWindow(&window, c.roundness);
      if (window.shape() != nullptr) shape = *window.shape();
      rect = manager.WINDOWRECT;
    });
    runtime.Join();
    EXPECT_EQ(shape.has_value(), c.expected.has_value());
    if (shape && c.expected) {
      EXPECT_EQ(*shape, *c.expected) << ::testing::PrintToString(
          platform::region::testing::Draw(*shape, shape->BoundingBox()));
    }
    const int32_t width = c.structure == &kFrame ? 608 : 208;
    const int32_t height = c.structure == &kFrame ? 427 : 127;
    EXPECT_EQ(rect.RIGHT - rect.LEFT, width);
    EXPECT_EQ(rect.BOTTOM - rect.TOP, height);
  }
}

TEST_F(RoundWindowTest, WithoutAWindowTheTargetIsRoundedAndTheRectangleIsOnTheScreen) {
  std::optional<Region> shape;
  RectGroup rect;
  runtime.StartMain([&] {
    ZOVStylemanagerClass manager;
    ui::Window window(kPlain);
    window.Open();
    manager.RoundWindow(nullptr, 16);
    if (window.shape() != nullptr) shape = *window.shape();
    rect = manager.WINDOWRECT;
  });
  runtime.Join();
  ASSERT_TRUE(shape.has_value());
  EXPECT_EQ(*shape, CreateRoundRectRgn(2, 2, 206, 125, 16, 16));
  EXPECT_EQ(rect.LEFT, 20);
  EXPECT_EQ(rect.TOP, 40);
}

}  // namespace
}  // namespace stylemanager
