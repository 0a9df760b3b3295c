// The main program: what thread 1 runs. It brings the global objects into service in a fixed
// order, runs the application frame Main, and takes them out of service again when Main
// returns. RunProgram is the whole run around it.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/core/message.h"

namespace platform::ui {
class DisplayBackend;
class Runtime;
}  // namespace platform::ui

namespace app {

// Start-up, Main, shut-down. Runs on thread 1. REQUIRES: a MainModule exists.
void MainProgram();

// The system message hook: every MESSAGE of the program goes to the style manager's styled
// message window; answers the number of the button chosen.
int32_t MessageHook(const platform::MessageRequest& request);

// Starts the runtime on `backend`, runs the module initialisers, runs MainProgram on thread 1,
// and after the last runtime thread has ended runs the terminators; answers the exit code, 0.
// `drive`, when given, runs on the calling thread once thread 1 has started: the display's
// event loop, or a test's scripted user.
int RunProgram(platform::ui::DisplayBackend& backend,
               const std::function<void(platform::ui::Runtime&)>& drive = {});

}  // namespace app
