// The program's entry: the display backend on the process's main thread, the main program on
// runtime thread 1. The program takes no arguments.
#include "app/pexolind_main.h"
#include "platform/headless/headless_backend.h"

// TODO(Qt display backend): people get the Qt backend; until it is there the program runs
// on the headless one, which has no screen.
int main() {
  platform::headless::HeadlessBackend backend;
  return app::RunProgram(backend);
}
