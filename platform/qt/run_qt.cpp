#include "platform/qt/run_qt.h"

#include <QApplication>

#include "platform/qt/qt_backend.h"

namespace platform::qt {

int RunWithQtDisplay(int argc, char** argv,
                     const std::function<int(ui::DisplayBackend&, const DriveDisplay&)>& run) {
  QApplication app(argc, argv);
  // The windows come and go with the program's threads, not with the last window shown.
  QApplication::setQuitOnLastWindowClosed(false);
  QtBackend display;
  // ProgramEnded quits the loop; when the program ended before the loop started, its queued
  // quit runs first thing in it.
  const DriveDisplay drive = [](ui::Runtime&) { QApplication::exec(); };
  return run(display, drive);
}

int RunWithQt(int argc, char** argv, ui::Procedure main) {
  return RunWithQtDisplay(argc, argv,
                          [&main](ui::DisplayBackend& display, const DriveDisplay& drive) {
                            ui::Runtime runtime(display);
                            runtime.StartMain(std::move(main));
                            drive(runtime);
                            runtime.Join();
                            return 0;
                          });
}

}  // namespace platform::qt
