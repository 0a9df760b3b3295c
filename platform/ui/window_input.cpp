// How user input becomes events. The backend posts input (typed text, a click, a chosen
// row, a key) into the owning thread's queue; ACCEPT takes one input at a time, changes the
// model at once (the screen text, the chosen row or tab, the marks) and queues the events
// that input stands for, in the runtime's order:
//   - leaving a control whose text the user changed accepts it first (Accepted), so an
//     entry's Accepted always comes before the Accepted of the button that was clicked;
//   - arriving in a control that takes text or rows reports Selected;
//   - an immediate control reports every change of its text as NewSelection;
//   - a press alerted on the control or the window comes as PreAlertKey and AlertKey, and
//     the press itself happens after PreAlertKey unless the program cycles on it; an alerted
//     key has no standard action;
//   - a list reports the chosen row as NewSelection, a double click without an alert as
//     Accepted, and the release as AlertKey 81h when it alerts that;
//   - any mouse button pressed on a control or on the window has its mouse code (a right
//     press 2), for the alerts above; a region takes a left press as its click (Accepted),
//     and an immediate region reports the release as MouseUp;
//   - the close box posts CloseWindow; Accepted of a standard close control does too, as
//     the default action that ACCEPT performs before it waits for the next event;
//   - a tree list's button opens a closed row after Expanding, unless the program cycles on
//     it, and then reports Expanded; it closes an open row at once and reports Contracted.
// Programmatic changes never queue events. The next input is taken only when every queued
// event has been delivered, so each event sees the model as its own input left it.
#include <algorithm>
#include <cassert>

#include "platform/ui/control_family.h"
#include "platform/ui/internal/thread_state.h"
#include "platform/ui/list_control.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace platform::ui {

void Window::Queue(EventId event, FieldId field, const Input* in) {
  EventRecord e;
  e.event = event;
  e.field = field;
  if (in != nullptr) {
    e.keycode = in->key;
    e.mouse_x = in->mouse_x;
    e.mouse_y = in->mouse_y;
  }
  pending_.push_back(e);
}

void Window::Post(EventId event, FieldId field) { PostToWindow(handle_, event, field); }

bool Window::Accept() {
  AssertRuntimeLockHeld();
  detail::ThreadState* t = detail::CurrentThread();
  assert(t && t->id() == thread_ && "ACCEPT runs on the window's own thread");
  if (!open_ || loop_ended_) return false;
  if (delivered_) {
    if (current_.deferred != 0) {
      // The press that was alerted happens now, or the tree row opens, unless the program
      // cycled on PreAlertKey or Expanding.
      const auto it = deferred_.find(current_.deferred);
      if (it != deferred_.end()) {
        const Input in = std::move(it->second);
        deferred_.erase(it);
        if (!cycled_ && current_.event == kEventExpanding) {
          OpenTreeRow(in);
        } else if (!cycled_) {
          alerted_press_ = true;
          ProcessInput(in);
          alerted_press_ = false;
        }
      }
    } else if (!cycled_ && !DefaultAction(current_)) {
      loop_ended_ = true;
      return false;
    }
  }
  cycled_ = false;
  for (;;) {
    // An inner loop that takes only some events leaves the others queued, in order.
    auto next = std::find_if(pending_.begin(), pending_.end(),
                             [&](const EventRecord& e) { return Takes(e.event); });
    if (next != pending_.end()) {
      EventRecord e = *next;
      pending_.erase(next);
      // Events of a control that was destroyed meanwhile are dropped.
      if (e.field != kNoField && control(e.field) == nullptr) continue;
      Deliver(e);
      return true;
    }
    DisplayChanged();
    detail::ShowChangesBeforeLettingGo();
    detail::QueuedItem item = takes_ ? t->Take(handle_, false,
                                               [&](const detail::QueuedItem& i) {
                                                 const EventId e = EventOf(i);
                                                 return e != 0 && takes_(e);
                                               })
                                     : t->Take(handle_);
    if (!open_) return false;
    Process(item);
  }
}

