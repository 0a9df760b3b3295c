// A window of the program: built from its window structure, opened on a runtime thread, and
// run by its event loop (ACCEPT). The window owns its controls and their property values,
// the variables they show (USE), the rows their lists show (FROM, MARK) and the events
// waiting for the loop.
//
// A window opened on a thread whose loop is running stacks a nested loop: the outer window
// waits, its input kept, until the inner one closes. A window may also run a second loop of
// its own while it handles one of its events (inner_loop.h).
//
//   Window window(kWindow);
//   window.Use(kUsername, loc.username);
//   window.Open();
//   while (window.Accept()) {
//     if (Event() == kEventAccepted && Field() == kConnectButton) break;
//   }
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/codes.h"
#include "platform/ui/control.h"
#include "platform/ui/prop.h"
#include "platform/ui/property_table.h"
#include "platform/ui/structure.h"

namespace platform {
class QueueBase;
}

namespace platform::ui {

class InnerLoop;
class ListControl;

namespace detail {
class ThreadState;
struct QueuedItem;
void ShowChangesBeforeLettingGo();
}  // namespace detail

// One event as ACCEPT delivers it.
struct EventRecord {
  EventId event = 0;
  FieldId field = kNoField;
  KeyCode keycode = 0;
  int32_t mouse_x = 0;
  int32_t mouse_y = 0;
  // PreAlertKey: the press that follows, Expanding: the opening that follows, unless the
  // program cycles.
  uint64_t deferred = 0;
};

class Window {
 public:
  // Builds the window and its controls from `structure` (which must outlive it); not open.
  // Requires the runtime lock.
  explicit Window(const WindowStructure& structure);
  // Closes the window when it is open. Requires the runtime lock.
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const WindowStructure& structure() const { return structure_; }
  WindowKind kind() const { return structure_.kind; }
  // 0 until opened; never reused.
  WindowHandle handle() const { return handle_; }
  ThreadId thread() const { return thread_; }
  bool is_open() const { return open_; }

  // USE, FROM and MARK. Requires the runtime lock. The variables and queues are borrowed
  // and must outlive the window. Unknown fields are ignored.
  template <class T>
  void Use(FieldId field, T& variable) {
    if (Control* c = control(field)) c->Bind(BindTo(variable));
  }
  void From(FieldId field, QueueBase& queue);
  void From(FieldId field, std::string_view entries);
  void Mark(FieldId field, size_t queue_field);

  // OPEN on the calling runtime thread. An MDI child opens inside the open frame, a plain
  // window is owned by `owner` when given. OpenWindow is the first event. Requires the
  // runtime lock.
  void Open(Window* owner = nullptr);
  // CLOSE. Nothing when not open. Requires the runtime lock, on the window's thread.
  void Close();

  // ACCEPT: waits for the next event, delivers it (EVENT(), FIELD(), ...) and answers true;
  // answers false when the loop must end (the window closed or a close went through).
  // Before it waits it performs the default action of the event delivered last, unless
  // Cycle() was called: Accepted of a standard close control posts CloseWindow, and
  // CloseWindow ends the loop (closing a frame first closes every MDI child, each on its own
  // thread, and waits for those threads to end). Requires the runtime lock; releases it
  // while it waits. REQUIRES: open, on the window's thread.
  bool Accept();
  // CYCLE: the runtime's default action of the current event is skipped; on PreAlertKey,
  // the alerted press itself; on Expanding, the opening of the tree row (window_input.cpp
  // says how input becomes events).
  void Cycle() { cycled_ = true; }
  // The event ACCEPT delivered last.
  const EventRecord& event() const { return current_; }

  // Controls. Null when there is no such field.
  Control* control(FieldId field) const;
  ListControl* list(FieldId field) const;
  // The first and last control field numbers (1..n), 0 when there is none.
  FieldId FirstField() const;
  FieldId LastField() const;
  // The control that has the focus, 0 for none.
  FieldId focus() const { return focus_; }
  // Every field number in field order: menus (-1, -2, ...) then controls (1, 2, ...).
  std::vector<FieldId> Fields() const;

