// The desktop services and the screen cursor they share with the user: the cursor the user
// moves is the one GetCursorPos reads, and a button pressed there reaches the control under it;
// the menu bar's highlight.
#include "platform/ui/desktop.h"

#include <iterator>
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

constexpr ControlDecl kMenuControls[] = {
    Menubar(),
    Menu("?File", "&File"),
    Item("?Open", "&Open", "?File"),
    Menu("?Edit", "&Edit"),
    Item("?Copy", "&Copy", "?Edit"),
    Item("?Help", "&Help", {}),
};
constexpr WindowStructure kMenuWindow{"test$menu", "P1$FRAME",       WindowKind::kFrame,
                                      "Menus",     {0, 0, 200, 100}, kMenuControls};

// The program highlights entries of its menu bar by position and takes the highlight away;
// the display shows the entry it last highlighted, one at a time.
TEST_F(DesktopTest, HiliteMenuItemShowsOneMenuBarEntryHighlightedByPosition) {
  struct Case {
    const char* what;
    int32_t menu_offset;  // added to the menu bar's handle
    uint32_t item;
    uint32_t flags;
    bool answer;
    const char* shown;  // the highlighted entry, from 1
  };
  static constexpr Case kCases[] = {
      {"the second entry", 0, 1, kMfByPosition | kMfHilite, true, "2"},
      {"the first moves it", 0, 0, kMfByPosition | kMfHilite, true, "1"},
      {"removing another leaves it", 0, 1, kMfByPosition | kMfUnhilite, true, "1"},
      {"an item on the bar counts", 0, 2, kMfByPosition | kMfHilite, true, "3"},
      {"removed", 0, 2, kMfByPosition | kMfUnhilite, true, "0"},
      {"past the last entry", 0, 3, kMfByPosition | kMfHilite, false, "0"},
      {"by command", 0, 1, kMfHilite, false, "0"},
      {"another menu", 1, 0, kMfByPosition | kMfHilite, false, "0"},
  };
  constexpr EventId kFirst = 0x500;
  runtime.StartMain([this] {
    Window plain(kWindow);
    plain.Open();
    log.Add("plain " + std::to_string(GetMenu(plain.handle())));
    plain.Close();
    Window window(kMenuWindow);
    window.Open();
    log.Add(GetMenu(window.handle()) == window.handle() ? "menu bar" : "none");
    while (window.Accept()) {
      const int32_t i = Event() - kFirst;
      if (i < 0 || i >= static_cast<int32_t>(std::size(kCases))) continue;
      const Case& c = kCases[i];
      const bool answer = HiliteMenuItem(window.handle(), GetMenu(window.handle()) + c.menu_offset,
                                         c.item, c.flags);
      log.Add(std::string(c.what) + (answer ? " 1" : " 0"));
    }
  });
  const WindowHandle w = user.Window("Menus");
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"plain 0", "menu bar"}));
  constexpr std::pair<int32_t, int32_t> kHilite{static_cast<int32_t>(Prop::MenuBarHilite), 0};
  for (size_t i = 0; i < std::size(kCases); ++i) {
    const Case& c = kCases[i];
    SCOPED_TRACE(c.what);
    log.Clear();
    PostToWindow(w, static_cast<EventId>(kFirst + i));
    user.WaitUntilIdle();
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{std::string(c.what) + (c.answer ? " 1" : " 0")});
    const auto props = display.FindWindow(w)->view.properties;
    const auto shown = props.find(kHilite);
    EXPECT_EQ(shown != props.end() ? shown->second : "0", c.shown);
  }
}

}  // namespace
}  // namespace platform::ui
