// The runtime's window statements as free functions: they work on the target window, which
// is the calling thread's active window unless SETTARGET chose another. Every function
// here requires the runtime lock and runs on a runtime thread; with no target window they
// do nothing and answer empty values.
//
//   SetProp(kTableList, Prop::LineHeight, 14);
//   if (Event() == kEventAlertKey && CurrentKeyCode() == kMouseLeft2) Post(kEventCloseWindow);
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/codes.h"
#include "platform/ui/ole_object.h"
#include "platform/ui/prop.h"

namespace platform::ui {

class Window;

// The window the statements below work on; null when the thread has none.
Window* TargetWindow();
// SETTARGET: make the window with handle `window` the target, on any thread; 0 goes back to
// the thread's active window. The handle is looked up when a statement runs, so once that
// window has closed the statements work on the thread's active window again.
void SetTarget(WindowHandle window);
// The open windows of every thread, in the order they were opened.
std::vector<WindowHandle> OpenWindows();
// The open window with handle `window`; null when it has closed or never was. The window is
// borrowed for as long as the caller holds the runtime lock.
Window* FindWindow(WindowHandle window);

// The event ACCEPT delivered last on this thread.
EventId Event();
FieldId Field();
// ACCEPTED(), SELECTED(): the field of an Accepted or Selected event, else 0.
FieldId Accepted();
FieldId Selected();
// CHOICE: the chosen row of a list (the tab number of a sheet); `field` 0 means FIELD().
int32_t Choice(FieldId field = kNoField);
// KEYCODE: the last key or mouse code; SETKEYCODE replaces it.
KeyCode CurrentKeyCode();
void SetKeyCode(KeyCode key);
// KEYBOARD: true when a key is waiting.
bool Keyboard();
int32_t MouseX();
int32_t MouseY();
// FIRSTFIELD, LASTFIELD, FOCUS of the target window.
FieldId FirstField();
FieldId LastField();
FieldId Focus();

// Properties by number: `field` 0 is the window itself. Unknown fields and properties read
// as "" and ignore a set.
std::string GetProp(FieldId field, Prop p, int32_t index = 0);
int64_t GetPropNumber(FieldId field, Prop p, int32_t index = 0);
void SetProp(FieldId field, Prop p, std::string_view value, int32_t index = 0);
void SetProp(FieldId field, Prop p, int64_t value, int32_t index = 0);
inline void SetProp(FieldId field, Prop p, int32_t value, int32_t index = 0) {
  SetProp(field, p, static_cast<int64_t>(value), index);
}
inline void SetProp(FieldId field, Prop p, const char* value, int32_t index = 0) {
  SetProp(field, p, std::string_view(value), index);
}
// System properties (MessageHook is set with SetMessageHook of platform/core/message.h).
std::string GetSystemProp(Prop p);
void SetSystemProp(Prop p, std::string_view value);

// Display statements on the target window; `last` 0 means `first` alone, `first` 0 (for
// DISPLAY and UPDATE) every control.
void Display(FieldId first = kNoField, FieldId last = kNoField);
void Update(FieldId first = kNoField, FieldId last = kNoField);
void Change(FieldId field, std::string_view value);
void Select(FieldId field, int32_t position = 0);
void Hide(FieldId first, FieldId last = kNoField);
void Unhide(FieldId first, FieldId last = kNoField);
void Enable(FieldId first, FieldId last = kNoField);
void Disable(FieldId first, FieldId last = kNoField);
void SetPosition(FieldId field, int32_t x, int32_t y, int32_t width, int32_t height);
// SETFONT: a negative size, colour, style or character set leaves that part as it is.
void SetFont(FieldId field, std::string_view typeface, int32_t size = -1, int32_t color = -1,
             int32_t style = -1, int32_t charset = -1);
// CREATE and DESTROY of controls at run time.
FieldId Create(FieldId field, ControlType type, FieldId parent = kNoField);
void Destroy(FieldId first, FieldId last = kNoField);
// OLE controls (ole_control.h) of the target window, on that window's own thread. On a field
// that is no OLE control they do nothing and answer "" and false.
// Creates the control's object from the server `server` names, in place of the one it held;
// true when it holds an object now (its OLE property). An unknown server creates nothing.
bool OleCreate(FieldId field, std::string_view server);
// Sets a member of the object itself ("Connected"); false when it has no such member.
bool OleSetMember(FieldId field, std::string_view member, int32_t value);
// The value of the property expression `expression`, as text.
std::string OleRead(FieldId field, std::string_view expression);
// Executes `statement`.
void OleCall(FieldId field, std::string_view statement);
// Assigns `value` to the property `property` names.
void OleAssign(FieldId field, std::string_view property, int32_t value);
// Registers the program's handler of the object's events (ole_object.h); empty drops them.
void OleRegisterEventHandler(FieldId field, OleEventHandler handler);
// SETCURSOR: the wait cursor and back; the calls balance per thread, so nested busy work
// shows the normal cursor only when the outermost one ends.
void SetCursor(Cursor cursor);

}  // namespace platform::ui