  // Properties of the window (field 0) or of a control. Requires the runtime lock.
  //
  // Two of the window's own act on it beyond the stored value:
  //   - MinWidth: the window is never narrower, whoever sizes it (the program, the user, or
  //     the display); setting it widens a narrower window. In the window's units, as Width.
  //   - Docked, for a tool window (kAttrToolBox), which opens floating (16): 1, 2, 4 or 8
  //     dock it at the left, top, right or bottom side of the frame, 16 lets it float; any
  //     other value leaves it as it is. Another window keeps the number and never docks, nor
  //     hears of it. A change raises
  //     Docked (docked at a side) or Undocked (floating) once the window is open, posted
  //     behind what waits, since the display gives a docked window the dock's size. While
  //     docked, Xpos and Ypos keep the floating place.
  std::string Get(FieldId field, Prop p, int32_t index = 0) const;
  void Set(FieldId field, Prop p, std::string_view value, int32_t index = 0);

  // Display statements. Ranges: `last` 0 means `first` alone; `first` 0 means every control.
  // Requires the runtime lock.
  void Display(FieldId first = 0, FieldId last = 0);
  void Update(FieldId first = 0, FieldId last = 0);
  void Change(FieldId field, std::string_view value);
  // SELECT: the focus to `field`; with a position, that row of a list or tab of a sheet (a
  // tab field chooses itself). No event.
  void Select(FieldId field, int32_t position = 0);
  void SetHidden(FieldId first, FieldId last, bool hidden);
  void SetDisabled(FieldId first, FieldId last, bool disabled);
  void SetPosition(FieldId field, int32_t x, int32_t y, int32_t width, int32_t height);
  // CREATE: a new control of `type` at `field`, or at the next free number when `field` is 0;
  // answers its number, 0 when `field` is taken or the type cannot be created.
  FieldId Create(FieldId field, ControlType type, FieldId parent = kNoField);
  void Destroy(FieldId first, FieldId last = 0);
  // POST to this window: queued behind what is waiting. Requires the runtime lock.
  void Post(EventId event, FieldId field = kNoField);

  // The window's outline in pixels (region.h); nullopt for the plain rectangle. The window
  // keeps its own copy. Requires the runtime lock.
  void SetShape(std::optional<region::Region> shape);
  const region::Region* shape() const { return shape_.get(); }

  // True when the control and every container it sits in are shown; a control on a tab
  // only while that tab is the chosen one of its sheet.
  bool IsVisible(const Control& c) const;
  // The field of the `index`-th control (from 1) whose parent is `parent`, in the order the
  // controls were declared or created; 0 past the last.
  FieldId Child(FieldId parent, int32_t index) const;
  // Called by a control after a shown change.
  void NoteChanged(Badge<Control>, Control& c, bool layout);

  // Maximize is set; the window shows the area it fills.
  bool maximized() const { return !props_.Get(Prop::Maximize).empty(); }
  // A tool window docked at a side of the frame.
  bool docked_at_frame() const;
  // The geometry the window has, or is restored to while maximized, in dialog units.
  RectDu RestoredGeometry() const;

 private:
  friend class detail::ThreadState;
  friend class InnerLoop;
  friend void detail::ShowChangesBeforeLettingGo();

