// The program's entry on a screen: runs the Qt application on the process's main thread and
// the program on runtime threads. Free of Qt, so the program's main() can call it without
// seeing Qt.
//
//   int main(int argc, char** argv) { return platform::qt::RunWithQt(argc, argv, ProgramMain); }
#pragma once

#include <functional>

#include "platform/ui/thread.h"

namespace platform::qt {

// Starts the application, runs `main` on runtime thread 1 and shows its windows until the
// program's last runtime thread has ended; answers the program's exit code (0: the program
// ended by itself; HALT ends the process with its own code). On the process's main thread,
// once per process.
int RunWithQt(int argc, char** argv, ui::Procedure main);

// The same for a caller that makes the runtime itself (the program's RunProgram): `run` gets
// the Qt display and a `drive` to call once thread 1 has started, which shows the windows
// until the program's last runtime thread has ended. Answers what `run` answers.
using DriveDisplay = std::function<void(ui::Runtime&)>;
int RunWithQtDisplay(int argc, char** argv,
                     const std::function<int(ui::DisplayBackend&, const DriveDisplay&)>& run);

}  // namespace platform::qt
