// The assistant in the real program on the Qt display (offscreen platform): a topic chosen
// with F12 in the connection window plays there. The character shows beside the window and
// speaks while the window keeps the focus; replayed event steps select a row of the real
// list and type into the real entry. With PEX_SCREENSHOT_DIR set (scripts/screenshot, under
// Xvfb) the first test also writes a picture of the screen around them.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <QApplication>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/pexolind_main.h"
#include "app/procedures.h"
#include "app/program.h"
#include "assistant/agent_files.h"
#include "assistant/agent_files_test_support.h"
#include "platform/qt/balloon_window.h"
#include "platform/qt/character_stage.h"
#include "platform/qt/character_window.h"
#include "platform/qt/qt_backend.h"
#include "platform/testing/qt_user.h"
#include "platform/ui/codes.h"
#include "platform/ui/thread.h"

namespace app {
namespace {

using platform::qt::WindowMirror;
using platform::testing::QtUser;

constexpr std::string_view kConnection = "ChooseODBCconnection";
constexpr std::string_view kConnectionTitle = "Choose an ODB Cconnection";
constexpr std::string_view kTopic = "Verbinden";
constexpr std::string_view kCharacter = "Merlin";
constexpr int16_t kNoPosition = -32768;

class AssistantQtTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // F12 asks the topic chooser, which stands in still: it plays the seeded topic as the
    // chooser does, from the step record buffer on a thread of its own.
    OnCall([](std::string_view call) {
      if (call != "ZOVAgentClass.ChooseSubject 0") return;
      assistant::ZOVAgentClass& agent = Program().Agent;
      agent.StoreWindowPos(agent.PROCEDUREWINDOWHANDLE);
      agent.files().AGF.PROCEDURENAME = agent.PROCEDURENAME.str();
      agent.files().AGF.ONDERWERP = kTopic;
      platform::ui::Start([] { Program().Agent.PlaySubject(0); });
    });
  }

  static assistant::AgentFileRecord Step(int32_t number) {
    assistant::AgentFileRecord r;
    r.PROCEDURENAME = kConnection;
    r.ONDERWERP = kTopic;
    r.STEP = number;
    r.POSITIONX = kNoPosition;
    r.POSITIONY = kNoPosition;
    return r;
  }

  // Runs the program on the Qt display with the real windows; `script` acts as the user.
  void Run(const std::function<void(QtUser&, platform::qt::QtBackend&)>& script) {
    platform::qt::QtBackend qt;
    qt.SetProgramEndedHandler([] {});
    RegisterProcedures();
    app::RunProgram(qt, [&](platform::ui::Runtime& runtime) {
      QtUser user(runtime, qt);
      script(user, qt);
      user.CloseProgram();
    });
  }

  // F2 on the frame opens the connection window; null when it does not open.
  static WindowMirror* OpenConnectionWindow(QtUser& user, WindowMirror& frame) {
    user.PressKey(frame, Qt::Key_F2);
    return user.Window(kConnectionTitle);
  }

  // Lets the program and the GUI run until `done` holds, at most `seconds`.
  static bool SettleUntil(QtUser& user, const std::function<bool()>& done, int seconds = 30) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < give_up) {
      user.Settle();
      if (done()) return true;
      QTest::qWait(10);
    }
    return false;
  }
};

