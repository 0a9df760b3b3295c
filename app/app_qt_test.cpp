// The frame and the connection window on Qt's offscreen platform: the frame is a main window
// with its menu, F2's item opens the connection window as an MDI sub-window with its
// controls and data sources, a connection chosen there shows in the frame's menu, and the
// window and its controls show the colours and fonts stored for them.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPushButton>
#include <QRegion>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/pexolind_main.h"
#include "app/program.h"
#include "app/qt_program_test.h"
#include "app/test_windows.h"
#include "catalog/globals.h"
#include "platform/core/paths.h"
#include "platform/core/queue.h"
#include "platform/qt/character_window.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/snapshot_model.h"
#include "platform/qt/window_mirror.h"
#include "platform/region/shapes.h"
#include "platform/testing/bitmap_file.h"
#include "platform/testing/odbc_sources.h"
#include "platform/testing/pixel_probe.h"
#include "platform/testing/qt_user.h"
#include "platform/ui/desktop.h"
#include "platform/ui/prop.h"
#include "platform/ui/thread.h"
#include "restyle/restyle_base.h"
#include "restyle/restyle_file_builder.h"
#include "restyle/stored_shapes.h"

namespace app {
namespace {

using platform::qt::QtBackend;
using platform::qt::WindowMirror;

class AppOnQtTest : public testing::QtProgramTest {
 protected:
  void SetUp() override {
    platform::testing::OdbcSources::Get();
    std::string tmpl = (std::filesystem::temp_directory_path() / "pex-app-qt.XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    previous_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    platform::TEST_SetProgramPath((dir_ / "pexolind").string());
    catalog::Glo.ConnectString = "";
  }
  void TearDown() override {
    platform::TEST_SetProgramPath("");
    catalog::Glo.ConnectString = "";
    std::filesystem::current_path(previous_dir_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // With PEX_SCREENSHOT_DIR set (scripts/screenshot), writes a picture of `widget` there.
  static void Screenshot(QWidget* widget, const char* file) {
    const char* dir = std::getenv("PEX_SCREENSHOT_DIR");
    if (dir == nullptr || widget == nullptr) return;
    EXPECT_TRUE(
        widget->grab().save(QString::fromStdString((std::filesystem::path(dir) / file).string())));
  }

  std::filesystem::path dir_;
  std::filesystem::path previous_dir_;
};

TEST_F(AppOnQtTest, FrameAndConnectionWindowAreRealWindows) {
  testing::ProgramOnQt program;
  QtBackend& display = program.display;
  platform::ui::Runtime& runtime = program.runtime;

  // The splash window's display time runs out at once.
  ASSERT_TRUE(PumpUntil(runtime, [&] {
    for (platform::ui::WindowHandle h : display.Windows()) {
      WindowMirror* m = display.Mirror(h);
      if (m == nullptr || m->view().module != "zovsplash") continue;
      platform::ui::Input timer;
      timer.kind = platform::ui::Input::Kind::kTimer;
      m->Post(timer);
    }
    return display.FindWindow("P1$APPFRAME") != 0;
  }));
  WindowMirror* frame = display.Mirror(display.FindWindow("P1$APPFRAME"));
  ASSERT_NE(frame, nullptr);
  auto* main_window = qobject_cast<QMainWindow*>(frame->top());
  ASSERT_NE(main_window, nullptr);
  EXPECT_TRUE(main_window->windowTitle().startsWith("Pexolind version 1.10"));
  ASSERT_NE(frame->action(-3), nullptr);
  EXPECT_EQ(frame->action(-3)->text().toStdString(), "No connection selected");
  EXPECT_FALSE(frame->action(-3)->isEnabled());
  ASSERT_NE(frame->action(-2), nullptr);

  frame->action(-2)->trigger();
  ASSERT_TRUE(PumpUntil(runtime, [&] { return display.FindWindow("Choose an ODB Cconnection"); }));
  WindowMirror* connection = display.Mirror(display.FindWindow("Choose an ODB Cconnection"));
  ASSERT_NE(connection, nullptr);
  auto* sub = qobject_cast<QMdiSubWindow*>(connection->top());
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->windowTitle().toStdString(), "Choose an ODB Cconnection");
  auto* connect = qobject_cast<QPushButton*>(connection->widget(11));
  ASSERT_NE(connect, nullptr);
  EXPECT_EQ(connect->text().toStdString(), "&Connect");
  ASSERT_NE(connection->model(10), nullptr);
  EXPECT_GE(connection->model(10)->rowCount(), 4);
  auto* dsn = qobject_cast<QComboBox*>(connection->widget(2));
  ASSERT_NE(dsn, nullptr);
  ASSERT_NE(dsn->lineEdit(), nullptr);

  if (std::getenv("PEX_SCREENSHOT_DIR") != nullptr) {
    // The frame opens smaller than the connection window; the picture shows both whole, as
    // a user sees them after enlarging the frame.
    main_window->resize(sub->width() + 80, sub->height() + 160);
    sub->move(20, 20);
    QCoreApplication::processEvents();
  }
  Screenshot(main_window, "pexolind-frame-and-connection.png");
  Screenshot(sub, "pexolind-connection.png");

  // Typing in the data source entry builds the connect string as the user types.
  QTest::keyClicks(dsn->lineEdit(), "pex_sqlite");
  ASSERT_TRUE(
      PumpUntil(runtime, [&] { return connection->control(8).screen_text == "DSN=pex_sqlite"; }));

  connect->click();
  ASSERT_TRUE(PumpUntil(runtime, [&] {
    return frame->action(-3) != nullptr && frame->action(-3)->text() == "DSN=pex_sqlite";
  }));

  frame->CloseBoxPressed();
  ASSERT_TRUE(PumpUntil(runtime, [&] { return display.program_ended(); }));
  runtime.Join();
}

using platform::testing::Shows;

TEST_F(AppOnQtTest, ARestyledConnectionWindowShowsItsStoredColoursAndFonts) {
  constexpr int32_t kColor = static_cast<int32_t>(platform::ui::Prop::Color);
  constexpr int32_t kFontColor = static_cast<int32_t>(platform::ui::Prop::FontColor);
  constexpr int32_t kFont = static_cast<int32_t>(platform::ui::Prop::Font);
  constexpr platform::ui::FieldId kUsernamePrompt = 3;
  constexpr platform::ui::FieldId kConnectButton = 11;
  restyle::testing::WriteRestyleFiles([](restyle::testing::RestyleFileBuilder& b) {
    b.ListProperty(25, "COLOR", kColor);
    b.ListProperty(10, "COLOR", kColor);
    b.ListProperty(10, "FONTCOLOR", kFontColor);
    b.ListProperty(10, "FONT", kFont);
    b.Value(b.Set("ChooseODBCconnection", "ControlType 25"), kColor, "65280");  // green
    const int32_t prompts = b.Set(std::string(restyle::kGlobalSettings), "ControlType 10");
    b.Value(prompts, kColor, "16711680");  // blue
    b.Value(prompts, kFontColor, "255");   // red
    // The font layout: colour 1-19, face 20-51, size 52-53, style 54-65, character set.
    std::string layout = "255";
    layout.resize(19, ' ');
    layout += "DejaVu Serif";
    layout.resize(51, ' ');
    layout += "14700";
    b.Value(prompts, kFont, layout);
  });
  testing::ProgramOnQt program;
  platform::ui::Runtime& runtime = program.runtime;
  platform::testing::QtUser& user = program.user;
  WindowMirror* connection = program.OpenConnectionWindow();
  ASSERT_NE(connection, nullptr);
  QWidget* client = connection->client();
  QWidget* prompt = connection->widget(kUsernamePrompt);
  QWidget* button = connection->widget(kConnectButton);
  ASSERT_NE(client, nullptr);
  ASSERT_NE(prompt, nullptr);
  ASSERT_NE(button, nullptr);
  const QImage shown = client->grab().toImage();
  // The window's ground, right of the prompts and above the entries.
  const QRect prompt_at = prompt->geometry();
  EXPECT_EQ(shown.pixelColor(prompt_at.right() + 2, prompt_at.center().y()), QColor(0, 255, 0));
  // The prompt's own ground and its red text.
  EXPECT_EQ(shown.pixelColor(prompt_at.right() - 1, prompt_at.top() + 1), QColor(0, 0, 255));
  EXPECT_TRUE(Shows(shown, prompt_at, QColor(255, 0, 0))) << "no red text";
  const QFontInfo prompt_font(prompt->font());
  EXPECT_EQ(prompt_font.family(), "DejaVu Serif");
  EXPECT_EQ(prompt_font.pointSize(), 14);
  EXPECT_TRUE(prompt_font.bold());
  // The button has no style of its own: none of the prompts' colours.
  EXPECT_FALSE(Shows(shown, button->geometry(), QColor(0, 0, 255)));
  EXPECT_TRUE(
      platform::testing::QtUser::Screenshot(connection->top(), "pexolind-connection-restyled.png"));
  user.CloseProgram();
  runtime.Join();
}

TEST_F(AppOnQtTest, ARestyledConnectionWindowIsRoundedAndCarriesItsImages) {
  constexpr int32_t kRoundness = 40;
  constexpr uint32_t kImageColour = 0xFF00FF;  // magenta: nowhere else on the window
  ASSERT_TRUE(platform::testing::WriteBitmapFile("corner.bmp", 24, 24,
                                                 [](int, int) { return kImageColour; }));
  restyle::testing::WriteRestyleFiles([](restyle::testing::RestyleFileBuilder& b) {
    b.ListProperty(25, "WINDOW ROUNDNESS", restyle::kWindowRoundness);
    b.Value(b.Set("ChooseODBCconnection", "ControlType 25"), restyle::kWindowRoundness,
            std::to_string(kRoundness));
    const int32_t images = b.Set("ChooseODBCconnection", "~Images~");
    restyle::ImagePropertyGroup settings;
    settings.CHANGEIMAGESETTINGS = 1;
    settings.NUMBEROFIMAGES = 2;
    b.store().SaveGroup(settings, images, "~DEFAULT:Images");
    platform::Queue<restyle::ImageQueueRecord> queue;
    // One in the bottom-left corner, one in the top-right, both 12 by 12 units.
    for (uint8_t n = 1; n <= 2; ++n) {
      restyle::ImageQueueRecord& image = queue.buffer;
      image = {};
      image.IMAGEORDER = n;
      image.IMAGEFILE = "corner.bmp";
      image.XPOS = n == 1 ? 4 : 16;
      image.YPOS = n == 1 ? 16 : 4;
      image.MOVEFROM = n == 1 ? 3 : 2;
      image.WIDTH = 12;
      image.HEIGHT = 12;
      b.store().SaveQueue(queue, images, "~DEFAULT:Image " + std::to_string(n));
    }
  });
  testing::ProgramOnQt program;
  QtBackend& display = program.display;
  platform::ui::Runtime& runtime = program.runtime;
  platform::testing::QtUser& user = program.user;
  WindowMirror* connection = program.OpenConnectionWindow();
  ASSERT_NE(connection, nullptr);
  QWidget* top = connection->top();
  ASSERT_NE(top, nullptr);

  // The outline is the window's rectangle less its edges, with the stored corners; it is
  // made from where the window is once open, so it fits the window as the user sees it.
  const int32_t ex = display.SystemMetric(platform::ui::kSmCxEdge);
  const int32_t ey = display.SystemMetric(platform::ui::kSmCyEdge);
  QRegion expected;
  EXPECT_TRUE(
      PumpUntil(runtime,
                [&] {
                  const QSize size = top->size();
                  expected = platform::qt::ToQRegion(platform::region::CreateRoundRectRgn(
                      ex, ey, size.width() - ex, size.height() - ey, kRoundness, kRoundness));
                  return top->mask() == expected;
                }))
      << "mask " << top->mask().boundingRect().width() << "x"
      << top->mask().boundingRect().height();
  EXPECT_FALSE(top->mask().contains(QPoint(ex, ey)));  // a rounded corner

  // Both images are on the window, left and right.
  const QImage shown = connection->client()->grab().toImage();
  const int half = shown.width() / 2;
  EXPECT_TRUE(Shows(shown, QRect(0, 0, half, shown.height()), QColor(0xFF, 0, 0xFF)));
  EXPECT_TRUE(
      Shows(shown, QRect(half, 0, shown.width() - half, shown.height()), QColor(0xFF, 0, 0xFF)));
  // The frame, as drawn, shows the window inside it with its corners cut; enlarged as a user
  // would, so that all four corners show.
  if (std::getenv("PEX_SCREENSHOT_DIR") != nullptr) {
    user.Frame()->top()->resize(top->width() + 80, top->height() + 120);
    top->move(30, 30);
    QCoreApplication::processEvents();
  }
  EXPECT_TRUE(
      platform::testing::QtUser::Screenshot(user.Frame()->top(), "pexolind-rounded-images.png"));
  user.CloseProgram();
  runtime.Join();
}

}  // namespace
}  // namespace app
