// The window's geometry in pixels (Pixels), its place above other windows (SetWindowPos) and
// its outline (SetWindowRgn).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/region/shapes.h"
#include "platform/testing/window_test.h"
#include "platform/ui/desktop.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using testing::Log;
using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    Button("?CloseButton", "&Close", {4, 4, 40, 14}).Std(StdAction::kClose),
};
// Headless metrics: a horizontal unit is 2 pixels, a vertical unit 2 pixels.
constexpr WindowStructure kWindow{"test$units",   "P1$WINDOW",        WindowKind::kPlain,
                                  "Units window", {10, 20, 254, 185}, kControls};

class WindowUnitsTest : public WindowTest {};

TEST_F(WindowUnitsTest, PixelsReadsAndWritesTheWindowsGeometryInPixels) {
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    auto geometry = [] {
      return std::to_string(GetPropNumber(0, Prop::Xpos)) + "," +
             std::to_string(GetPropNumber(0, Prop::Ypos)) + " " +
             std::to_string(GetPropNumber(0, Prop::Width)) + "x" +
             std::to_string(GetPropNumber(0, Prop::Height));
    };
    log.Add(geometry());
    SetProp(0, Prop::Pixels, 1);
    log.Add(geometry());
    SetProp(0, Prop::Width, 301);  // not a whole unit: rounds down to 150 units
    log.Add(geometry());
    SetProp(0, Prop::Pixels, "");
    log.Add(geometry());
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"10,20 254x185", "20,40 508x370",
                                                   "20,40 300x370", "10,20 150x185"}));
}

TEST_F(WindowUnitsTest, SetWindowPosKeepsTheWindowAboveOthersAndLetsItGo) {
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    const WindowHandle h = window.handle();
    log.Add(SetWindowPos(h, kHwndTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize | kSwpShowWindow)
                ? "topmost"
                : "failed");
    window.Display();
    log.Add("now " + GetProp(0, Prop::TopMost));
    SetWindowPos(h, kHwndNoTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
    log.Add("then " + GetProp(0, Prop::TopMost));
    SetWindowPos(h, kHwndTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
    log.Add(SetWindowPos(h + 100, kHwndTopMost, 0, 0, 0, 0, 0x43) ? "other" : "no such window");
    while (window.Accept()) {
    }
  });
  const WindowHandle w = user.Window("Units window");
  EXPECT_EQ(display.FindWindow(w)->view.properties.at({static_cast<int32_t>(Prop::TopMost), 0}),
            "1");
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"topmost", "now 1", "then ", "no such window"}));
}

TEST_F(WindowUnitsTest, TheWindowKeepsItsOwnOutlineUntilANullOneRemovesIt) {
  constexpr EventId kShape = 0x500;
  constexpr EventId kEmpty = 0x501;
  constexpr EventId kPlain = 0x502;
  runtime.StartMain([] {
    Window window(kWindow);
    window.Open();
    while (window.Accept()) {
      if (Event() == kShape) {
        region::Region outline = region::CreateEllipticRgn(0, 0, 40, 20);
        SetWindowRgn(window.handle(), outline, /*redraw=*/true);
        // The window has its own: what the caller does with its region afterwards is its own.
        outline = region::CreateRectRgn(0, 0, 1, 1);
      }
      if (Event() == kEmpty) SetWindowRgn(window.handle(), region::Region(), true);
      if (Event() == kPlain) SetWindowRgn(window.handle(), std::nullopt, true);
    }
  });
  const WindowHandle w = user.Window("Units window");
  EXPECT_EQ(display.FindWindow(w)->view.shape, nullptr);
  PostToWindow(w, kShape);
  user.WaitUntilIdle();
  ASSERT_NE(display.FindWindow(w)->view.shape, nullptr);
  EXPECT_EQ(*display.FindWindow(w)->view.shape, region::CreateEllipticRgn(0, 0, 40, 20));
  // An empty outline is an outline: the window is shown nowhere, unlike no outline at all.
  PostToWindow(w, kEmpty);
  user.WaitUntilIdle();
  ASSERT_NE(display.FindWindow(w)->view.shape, nullptr);
  EXPECT_TRUE(display.FindWindow(w)->view.shape->empty());
  PostToWindow(w, kPlain);
  user.WaitUntilIdle();
  EXPECT_EQ(display.FindWindow(w)->view.shape, nullptr);
}

}  // namespace
}  // namespace platform::ui