EventId Window::EventOf(const detail::QueuedItem& item) {
  switch (item.kind) {
    case detail::QueuedItem::Kind::kEvent:
      return item.event;
    case detail::QueuedItem::Kind::kInput:
      return item.input.kind == Input::Kind::kTimer ? kEventTimer : 0;
    case detail::QueuedItem::Kind::kWake:
    case detail::QueuedItem::Kind::kStdAction:
      return 0;
  }
  return 0;
}

void Window::Deliver(EventRecord e) {
  if (e.event == kEventAccepted && e.field != kNoField) {
    Control* c = control(e.field);
    // The screen goes into the variable before the program sees the Accepted.
    if (c != nullptr && c->TakesText()) c->AcceptScreen();
  }
  // KEYCODE keeps the last key until another key event replaces it.
  detail::ThreadState* t = detail::CurrentThread();
  if (e.keycode == 0) e.keycode = t->event.keycode;
  if (e.mouse_x == 0 && e.mouse_y == 0) {
    e.mouse_x = t->event.mouse_x;
    e.mouse_y = t->event.mouse_y;
  }
  current_ = e;
  t->event = e;
  delivered_ = true;
}

bool Window::DefaultAction(const EventRecord& e) {
  switch (e.event) {
    case kEventAccepted: {
      const Control* c = control(e.field);
      if (c == nullptr) return true;
      RunStdAction(c->std_action());
      return true;
    }
    case kEventCloseWindow:
    case kEventCloseDown:
      if (kind() == WindowKind::kFrame) CloseChildrenAndWait();
      return false;
    default:
      return true;
  }
}

void Window::RunStdAction(StdAction action) {
  if (action == StdAction::kClose) {
    // Before anything else waiting: the close is what the action was taken for.
    pending_.push_front(EventRecord{kEventCloseWindow});
  } else if (action != StdAction::kNone) {
    detail::Backend().PerformStdAction(handle_, action);
  }
}

void Window::Process(const detail::QueuedItem& item) {
  switch (item.kind) {
    case detail::QueuedItem::Kind::kWake:
      return;
    case detail::QueuedItem::Kind::kStdAction:
      RunStdAction(item.std_action);
      return;
    case detail::QueuedItem::Kind::kEvent:
      if (item.field != kNoField && control(item.field) == nullptr) return;
      Queue(item.event, item.field);
      return;
    case detail::QueuedItem::Kind::kInput:
      ProcessInput(item.input);
      return;
  }
}

bool Window::Alerted(FieldId field, KeyCode key) const {
  if (field != kNoField) {
    const Control* c = control(field);
    return c != nullptr && c->IsAlerted(key);
  }
  const std::string k = std::to_string(key);
  for (const auto& [slot, value] : props_.values()) {
    if (slot.first == static_cast<int32_t>(Prop::Alrt) && value == k) return true;
  }
  return false;
}

void Window::QueueAlert(FieldId field, KeyCode key, const Input& in, bool defer) {
  Input keyed = in;
  keyed.key = key;
  Queue(kEventPreAlertKey, field, &keyed);
  if (defer) Defer(in);
  Queue(kEventAlertKey, field, &keyed);
}

void Window::Defer(const Input& in) {
  const uint64_t id = next_deferred_++;
  pending_.back().deferred = id;
  deferred_[id] = in;
}

void Window::PressTreeButton(const Input& in) {
  ListControl* l = list(in.field);
  if (l == nullptr) return;
  const TreeButton button = l->TreeButtonOf(in.row);
  if (button == TreeButton::kNone) return;
  FocusTo(in.field);
  l->SetTreeRow(in.row);
  if (button == TreeButton::kOpen) {
    Queue(kEventExpanding, in.field, &in);
    Defer(in);
    return;
  }
  l->SetTreeOpen(in.row, /*open=*/false);
  Queue(kEventContracted, in.field, &in);
}

