// The program's entry: the display backend on the process's main thread, the main program on
// runtime thread 1. The program takes no arguments of its own (Qt reads its own options).
#include "app/pexolind_main.h"
#include "app/procedures.h"
#include "app/program.h"

#if PEX_DISPLAY_QT
#include "platform/qt/run_qt.h"

int main(int argc, char** argv) {
  // The main module's initialiser runs before the runtime starts and its terminator after
  // the last runtime thread has ended.
  app::MainModule module;
  app::RegisterProcedures();
  return platform::qt::RunWithQt(argc, argv, app::MainProgram);
}
#else
#include "platform/headless/headless_backend.h"

// Built without the GUI: the program runs on the headless display, which has no screen.
int main() {
  platform::headless::HeadlessBackend backend;
  app::RegisterProcedures();
  return app::RunProgram(backend);
}
#endif
