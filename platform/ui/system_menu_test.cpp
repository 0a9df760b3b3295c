// The commands of a window's caption and system menu posted as WM_SYSCOMMAND: a move by the
// caption follows the user's mouse, and the system menu's entries act on the window.
#include "platform/ui/system_menu.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/window_test.h"
#include "platform/ui/desktop.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    Button("?Caption", "caption", {0, 0, 40, 10}),
    Button("?SystemMenu", "menu", {40, 0, 10, 10}),
};
constexpr WindowStructure kWindow{
    "test$syscommand", "P1$WINDOW", WindowKind::kPlain, "Moved", {10, 20, 120, 60}, kControls, {},
    kAttrImm};
constexpr FieldId kCaption = kWindow.Equate("?Caption");
constexpr FieldId kSystemMenu = kWindow.Equate("?SystemMenu");

// The window posts the move by its caption when its caption is pressed and opens its system
// menu from its button, as a tool window's own caption does; user event 500h maximizes it,
// 501h makes it a window that no longer answers. It logs its window events.
class SystemCommandTest : public WindowTest {
 protected:
  void SetUp() override {
    runtime.StartMain([this] {
      Window window(kWindow);
      window.Open();
      WindowHandle target = window.handle();
      while (window.Accept()) {
        const EventId e = Event();
        if (e == kEventAccepted && Field() == kCaption) {
          log.Add(PostMessage(target, kWmSysCommand, kScMoveByCaption, 0) ? "move" : "no move");
        } else if (e == kEventAccepted && Field() == kSystemMenu) {
          log.Add(PostMessage(target, kWmSysCommand, kScKeyMenu, 0) ? "menu" : "no menu");
          PressKey(kSpaceKey);
        } else if (e == kEventUser) {
          window.Set(kNoField, Prop::Maximize, "1");
        } else if (e == kEventUser + 1) {
          log.Add(PostMessage(target, kWmSysCommand, 0xF020, 0) ? "posted" : "refused");
          log.Add(PostMessage(target, 0x111, kScMoveByCaption, 0) ? "posted" : "refused");
          log.Add(PostMessage(target + 100, kWmSysCommand, kScKeyMenu, 0) ? "posted" : "refused");
        } else if (e == kEventMoved) {
          log.Add("moved " + window.Get(kNoField, Prop::Xpos) + "," +
                  window.Get(kNoField, Prop::Ypos));
        } else if ((e >= kEventRestore && e <= kEventIconize) ||
                   (e >= kEventRestored && e <= kEventIconized)) {
          log.Add("event " + std::to_string(e) + " " + window.Get(kNoField, Prop::Maximize) + "/" +
                  window.Get(kNoField, Prop::Iconize));
        } else if (e == kEventCloseWindow) {
          log.Add("close");
        }
      }
    });
    window = user.Window("Moved");
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines = log.lines();
    log.Clear();
    return lines;
  }

  WindowHandle window = 0;
};

TEST_F(SystemCommandTest, AMoveByTheCaptionFollowsTheMouseUntilAButton) {
  user.MoveCursor(100, 100);
  user.Click(window, kCaption);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"move"}));
  EXPECT_EQ(display.moving(), window);
  // 2 pixels a unit either way.
  user.Drag(140, 120);
  user.Drag(80, 90);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"moved 30,30", "moved 0,15"}));
  user.ReleaseButton();
  EXPECT_EQ(display.moving(), 0);
  user.Drag(300, 300);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(display.FindWindow(window)->view.at.x, 0);
}

TEST_F(SystemCommandTest, AMaximizedWindowDoesNotMoveByItsCaption) {
  Post(kEventUser, kNoField, 1);
  user.Click(window, kCaption);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"move"}));
  EXPECT_EQ(display.moving(), 0);
}

TEST_F(SystemCommandTest, OtherMessagesCommandsAndWindowsAreRefused) {
  Post(kEventUser + 1, kNoField, 1);
  user.WaitUntilIdle();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"refused", "refused", "refused"}));
}

TEST_F(SystemCommandTest, TheSystemMenuActsOnTheWindow) {
  const std::string restore = std::to_string(kEventRestore);
  const std::string restored = std::to_string(kEventRestored);
  const std::string maximize = std::to_string(kEventMaximize);
  const std::string maximized = std::to_string(kEventMaximized);
  const std::string iconize = std::to_string(kEventIconize);
  const std::string iconized = std::to_string(kEventIconized);
  struct Case {
    SystemMenuEntry entry;
    bool chosen;
    std::vector<std::string> log;
  } cases[] = {
      {SystemMenuEntry::kRestore, false, {}},  // not maximized nor iconized
      {SystemMenuEntry::kMaximize,
       true,
       {"event " + maximize + " 1/", "event " + maximized + " 1/"}},
      {SystemMenuEntry::kMaximize, false, {}},
      {SystemMenuEntry::kMinimize,
       true,
       {"event " + iconize + " 1/1", "event " + iconized + " 1/1"}},
      {SystemMenuEntry::kMinimize, false, {}},
      // Restored from iconized, it is maximized again, and restored once more, normal.
      {SystemMenuEntry::kRestore, true, {"event " + restore + " 1/", "event " + restored + " 1/"}},
      {SystemMenuEntry::kRestore, true, {"event " + restore + " /", "event " + restored + " /"}},
      {SystemMenuEntry::kClose, true, {"close"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(SystemMenuText(c.entry));
    user.Click(window, kSystemMenu);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"menu"}));
    EXPECT_EQ(display.system_menu(), window);
    EXPECT_EQ(user.ChooseSystemMenu(c.entry), c.chosen);
    EXPECT_EQ(Lines(), c.log);
    // A choice closes the menu; an entry that cannot be chosen leaves it open.
    EXPECT_EQ(display.system_menu(), c.chosen ? 0 : window);
  }
  EXPECT_FALSE(display.FindWindow(window).has_value());
  EXPECT_FALSE(user.ChooseSystemMenu(SystemMenuEntry::kClose));
}

}  // namespace
}  // namespace platform::ui
