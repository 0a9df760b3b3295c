// Fading by a square outline: where opacity cannot be shown the window ends with the square
// of its larger side fading in, and with the smallest square fading out.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "platform/region/shapes.h"
#include "platform/ui/structure.h"
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

}  // namespace
}  // namespace restyle
