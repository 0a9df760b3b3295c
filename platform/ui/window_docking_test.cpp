// Tool windows docked at the frame's sides or floating, and MinWidth: the window is never
// narrower, whoever sizes it.
#include <atomic>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/number.h"
#include "platform/testing/window_test.h"
#include "platform/ui/desktop.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using testing::WindowTest;

// The frame's client area lies at (4, 23) to (604, 423) of the screen.
constexpr WindowStructure kFrame{"test$docking", "P1$FRAME",       WindowKind::kFrame,
                                 "Frame",        {0, 0, 300, 200}, {}};
constexpr ControlDecl kToolControls[] = {
    Button("?Left", "<<", {0, 0, 10, 10}),
};
// Floating, it lies at (20, 20), 180 by 300 pixels, with neither caption nor frame.
constexpr WindowStructure kTool{
    "test$docking", "P2$TOOL", WindowKind::kPlain, "Tool", {10, 10, 90, 150},
    kToolControls,  {},        kAttrToolBox};
constexpr WindowStructure kPlain{"test$docking", "P3$PLAIN",        WindowKind::kPlain,
                                 "Plain",        {10, 10, 90, 150}, kToolControls};

// A window on a thread of its own beside the frame; user event 500h + n sets its Docked to
// n, and it logs what Docked is then and the events it gets. 520h moves it by its caption.
constexpr EventId kMoveByCaption = 0x520;

class DockingTest : public WindowTest {
 protected:
  void Open(const WindowStructure& structure) {
    runtime.StartMain([this, &structure] {
      Window frame(kFrame);
      frame.Open();
      Start([this, &structure] {
        Window window(structure);
        window.Open();
        tool_thread = Thread();
        log.Add("open " + window.Get(kNoField, Prop::Docked));
        while (window.Accept()) {
          const EventId e = Event();
          if (e == kMoveByCaption) {
            PostMessage(window.handle(), kWmSysCommand, kScMoveByCaption, 0);
          } else if (e >= kEventUser && e < kEventUser + 0x20) {
            window.Set(kNoField, Prop::Docked, std::to_string(e - kEventUser));
            log.Add("set " + std::to_string(e - kEventUser) + ": " +
                    window.Get(kNoField, Prop::Docked));
          } else if (e == kEventDocked || e == kEventUndocked) {
            log.Add(std::string(e == kEventDocked ? "Docked " : "Undocked ") +
                    window.Get(kNoField, Prop::Docked));
          }
        }
      });
      while (frame.Accept()) {
      }
    });
    window = user.Window(structure.title);
  }
  void Dock(int32_t side) {
    log.Clear();
    Post(kEventUser + side, kNoField, tool_thread.load());
    user.WaitUntilIdle();
  }
  region::Rect Rect() const { return display.WindowRect(window); }

  std::atomic<ThreadId> tool_thread = 0;
  WindowHandle window = 0;
};

TEST_F(DockingTest, AToolWindowOpensFloatingAndDocksAtTheSideItIsGiven) {
  Open(kTool);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"open 16"}));
  EXPECT_EQ(Rect(), (region::Rect{20, 20, 200, 320}));
  struct Case {
    int32_t side;
    std::vector<std::string> log;
    region::Rect at;
  } cases[] = {
      {kDockLeft, {"set 1: 1", "Docked 1"}, {4, 23, 184, 323}},
      {kDockRight, {"set 4: 4", "Docked 4"}, {424, 23, 604, 323}},
      {kDockRight, {"set 4: 4"}, {424, 23, 604, 323}},  // no change, no event
      {3, {"set 3: 4"}, {424, 23, 604, 323}},           // no side: it stays
      {kDockBottom, {"set 8: 8", "Docked 8"}, {4, 123, 184, 423}},
      {kDockFloat, {"set 16: 16", "Undocked 16"}, {20, 20, 200, 320}},
      {kDockTop, {"set 2: 2", "Docked 2"}, {4, 23, 184, 323}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.side);
    Dock(c.side);
    EXPECT_EQ(log.lines(), c.log);
    EXPECT_EQ(Rect(), c.at);
  }
}

TEST_F(DockingTest, OnlyAFloatingToolWindowMovesByItsCaption) {
  Open(kTool);
  Dock(kDockLeft);
  Post(kMoveByCaption, kNoField, tool_thread.load());
  user.WaitUntilIdle();
  EXPECT_EQ(display.moving(), 0);
  Dock(kDockFloat);
  Post(kMoveByCaption, kNoField, tool_thread.load());
  user.WaitUntilIdle();
  EXPECT_EQ(display.moving(), window);
}

TEST_F(DockingTest, AWindowThatIsNoToolWindowKeepsTheNumberAndNeverDocks) {
  Open(kPlain);
  const region::Rect at = Rect();
  Dock(kDockLeft);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"set 1: 1"}));
  EXPECT_EQ(Rect(), at);
}

constexpr WindowStructure kSized{
    "test$docking", "P4$SIZED", WindowKind::kPlain, "Sized", {10, 10, 101, 100}, {}, {}, kAttrImm};

// User event 500h sets MinWidth 90, 501h Width 60, 502h MinWidth 120, 503h Pixels; the
// window logs its MinWidth and Width after each, and at Sized.
class MinWidthTest : public WindowTest {
 protected:
  void SetUp() override {
    runtime.StartMain([this] {
      Window window(kSized);
      window.Open();
      auto report = [&](std::string what) {
        log.Add(what + " " + window.Get(kNoField, Prop::MinWidth) + " " +
                window.Get(kNoField, Prop::Width));
      };
      struct Change {
        Prop prop;
        std::string_view value;
        std::string_view what;
      };
      constexpr Change kChanges[] = {{Prop::MinWidth, "90", "set"},
                                     {Prop::Width, "60", "set"},
                                     {Prop::MinWidth, "120", "set"},
                                     {Prop::Pixels, "1", "pixels"}};
      while (window.Accept()) {
        const EventId e = Event();
        if (e >= kEventUser && e < kEventUser + static_cast<EventId>(std::size(kChanges))) {
          const Change& c = kChanges[e - kEventUser];
          window.Set(kNoField, c.prop, c.value);
          report(std::string(c.what));
        } else if (e == kEventSized) {
          report("sized");
        }
      }
    });
    window = user.Window("Sized");
  }
  std::string Step(EventId e) {
    log.Clear();
    Post(e, kNoField, 1);
    user.WaitUntilIdle();
    return log.lines().empty() ? "" : log.lines().back();
  }

  WindowHandle window = 0;
};

TEST_F(MinWidthTest, TheWindowIsNeverNarrowerWhoeverSizesIt) {
  EXPECT_EQ(Step(kEventUser), "set 90 101");     // wide enough already
  EXPECT_EQ(Step(kEventUser + 1), "set 90 90");  // the program asks for less
  log.Clear();
  user.SizeWindow(window, 50, 80);  // so does the user
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"sized 90 90"}));
  EXPECT_EQ(display.FindWindow(window)->view.at.width, 90);
  user.SizeWindow(window, 100, 80);
  EXPECT_EQ(display.FindWindow(window)->view.at.width, 100);
  EXPECT_EQ(Step(kEventUser + 2), "set 120 120");  // a wider MinWidth widens the window
  // In pixels MinWidth reads as Width does: 120 units of 2 pixels.
  EXPECT_EQ(Step(kEventUser + 3), "pixels 240 240");
}

}  // namespace
}  // namespace platform::ui