QRect ScreenRect(const platform::region::Rect& r) {
  return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

TEST_F(AssistantQtTest, TheCharacterSpeaksBesideTheConnectionWindowWhichKeepsTheFocus) {
  // The topic exists when the window opens, so the window has its assistant button.
  assistant::testing::StoreAgentStep(Step(0));
  constexpr int16_t kBelowTop = 120;
  constexpr std::string_view kSaid = "Kies hier de gegevensbron waarmee u wilt verbinden.";
  Run([&](QtUser& user, platform::qt::QtBackend& qt) {
    WindowMirror* frame = user.Frame();
    ASSERT_NE(frame, nullptr);
    WindowMirror* connection = OpenConnectionWindow(user, *frame);
    ASSERT_NE(connection, nullptr);
    // The author placed the character's upper left corner just right of the window, low
    // enough for the balloon to fit above it.
    const QRect window = ScreenRect(qt.WindowRect(connection->handle()));
    assistant::AgentFileRecord speak = Step(1);
    speak.POSITIONX = static_cast<int16_t>(window.width() + 8);
    speak.POSITIONY = kBelowTop;
    speak.CURSORPOSTOVAGENT = "LB";
    speak.SPEAK = kSaid;
    assistant::testing::StoreAgentStep(speak);

    QWidget* const active = QApplication::activeWindow();
    QWidget* const focus = QApplication::focusWidget();
    ASSERT_EQ(active, frame->top()->window());
    ASSERT_NE(focus, nullptr);
    ASSERT_TRUE(connection->top()->isAncestorOf(focus));

    user.PressKey(*connection, Qt::Key_F12);
    platform::qt::CharacterWindows& characters = qt.character_stage().windows();
    auto character = [&] { return characters.character_window(std::string(kCharacter)); };
    auto balloon = [&] { return characters.balloon_window(std::string(kCharacter)); };
    // Watched all along, while the character shows itself, moves and begins to speak.
    int focus_lost = 0;
    ASSERT_TRUE(SettleUntil(user, [&] {
      if (QApplication::activeWindow() != active || QApplication::focusWidget() != focus) {
        ++focus_lost;
      }
      return character() != nullptr && character()->isVisible() && balloon()->isVisible() &&
             balloon()->shown_text().toStdString() == kSaid;
    })) << "the character never said its text";
    EXPECT_EQ(focus_lost, 0);

    const QRect figure = character()->geometry();
    // Where the screen ends first, the character is kept on it.
    const QRect desktop = ScreenRect(qt.DesktopRect());
    EXPECT_EQ(figure.topLeft(),
              QPoint(std::min(window.right() + 9, desktop.right() + 1 - figure.width()),
                     window.top() + kBelowTop));
    if (window.right() + 9 + figure.width() <= desktop.right() + 1) {
      EXPECT_FALSE(figure.intersects(window));
    }
    EXPECT_TRUE(balloon()->geometry().intersects(figure.adjusted(-200, -200, 200, 200)));
    // Silent without a sound device, and saying so to nobody.
    for (QWidget* w : QApplication::topLevelWidgets()) {
      EXPECT_FALSE(w->isVisible() && qobject_cast<QMessageBox*>(w) != nullptr)
          << w->windowTitle().toStdString();
    }
    // Neither the character nor its balloon took the focus: the user types on.
    EXPECT_EQ(QApplication::activeWindow(), active);
    EXPECT_EQ(QApplication::focusWidget(), focus);

    if (std::getenv("PEX_SCREENSHOT_DIR") != nullptr) {
      const QRect around = (frame->top()->frameGeometry() | figure | balloon()->geometry())
                               .adjusted(-16, -16, 16, 16)
                               .intersected(QGuiApplication::primaryScreen()->geometry());
      const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
          0, around.x(), around.y(), around.width(), around.height());
      EXPECT_TRUE(shot.save(QString::fromStdString(
          (std::filesystem::path(std::getenv("PEX_SCREENSHOT_DIR")) / "pexolind-assistant.png")
              .string())));
    }

    QTest::keyClicks(focus, "pex_sqlite");
    EXPECT_TRUE(SettleUntil(
        user, [&] { return connection->control(8).screen_text == "DSN=pex_sqlite"; }, 10))
        << connection->control(8).screen_text;
    EXPECT_EQ(QApplication::activeWindow(), active);
  });
}

TEST_F(AssistantQtTest, ReplayedStepsClickARowOfTheListAndTypeIntoTheEntry) {
  // Short glides: one pixel of a slanted path per turn.
  assistant::testing::StoreAgentSetting("SlowDownMousEvents", "1");
  assistant::testing::StoreAgentStep(Step(0));
  Run([&](QtUser& user, platform::qt::QtBackend& qt) {
    WindowMirror* frame = user.Frame();
    ASSERT_NE(frame, nullptr);
    WindowMirror* connection = OpenConnectionWindow(user, *frame);
    ASSERT_NE(connection, nullptr);
    QTableView* list = user.List(*connection, "?DataSourceList");
    auto* username = qobject_cast<QLineEdit*>(user.Widget(*connection, "?Username"));
    ASSERT_NE(list, nullptr);
    ASSERT_NE(username, nullptr);
    ASSERT_GE(list->model()->rowCount(), 3);
    // The steps hold the points as the author recorded them, from the window's corner.
    const QPoint corner = ScreenRect(qt.WindowRect(connection->handle())).topLeft();
    const QModelIndex third = list->model()->index(2, 0);
    const QRect cell = list->visualRect(third);
    const QPoint row_at = list->viewport()->mapToGlobal(QPoint(cell.left() + 8, cell.center().y()));
    ASSERT_EQ(qt.WidgetAt(row_at), list->viewport());
    const QPoint row = row_at - corner;
    const QPoint entry = username->mapToGlobal(username->rect().center()) - corner;

    assistant::AgentFileRecord click = Step(1);
    click.EVENTPROCEDURE = kConnection;
    click.EVENT = platform::ui::kEventNewSelection;
    click.CONTROL = connection->view().structure->FindEquate("?DataSourceList");
    click.POSITIONX = static_cast<int16_t>(row.x());
    click.POSITIONY = static_cast<int16_t>(row.y());
    assistant::testing::StoreAgentStep(click);
    assistant::AgentFileRecord type = Step(2);
    type.EVENTPROCEDURE = kConnection;
    type.EVENT = platform::ui::kEventAccepted;
    type.CONTROL = connection->view().structure->FindEquate("?Username");
    type.POSITIONX = static_cast<int16_t>(entry.x());
    type.POSITIONY = static_cast<int16_t>(entry.y());
    type.SPEAK = "gast";
    assistant::testing::StoreAgentStep(type);

    user.PressKey(*connection, Qt::Key_F12);
    ASSERT_TRUE(SettleUntil(user, [&] { return username->text() == "gast"; }))
        << username->text().toStdString();
    // The click chose the row as the user's own would; the typed name reached the window.
    EXPECT_EQ(list->selectionModel()->currentIndex().row(), 2);
    EXPECT_TRUE(list->selectionModel()->isRowSelected(2, QModelIndex()));
    EXPECT_TRUE(SettleUntil(
        user,
        [&] { return connection->control(8).screen_text.find("UID=gast") != std::string::npos; },
        10))
        << connection->control(8).screen_text;
  });
}

}  // namespace
}  // namespace app
