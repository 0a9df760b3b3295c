// The splash window on a screen. With --screenshot FILE it writes a PNG of the screen around
// the window once the window has opened, over a patterned desktop so that what the outline
// leaves out shows, and then presses "&Continue"; without it the splash runs as at start-up.
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "platform/qt/qt_backend.h"
#include "platform/qt/window_mirror.h"
#include "platform/ui/thread.h"
#include "splash/splash_class.h"

namespace {

namespace ui = platform::ui;
using platform::qt::QtBackend;
using platform::qt::WindowMirror;

constexpr uint8_t kSplashSeconds = 10;
// Desktop shown around the window in the picture, in pixels.
constexpr int kMargin = 32;

// A desktop to show through the window's holes: diagonal stripes, below every window.
class Desktop final : public QWidget {
 public:
  Desktop() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint) {
    setGeometry(QGuiApplication::primaryScreen()->geometry());
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x2E, 0x6B, 0x4F));
    p.setPen(QPen(QColor(0x4F, 0x9A, 0x72), 6));
    for (int x = -height(); x < width(); x += 24) p.drawLine(x, height(), x + height(), 0);
  }
};

void Settle(ui::Runtime& runtime) {
  for (int i = 0; i < 5; ++i) {
    runtime.WaitUntilIdle();
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents();
  }
}

// The splash window's mirror while it holds (its timer set once the opening has ended).
WindowMirror* HoldingSplash(QtBackend& display) {
  for (ui::WindowHandle h : display.Windows()) {
    WindowMirror* m = display.Mirror(h);
    if (m != nullptr && m->view().module == "zovsplash" && m->view().timer > 0) return m;
  }
  return nullptr;
}

bool SaveScreen(const WindowMirror& splash, const QString& path) {
  const QRect around = splash.top()
                           ->frameGeometry()
                           .adjusted(-kMargin, -kMargin, kMargin, kMargin)
                           .intersected(QGuiApplication::primaryScreen()->geometry());
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
      0, around.x(), around.y(), around.width(), around.height());
  const bool ok = !shot.isNull() && shot.save(path);
  std::printf("%s %s\n", ok ? "wrote" : "could not write", path.toLocal8Bit().constData());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QString screenshot;
  for (int i = 1; i + 1 < argc; ++i) {
    if (QString::fromLocal8Bit(argv[i]) == QStringLiteral("--screenshot")) {
      screenshot = QString::fromLocal8Bit(argv[i + 1]);
    }
  }
  std::unique_ptr<Desktop> desktop;
  if (!screenshot.isEmpty()) {
    desktop = std::make_unique<Desktop>();
    desktop->show();
  }

  QtBackend display;
  // Declared before the runtime, so it outlives thread 1, which uses it.
  splash::ZOVSplashClass splash;
  ui::Runtime runtime(display);
  runtime.StartMain([&splash] { splash.SplashWindow(kSplashSeconds); });
  bool saved = screenshot.isEmpty();
  QTimer poll;
  if (!screenshot.isEmpty()) {
    QObject::connect(&poll, &QTimer::timeout, [&] {
      Settle(runtime);
      WindowMirror* m = HoldingSplash(display);
      if (m == nullptr) return;
      poll.stop();
      // What the last commands changed is painted by the window system's own round trips.
      QElapsedTimer painted;
      painted.start();
      while (painted.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 50);
      saved = SaveScreen(*m, screenshot);
      ui::Input press;
      press.kind = ui::Input::Kind::kClick;
      press.field = 4;  // "&Continue"
      press.key = ui::kMouseLeft;
      m->Post(press);
    });
    poll.start(20);
  }
  // Runs until thread 1 has ended, which it does once the splash has closed.
  QApplication::exec();
  runtime.Join();
  return saved ? 0 : 1;
}
