// The display backend: what shows the model to a person (Qt) or to a test (headless).
//
// The model in platform/ui owns the truth. A runtime thread, holding the runtime lock, sends
// the backend commands: a window was opened, a control changed, a list has a new snapshot,
// the cursor changed, a window closed. Each command carries copies, never pointers into the
// model, so the backend may keep them and apply them later on its own thread; commands must
// not block on the GUI. The backend feeds user input back through PostInput(), from any
// thread and without the runtime lock; the owning runtime thread turns it into the runtime's
// events in the runtime's order.
//
// The backend has three parts: the commands, the desktop services and the dialogs. Two of
// them wait for an answer: dialogs, called with the runtime lock released, may wait for the
// user; desktop services (frame sizes, window rectangles, the mouse) are called with the lock
// held and may wait briefly for the GUI thread, which never takes the lock.
//
// Positions in the views are dialog units (pixels when the window's Pixels property is
// set); the backend converts them with Metrics() and reports moves and sizes back in the
// same units.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/core/message.h"
#include "platform/region/region.h"
#include "platform/ui/codes.h"
#include "platform/ui/prop.h"
#include "platform/ui/structure.h"

namespace platform::agent {
class CharacterDisplay;
}  // namespace platform::agent

namespace platform::ui {

// One column of a list format.
struct ListColumn {
  int32_t width = 0;
  char align = 'L';
  std::string header;
  std::string picture;
  std::string flags;       // the modifier characters, as written
  size_t queue_field = 0;  // the queue field the column shows, from 1
};

// What the backend needs to draw one control. `properties` holds every stored property by
// (number, index), including those the fields below repeat, so a backend can show styling
// it knows without the model naming it.
struct ControlView {
  FieldId field = kNoField;
  ControlType type = ControlType::kString;
  std::string equate;
  FieldId parent = kNoField;
  RectDu at;
  std::string text;  // caption, prompt or string text; a menu entry's text
  // What an entry, combo, spin, text or check shows; for an option, the Value (7D51h) of
  // the radio that is chosen.
  std::string screen_text;
  // Moves only when the program set the screen text, so a backend applies `screen_text`
  // only when this changed and never overwrites what the user is typing.
  uint64_t screen_serial = 0;
  bool visible = true;  // itself and every container shown (a tab only while chosen)
  bool enabled = true;
  int32_t selected = 0;  // list row, sheet tab number, 0 none
  // Lists: the columns as shown now (headers and widths as the program last set them).
  std::vector<ListColumn> columns;
  std::map<std::pair<int32_t, int32_t>, std::string> properties;
};

struct WindowView {
  // The declaration the window was built from: constant data, readable from any thread, for
  // what the views leave out (the order of menu entries and their separators).
  const WindowStructure* structure = nullptr;
  WindowHandle handle = 0;
  WindowHandle owner = 0;  // the frame for an MDI child, the owner of a plain window, or 0
  ThreadId thread = 0;
  WindowKind kind = WindowKind::kPlain;
  std::string module;
  std::string label;
  std::string title;
  RectDu at;
  int32_t timer = 0;    // hundredths of a second, 0 off
  bool hidden = false;  // Hide: the window is not shown until it is shown again
  // The window's outline in pixels of its own top-left corner; null for the plain
  // rectangle, an empty region for a window shown nowhere.
  std::shared_ptr<const region::Region> shape;
  std::map<std::pair<int32_t, int32_t>, std::string> properties;

