// Tool windows on Qt's offscreen platform: real dock widgets of the frame, docked at its
// sides or floating, never narrower than their MinWidth; a window that follows the mouse in a
// move by its caption; the system menu of our own.
#include <atomic>
#include <string>
#include <vector>

#include <QApplication>
#include <QDockWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/window_test.h"
#include "platform/ui/desktop.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

using ui::ControlDecl;
using ui::EventId;
using ui::Prop;
using ui::WindowStructure;

constexpr WindowStructure kFrame{
    "test$toolwindow", "P1$FRAME", ui::WindowKind::kFrame, "Frame", {0, 0, 300, 200}, {}, {},
    ui::kAttrImm};
constexpr ControlDecl kToolControls[] = {
    ui::Button("?Caption", "caption", {0, 0, 60, 10}),
};
constexpr WindowStructure kTool{
    "test$toolwindow", "P2$TOOL", ui::WindowKind::kPlain,         "Tool", {40, 30, 100, 150},
    kToolControls,     {},        ui::kAttrToolBox | ui::kAttrImm};

// Sent to the tool window's thread: 500h + n sets Docked n; the others below.
constexpr EventId kSetMinWidth = 0x580;  // MinWidth 90
constexpr EventId kSetWidth = 0x581;     // Width 60
constexpr EventId kMoveTool = 0x582;     // moves by the caption
constexpr EventId kFrameMenu = 0x583;    // opens the frame's system menu

class ToolWindowTest : public ::testing::Test {
 protected:
  // Declared in the order they are built: the runtime joins its threads before the display
  // goes away.
  QtBackend display;
  ui::Runtime runtime{display};
  testing::Log log;
  std::atomic<ui::ThreadId> tool_thread = 0;

  void SetUp() override {
    display.SetProgramEndedHandler([] {});
    runtime.StartMain([this] {
      ui::Window frame(kFrame);
      frame.Open();
      const ui::WindowHandle frame_handle = frame.handle();
      ui::Start([this, frame_handle] {
        ui::Window tool(kTool);
        tool.Open();
        tool_thread = ui::Thread();
        while (tool.Accept()) {
          const EventId e = ui::Event();
          if (e > ui::kEventUser && e <= ui::kEventUser + ui::kDockFloat) {
            tool.Set(ui::kNoField, Prop::Docked, std::to_string(e - ui::kEventUser));
          } else if (e == kSetMinWidth) {
            tool.Set(ui::kNoField, Prop::MinWidth, "90");
          } else if (e == kSetWidth) {
            tool.Set(ui::kNoField, Prop::Width, "60");
          } else if (e == kMoveTool) {
            ui::PostMessage(tool.handle(), ui::kWmSysCommand, ui::kScMoveByCaption, 0);
          } else if (e == kFrameMenu) {
            ui::PostMessage(frame_handle, ui::kWmSysCommand, ui::kScKeyMenu, 0);
          } else if (e == ui::kEventDocked || e == ui::kEventUndocked) {
            log.Add((e == ui::kEventDocked ? "Docked " : "Undocked ") +
                    tool.Get(ui::kNoField, Prop::Docked));
          } else if (e == ui::kEventMoved) {
            log.Add("tool moved " + tool.Get(ui::kNoField, Prop::Xpos) + "," +
                    tool.Get(ui::kNoField, Prop::Ypos));
          }
        }
      });
      while (frame.Accept()) {
        if (ui::Event() == ui::kEventMaximized) log.Add("frame maximized");
        if (ui::Event() == ui::kEventCloseWindow) log.Add("frame close");
      }
    });
    Settle();
  }

  void TearDown() override {
    display.SetDialogHook({});
    for (ui::WindowHandle h : display.Windows()) {
      if (WindowMirror* m = display.Mirror(h)) m->CloseBoxPressed();
    }
    Settle();
    runtime.Join();
    QCoreApplication::sendPostedEvents();
  }

  void Settle() { platform::qt::Settle(runtime); }
  void Tell(EventId e) {
    ui::Post(e, ui::kNoField, tool_thread.load());
    Settle();
  }
  WindowMirror& Mirror(std::string_view title) {
    WindowMirror* m = display.Mirror(display.FindWindow(title));
    EXPECT_NE(m, nullptr) << title;
    if (m == nullptr) std::abort();
    return *m;
  }
  QMainWindow& Main() { return *qobject_cast<QMainWindow*>(Mirror("Frame").top()); }
  QDockWidget& Dock() { return *qobject_cast<QDockWidget*>(Mirror("Tool").top()); }
  int Px(int du) const { return ui::HorizontalPixels(du, display.Metrics()); }
};

