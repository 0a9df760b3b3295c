// Mouse presses beyond the left click, driven through the scripted user and the screen
// cursor: a right press anywhere has key code 2 for the alerts, and regions act on the press.
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
    Button("?Go", "&Go", {4, 4, 40, 14}).Alrt(kMouseRight),
    Entry("?Plain", {50, 4, 60, 10}),
    Decl(ControlType::kRegion, "?Grip", "", {4, 30, 10, 40}).Imm(),
    Decl(ControlType::kRegion, "?Header", "", {20, 30, 80, 12}),
    Decl(ControlType::kPanel, "?Caption", "", {20, 50, 80, 12}).Alrt(kMouseLeft),
    Button("?Quiet", "&Quiet", {110, 30, 40, 14}),
};
constexpr WindowStructure kWindow{"test$presses", "P1$WINDOW",     WindowKind::kPlain,
                                  "Presses",      {0, 0, 160, 80}, kControls};
constexpr FieldId kGo = kWindow.Equate("?Go");
constexpr FieldId kPlain = kWindow.Equate("?Plain");
constexpr FieldId kGrip = kWindow.Equate("?Grip");
constexpr FieldId kHeader = kWindow.Equate("?Header");
constexpr FieldId kCaption = kWindow.Equate("?Caption");
constexpr FieldId kQuiet = kWindow.Equate("?Quiet");

class PressTest : public WindowTest {
 protected:
  // Logs every event but the opening with its field and key code; the window alerts the
  // right button when `window_alerts_right`.
  void Start(bool window_alerts_right) {
    runtime.StartMain([this, window_alerts_right] {
      Window window(kWindow);
      window.Open();
      if (window_alerts_right) SetProp(0, Prop::Alrt, kMouseRight, 1);
      while (window.Accept()) {
        if (Event() == kEventOpenWindow) continue;
        std::string line = std::to_string(Event()) + "@" + std::to_string(Field());
        if (Event() == kEventAlertKey || Event() == kEventPreAlertKey) {
          line += " key=" + std::to_string(CurrentKeyCode());
        }
        log.Add(line);
      }
    });
    w = user.Window("Presses");
  }

  WindowHandle w = 0;
};

TEST_F(PressTest, ARightPressIsKeyCodeTwoOfTheControlOrElseOfTheWindow) {
  struct Case {
    const char* name;
    bool window_alerts;
    FieldId field;
    std::vector<std::string> events;
  };
  const Case kCases[] = {
      // The control's own alert comes first; the press itself does nothing more.
      {"button alerting it", true, kGo, {"16@1 key=2", "15@1 key=2"}},
      {"entry, window alerting", true, kPlain, {"16@0 key=2", "15@0 key=2"}},
      {"window surface", true, kNoField, {"16@0 key=2", "15@0 key=2"}},
      {"region, window alerting", true, kHeader, {"16@0 key=2", "15@0 key=2"}},
      // Unalerted, a right press neither presses a button nor accepts a region.
      {"button, nothing alerting", false, kQuiet, {}},
      {"region, nothing alerting", false, kGrip, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Start(c.window_alerts);
    log.Clear();
    user.RightClick(w, c.field);
    EXPECT_EQ(log.lines(), c.events);
    user.CloseBox(w);
    runtime.Join();
  }
}

TEST_F(PressTest, AnImmediateRegionAcceptsThePressAndReportsTheReleaseAsMouseUp) {
  Start(false);
  log.Clear();
  user.MouseDown(w, kGrip);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"1@3"}));
  // While the button is held the mouse moves and the timer runs; the release ends it,
  // wherever the mouse is.
  user.MoveMouse(w, 120, 70);
  user.FireTimer(w);
  user.MouseUp(w, kGrip);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"1@3", "523@0", "10@3"}));
  // A click is a press and its release.
  log.Clear();
  user.Click(w, kGrip);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"1@3", "10@3"}));
}

TEST_F(PressTest, ARegionThatIsNotImmediateIsAcceptedOnlyAndANonLeftPressDoesNotAcceptIt) {
  Start(false);
  log.Clear();
  user.Click(w, kHeader);
  user.MouseDown(w, kHeader);
  user.MouseUp(w, kHeader);
  user.MouseDown(w, kHeader, /*button=*/3);
  user.MouseUp(w, kHeader, /*button=*/3);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"1@4", "1@4"}));
}

TEST_F(PressTest, ALeftPressOnAControlThatAlertsItComesAsItsAlert) {
  Start(false);
  log.Clear();
  user.MouseDown(w, kCaption);
  user.MouseUp(w, kCaption);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"16@5 key=1", "15@5 key=1"}));
}

TEST_F(PressTest, TheScreenCursorsButtonsPressWhatIsUnderIt) {
  Start(true);
  const region::Rect outer = display.WindowRect(w);
  // Inside the frame and caption: a dialog unit is 2 pixels either way on this display.
  const int32_t left = outer.left + display.SystemMetric(32);
  const int32_t top = outer.top + display.SystemMetric(32) + display.SystemMetric(4);
  log.Clear();
  user.MoveCursor(left + 2 * 10, top + 2 * 10);  // on ?Go
  user.PressButton(2);
  user.ReleaseButton(2);
  user.MoveCursor(left + 2 * 130, top + 2 * 70);  // on no control
  user.PressButton(2);
  user.ReleaseButton(2);
  user.MoveCursor(left + 2 * 50, top + 2 * 35);  // on ?Header: the left button clicks it
  user.PressButton(1);
  user.ReleaseButton(1);
  user.MoveCursor(left + 2 * 8, top + 2 * 50);  // on ?Grip: pressed, dragged off, released
  user.PressButton(1);
  user.MoveCursor(left + 2 * 130, top + 2 * 70);
  user.ReleaseButton(1);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"16@1 key=2", "15@1 key=2", "16@0 key=2",
                                                   "15@0 key=2", "1@4", "1@3", "10@3"}));
}

}  // namespace
}  // namespace platform::ui
