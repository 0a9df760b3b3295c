// The styled message window on Qt's offscreen platform: real clicks on its buttons answer
// their numbers, it stands in the middle of the screen, and the program's F3 without a
// connection shows it with the look stored for message windows.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/pexolind_main.h"
#include "app/program.h"
#include "app/qt_program_test.h"
#include "app/test_windows.h"
#include "catalog/globals.h"
#include "platform/core/fixed_string.h"
#include "platform/core/message.h"
#include "platform/core/paths.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/odbc_sources.h"
#include "platform/testing/qt_user.h"
#include "platform/ui/prop.h"
#include "platform/ui/thread.h"
#include "restyle/restyle_file_builder.h"
#include "restyle/restyle_files.h"
#include "stylemanager/stylemanager_class.h"
#include "stylemanager/stylemanager_test_support.h"

namespace app {
namespace {

using platform::qt::QtBackend;
using platform::qt::WindowMirror;

class MessageWindowOnQtTest : public testing::QtProgramTest {
 protected:
  void SetUp() override {
    platform::testing::OdbcSources::Get();
    platform::TEST_SetProgramPath((std::filesystem::current_path() / "pexolind").string());
    catalog::Glo.ConnectString = "";
  }
  void TearDown() override {
    platform::TEST_SetProgramPath("");
    catalog::Glo.ConnectString = "";
  }

  // The open message window other than `not_this`; null when none opens.
  static WindowMirror* MessageWindow(platform::ui::Runtime& runtime, QtBackend& display,
                                     platform::ui::WindowHandle not_this = 0) {
    WindowMirror* found = nullptr;
    PumpUntil(runtime, [&] {
      const platform::ui::WindowHandle h = display.FindWindow("P44$MSGWIN");
      found = h != 0 && h != not_this ? display.Mirror(h) : nullptr;
      return found != nullptr && found->top() != nullptr && found->top()->isVisible();
    });
    return found;
  }

  // The window's buttons from left to right.
  static std::vector<QPushButton*> Buttons(const WindowMirror& m) {
    QList<QPushButton*> found = m.client()->findChildren<QPushButton*>();
    std::vector<QPushButton*> buttons(found.begin(), found.end());
    std::sort(buttons.begin(), buttons.end(),
              [](const QPushButton* a, const QPushButton* b) { return a->x() < b->x(); });
    return buttons;
  }

  restyle::testing::InTempDirForTest temp_;
};

TEST_F(MessageWindowOnQtTest, RealClicksAnswerTheButtonsNumbersInACentredWindow) {
  restyle::RestyleFiles files;
  platform::FixedString<255> user_name = "DEFAULT";
  stylemanager::ZOVStylemanagerClass manager;
  stylemanager::testing::BindToFiles(manager, files, user_name);
  QtBackend display;
  display.SetProgramEndedHandler([] {});
  platform::ui::Runtime runtime(display);
  std::vector<int32_t> answers;  // written by thread 1, read once it has ended
  runtime.StartMain([&] {
    manager.Init(0x653);
    for (int round = 0; round < 3; ++round) {
      platform::MessageRequest r;
      r.text = "Keep the changes?";
      r.captions = "&Ja|&Nee|&Misschien";
      answers.push_back(manager.ShowMessage(r));
    }
    manager.Shutdown();
  });
  platform::ui::WindowHandle last = 0;
  for (size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    WindowMirror* m = MessageWindow(runtime, display, last);
    ASSERT_NE(m, nullptr);
    last = m->handle();
    if (k == 0) {
      // The window's middle is the screen's, give or take the frame and caption the display
      // draws around it.
      const QPoint middle = m->top()->frameGeometry().center();
      const QPoint screen = m->top()->screen()->availableGeometry().center();
      EXPECT_LE(std::abs(middle.x() - screen.x()), 2 * display.SystemMetric(32) + 4);
      EXPECT_LE(std::abs(middle.y() - screen.y()),
                display.SystemMetric(4) + 2 * display.SystemMetric(32) + 4);
    }
    const std::vector<QPushButton*> buttons = Buttons(*m);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[1]->text(), "&Nee");
    QTest::mouseClick(buttons[k], Qt::LeftButton);
  }
  PumpUntil(runtime, [&] { return display.FindWindow("P44$MSGWIN") == 0; });
  runtime.Join();
  EXPECT_EQ(answers, (std::vector<int32_t>{1, 2, 3}));
}

TEST_F(MessageWindowOnQtTest, F3WithoutAConnectionShowsTheStyledMessage) {
  constexpr int32_t kColor = static_cast<int32_t>(platform::ui::Prop::Color);
  restyle::testing::WriteRestyleFiles([](restyle::testing::RestyleFileBuilder& b) {
    b.ListProperty(25, "COLOR", kColor);
    b.Value(b.Set("~ZOVRestyleMessage~", "ControlType 25"), kColor, "8421376");  // teal
  });
  testing::ProgramOnQt program;
  QtBackend& display = program.display;
  platform::ui::Runtime& runtime = program.runtime;
  platform::testing::QtUser& user = program.user;
  WindowMirror* frame = user.Frame();
  ASSERT_NE(frame, nullptr);
  user.PressKey(*frame, Qt::Key_F3);
  WindowMirror* message = MessageWindow(runtime, display);
  ASSERT_NE(message, nullptr);
  // The line takes the size of its text in the display's font: all of it shows.
  const QList<QLabel*> labels = message->client()->findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels[0]->text(), "Please select a ODBC connection first!");
  EXPECT_GE(labels[0]->width(), labels[0]->fontMetrics().horizontalAdvance(labels[0]->text()));
  const QImage shown = message->client()->grab().toImage();
  EXPECT_EQ(shown.pixelColor(2, shown.height() - 2), QColor(0, 0x80, 0x80));
  EXPECT_TRUE(platform::testing::QtUser::Screenshot(message->top(), "pexolind-message.png"));
  const std::vector<QPushButton*> buttons = Buttons(*message);
  ASSERT_EQ(buttons.size(), 1u);
  QTest::mouseClick(buttons[0], Qt::LeftButton);
  EXPECT_TRUE(PumpUntil(runtime, [&] { return user.Window("Choose an ODB Cconnection"); }));
  user.CloseProgram();
  runtime.Join();
}

}  // namespace
}  // namespace app