void Window::OpenTreeRow(const Input& in) {
  // The program may have changed the rows while it handled Expanding (added the children it
  // loads on demand, or opened the row itself): the row opens as it is now.
  ListControl* l = list(in.field);
  if (l == nullptr || in.row < 1 || static_cast<size_t>(in.row) > l->Rows()) return;
  l->SetTreeOpen(in.row, /*open=*/true);
  l->SetTreeRow(in.row);
  Queue(kEventExpanded, in.field, &in);
}

void Window::FocusTo(FieldId field) {
  if (field == focus_) return;
  Control* previous = control(focus_);
  // What the user typed commits (Accepted) before anything else happens at the new place,
  // once: Enter has already queued it when it then presses the default button.
  const bool accepting = std::any_of(pending_.begin(), pending_.end(), [&](const EventRecord& e) {
    return e.event == kEventAccepted && e.field == focus_;
  });
  if (previous != nullptr && previous->TakesText() && previous->touched() && !accepting) {
    Queue(kEventAccepted, focus_);
  }
  focus_ = field;
  Control* next = control(field);
  if (next != nullptr && next->TakesFocus() && FamilyOf(next->type()).reports_selected) {
    Queue(kEventSelected, field);
  }
}

KeyCode Window::PressCode(const Input& in) const {
  switch (in.kind) {
    case Input::Kind::kClick: {
      const Control* c = control(in.field);
      return c != nullptr && !FamilyOf(c->type()).menu_entry ? kMouseLeft : 0;
    }
    case Input::Kind::kSelectRow:
    case Input::Kind::kHeaderClick:
      return kMouseLeft;
    case Input::Kind::kDoubleClick:
      return kMouseLeft2;
    case Input::Kind::kMouseDown:
      return in.key;
    default:
      return 0;
  }
}

