// The one translation between Qt's keys and the runtime's key codes: a key is its
// virtual-key number plus 100h for Shift, 200h for Ctrl and 400h for Alt. Keys are read as on
// a US keyboard, so a shifted symbol is the key it sits on ('!' is the key '1' with Shift).
#pragma once

#include <QKeySequence>
#include <Qt>

#include "platform/ui/codes.h"

namespace platform::qt {

// The runtime's code of `key` pressed with `modifiers`; 0 for a key the runtime has no code
// for, and for a modifier key pressed on its own.
ui::KeyCode KeyCodeFromQt(int key, Qt::KeyboardModifiers modifiers);
// What Shift, Ctrl and Alt held add to a key or mouse code.
ui::KeyCode ModifierCodes(Qt::KeyboardModifiers modifiers);

// The key sequence that presses `code`, for showing and matching a control's KEY; empty for
// a mouse code or a code without a Qt key.
QKeySequence KeySequenceFromCode(ui::KeyCode code);

}  // namespace platform::qt
