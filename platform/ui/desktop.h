// Desktop services the program asks of the window system, under the names it uses for them:
// frame sizes, window rectangles and outlines, window transparency, the menu bar's highlight
// and the mouse. They act
// within the program's own windows only, through the display backend; a window is named by
// its Handle (7C96h). Each requires the runtime lock.
//
//   SetWindowRgn(GetPropNumber(0, Prop::Handle), outline, /*redraw=*/true);
#pragma once

#include <cstdint>
#include <optional>

#include "platform/region/region.h"
#include "platform/ui/backend.h"
#include "platform/ui/codes.h"

namespace platform::ui {

// GetSystemMetrics indexes.
inline constexpr int32_t kSmCyCaption = 4;
inline constexpr int32_t kSmCxFrame = 32;
inline constexpr int32_t kSmCyFrame = 33;
inline constexpr int32_t kSmCxEdge = 45;
inline constexpr int32_t kSmCyEdge = 46;

// The size in pixels of the frames and captions the backend draws; 0 for other indexes.
int32_t GetSystemMetrics(int32_t index);

// GetTextMetrics of the window font: its average character width and its height in pixels,
// the base of the dialog units. For placing things in pixels that must follow the font.
TextMetrics GetTextMetrics();

// The desktop window's handle, which no window of the program has.
inline constexpr WindowHandle kDesktopWindow = static_cast<WindowHandle>(-3);
inline WindowHandle GetDesktopWindow() { return kDesktopWindow; }

// The window's rectangle on the screen in pixels, frame included; for the desktop window the
// part of the screen windows may cover. False (and `rect` left alone) when no open window has
// `window` as its handle.
bool GetWindowRect(WindowHandle window, region::Rect* rect);

// GetWindowPlacement: the show state and the normal (restored) rectangle on the screen.
inline constexpr int32_t kSwShowNormal = 1;
inline constexpr int32_t kSwShowMinimized = 2;
inline constexpr int32_t kSwShowMaximized = 3;
struct WindowPlacement {
  int32_t show_cmd = kSwShowNormal;
  region::Rect normal;
};
// False (and `placement` left alone) when no open window has `window` as its handle.
bool GetWindowPlacement(WindowHandle window, WindowPlacement* placement);

// ShowWindow: hides the window (SW_HIDE), shows it (SW_SHOW), shows it maximized
// (SW_SHOWMAXIMIZED), or shows it restored from maximized or iconized (SW_RESTORE and
// SW_SHOWNORMAL). Answers whether the window was shown before; false, and nothing done, when
// no open window has the handle or for another command.
inline constexpr int32_t kSwHide = 0;
inline constexpr int32_t kSwShow = 5;
inline constexpr int32_t kSwRestore = 9;
bool ShowWindow(WindowHandle window, int32_t command);

// SetWindowRgn: the window's outline becomes `outline` (pixels from its top-left corner),
// or its plain rectangle again for nullopt; the window keeps its own copy. Answers 1, or 0
// when no open window has the handle. `redraw` is accepted; the display always redraws.
int32_t SetWindowRgn(WindowHandle window, std::optional<region::Region> outline, bool redraw);

// SetWindowPos for the window's place in the stacking order: after HWND_TOPMOST the window
// stays above every other window, after HWND_NOTOPMOST it no longer does. Moving and sizing
// through it are not done: callers pass SWP_NOMOVE and SWP_NOSIZE, and the position and size
// arguments are ignored. SWP_SHOWWINDOW is accepted (an open window is shown). False when no
// open window has the handle.
inline constexpr WindowHandle kHwndTopMost = static_cast<WindowHandle>(-1);
inline constexpr WindowHandle kHwndNoTopMost = static_cast<WindowHandle>(-2);
inline constexpr uint32_t kSwpNoSize = 0x1;
inline constexpr uint32_t kSwpNoMove = 0x2;
inline constexpr uint32_t kSwpShowWindow = 0x40;
bool SetWindowPos(WindowHandle window, WindowHandle insert_after, int32_t x, int32_t y,
                  int32_t width, int32_t height, uint32_t flags);

// SetLayeredWindowAttributes with the alpha flag (2): the window's opacity, 0 to 255. The
// colour key (flag 1) is not supported and ignored. False when no open window has the handle.
inline constexpr uint32_t kLwaColorKey = 1;
inline constexpr uint32_t kLwaAlpha = 2;
bool SetLayeredWindowAttributes(WindowHandle window, uint32_t color_key, uint8_t alpha,
                                uint32_t flags);
// Whether the window's Opacity shows: not for an MDI child, nor where the desktop does not
// composite windows. False when no open window has the handle.
bool CanShowOpacity(WindowHandle window);

// GetMenu: the window's menu bar, named by the window's own handle; 0 when no open window has
// the handle or the window has no menu-bar entries.
using MenuHandle = WindowHandle;
MenuHandle GetMenu(WindowHandle window);

// HiliteMenuItem on a menu bar: shows the entry at position `item` (from 0, with
// kMfByPosition) highlighted as the mouse over it would, without opening it (kMfHilite), or
// plain again (kMfUnhilite). One entry is highlighted at a time: highlighting another moves
// the highlight, and removing one that is not highlighted leaves the highlight alone. Entries
// named by command (without kMfByPosition) are not supported. False when `menu` is not the
// window's menu bar, there is no entry at the position, or the flags name a command.
inline constexpr uint32_t kMfUnhilite = 0x0;
inline constexpr uint32_t kMfHilite = 0x80;
inline constexpr uint32_t kMfByPosition = 0x400;
bool HiliteMenuItem(WindowHandle window, MenuHandle menu, uint32_t item, uint32_t flags);

// PostMessage of WM_SYSCOMMAND, the commands of a window's caption and system menu, on a
// frame, a plain window or a floating tool window:
//   - kScMoveByCaption: the user moves the window with the mouse from where it is, as by a
//     press on its caption, until a button is pressed or released; the window reports the
//     moves as the user's (Moved). A maximized window, or a tool window docked at the
//     frame, stays where it is.
//   - kScKeyMenu: the window's system menu opens (system_menu.h), as Alt and space open it.
//     The space the program presses after it, as the system asks, changes nothing.
// Answers true when the command was posted; false for another message or command, or when
// no open window has the handle. Nothing waits for the user.
inline constexpr uint32_t kWmSysCommand = 0x112;
inline constexpr uint32_t kScMoveByCaption = 0xF012;  // SC_MOVE by the caption (HTCAPTION)
inline constexpr uint32_t kScKeyMenu = 0xF100;
bool PostMessage(WindowHandle window, uint32_t message, uint64_t wparam, int64_t lparam);

// The mouse: its screen position, moving it, and pressing or releasing the left button
// (mouse_event flags 2 and 4) where it is, which reaches the control under it.
inline constexpr uint32_t kMouseEventLeftDown = 2;
inline constexpr uint32_t kMouseEventLeftUp = 4;
region::Point GetCursorPos();
bool SetCursorPos(int32_t x, int32_t y);
void mouse_event(uint32_t flags);

}  // namespace platform::ui
