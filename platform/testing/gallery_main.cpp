// The gallery: the sample windows on a screen. With --screenshots DIR it writes a PNG of
// each window, of each tab of the options window and of the connection window's message box
// into DIR once the windows are up, and ends; without it the windows stay until the frame is
// closed.
#include <cstdio>
#include <string>

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QMdiSubWindow>
#include <QPainter>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>

#include "platform/core/paths.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/gallery.h"
#include "platform/ui/thread.h"

namespace {

using platform::qt::QtBackend;
using platform::qt::WindowMirror;
namespace ui = platform::ui;

// The options window's logo ("~logo.png"), drawn into the data directory's images.
void WriteLogo(const QString& data_dir) {
  QDir(data_dir).mkpath(QStringLiteral("images"));
  QPixmap logo(96, 96);
  logo.fill(Qt::transparent);
  QPainter p(&logo);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 96, 96);
  g.setColorAt(0, QColor(0x40, 0x80, 0xC0));
  g.setColorAt(1, QColor(0x20, 0x40, 0x80));
  p.setBrush(g);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(4, 4, 88, 88, 16, 16);
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setPixelSize(40);
  f.setBold(true);
  p.setFont(f);
  p.drawText(logo.rect(), Qt::AlignCenter, QStringLiteral("Px"));
  p.end();
  logo.save(data_dir + QStringLiteral("/images/logo.png"));
}

void Settle(ui::Runtime& runtime) { platform::qt::Settle(runtime, 5); }

QString FileName(const std::string& title) {
  QString name = QString::fromStdString(title).toLower().remove(QLatin1Char('&'));
  name.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("-"));
  return name;
}

bool Save(QWidget* widget, const QString& path) {
  const bool ok = widget->grab().save(path);
  std::printf("%s %s\n", ok ? "wrote" : "could not write", path.toLocal8Bit().constData());
  return ok;
}

int TakeScreenshots(QtBackend& display, ui::Runtime& runtime, const QString& dir) {
  Settle(runtime);
  int failures = 0;
  int n = 0;
  for (ui::WindowHandle h : display.Windows()) {
    WindowMirror* m = display.Mirror(h);
    const QString base = QStringLiteral("%1/%2-%3")
                             .arg(dir)
                             .arg(++n, 2, 10, QLatin1Char('0'))
                             .arg(FileName(m->view().title));
    if (!Save(m->top(), base + QStringLiteral(".png"))) ++failures;
    // Every tab of every sheet, chosen as a user would.
    const ui::WindowStructure* structure = m->view().structure;
    for (size_t i = 0; structure != nullptr && i < structure->controls.size(); ++i) {
      const ui::ControlDecl& d = structure->controls[i];
      if (d.type != ui::ControlType::kTab || (d.attrs & ui::kAttrHidden) != 0) continue;
      ui::Input click;
      click.kind = ui::Input::Kind::kClick;
      click.field = structure->FieldAt(i);
      click.key = ui::kMouseLeft;
      m->Post(click);
      Settle(runtime);
      if (!Save(m->top(), base + QStringLiteral("-") + FileName(std::string(d.text)) +
                              QStringLiteral(".png"))) {
        ++failures;
      }
    }
  }
  // The connection window's question, as its Connect button asks it.
  if (const ui::WindowHandle h = display.FindWindow("Connection"); h != 0) {
    display.SetDialogHook([&](QWidget& dialog) {
      const QString path =
          QStringLiteral("%1/%2-message.png").arg(dir).arg(++n, 2, 10, QLatin1Char('0'));
      QMetaObject::invokeMethod(
          &dialog,
          [&dialog, path, &failures] {
            if (!Save(&dialog, path)) ++failures;
            dialog.close();
          },
          Qt::QueuedConnection);
    });
    ui::Input click;
    click.kind = ui::Input::Kind::kClick;
    click.field = platform::testing::gallery::kConnectionWindow.FindEquate("?ConnectButton");
    click.key = ui::kMouseLeft;
    display.Mirror(h)->Post(click);
    Settle(runtime);
    display.SetDialogHook({});
  }
  // The frame's close box closes everything, each window on its own thread.
  if (WindowMirror* frame = display.frame()) frame->CloseBoxPressed();
  for (ui::WindowHandle h : display.Windows()) {
    if (WindowMirror* m = display.Mirror(h)) m->CloseBoxPressed();
  }
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QString screenshots;
  for (int i = 1; i + 1 < argc; ++i) {
    if (QString::fromLocal8Bit(argv[i]) == QStringLiteral("--screenshots")) {
      screenshots = QString::fromLocal8Bit(argv[i + 1]);
    }
  }
  QTemporaryDir data;
  WriteLogo(data.path());
  platform::TEST_SetDataDirectory(data.path().toStdString());

  QtBackend display;
  ui::Runtime runtime(display);
  runtime.StartMain(platform::testing::gallery::GalleryMain);
  int failures = 0;
  if (!screenshots.isEmpty()) {
    QDir().mkpath(screenshots);
    failures = TakeScreenshots(display, runtime, screenshots);
  }
  // Runs until the program's last thread has ended; when it already has, its queued quit
  // ends the loop at once.
  QApplication::exec();
  runtime.Join();
  return failures == 0 ? 0 : 1;
}
