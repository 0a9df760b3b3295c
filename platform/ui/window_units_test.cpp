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

TEST_F(WindowUnitsTest, RuntimeMadeStringsAndButtonsTakeTheSizeOfTheirText) {
  // Headless: a character is 4 by 8 units; a button's face adds 8 by 6.
  struct Case {
    std::string_view name;
    ControlType type;
    std::string_view text;
    std::string_view size;
  };
  static constexpr Case kCases[] = {
      {"a string", ControlType::kString, "Hello", "20x8"},
      {"an empty string", ControlType::kString, "", "0x8"},
      {"a doubled ampersand shows one", ControlType::kString, "a&&b", "12x8"},
      {"characters, not bytes", ControlType::kString,
       "Gr\xC3\xBC\xC3\x9F"
       "e",
       "20x8"},
      {"a button without its mnemonic mark", ControlType::kButton, "&Yes", "20x14"},
      {"an entry keeps no size of its own", ControlType::kEntry, "Hello", "0x0"},
  };
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    const auto size = [](FieldId f) {
      return GetProp(f, Prop::Width) + "x" + GetProp(f, Prop::Height);
    };
    for (const Case& c : kCases) {
      const FieldId f = Create(kNoField, c.type);
      SetProp(f, Prop::Text, c.text);
      log.Add(std::string(c.name) + " " + size(f));
    }
    // The size follows the text until the program gives one; in pixels while Pixels is set.
    const FieldId f = Create(kNoField, ControlType::kString);
    SetProp(f, Prop::Text, "Hi");
    log.Add("two letters " + size(f));
    SetProp(f, Prop::Text, "Hello");
    log.Add("five letters " + size(f));
    SetProp(0, Prop::Pixels, 1);
    log.Add("in pixels " + size(f));
    SetProp(0, Prop::Pixels, "");
    SetProp(f, Prop::Width, 7);
    log.Add("given a width " + size(f));
    // A declared control keeps its declared size, even of 0.
    SetProp(1, Prop::Width, 0);
    log.Add("declared " + size(1));
    while (window.Accept()) {
    }
  });
  user.WaitUntilIdle();
  std::vector<std::string> expected;
  for (const Case& c : kCases) expected.push_back(std::string(c.name) + " " + std::string(c.size));
  for (const char* line : {"two letters 8x8", "five letters 20x8", "in pixels 40x16",
                           "given a width 7x8", "declared 0x14"}) {
    expected.push_back(line);
  }
  EXPECT_EQ(log.lines(), expected);
  // The display draws them at that size too.
  const WindowHandle w = user.Window("Units window");
  EXPECT_EQ(display.FindWindow(w)->controls.at(2).at.width, 20);
  EXPECT_EQ(display.FindWindow(w)->controls.at(2).at.height, 8);
}

TEST_F(WindowUnitsTest, CenterPutsTheWindowWithItsFrameInTheMiddleOfTheDesktop) {
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    SetProp(0, Prop::Center, 1);
    log.Add(GetProp(0, Prop::Center) + " " + GetProp(0, Prop::Xpos) + "," + GetProp(0, Prop::Ypos) +
            " " + GetProp(0, Prop::Width) + "x" + GetProp(0, Prop::Height));
    while (window.Accept()) {
    }
  });
  const WindowHandle w = user.Window("Units window");
  // 254 by 185 units are 508 by 370 pixels, 516 by 397 with the frame and caption: in the
  // middle of 1024 by 768 pixels they start at 254, 185 pixels.
  EXPECT_EQ(log.lines(), std::vector<std::string>{"1 127,92 254x185"});
  const region::Rect outer = display.WindowRect(w);
  EXPECT_EQ(outer.left, 254);
  EXPECT_EQ(outer.top, 184);
  EXPECT_EQ(1024 - outer.right - outer.left, 0);
}

TEST_F(WindowUnitsTest, AClickReportsTheMouseInTheWindowsUnits) {
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    while (window.Accept()) {
      if (Event() == kEventAccepted) {
        log.Add(std::to_string(MouseX()) + "," + std::to_string(MouseY()));
      }
    }
  });
  const WindowHandle w = user.Window("Units window");
  // The window's client area starts 4 pixels right of its frame's edge and 23 below it, at
  // 20 + 4, 40 + 23; the button lies at 8, 8 pixels in it, 80 by 28.
  user.MoveCursor(24 + 18, 63 + 14);
  user.PressButton();
  user.ReleaseButton();
  EXPECT_EQ(log.lines(), std::vector<std::string>{"9,7"});
  (void)w;
}

}  // namespace
}  // namespace platform::ui
