// The gallery: the sample windows on a screen. With --screenshots DIR it writes a PNG of
// each window, of each tab of the options window, of each of the frame's menus with their
// icons and of the connection window's message box into DIR once the windows are up, and
// ends; without it the windows stay until the frame is closed.
#include <cstdio>
#include <string>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
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

// The program's own pictures, for the menus' icons and the wallpaper window's picture.
void CopyProgramPictures(const QString& from_data_dir, const QString& data_dir) {
  const QDir from(from_data_dir + QStringLiteral("/images"));
  for (const QString& name : from.entryList(QDir::Files)) {
    QFile::copy(from.filePath(name), data_dir + QStringLiteral("/images/") + name);
  }
}

// The wallpaper window's tile ("~tile.png"): a soft diagonal pattern.
void WriteTile(const QString& data_dir) {
  QPixmap tile(24, 24);
  tile.fill(QColor(0xE8, 0xEE, 0xF4));
  QPainter p(&tile);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0xC4, 0xD2, 0xE2), 3));
  p.drawLine(0, 24, 24, 0);
  p.setBrush(QColor(0xA8, 0xBC, 0xD4));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPoint(6, 6), 3, 3);
  p.end();
  tile.save(data_dir + QStringLiteral("/images/tile.png"));
}

// The options window's logo ("~logo.png"), drawn into the data directory's images.
void WriteLogo(const QString& data_dir) {
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
  // The frame's menus, opened one after another, with the icons of their entries.
  if (WindowMirror* frame = display.frame()) {
    auto* main = qobject_cast<QMainWindow*>(frame->top());
    for (QAction* entry : main != nullptr ? main->menuBar()->actions() : QList<QAction*>()) {
      QMenu* menu = entry->menu();
      if (menu == nullptr) continue;
      menu->popup(
          main->menuBar()->mapToGlobal(main->menuBar()->actionGeometry(entry).bottomLeft()));
      Settle(runtime);
      const QString path = QStringLiteral("%1/%2-menu-%3.png")
                               .arg(dir)
                               .arg(++n, 2, 10, QLatin1Char('0'))
                               .arg(FileName(entry->text().toStdString()));
      if (!Save(menu, path)) ++failures;
      menu->hide();
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
  QDir(data.path()).mkpath(QStringLiteral("images"));
  CopyProgramPictures(QString::fromStdString(platform::DataDirectory()), data.path());
  WriteTile(data.path());
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