  // A window of 0 by 0 (a window that only hosts a control for a thread of its own) shows
  // nothing on the screen and never takes the focus or the activation from another window.
  bool shown_nowhere() const { return at.width == 0 && at.height == 0; }
};

// The rows a list shows: the texts of its columns, taken from its FROM queue when the
// queue's change counter moved.
struct ListSnapshot {
  std::vector<std::vector<std::string>> rows;  // rows[i][c]: row i+1, column c+1
  std::vector<bool> marked;                    // per row; empty for a list without MARK
  // icons[i][c]: the icon number (IconList) of row i+1 in column c+1, 0 for none; empty for
  // a list without an icon column (I or J).
  std::vector<std::vector<int32_t>> icons;
  // styles[i][c]: the style number (Y) of row i+1 in column c+1, the index of the list's
  // style properties (prop.h), 0 for the list's own look; empty for a list without styles.
  std::vector<std::vector<int32_t>> styles;
  // tips[i][c]: the tip (P) of row i+1 in column c+1; empty for a list without tips.
  std::vector<std::vector<std::string>> tips;
  // levels[i]: the tree level of row i+1 (list_tree.h says which rows show and which have a
  // button); empty for a list that is no tree. tree_column: the column that draws the
  // levels, from 1; 0 for none.
  std::vector<int32_t> levels;
  size_t tree_column = 0;
  uint64_t queue_change_count = 0;
};

// User input, fed back by the backend. Field numbers name controls of `window`.
struct Input {
  enum class Kind {
    kTyped,        // `text` is now on screen in `field` (entry, combo, spin, text)
    kClick,        // `field` was pressed: button, check, radio, menu item, tab
    kFocus,        // the focus moved to `field`
    kSelectRow,    // list `field`: row `row` chosen with a single click
    kDoubleClick,  // list `field`: row `row` double-clicked
    kHeaderClick,  // list `field`: the header of column `column` clicked
    kKey,          // key `key` pressed in the focused control
    kCloseBox,     // the window's close box
    kTimer,        // the window's timer ran out
    kMoved,        // the window was moved to `at`
    kSized,        // the window was sized to `at`
    kActivated,    // the window became the active one
    kMouseMoved,   // the mouse is at (mouse_x, mouse_y), over row `row` of list `field`
                   // (0 none), with the buttons of `key` held (0 none); no event
    kTreeButton,   // tree list `field`: the button of row `row` pressed, to open or close it
    // The user maximized, iconized or restored the window (its system menu, its caption's
    // buttons): Maximize and Maximized, Iconize and Iconized, Restore and Restored.
    kMaximized,
    kIconized,
    kRestored,
    // A mouse button went down over `field` (0: the window's own surface), for presses no
    // kind above reports: a right press anywhere, a left press on a region or on a control
    // that alerts it. `key` is the mouse code (kMouseLeft, kMouseRight, kMouseCenter, or a
    // double click's) plus kCtrl, kShift, kAlt held.
    kMouseDown,
    // The button of a kMouseDown went up: `key` is kMouseLeftUp, kMouseRightUp or
    // kMouseCenterUp plus the modifiers, `field` the control that took the press (0 the
    // window), wherever the mouse is now.
    kMouseUp,
  };
  Kind kind = Kind::kClick;
  FieldId field = kNoField;
  std::string text;
  int32_t row = 0;
  int32_t column = 0;
  KeyCode key = 0;  // kKey: the key; presses: the mouse code plus kCtrl, kShift, kAlt held
  RectDu at;
  int32_t mouse_x = 0;
  int32_t mouse_y = 0;
};

// Posts `input` for `window` to the thread that owns it. Any thread; never takes the
// runtime lock. Input for a window that has closed is dropped.
void PostInput(WindowHandle window, Input input);

// POPUP menus: the entries as the program wrote them, already split: `|` separates entries,
// "-" is a separator, a text ending in "{" opens a submenu and "}" closes it.
struct PopupRequest {
  std::string text;
  int32_t x = 0;  // the position, or -1 for the mouse position
  int32_t y = 0;
};

struct FileDialogRequest {
  std::string title;
  std::string file;  // in: the proposed name; out: the chosen name
  std::string extensions;
  int32_t flags = 0;
};

struct FontChoice {
  std::string typeface;
  int32_t size = 0;
  int32_t color = 0;
  int32_t style = 0;
  int32_t charset = 0;  // the character set (FontCharSet)
};

// Metrics of the window font, for converting dialog units: a horizontal unit is a quarter
// of the average character width, a vertical unit an eighth of the character height.
struct TextMetrics {
  int32_t average_char_width_px = 6;
  int32_t char_height_px = 13;
};

// Dialog units to pixels, rounded down, as the window's font measures them.
constexpr int32_t HorizontalPixels(int32_t du, const TextMetrics& m) {
  return du * m.average_char_width_px / 4;
}
constexpr int32_t VerticalPixels(int32_t du, const TextMetrics& m) {
  return du * m.char_height_px / 8;
}
constexpr RectDu PixelsFromDialogUnits(const RectDu& du, const TextMetrics& m) {
  return {HorizontalPixels(du.x, m), VerticalPixels(du.y, m), HorizontalPixels(du.width, m),
          VerticalPixels(du.height, m)};
}

// What the runtime tells the display: a window was opened, a control changed, a list has a
// new snapshot, the cursor changed, a window closed. Called by runtime threads with the
// runtime lock held; must not block.
class DisplayCommands {
 public:
  virtual ~DisplayCommands() = default;
  virtual void CreateWindow(const WindowView& window, const std::vector<ControlView>& controls) = 0;
  virtual void UpdateWindow(const WindowView& window) = 0;
  virtual void CreateControl(WindowHandle window, const ControlView& control) = 0;
  virtual void UpdateControl(WindowHandle window, const ControlView& control) = 0;
  virtual void DestroyControl(WindowHandle window, FieldId field) = 0;
  virtual void PushListSnapshot(WindowHandle window, FieldId field,
                                std::shared_ptr<const ListSnapshot> snapshot) = 0;
  virtual void DestroyWindow(WindowHandle window) = 0;
  // Brings the window to the front and gives it the focus (setting its Active property).
  virtual void ActivateWindow(WindowHandle window) = 0;
  // The program gave `field` the focus (SELECT): the display moves its own focus there.
  virtual void FocusControl(WindowHandle /*window*/, FieldId /*field*/) {}
  // The user now moves the window with the mouse, from where the mouse is, as by a press on
  // its caption, until a button is pressed or released; the moves come back as kMoved. Only
  // for a window of its own on the screen (a frame, a plain or a floating tool window).
  virtual void StartSystemMove(WindowHandle /*window*/) {}
  // Opens the window's system menu (system_menu.h); the user's choice comes back as the
  // input SystemMenuInput answers.
  virtual void ShowSystemMenu(WindowHandle /*window*/) {}
  // Performs a standard action chosen with a control's STD attribute: cut, copy and paste
  // in the focused control; tile, cascade and arrange of the frame's MDI children. (Closing
  // is the runtime's own: it posts CloseWindow.)
  virtual void PerformStdAction(WindowHandle window, StdAction action) = 0;
  virtual void SetCursor(ThreadId thread, Cursor cursor) = 0;
  virtual void Beep(int32_t sound) = 0;
  // The program's last runtime thread ended.
  virtual void ProgramEnded() = 0;
  // Where the characters of the agent server show (platform/agent/character_display.h);
  // null shows them nowhere. Any thread; constant for the backend's life.
  virtual agent::CharacterDisplay* Characters() { return nullptr; }
};

// A size in pixels.
struct SizePx {
  int32_t width = 0;
  int32_t height = 0;
};

// What the desktop answers and does within the program's own windows: metrics, rectangles,
// the mouse. Called by runtime threads with the runtime lock held; an answer may be waited
// for from the GUI, which never takes the lock. A new service is a family of calls taking a
// window and a field (a control's rectangle, a menu entry's highlight), not one call per
// system function.
class DesktopServices {
 public:
  virtual ~DesktopServices() = default;
  // The metrics of the window font.
  virtual TextMetrics Metrics() const = 0;
  // The size in pixels of the frames and captions the backend draws (the indexes are the
  // system's: 4 caption height, 32/33 frame width and height, 45/46 edge width and height).
  virtual int32_t SystemMetric(int32_t index) const = 0;
  // The size in pixels the control takes of itself: its text in its font, with the room its
  // face needs around it (a string, a prompt, a button). `control` need not be shown yet.
  virtual SizePx NaturalSize(WindowHandle window, const ControlView& control) const = 0;
  // The window's rectangle on the screen in pixels, frame and caption included; the empty
  // rectangle for a window the backend does not show.
  virtual region::Rect WindowRect(WindowHandle window) const = 0;
  // The desktop's rectangle in pixels: the part of the screen windows may cover.
  virtual region::Rect DesktopRect() const = 0;
  // True when the desktop composites windows, so a top-level window's Opacity shows.
  virtual bool ShowsOpacity() const = 0;
  // The mouse position in screen pixels, and moving it.
  virtual region::Point MousePosition() const = 0;
  virtual void SetMousePosition(int32_t x, int32_t y) = 0;
  // A press (`down`) or release of mouse button 1 (left), 2 (right) or 3 (middle) at the
  // mouse position: it reaches the control of the program's own window under the point as
  // that control's input.
  virtual void SynthesizeMouseButton(int32_t button, bool down) = 0;
};

// The dialogs a display shows: the message and stop boxes every layer shows through
// platform::DialogBackend (the one message interface), and the runtime's other dialogs.
// Called with the runtime lock released; may wait for the user.
class DisplayDialogs : public DialogBackend {
 public:
  // Answers the chosen entry's number (counting entries, not separators or submenu
  // openers), 0 for none.
  virtual int32_t ShowPopup(const PopupRequest& request) = 0;
  virtual bool ShowFileDialog(FileDialogRequest& request) = 0;
  // FONTDIALOG and COLORDIALOG with the title the program gave.
  virtual bool ShowFontDialog(std::string_view title, FontChoice& font) = 0;
  virtual bool ShowColorDialog(std::string_view title, int32_t& color) = 0;
};

// A display backend: the three parts together. ForwardingBackend (forwarding_backend.h)
// passes each call on to another backend, so a test decorator overrides only what it watches.
class DisplayBackend : public DisplayCommands, public DesktopServices, public DisplayDialogs {};

}  // namespace platform::ui