  // Sends every change since the last flush to the backend. Requires the runtime lock.
  void Flush();
  std::unique_ptr<Control> MakeControl(FieldId field, ControlType type, std::string equate,
                                       FieldId parent);
  void BuildControls();
  WindowView View() const;
  // Xpos, Ypos, Width or Height in pixels, and a pixel value of one of them in dialog units.
  int64_t GeometryInPixels(Prop p) const;
  int64_t DialogUnitsFromPixels(Prop p, double px) const;
  // Xpos, Ypos, Width or Height in dialog units: while maximized, those of the area the
  // window fills; else its own.
  int64_t GeometryDu(Prop p) const;
  RectDu MaximizedGeometry() const;
  void SetMaximized(bool on);
  // The user maximized, iconized or restored the window (its system menu, its caption).
  void TakeReportedState(Input::Kind state);
  void SetDocked(int32_t side);
  // Width raised to MinWidth when it is narrower.
  void KeepMinWidth();
  // Center: the window moves to the middle of the desktop, an MDI child to the middle of its
  // frame; its size stays. A maximized window keeps filling its area.
  void Centre();
  // A move or size the display reports.
  void TakeReportedGeometry(const RectDu& at);
  // NextField: the field after `field` in field order (controls 1..n, then menus and items
  // -1, -2, ...); 0 after the last.
  FieldId NextFieldAfter(FieldId field) const;
  void Deliver(EventRecord e);
  bool DefaultAction(const EventRecord& e);
  // A standard action on this window: Close queues CloseWindow ahead of what waits; the
  // others the display performs.
  void RunStdAction(StdAction action);
  void CloseChildrenAndWait();
  void WakeOwnerToFlush();
  void Process(const detail::QueuedItem& item);
  void ProcessInput(const Input& in);
  void Click(Control& c, const Input& in);
  void HandleKey(KeyCode key, const Input& in);
  bool Alerted(FieldId field, KeyCode key) const;
  // Queues PreAlertKey and AlertKey for `key`; with `defer`, the input itself is processed
  // after PreAlertKey unless the program cycles on it.
  void QueueAlert(FieldId field, KeyCode key, const Input& in, bool defer);
  // The event queued last waits for `in`: ACCEPT acts on it once the program has seen the
  // event, unless the program cycles on it.
  void Defer(const Input& in);
  // A tree list's button: Contracted at once, or Expanding with the opening deferred.
  void PressTreeButton(const Input& in);
  // Opens the tree row after Expanding and reports Expanded.
  void OpenTreeRow(const Input& in);
  // The mouse code of a press, 0 for input that is no press.
  KeyCode PressCode(const Input& in) const;
  // The number of `tab` among its sheet's tabs, from 1.
  int32_t TabNumber(const Control& tab) const;
  void FocusTo(FieldId field);
  void Queue(EventId event, FieldId field, const Input* in = nullptr);
  // The event an item of the thread's queue stands for, 0 for input that is no single event.
  static EventId EventOf(const detail::QueuedItem& item);
  // True when the loop running now takes `event` (an inner loop may take only some).
  bool Takes(EventId event) const { return !takes_ || takes_(event); }
  void DisplayChanged();

  // Constant after construction.
  const WindowStructure& structure_;

  // State below requires the runtime lock.
  std::map<FieldId, std::unique_ptr<Control>> controls_;
  std::map<std::string, FieldId> field_by_equate_;
  std::vector<FieldId> made_order_;  // the fields as they were declared or created
  PropertyStore props_;
  WindowHandle handle_ = 0;
  WindowHandle owner_ = 0;
  ThreadId thread_ = 0;
  bool open_ = false;
  bool loop_ended_ = false;
  bool window_dirty_ = true;
  bool layout_dirty_ = false;
  // The program moved the focus (SELECT, or the window opened): the display follows it at
  // the next flush, after the controls, so a control made in the same event is there.
  bool focus_dirty_ = false;
  bool flush_wake_posted_ = false;
  FieldId focus_ = kNoField;
  std::deque<EventRecord> pending_;
  // While an inner loop that takes only some events runs: those it takes.
  std::function<bool(EventId)> takes_;
  EventRecord current_;
  bool delivered_ = false;
  bool cycled_ = false;
  uint64_t next_deferred_ = 1;
  std::map<uint64_t, Input> deferred_;  // input waiting for its PreAlertKey or Expanding
  bool alerted_press_ = false;          // processing a press that was alerted
  std::vector<FieldId> destroyed_;      // to tell the backend at the next flush
  std::shared_ptr<const region::Region> shape_;
  // Where the display put the window while maximized; empty until it reports a move or size.
  std::optional<RectDu> maximized_at_;
};

// The window built from the structure registered as `module` and `label` (not open); null
// when no such structure is registered.
std::unique_ptr<Window> BuildWindow(std::string_view module, std::string_view label);

}  // namespace platform::ui
