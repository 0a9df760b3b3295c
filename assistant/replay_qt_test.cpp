// The replay of a stored click on Qt's offscreen platform: a shaped window covers another,
// and a click replayed on the shaped window where its outline leaves it out reaches the
// window behind it, as the user's own click would.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>
#include <gtest/gtest.h>

#include "assistant/agent_files_test_support.h"
#include "assistant/extagent.h"
#include "platform/core/paths.h"
#include "platform/files/file_test_support.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/region/shapes.h"
#include "platform/testing/overlapping_windows.h"
#include "platform/ui/codes.h"
#include "platform/ui/desktop.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace assistant {
namespace {

namespace ui = platform::ui;
using platform::qt::WindowMirror;

using platform::testing::kBehindWindow;
using platform::testing::kFrontWindow;

constexpr ui::EventId kMouseUp = 0x0A;

class ReplayOnQtTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::TEST_SetDataDirectory(std::string(PEX_SHARE_DIR)); }
  void TearDown() override { platform::TEST_SetDataDirectory(""); }

  void Note(const char* name) {
    std::lock_guard lock(mutex_);
    accepted_.emplace_back(name);
  }
  std::vector<std::string> Accepted() {
    std::lock_guard lock(mutex_);
    return accepted_;
  }

  platform::files::InTempDirForTest dir_;
  std::mutex mutex_;
  std::vector<std::string> accepted_;
};

TEST_F(ReplayOnQtTest, AClickOutsideAShapedWindowsOutlineReachesTheWindowBehind) {
  AgentFiles files;
  ZOVAgentClass agent(files);
  platform::qt::QtBackend display;
  display.SetProgramEndedHandler([] {});
  ui::Runtime runtime{display};
  runtime.StartMain([&] {
    agent.Init();
    agent.SLOWDOWNMOUSEVENTS = 1;  // short glides
    ui::Window behind(kBehindWindow);
    behind.Open();
    ui::Start([&] {
      ui::Window front(kFrontWindow);
      front.Open();
      agent.ProcedureOpened("Front");
      // The outline keeps the drawn caption and the button, which lie in its upper left.
      ui::SetWindowRgn(front.handle(), platform::region::CreateRectRgn(0, 0, 100, 60),
                       /*redraw=*/true);
      while (front.Accept()) {
        agent.HandleEvent("Front", front.handle());
        if (ui::Event() == ui::kEventAccepted) Note("front");
        if (ui::Event() == ui::kEventCloseWindow) agent.ProcedureClosed("Front");
      }
    });
    while (behind.Accept()) {
      if (ui::Event() == ui::kEventAccepted) Note("behind");
      if (ui::Event() == ui::kEventTimer) agent.StartTopic("Main", "Klik");  // the user's choice
    }
    agent.Shutdown();
  });
  platform::qt::Settle(runtime);
  WindowMirror* behind = display.Mirror(display.FindWindow("Behind"));
  WindowMirror* front = display.Mirror(display.FindWindow("Front"));
  ASSERT_NE(behind, nullptr);
  ASSERT_NE(front, nullptr);
  QWidget* behind_button = behind->widget(kBehindWindow.Equate("?Behind"));
  const QPoint outside = front->top()->mapToGlobal(QPoint(150, front->top()->height() / 2));
  ASSERT_TRUE(front->top()->rect().contains(front->top()->mapFromGlobal(outside)));
  ASSERT_EQ(display.WidgetAt(outside), behind_button);

  // The click as recorded on the shaped window: from the corner of its rectangle.
  const platform::region::Rect rect = display.WindowRect(front->handle());
  AgentFileRecord header;
  header.PROCEDURENAME = "Main";
  header.ONDERWERP = "Klik";
  testing::StoreAgentStep(header);
  AgentFileRecord click = header;
  click.STEP = 1;
  click.EVENTPROCEDURE = "Front";
  click.EVENT = kMouseUp;
  click.POSITIONX = static_cast<int16_t>(outside.x() - rect.left);
  click.POSITIONY = static_cast<int16_t>(outside.y() - rect.top);
  testing::StoreAgentStep(click);

  ui::Input timer;
  timer.kind = ui::Input::Kind::kTimer;
  behind->Post(timer);
  for (int round = 0; round < 500 && Accepted().empty(); ++round) {
    platform::qt::Settle(runtime, 1);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_EQ(Accepted(), std::vector<std::string>{"behind"});
  const platform::region::Point mouse = display.MousePosition();
  EXPECT_EQ(QPoint(mouse.x, mouse.y), outside);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(w->isVisible() && qobject_cast<QMessageBox*>(w) != nullptr);
  }

  front->CloseBoxPressed();
  platform::qt::Settle(runtime);
  behind->CloseBoxPressed();
  platform::qt::Settle(runtime);
  runtime.Join();
  QCoreApplication::sendPostedEvents();
}

}  // namespace
}  // namespace assistant

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
