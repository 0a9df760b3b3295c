#include "platform/ui/forwarding_backend.h"

#include <gtest/gtest.h>

#include "platform/testing/scripted_display.h"

namespace platform::ui {
namespace {

// A decorator that changes one answer and counts one command; everything else is the base's.
class WideFont final : public ForwardingBackend {
 public:
  using ForwardingBackend::ForwardingBackend;
  TextMetrics Metrics() const override { return {12, 20}; }
  void Beep(int32_t sound) override {
    ++beeps;
    ForwardingBackend::Beep(sound);
  }
  int beeps = 0;
};

TEST(ForwardingBackend, ADecoratorOverridesOneCallAndForwardsTheRest) {
  testing::ScriptedDisplay display;
  display.ExpectPopup("One|Two", 2);
  WideFont wide(display);
  DisplayBackend& backend = wide;

  EXPECT_EQ(backend.Metrics().average_char_width_px, 12);
  backend.Beep(0);
  EXPECT_EQ(wide.beeps, 1);
  EXPECT_EQ(display.beeps(), 1);
  EXPECT_EQ(backend.SystemMetric(4), display.SystemMetric(4));
  backend.SetMousePosition(30, 40);
  EXPECT_EQ(display.MousePosition().x, 30);
  EXPECT_EQ(backend.ShowPopup({"One|Two", 0, 0}), 2);
  backend.ProgramEnded();
  EXPECT_TRUE(display.program_ended());
}

}  // namespace
}  // namespace platform::ui
