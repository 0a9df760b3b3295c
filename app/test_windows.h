// Stand-ins for the dictionary and query windows, for the tests of the frame.
#pragma once

namespace app::testing {

// Registers the frame's procedures and, under the names of the dictionary and query windows,
// stand-ins that show a window with a Close button and nothing else.
void RegisterStandInWindows();

}  // namespace app::testing