TEST_F(ToolWindowTest, DocksAtTheFramesSidesAndFloatsAsAWindowOfItsOwn) {
  // It opens floating, at its place and size, without a caption of Qt's.
  ASSERT_NE(qobject_cast<QDockWidget*>(Mirror("Tool").top()), nullptr);
  EXPECT_TRUE(Dock().isFloating());
  EXPECT_TRUE(Dock().isWindow());
  EXPECT_EQ(Dock().pos(), QPoint(Px(40), ui::VerticalPixels(30, display.Metrics())));
  EXPECT_EQ(Mirror("Tool").client()->width(), Px(100));
  const QWidget* area = Mirror("Frame").mdi_area();

  Tell(ui::kEventUser + ui::kDockLeft);
  EXPECT_EQ(Main().dockWidgetArea(&Dock()), Qt::LeftDockWidgetArea);
  EXPECT_FALSE(Dock().isFloating());
  EXPECT_EQ(Dock().parentWidget(), &Main());
  EXPECT_LE(Dock().geometry().right(), area->geometry().left());
  EXPECT_EQ(Dock().width(), Px(100));
  // The dock area gives it the height beside the frame's area.
  EXPECT_EQ(Dock().height(), area->height());

  Tell(ui::kEventUser + ui::kDockRight);
  EXPECT_EQ(Main().dockWidgetArea(&Dock()), Qt::RightDockWidgetArea);
  EXPECT_GE(Dock().geometry().left(), area->geometry().right());

  Tell(ui::kEventUser + ui::kDockFloat);
  EXPECT_TRUE(Dock().isFloating());
  EXPECT_TRUE(Dock().isWindow());
  EXPECT_TRUE(Dock().isVisible());
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"Docked 1", "Docked 4", "Undocked 16"}));
}

TEST_F(ToolWindowTest, IsNeverNarrowerThanItsMinWidth) {
  QWidget* client = Mirror("Tool").client();
  Tell(kSetMinWidth);
  Tell(kSetWidth);
  EXPECT_EQ(client->width(), Px(90));
  // Neither can the user make it narrower, floating or docked.
  Dock().resize(Px(40), Dock().height());
  Settle();
  EXPECT_EQ(client->width(), Px(90));
  Tell(ui::kEventUser + ui::kDockLeft);
  Main().resizeDocks({&Dock()}, {Px(40)}, Qt::Horizontal);
  Settle();
  EXPECT_GE(client->width(), Px(90));
}

TEST_F(ToolWindowTest, AMoveByTheCaptionFollowsTheMouseWhereNoWindowManagerMovesIt) {
  QWidget* top = Mirror("Tool").top();
  const QPoint start = top->pos();
  const QPoint mouse = top->mapToGlobal(QPoint(10, 5));
  QMouseEvent hover(QEvent::MouseMove, QPointF(10, 5), QPointF(mouse), Qt::NoButton, Qt::NoButton,
                    Qt::NoModifier);
  QApplication::sendEvent(top, &hover);
  Tell(kMoveTool);
  const QPoint to = mouse + QPoint(Px(20), ui::VerticalPixels(16, display.Metrics()));
  QMouseEvent move(QEvent::MouseMove, QPointF(top->mapFromGlobal(to)), QPointF(to), Qt::LeftButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(top, &move);
  Settle();
  const QPoint end = start + (to - mouse);
  EXPECT_EQ(top->pos(), end);
  // Reported in dialog units, rounded down.
  const ui::TextMetrics m = display.Metrics();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "tool moved " + std::to_string(end.x() * 4 / m.average_char_width_px) +
                             "," + std::to_string(end.y() * 8 / m.char_height_px)}));
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(top->mapFromGlobal(to)), QPointF(to),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(top, &release);
  QMouseEvent after(QEvent::MouseMove, QPointF(0, 0), QPointF(to + QPoint(50, 50)), Qt::NoButton,
                    Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(top, &after);
  Settle();
  EXPECT_EQ(top->pos(), start + (to - mouse));
}

TEST_F(ToolWindowTest, TheFramesSystemMenuIsOurOwnAndActsOnTheFrame) {
  QStringList entries;
  display.SetDialogHook([&](QWidget& w) {
    auto* menu = qobject_cast<QMenu*>(&w);
    if (menu == nullptr) return;
    for (QAction* a : menu->actions()) entries << a->text() + (a->isEnabled() ? "" : " off");
    // The user chooses Maximize once the menu shows.
    QAction* maximize = menu->actions().at(2);
    QMetaObject::invokeMethod(maximize, &QAction::trigger, Qt::QueuedConnection);
  });
  Tell(kFrameMenu);
  EXPECT_EQ(entries, (QStringList{"&Restore off", "Mi&nimize", "Ma&ximize", "&Close"}));
  EXPECT_TRUE(Main().isMaximized());
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"frame maximized"}));
}

}  // namespace
}  // namespace platform::qt