void Window::ProcessInput(const Input& in) {
  Control* c = in.field != kNoField ? control(in.field) : nullptr;
  if (in.field != kNoField && (c == nullptr || c->disabled() || !IsVisible(*c))) return;
  // A mouse press alerted on the control or the window comes first as PreAlertKey and
  // AlertKey; the press itself happens after PreAlertKey unless the program cycles on it.
  if (const KeyCode press = PressCode(in); press != 0 && !alerted_press_) {
    if (Alerted(in.field, press)) return QueueAlert(in.field, press, in, /*defer=*/true);
    if (Alerted(kNoField, press)) return QueueAlert(kNoField, press, in, /*defer=*/true);
  }
  auto release = [&] {
    if (Alerted(in.field, kMouseLeftUp)) {
      Input up = in;
      up.key = kMouseLeftUp;
      Queue(kEventAlertKey, in.field, &up);
    }
  };
  switch (in.kind) {
    case Input::Kind::kTyped: {
      if (!c->TakesText()) return;
      FocusTo(in.field);
      c->SetScreenTextFromUser({}, in.text);
      // Immediate controls report every change of their text while the user types.
      if (c->imm()) Queue(kEventNewSelection, in.field);
      return;
    }
    case Input::Kind::kClick:
      if (c == nullptr) return;
      Click(*c, in);
      // A click is a press and its release.
      if (FamilyOf(c->type()).acts_on_press && c->imm()) Queue(kEventMouseUp, in.field, &in);
      return;
    case Input::Kind::kMouseDown: {
      const KeyCode button = in.key & 0xFF;
      if (c != nullptr && FamilyOf(c->type()).acts_on_press &&
          (button == kMouseLeft || button == kMouseLeft2)) {
        Click(*c, in);
      }
      return;
    }
    case Input::Kind::kMouseUp:
      if (Alerted(in.field, in.key)) Queue(kEventAlertKey, in.field, &in);
      if (c != nullptr && FamilyOf(c->type()).acts_on_press && c->imm() &&
          (in.key & 0xFF) == kMouseLeftUp) {
        Queue(kEventMouseUp, in.field, &in);
      }
      return;
    case Input::Kind::kFocus:
      if (c == nullptr || !c->TakesFocus()) return;
      FocusTo(in.field);
      return;
    case Input::Kind::kSelectRow:
    case Input::Kind::kDoubleClick: {
      ListControl* l = list(in.field);
      if (l == nullptr) return;
      const bool twice = in.kind == Input::Kind::kDoubleClick;
      FocusTo(in.field);
      l->SetMouseDown(in.row, in.column);
      if (in.row >= 1 && static_cast<size_t>(in.row) <= l->Rows()) {
        if (!twice) {
          l->MarkRows(in.row, (in.key & kCtrl)    ? ListControl::MarkMode::kToggle
                              : (in.key & kShift) ? ListControl::MarkMode::kRange
                                                  : ListControl::MarkMode::kOnly);
        }
        const bool moved = l->selected() != in.row;
        l->SetNumber(Prop::Selected, in.row);
        // Choosing an entry of a combo, drop list or spin puts its text on screen.
        if (l->TakesText()) l->SetScreenTextFromUser({}, l->Cell(in.row, 1));
        if (moved || !twice) Queue(kEventNewSelection, in.field, &in);
        if (FamilyOf(l->type()).accepts_chosen_row) Queue(kEventAccepted, in.field, &in);
        // A double click accepts the row, unless the list alerted it for itself.
        if (twice && !alerted_press_) Queue(kEventAccepted, in.field, &in);
      }
      release();
      return;
    }
    case Input::Kind::kHeaderClick: {
      ListControl* l = list(in.field);
      if (l == nullptr) return;
      FocusTo(in.field);
      l->SetMouseDown(0, in.column);
      release();
      return;
    }
    case Input::Kind::kKey:
      HandleKey(in.key, in);
      return;
    case Input::Kind::kCloseBox:
      Queue(kEventCloseWindow, kNoField);
      return;
    case Input::Kind::kTimer:
      Queue(kEventTimer, kNoField);
      return;
    case Input::Kind::kMoved:
    case Input::Kind::kSized: {
      const bool moved = in.kind == Input::Kind::kMoved;
      const bool imm = !props_.Get(Prop::Imm).empty();
      if (imm) Queue(moved ? kEventMove : kEventSize, kNoField);
      TakeReportedGeometry(in.at);
      if (imm) Queue(moved ? kEventMoved : kEventSized, kNoField);
      return;
    }
    case Input::Kind::kMaximized:
    case Input::Kind::kIconized:
    case Input::Kind::kRestored:
      TakeReportedState(in.kind);
      return;
    case Input::Kind::kActivated:
      detail::SetActiveWindow(handle_);
      return;
    case Input::Kind::kMouseMoved: {
      // Reported state only: what MOUSEX, MOUSEY and a list's hover properties answer.
      detail::ThreadState* t = detail::CurrentThread();
      t->event.mouse_x = in.mouse_x;
      t->event.mouse_y = in.mouse_y;
      if (ListControl* l = list(in.field)) l->SetHover(in.row, in.key);
      return;
    }
    case Input::Kind::kTreeButton:
      PressTreeButton(in);
      return;
  }
}

