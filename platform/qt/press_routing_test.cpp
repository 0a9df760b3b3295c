// Presses on the Qt display that the widgets do not report themselves, with real Qt input on
// the offscreen platform: a right press raises the alert of key 2 (and no widget menu opens),
// a region accepts the press and reports the release, and a press on a string over a region
// reaches the region.
#include "platform/qt/press_routing.h"

#include <string>
#include <vector>

#include <QApplication>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include "platform/core/paths.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/qt_window_test.h"
#include "platform/testing/window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::FieldId;
using ui::Prop;

constexpr ui::ControlDecl kControls[] = {
    ui::Button("?Go", "&Go", {10, 10, 40, 14}).Alrt(ui::kMouseRight),
    ui::Entry("?Text", {60, 10, 60, 12}),
    ui::Decl(ControlType::kRegion, "?Header", "", {10, 40, 100, 14}).Imm(),
    ui::String("?Title", "Title", {30, 42, 40, 10}),
    ui::Decl(ControlType::kPanel, "?Caption", "", {10, 60, 100, 14}).Alrt(ui::kMouseLeft),
    ui::Decl(ControlType::kPanel, "?Plain", "", {130, 80, 30, 14}),
};
constexpr ui::WindowStructure kWindow{"test$qtpresses", "P1$WINDOW",        ui::WindowKind::kPlain,
                                      "Presses",        {20, 20, 180, 110}, kControls};
constexpr FieldId kGo = kWindow.Equate("?Go");
constexpr FieldId kText = kWindow.Equate("?Text");
constexpr FieldId kHeader = kWindow.Equate("?Header");
constexpr FieldId kTitle = kWindow.Equate("?Title");
constexpr FieldId kCaption = kWindow.Equate("?Caption");
constexpr FieldId kPlain = kWindow.Equate("?Plain");

class PressRoutingTest : public testing::QtWindowTest {
 protected:
  testing::Log log;

  void SetUp() override {
    QtWindowTest::SetUp();
    TEST_SetDataDirectory(PEX_SHARE_DIR);
    mirror = Start(
        [this] {
          ui::Window window(kWindow);
          window.Open();
          ui::SetProp(0, Prop::Alrt, ui::kMouseRight, 1);
          ui::SetProp(kHeader, Prop::Cursor, "~Finger.cur");
          while (window.Accept()) {
            if (ui::Event() == ui::kEventOpenWindow) continue;
            std::string line = std::to_string(ui::Event()) + "@" + std::to_string(ui::Field());
            if (ui::Event() == ui::kEventAlertKey || ui::Event() == ui::kEventPreAlertKey) {
              line += " key=" + std::to_string(ui::CurrentKeyCode());
            }
            log.Add(line);
          }
        },
        "Presses");
    ASSERT_NE(mirror, nullptr);
    mirror->top()->activateWindow();
    Settle(runtime);
    log.Clear();
  }

  void TearDown() override {
    QtWindowTest::TearDown();
    TEST_SetDataDirectory("");
  }

  // `action` with `button` at `local` of `widget`, through its window as the window system
  // delivers it: to the widget under the point, which may lie over `widget`.
  void Mouse(QTest::MouseAction action, QWidget* widget, QPoint local,
             Qt::MouseButton button = Qt::LeftButton) {
    QWindow* window = widget->window()->windowHandle();
    ASSERT_NE(window, nullptr);
    QTest::mouseEvent(action, window, button, {},
                      window->mapFromGlobal(widget->mapToGlobal(local)));
    Settle(runtime);
  }
  void Click(QWidget* widget, QPoint local, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(QTest::MouseClick, widget, local, button);
  }
  // The middle of control `field` in the client's pixels.
  QPoint Middle(FieldId field) const { return mirror->widget(field)->geometry().center(); }

  WindowMirror* mirror = nullptr;
};

TEST_F(PressRoutingTest, ARightPressIsTheAlertOfKeyTwoOfTheControlOrTheWindow) {
  Click(mirror->client(), Middle(kGo), Qt::RightButton);
  // The button alerts it itself; a right press never presses it.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"16@1 key=2", "15@1 key=2"}));
  log.Clear();
  Click(mirror->client(), Middle(kText), Qt::RightButton);
  // The press puts the focus in the entry (Selected), as any press does.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"257@2", "16@0 key=2", "15@0 key=2"}));
  // The press was the program's: the entry opened no menu of its own.
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  log.Clear();
  Click(mirror->client(), QPoint(5, 150), Qt::RightButton);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"16@0 key=2", "15@0 key=2"}));
}

TEST_F(PressRoutingTest, ARegionAcceptsThePressAndReportsTheReleaseThroughAStringOverIt) {
  QWidget* region = mirror->widget(kHeader);
  // Left of the title: the region itself.
  Mouse(QTest::MousePress, mirror->client(), region->geometry().topLeft() + QPoint(4, 4));
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"1@3"}));
  Mouse(QTest::MouseRelease, mirror->client(), Middle(kGo));
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"1@3", "10@3"}));
  // The title lies over the region: the mouse and the region's cursor go through it.
  EXPECT_EQ(mirror->client()->childAt(Middle(kTitle)), region);
  EXPECT_EQ(region->cursor().shape(), Qt::BitmapCursor);
  log.Clear();
  Click(mirror->client(), Middle(kTitle));
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"1@3", "10@3"}));
}

TEST_F(PressRoutingTest, ALeftPressOnAPanelThatAlertsItIsItsAlert) {
  Click(mirror->client(), Middle(kCaption));
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"16@5 key=1", "15@5 key=1"}));
  // A left press on a panel that alerts nothing, or on the bare surface, is nothing.
  log.Clear();
  Click(mirror->client(), Middle(kPlain));
  Click(mirror->client(), QPoint(5, 150));
  EXPECT_TRUE(log.lines().empty());
}

}  // namespace
}  // namespace platform::qt
