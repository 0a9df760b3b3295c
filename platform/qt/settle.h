// Waiting on the GUI thread for the program's threads, for tests and the screenshot tools.
// The GUI must keep running while it waits: a runtime thread may itself be waiting for the
// GUI (a message box, a file dialog), and a GUI thread blocked in Runtime::WaitUntilIdle would
// never show it.
#pragma once

#include "platform/ui/thread.h"

namespace platform::qt {

// Runs the Qt event loop until every runtime thread waits for its next event (or has ended),
// then applies what they sent the display; `rounds` times, since what the GUI applies may
// post input again. Dialogs that come up meanwhile run, and whatever answers them (a test's
// dialog hook) answers them. GUI thread; never takes the runtime lock.
void Settle(ui::Runtime& runtime, int rounds = 3);

}  // namespace platform::qt
