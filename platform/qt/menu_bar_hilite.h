// The highlight the program gives a menu-bar entry without opening it (HiliteMenuItem). Qt's
// menu bar keeps no such state, so a layer over the bar draws the entry as the style draws the
// entry of an open menu; the bar itself, and the mouse on it, go on as before.
#pragma once

#include <cstdint>

class QMenuBar;

namespace platform::qt {

// Shows the bar's entry at `position` (from 1, in the order of the bar's actions) highlighted,
// or none for 0 or a position past the last entry. GUI thread.
void ShowMenuBarHilite(QMenuBar& bar, int64_t position);

// The entry shown highlighted, 0 for none.
int64_t MenuBarHilite(const QMenuBar& bar);

}  // namespace platform::qt
