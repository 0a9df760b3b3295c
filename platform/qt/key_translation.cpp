#include "platform/qt/key_translation.h"

#include <utility>

namespace platform::qt {
namespace {

using ui::KeyCode;

// Keys whose virtual-key number is not their character. The first Qt key of a number is
// the one KeySequenceFromCode gives back.
constexpr std::pair<int, KeyCode> kKeys[] = {
    {Qt::Key_Backspace, 0x08},
    {Qt::Key_Tab, 0x09},
    {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},
    {Qt::Key_Pause, 0x13},
    {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20},
    {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},
    {Qt::Key_Left, 0x25},
    {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28},
    {Qt::Key_Print, 0x2C},
    {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},
    {Qt::Key_Menu, 0x5D},
    {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91},
    // Punctuation keys, unshifted and shifted.
    {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Colon, 0xBA},
    {Qt::Key_Equal, 0xBB},
    {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC},
    {Qt::Key_Less, 0xBC},
    {Qt::Key_Minus, 0xBD},
    {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},
    {Qt::Key_Slash, 0xBF},
    {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_AsciiTilde, 0xC0},
    {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},
    {Qt::Key_Bar, 0xDC},
    {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_BraceRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE},
    {Qt::Key_QuoteDbl, 0xDE},
    // The shifted digits.
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// Keypad keys have numbers of their own.
constexpr std::pair<int, KeyCode> kKeypad[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},  {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Comma, 0x6E}, {Qt::Key_Slash, 0x6F},
};

KeyCode BaseCode(int key, bool keypad) {
  if (keypad) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return 0x60 + (key - Qt::Key_0);
    for (const auto& [k, code] : kKeypad) {
      if (k == key) return code;
    }
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return ui::kF1Key + (key - Qt::Key_F1);
  if (key == Qt::Key_Backtab) return ui::kTabKey;
  for (const auto& [k, code] : kKeys) {
    if (k == key) return code;
  }
  return 0;
}

}  // namespace

KeyCode KeyCodeFromQt(int key, Qt::KeyboardModifiers modifiers) {
  const KeyCode base = BaseCode(key, modifiers.testFlag(Qt::KeypadModifier));
  if (base == 0) return 0;
  // Qt reports Shift+Tab as Backtab, with or without the Shift modifier.
  if (key == Qt::Key_Backtab) modifiers |= Qt::ShiftModifier;
  return base + ModifierCodes(modifiers);
}

KeyCode ModifierCodes(Qt::KeyboardModifiers modifiers) {
  KeyCode code = 0;
  if (modifiers.testFlag(Qt::ShiftModifier)) code += ui::kShift;
  if (modifiers.testFlag(Qt::ControlModifier)) code += ui::kCtrl;
  if (modifiers.testFlag(Qt::AltModifier)) code += ui::kAlt;
  return code;
}

QKeySequence KeySequenceFromCode(KeyCode code) {
  if (ui::IsMouseKey(code)) return {};
  const KeyCode base = code & 0xFF;
  int key = 0;
  if (base >= 'A' && base <= 'Z') {
    key = Qt::Key_A + (base - 'A');
  } else if (base >= '0' && base <= '9') {
    key = Qt::Key_0 + (base - '0');
  } else if (base >= ui::kF1Key && base <= ui::kF1Key + 23) {
    key = Qt::Key_F1 + (base - ui::kF1Key);
  } else {
    for (const auto& [k, c] : kKeys) {
      if (c == base) {
        key = k;
        break;
      }
    }
  }
  if (key == 0) return {};
  int modifiers = 0;
  if (code & ui::kShift) modifiers |= Qt::SHIFT;
  if (code & ui::kCtrl) modifiers |= Qt::CTRL;
  if (code & ui::kAlt) modifiers |= Qt::ALT;
  return QKeySequence(key | modifiers);
}

}  // namespace platform::qt