void Window::Click(Control& c, const Input& in) {
  switch (FamilyOf(c.type()).click) {
    case ClickAction::kAccept:
      Queue(kEventAccepted, c.field(), &in);
      return;
    case ClickAction::kNothing:
      return;
    case ClickAction::kPress:
      FocusTo(c.field());
      Queue(kEventAccepted, c.field(), &in);
      return;
    case ClickAction::kToggle:
      FocusTo(c.field());
      c.SetScreenTextFromUser({}, TextToNumber(c.screen_text()) != 0 ? "0" : "1");
      Queue(kEventAccepted, c.field(), &in);
      return;
    case ClickAction::kChooseOption: {
      // Choosing a radio puts its value on its option's screen; the option is accepted.
      Control* option = control(c.parent());
      FocusTo(c.field());
      if (option == nullptr) return;
      option->SetScreenTextFromUser({}, c.Get(Prop::Value));
      Queue(kEventAccepted, option->field(), &in);
      return;
    }
    case ClickAction::kChooseTab: {
      Control* sheet = control(c.parent());
      if (sheet == nullptr) return;
      const int32_t n = TabNumber(c);
      if (sheet->selected() == n) return;
      FocusTo(sheet->field());
      Queue(kEventTabChanging, sheet->field(), &in);
      sheet->SetNumber(Prop::Selected, n);
      Queue(kEventNewSelection, sheet->field(), &in);
      return;
    }
    case ClickAction::kFocus:
      if (c.TakesFocus()) FocusTo(c.field());
      return;
  }
}

int32_t Window::TabNumber(const Control& tab) const {
  int32_t n = 0;
  for (const auto& [f, other] : controls_) {
    if (f > 0 && FamilyOf(other->type()).page && other->parent() == tab.parent()) {
      ++n;
      if (other.get() == &tab) return n;
    }
  }
  return 0;
}

void Window::HandleKey(KeyCode key, const Input& in) {
  // An alerted key is the program's: it has no standard action of its own.
  if (Alerted(focus_, key)) return QueueAlert(focus_, key, in, /*defer=*/false);
  if (Alerted(kNoField, key)) return QueueAlert(kNoField, key, in, /*defer=*/false);
  // A key given to a control or a menu item presses it.
  for (auto& [f, c] : controls_) {
    if (c->key() == key && !c->disabled() && (f < 0 || IsVisible(*c))) {
      Input click = in;
      click.field = f;
      Click(*c, click);
      return;
    }
  }
  Control* focused = control(focus_);
  if (key == kEnterKey) {
    if (focused != nullptr && focused->TakesText()) Queue(kEventAccepted, focus_, &in);
    for (auto& [f, c] : controls_) {
      if (f > 0 && FamilyOf(c->type()).click == ClickAction::kPress &&
          !c->Get(Prop::Default).empty() && !c->disabled() && IsVisible(*c)) {
        Click(*c, in);
        break;
      }
    }
    return;
  }
  // Up and down step a spin through its entries, as its arrows do: up to the next entry,
  // down to the one before. The runtime steps the value, so the display is told of it, and
  // it counts as the user's change until it is accepted.
  if (key == kUpKey || key == kDownKey) {
    ListControl* l = list(focus_);
    if (l == nullptr || !FamilyOf(l->type()).steps_rows || l->Rows() == 0) return;
    const int32_t rows = static_cast<int32_t>(l->Rows());
    int32_t at = 0;
    for (int32_t r = 1; r <= rows && at == 0; ++r) {
      if (TextEqual(l->Cell(r, 1), l->screen_text())) at = r;
    }
    const int32_t next = key == kUpKey ? std::min(at + 1, rows) : std::max(at - 1, 1);
    if (next == at) return;
    l->SetNumber(Prop::Selected, next);
    l->SetScreenTextFromProgram(l->Cell(next, 1));
    l->Set(Prop::Touched, "1");
    Queue(kEventNewSelection, focus_, &in);
    return;
  }
  if (key == kTabKey || key == kShift + kTabKey) {
    std::vector<FieldId> order;
    for (auto& [f, c] : controls_) {
      if (f > 0 && c->TakesFocus() && !c->skip() && !c->disabled() && IsVisible(*c)) {
        order.push_back(f);
      }
    }
    if (order.empty()) return;
    auto it = std::find(order.begin(), order.end(), focus_);
    FieldId next;
    if (key == kTabKey) {
      next = (it == order.end() || std::next(it) == order.end()) ? order.front() : *std::next(it);
    } else {
      next = (it == order.end() || it == order.begin()) ? order.back() : *std::prev(it);
    }
    FocusTo(next);
  }
}

}  // namespace platform::ui
