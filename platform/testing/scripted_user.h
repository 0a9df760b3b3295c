// A scripted user for tests: acts on the headless backend's windows as a person would, by
// feeding input back to the runtime, and waits until every runtime thread is idle after
// each step, so a test reads the model and the mirror without sleeps.
//
//   ScriptedUser user(runtime, display);
//   WindowHandle w = user.Window("Choose an ODB Cconnection");
//   user.Type(w, "?Username", "sa");
//   user.Click(w, "?ConnectButton");
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/headless/headless_backend.h"
#include "platform/region/region.h"
#include "platform/ui/thread.h"

namespace platform::testing {

using headless::HeadlessBackend;
using headless::MirrorWindow;
using ui::ControlView;
using ui::FieldId;
using ui::ListSnapshot;
using ui::WindowHandle;

class ScriptedUser {
 public:
  ScriptedUser(ui::Runtime& runtime, HeadlessBackend& display)
      : runtime_(runtime), display_(display) {}

  // Waits until every runtime thread waits for its next event or has ended.
  void WaitUntilIdle() { runtime_.WaitUntilIdle(); }
  // The runtime the user acts on, for a virtual clock the test runs beside it.
  ui::Runtime& runtime() const { return runtime_; }

  // The open window whose title or label is `name` (the last opened of several); fails the
  // test and answers 0 when there is none.
  WindowHandle Window(std::string_view name);
  // The field number of the control with `equate` in the window; fails the test and answers
  // 0 when there is none.
  FieldId Field(WindowHandle window, std::string_view equate);

  // Types `text` into the control, replacing what it showed, one character at a time.
  void Type(WindowHandle window, FieldId field, std::string_view text);
  void Type(WindowHandle window, std::string_view equate, std::string_view text) {
    Type(window, Field(window, equate), text);
  }
  // Presses a button, ticks a check box, chooses a tab or a menu item.
  void Click(WindowHandle window, FieldId field);
  void Click(WindowHandle window, std::string_view equate) { Click(window, Field(window, equate)); }
  void ChooseMenu(WindowHandle window, FieldId item) { Click(window, item); }
  void Focus(WindowHandle window, FieldId field);
  // Presses a key (with its modifiers) in the focused control.
  void PressKey(WindowHandle window, ui::KeyCode key);
  void SelectRow(WindowHandle window, FieldId list, int32_t row, int32_t column = 1);
  void DoubleClickRow(WindowHandle window, FieldId list, int32_t row, int32_t column = 1);
  void ClickHeader(WindowHandle window, FieldId list, int32_t column);
  // Presses the tree button of row `row` (from 1) of a tree list: a closed row opens (after
  // Expanding, unless the program refuses it), an open one closes. Fails the test when the
  // row shows no button.
  void PressTreeButton(WindowHandle window, FieldId list, int32_t row);
  // Presses and releases the right mouse button on the control, or on the window's own
  // surface when `field` is 0.
  void RightClick(WindowHandle window, FieldId field = 0);
  void RightClick(WindowHandle window, std::string_view equate) {
    RightClick(window, Field(window, equate));
  }
  // Presses mouse button `button` (1 left, 2 right, 3 middle) on the control (0: the window)
  // and holds it, then lets it go; between the two the press is held (a drag: MoveMouse and
  // FireTimer). The release goes to the control pressed, wherever the mouse is.
  void MouseDown(WindowHandle window, FieldId field, int32_t button = 1);
  void MouseUp(WindowHandle window, FieldId field, int32_t button = 1);
  // The window's close box.
  void CloseBox(WindowHandle window);
  // Moves the mouse to (x, y) of the window, over row `row` of list `list` (0 for none),
  // holding `buttons` (0 none). Generates no event; MOUSEX, MOUSEY and the list's hover
  // properties report it.
  void MoveMouse(WindowHandle window, int32_t x, int32_t y, FieldId list = 0, int32_t row = 0,
                 int32_t buttons = 0);
  // Moves the screen cursor, the one GetCursorPos answers, to (x, y) in screen pixels. Does
  // not wait: a glide running meanwhile finds the cursor moved on its next turn.
  void MoveCursor(int32_t x, int32_t y) { display_.SetMousePosition(x, y); }
  region::Point Cursor() const { return display_.MousePosition(); }
  // Moves the screen cursor to (x, y) as a drag does, and waits: a window in a system move
  // (HeadlessBackend::moving) goes along, until a button is pressed or released.
  void Drag(int32_t x, int32_t y);
  // Drags the window's edge until its client area is `width` by `height` dialog units; it
  // stays where it is.
  void SizeWindow(WindowHandle window, int32_t width, int32_t height);
  // Chooses the entry of the system menu that is open; false when none is open or the entry
  // cannot be chosen (system_menu.h).
  bool ChooseSystemMenu(ui::SystemMenuEntry entry);
  // Presses or releases mouse button `button` (1 left, 2 right, 3 middle) where the screen
  // cursor is; a left press and release there click the control under it.
  void PressButton(int32_t button = 1);
  void ReleaseButton(int32_t button = 1);
  // The window's timer runs out once.
  void FireTimer(WindowHandle window);

  // What the mirror shows of a control; empty when there is no such control.
  ControlView Control(WindowHandle window, FieldId field);
  std::string ScreenText(WindowHandle window, FieldId field) {
    return Control(window, field).screen_text;
  }
  // The rows a list shows now; null when it has none yet.
  std::shared_ptr<const ListSnapshot> Rows(WindowHandle window, FieldId list);

 private:
  void Send(WindowHandle window, ui::Input input);

  ui::Runtime& runtime_;
  HeadlessBackend& display_;
};

}  // namespace platform::testing
