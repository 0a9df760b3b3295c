// The splash window on the Qt backend (offscreen platform): once it has opened the window is
// frameless with its own caption and frame, masked by the outline and above other windows,
// and "&Continue" closes it.
#include <atomic>
#include <cstdio>
#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QRegion>
#include <QWidget>
#include <QtGlobal>
#include <gtest/gtest.h>

#include "platform/qt/qt_backend.h"
#include "platform/qt/window_mirror.h"
#include "platform/qt/window_shape.h"
#include "platform/ui/thread.h"
#include "splash/splash_class.h"

namespace splash {
namespace {

namespace ui = platform::ui;
using platform::qt::QtBackend;
using platform::qt::WindowMirror;

class SplashQtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display.SetProgramEndedHandler([] {});
  }
  void TearDown() override {
    for (ui::WindowHandle h : display.Windows()) {
      if (WindowMirror* m = display.Mirror(h)) m->CloseBoxPressed();
    }
    Settle();
    runtime.Join();
    QCoreApplication::sendPostedEvents();
  }

  // Waits until every runtime thread waits for its next event while the GUI runs, then lets
  // the GUI apply what came; a few rounds, as what the GUI shows may post input again.
  void Settle() {
    for (int round = 0; round < 3; ++round) {
      QEventLoop loop;
      std::thread waiter([&] {
        runtime.WaitUntilIdle();
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
      });
      loop.exec();
      waiter.join();
      QCoreApplication::sendPostedEvents();
      QCoreApplication::processEvents();
    }
  }

  // Declared in the order they are built: thread 1 ends before the splash object goes.
  QtBackend display;
  ZOVSplashClass splash;
  ui::Runtime runtime{display};
};

TEST_F(SplashQtTest, TheOpenedWindowIsShapedOnTopAndContinueClosesIt) {
  std::atomic<bool> went_on{false};
  runtime.StartMain([&] {
    splash.SplashWindow(10);
    went_on = true;
  });
  Settle();
  WindowMirror* m = display.Mirror(display.FindWindow("P1$WINDOW"));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->view().timer, 1000);
  QRegion outline;
  for (const platform::region::Rect& r : splash.R1.Rects()) {
    outline += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  EXPECT_EQ(m->top()->mask(), outline);
  // Whatever the display's font makes of the dialog units, the whole outline fits.
  EXPECT_GE(m->top()->width(), splash.R1.BoundingBox().right);
  EXPECT_GE(m->top()->height(), splash.R1.BoundingBox().bottom);
  EXPECT_TRUE(platform::qt::DrawsOwnFrame(*m->top()));
  EXPECT_TRUE(m->top()->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(m->top()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // The controls sit inside the drawn frame and caption, where the outline expects them.
  EXPECT_EQ(m->client()->mapTo(m->top(), QPoint(0, 0)),
            QPoint(display.SystemMetric(32), display.SystemMetric(32) + display.SystemMetric(4)));
  EXPECT_FALSE(went_on);

  ui::Input press;
  press.kind = ui::Input::Kind::kClick;
  press.field = 4;  // "&Continue"
  press.key = ui::kMouseLeft;
  m->Post(press);
  Settle();
  EXPECT_TRUE(display.Windows().empty());
  runtime.Join();
  EXPECT_TRUE(went_on);
}

// The window's lines and "&Continue" with the display's own font metrics, for the font the
// desktop gives and for one 30% larger and smaller: each lies inside the outline, clear of
// its holes, and shows its whole text.
class SplashFontTest : public ::testing::TestWithParam<int> {
 protected:
  // The font is the user's before the backend measures it; the default one comes back after.
  struct Font {
    explicit Font(int percent) : saved(QApplication::font()) {
      QFont f = saved;
      if (f.pointSizeF() > 0) {
        f.setPointSizeF(f.pointSizeF() * percent / 100.0);
      } else {
        f.setPixelSize(f.pixelSize() * percent / 100);
      }
      QApplication::setFont(f);
    }
    ~Font() { QApplication::setFont(saved); }
    QFont saved;
  };

  void TearDown() override {
    for (ui::WindowHandle h : display.Windows()) {
      if (WindowMirror* m = display.Mirror(h)) m->CloseBoxPressed();
    }
    for (int i = 0; i < 3; ++i) {
      runtime.WaitUntilIdle();
      QCoreApplication::sendPostedEvents();
      QCoreApplication::processEvents();
    }
    runtime.Join();
    QCoreApplication::sendPostedEvents();
  }

  Font font{GetParam()};
  QtBackend display;
  ZOVSplashClass splash;
  ui::Runtime runtime{display};
};

TEST_P(SplashFontTest, ItsLinesAndTheContinueButtonShowWholeInsideTheOutline) {
  runtime.StartMain([&] { splash.SplashWindow(10); });
  WindowMirror* m = nullptr;
  for (int i = 0; i < 200 && (m == nullptr || m->view().timer == 0); ++i) {
    runtime.WaitUntilIdle();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    m = display.Mirror(display.FindWindow("P1$WINDOW"));
  }
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->view().timer, 1000);
  QRegion outline;
  for (const platform::region::Rect& r : splash.R1.Rects()) {
    outline += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  for (ui::FieldId f = 1; f <= 4; ++f) {
    SCOPED_TRACE(f);
    QWidget* w = m->widget(f);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    const QRect at(w->mapTo(m->top(), QPoint(0, 0)), w->size());
    EXPECT_TRUE(QRegion(at).subtracted(outline).isEmpty())
        << at.x() << "," << at.y() << " " << at.width() << "x" << at.height();
    const QFontMetrics fm(w->font());
    QString text;
    int margin = 0;
    if (auto* label = qobject_cast<QLabel*>(w)) {
      text = label->text();
    } else {
      text = qobject_cast<QAbstractButton*>(w)->text().remove(QLatin1Char('&'));
      margin = 12;  // the button's own frame and padding
    }
    EXPECT_LE(fm.horizontalAdvance(text) + margin, w->width()) << qPrintable(text);
    EXPECT_GE(w->height(), fm.height()) << qPrintable(text);
  }
}

INSTANTIATE_TEST_SUITE_P(Fonts, SplashFontTest, ::testing::Values(100, 130, 70),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Font" + std::to_string(info.param) + "Percent";
                         });

}  // namespace
}  // namespace splash

int main(int argc, char** argv) {
  // The offscreen platform has no window masks and says so at every step of the circle.
  qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (text.contains(QStringLiteral("does not support setting window masks"))) return;
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
      });
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
