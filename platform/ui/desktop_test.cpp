// The desktop services and the screen cursor they share with the user: the cursor the user
// moves is the one GetCursorPos reads, and a button pressed there reaches the control under it.
#include "platform/ui/desktop.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    Button("?OkButton", "&Ok", {4, 4, 40, 14}),
};
// At (10, 20) dialog units the frame's corner is at (20, 40) pixels and the client area at
// (24, 63): the button covers x 32 to 111 and y 71 to 98 of the screen.
constexpr WindowStructure kWindow{"test$desktop", "P1$WINDOW",       WindowKind::kPlain,
                                  "Desktop",      {10, 20, 120, 60}, kControls};
constexpr FieldId kOk = kWindow.Equate("?OkButton");

class DesktopTest : public WindowTest {
 protected:
  // The program logs where the cursor was at each Accepted of the button.
  void OpenWindow() {
    runtime.StartMain([this] {
      Window window(kWindow);
      window.Open();
      SetCursorPos(5, 6);
      while (window.Accept()) {
        if (Event() == kEventAccepted && Field() == kOk) {
          const region::Point at = GetCursorPos();
          log.Add("ok at " + std::to_string(at.x) + "," + std::to_string(at.y));
        }
      }
    });
    user.Window("Desktop");
  }
};

TEST_F(DesktopTest, TheUsersCursorIsTheOneTheProgramReadsAndSets) {
  OpenWindow();
  EXPECT_EQ(user.Cursor().x, 5);
  EXPECT_EQ(user.Cursor().y, 6);
  user.MoveCursor(40, 80);
  user.PressButton();
  user.ReleaseButton();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"ok at 40,80"}));
  // The user's own presses are not the program's synthesized ones.
  EXPECT_TRUE(display.synthesized_buttons().empty());
}

TEST_F(DesktopTest, APressReachesOnlyTheControlUnderTheCursorWithTheLeftButton) {
  OpenWindow();
  struct Case {
    region::Point at;
    int32_t button;
    bool clicks;
  } cases[] = {
      {{32, 71}, 1, true},     // the button's first pixel
      {{111, 98}, 1, true},    // and its last
      {{112, 80}, 1, false},   // beside it, in the window
      {{40, 80}, 2, false},    // the right button
      {{500, 500}, 1, false},  // outside every window
  };
  for (const Case& c : cases) {
    log.Clear();
    user.MoveCursor(c.at.x, c.at.y);
    user.PressButton(c.button);
    user.ReleaseButton(c.button);
    EXPECT_EQ(log.lines().size(), c.clicks ? 1u : 0u) << c.at.x << "," << c.at.y;
  }
}

}  // namespace
}  // namespace platform::ui
