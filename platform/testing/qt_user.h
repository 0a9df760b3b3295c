// A user at the Qt display, for the program's tests on the offscreen platform and for the
// screenshot tool: presses buttons, chooses menu items, types and picks list rows through
// the real widgets, and after every step lets the program's threads and the GUI settle, so
// the widgets show the program's answer before the next step. Runs on the GUI thread.
//
//   QtUser user(runtime, display);
//   platform::qt::WindowMirror* frame = user.Frame();
//   user.ChooseMenu(*frame, "?PEXOLINDBUILDDICTIONARY");
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/qt/qt_backend.h"
#include "platform/qt/window_mirror.h"
#include "platform/ui/thread.h"

class QWidget;
class QTableView;

namespace platform::testing {

class QtUser {
 public:
  // Both are borrowed and outlive this object.
  QtUser(platform::ui::Runtime& runtime, platform::qt::QtBackend& display)
      : runtime_(runtime), display_(display) {}

  // Lets the program's threads run until they wait, and applies what they sent the display;
  // a few rounds, since applied commands may send input back. The GUI keeps running
  // meanwhile, so a dialog the program opens shows (and a dialog hook may answer it).
  void Settle();

  // The application frame, once the start-up splash window has gone: its display time is
  // made to run out at once. Null when the frame does not open.
  platform::qt::WindowMirror* Frame();
  // The open window whose title or label is `name`; null when there is none.
  platform::qt::WindowMirror* Window(std::string_view name);
  // The widget of the control declared with `equate`; null when there is none.
  QWidget* Widget(platform::qt::WindowMirror& w, std::string_view equate);
  QTableView* List(platform::qt::WindowMirror& w, std::string_view equate);

  // Triggers the menu item declared with `equate`, as a click on it does.
  void ChooseMenu(platform::qt::WindowMirror& w, std::string_view equate);
  // Presses `key` (a Qt key code, with `modifiers` held) where the focus is, or in `w` when
  // nothing has it.
  void PressKey(platform::qt::WindowMirror& w, int key, Qt::KeyboardModifiers modifiers = {});
  // Clicks a button, a check box, or the tab declared with `equate`.
  void Click(platform::qt::WindowMirror& w, std::string_view equate);
  // Replaces the text of an entry or combo by typing `text`.
  void Type(platform::qt::WindowMirror& w, std::string_view equate, std::string_view text);
  // Clicks (or double-clicks) the first row of the list whose `column` (from 1) starts with
  // `text`; false when no row does.
  bool ClickRow(platform::qt::WindowMirror& w, std::string_view equate, int32_t column,
                std::string_view text, bool double_click = false);
  // The rows the list's widget shows, and the text of one cell (row and column from 1).
  int32_t Rows(platform::qt::WindowMirror& w, std::string_view equate);
  std::string Cell(platform::qt::WindowMirror& w, std::string_view equate, int32_t row,
                   int32_t column);

  // Closes the frame by its close box and waits until the program has ended.
  void CloseProgram();

  // With PEX_SCREENSHOT_DIR set (scripts/screenshot), saves a picture of `widget` there as
  // `file`, answering whether that worked; without it, nothing is saved and the answer is
  // true.
  static bool Screenshot(QWidget* widget, std::string_view file);

 private:
  platform::ui::Runtime& runtime_;
  platform::qt::QtBackend& display_;
};

}  // namespace platform::testing
