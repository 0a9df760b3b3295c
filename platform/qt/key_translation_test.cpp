#include "platform/qt/key_translation.h"

#include <string_view>

#include <gtest/gtest.h>

namespace platform::qt {
namespace {

using ui::KeyCode;

struct Case {
  std::string_view name;
  int key;
  Qt::KeyboardModifiers modifiers;
  KeyCode code;
};

const Case kCases[] = {
    {"letter", Qt::Key_A, Qt::NoModifier, 0x41},
    {"last letter", Qt::Key_Z, Qt::NoModifier, 0x5A},
    {"digit", Qt::Key_0, Qt::NoModifier, 0x30},
    {"shifted digit is its key", Qt::Key_Exclam, Qt::ShiftModifier, 0x131},
    {"keypad digit", Qt::Key_7, Qt::KeypadModifier, 0x67},
    {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, 0x6B},
    {"F1", Qt::Key_F1, Qt::NoModifier, 0x70},
    {"F2", Qt::Key_F2, Qt::NoModifier, 0x71},
    {"F12", Qt::Key_F12, Qt::NoModifier, 0x7B},
    {"Shift+F3", Qt::Key_F3, Qt::ShiftModifier, 0x172},
    {"Ctrl+Alt+S", Qt::Key_S, Qt::ControlModifier | Qt::AltModifier, 0x653},
    {"Alt+F4", Qt::Key_F4, Qt::AltModifier, 0x473},
    {"Enter", Qt::Key_Return, Qt::NoModifier, 0x0D},
    {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, 0x0D},
    {"Escape", Qt::Key_Escape, Qt::NoModifier, 0x1B},
    {"Tab", Qt::Key_Tab, Qt::NoModifier, 0x09},
    {"Backtab is Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, 0x109},
    {"Backtab without Shift", Qt::Key_Backtab, Qt::NoModifier, 0x109},
    {"Delete", Qt::Key_Delete, Qt::NoModifier, 0x2E},
    {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier, 0x224},
    {"Down", Qt::Key_Down, Qt::NoModifier, 0x28},
    {"comma", Qt::Key_Comma, Qt::NoModifier, 0xBC},
    {"colon is the semicolon key", Qt::Key_Colon, Qt::ShiftModifier, 0x1BA},
    {"Shift alone", Qt::Key_Shift, Qt::ShiftModifier, 0},
    {"Ctrl alone", Qt::Key_Control, Qt::ControlModifier, 0},
    {"unknown key", Qt::Key_Launch0, Qt::NoModifier, 0},
};

TEST(KeyTranslation, QtKeysBecomeTheRuntimesCodes) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(KeyCodeFromQt(c.key, c.modifiers), c.code);
  }
}

TEST(KeyTranslation, CodesGoBackToTheKeysThatPressThem) {
  const KeyCode kCodes[] = {0x41, 0x30, 0x71, 0x172, 0x653, 0x0D, 0x1B, 0x2E, 0x224, 0xBC};
  for (KeyCode code : kCodes) {
    SCOPED_TRACE(code);
    const QKeySequence seq = KeySequenceFromCode(code);
    ASSERT_EQ(seq.count(), 1);
    const QKeyCombination k = seq[0];
    EXPECT_EQ(KeyCodeFromQt(k.key(), k.keyboardModifiers()), code);
  }
}

TEST(KeyTranslation, MouseCodesHaveNoKeySequence) {
  for (KeyCode code :
       {ui::kMouseLeft, ui::kMouseLeft2, ui::kMouseLeftUp, ui::kCtrl + ui::kMouseRight}) {
    SCOPED_TRACE(code);
    EXPECT_TRUE(KeySequenceFromCode(code).isEmpty());
  }
}

}  // namespace
}  // namespace platform::qt
