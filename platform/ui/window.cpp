// A window's life and model: building its controls from the structure, opening and closing,
// properties, and the statements that change its controls. How user input becomes events
// is in window_input.cpp.
#include "platform/ui/window.h"

#include <algorithm>
#include <cassert>

#include "platform/core/queue.h"
#include "platform/ui/control_family.h"
#include "platform/ui/internal/thread_state.h"
#include "platform/ui/list_control.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"

namespace platform::ui {
std::unique_ptr<Window> BuildWindow(std::string_view module, std::string_view label) {
  const WindowStructure* s = FindWindowStructure(module, label);
  return s ? std::make_unique<Window>(*s) : nullptr;
}

Window::Window(const WindowStructure& structure)
    : structure_(structure), props_(WindowProperties()) {
  BuildControls();
}

Window::~Window() {
  if (open_) Close();
}

void Window::BuildControls() {
  props_.Set(Prop::Text, structure_.title);
  props_.Set(Prop::Xpos, std::to_string(structure_.at.x));
  props_.Set(Prop::Ypos, std::to_string(structure_.at.y));
  props_.Set(Prop::Width, std::to_string(structure_.at.width));
  props_.Set(Prop::Height, std::to_string(structure_.at.height));
  props_.Set(Prop::Icon, structure_.icon);
  if (structure_.attrs & kAttrImm) props_.Set(Prop::Imm, "1");
  int32_t slot = 1;
  for (KeyCode k : structure_.alerts) {
    if (k != 0) props_.Set(Prop::Alrt, std::to_string(k), slot++);
  }
  for (size_t i = 0; i < structure_.controls.size(); ++i) {
    const ControlDecl& d = structure_.controls[i];
    // A separator is a menu item without text; the menu bar a control that holds the menus.
    const FieldId field = structure_.FieldAt(i);
    const FieldId parent = structure_.ParentAt(i);
    auto c = MakeControl(field, d.type, std::string(d.equate), parent);
    // Declared attributes go through the property table like any later change.
    c->Set(Prop::Text, d.text);
    c->SetNumber(Prop::Xpos, d.at.x);
    c->SetNumber(Prop::Ypos, d.at.y);
    c->SetNumber(Prop::Width, d.at.width);
    c->SetNumber(Prop::Height, d.at.height);
    if (d.attrs & kAttrImm) c->Set(Prop::Imm, "1");
    if (d.attrs & kAttrSkip) c->Set(Prop::Skip, "1");
    if (d.attrs & kAttrTrn) c->Set(Prop::Trn, "1");
    if (d.attrs & kAttrDisabled) c->Set(Prop::Disable, "1");
    if (d.attrs & kAttrHidden) c->Set(Prop::Hide, "1");
    if (d.attrs & kAttrReadOnly) c->Set(Prop::ReadOnly, "1");
    if (d.attrs & kAttrPassword) c->Set(Prop::Password, "1");
    if (d.attrs & kAttrNoSheet) c->Set(Prop::NoSheet, "1");
    if (d.attrs & kAttrVScroll) c->Set(Prop::VScroll, "1");
    if (d.attrs & kAttrHScroll) c->Set(Prop::HScroll, "1");
    if (d.attrs & kAttrDefault) c->Set(Prop::Default, "1");
    if (d.attrs & kAttrUpr) c->Set(Prop::Upr, "1");
    if (d.std != StdAction::kNone) c->SetNumber(Prop::Std, static_cast<int32_t>(d.std));
    if (d.key != 0) c->SetNumber(Prop::Key, d.key);
    c->Set(Prop::Msg, d.msg);
    c->Set(Prop::Tip, d.tip);
    c->Set(Prop::Icon, d.icon);
    c->Set(Prop::Picture, d.picture);
    for (KeyCode k : d.alerts) {
      if (k != 0) c->Alert(k);
    }
    if (auto* l = dynamic_cast<ListControl*>(c.get())) {
      if (!d.format.empty()) l->Set(Prop::Format, d.format);
      if (!d.from.empty()) l->Set(Prop::From, d.from);
    }
    if (const ControlFamily& family = FamilyOf(d.type); family.declare != nullptr) {
      family.declare(*c, d);
    }
    if (!d.equate.empty()) field_by_equate_[std::string(d.equate)] = field;
    controls_[field] = std::move(c);
    made_order_.push_back(field);
  }
}

std::unique_ptr<Control> Window::MakeControl(FieldId field, ControlType type, std::string equate,
                                             FieldId parent) {
  const ControlFamily& family = FamilyOf(type);
  if (family.make != nullptr) return family.make(*this, field, type, std::move(equate), parent);
  return std::make_unique<Control>(*this, field, type, std::move(equate), parent);
}

void Window::From(FieldId field, QueueBase& queue) {
  if (ListControl* l = list(field)) l->From(queue);
}

void Window::From(FieldId field, std::string_view entries) {
  if (ListControl* l = list(field)) l->Set(Prop::From, entries);
}

void Window::Mark(FieldId field, size_t queue_field) {
  if (ListControl* l = list(field)) {
    l->SetMarkField(queue_field);
    l->SetNumber(Prop::Mark, static_cast<int64_t>(queue_field));
  }
}

Control* Window::control(FieldId field) const {
  const auto it = controls_.find(field);
  return it != controls_.end() ? it->second.get() : nullptr;
}

ListControl* Window::list(FieldId field) const {
  return dynamic_cast<ListControl*>(control(field));
}

FieldId Window::FirstField() const {
  const auto it = controls_.upper_bound(0);
  return it != controls_.end() ? it->first : kNoField;
}

FieldId Window::LastField() const {
  return !controls_.empty() && controls_.rbegin()->first > 0 ? controls_.rbegin()->first : kNoField;
}

std::vector<FieldId> Window::Fields() const {
  std::vector<FieldId> out;
  for (auto it = controls_.begin(); it != controls_.end() && it->first < 0; ++it) {
    out.push_back(it->first);
  }
  std::reverse(out.begin(), out.end());  // -1, -2, ...
  for (auto it = controls_.upper_bound(0); it != controls_.end(); ++it) out.push_back(it->first);
  return out;
}

FieldId Window::NextFieldAfter(FieldId field) const {
  if (field >= 0) {
    const auto it = controls_.upper_bound(field);
    if (it != controls_.end()) return it->first;
    field = 0;  // after the controls come the menus
  }
  // The menus are keyed below 0, -1 nearest to 0: the next is the greatest key below `field`.
  const auto it = controls_.lower_bound(field);
  return it != controls_.begin() && std::prev(it)->first < 0 ? std::prev(it)->first : 0;
}

bool Window::IsVisible(const Control& c) const {
  if (c.hidden()) return false;
  if (c.parent() == kNoField) return true;
  const Control* p = control(c.parent());
  if (p == nullptr) return true;
  if (FamilyOf(p->type()).page) {
    const Control* sheet = control(p->parent());
    // The n-th tab of the sheet is shown while the sheet's choice is n.
    if (sheet != nullptr && sheet->selected() != TabNumber(*p)) return false;
  }
  return IsVisible(*p);
}

FieldId Window::Child(FieldId parent, int32_t index) const {
  if (index < 1) return kNoField;
  for (FieldId f : made_order_) {
    const Control* c = control(f);
    if (c != nullptr && c->parent() == parent && --index == 0) return f;
  }
  return kNoField;
}

std::string Window::Get(FieldId field, Prop p, int32_t index) const {
  AssertRuntimeLockHeld();
  if (field != kNoField) {
    const Control* c = control(field);
    return c ? c->Get(p, index) : std::string();
  }
  switch (p) {
    case Prop::Handle:
      return std::to_string(handle_);
    case Prop::Thread:
      return std::to_string(thread_);
    case Prop::Type:
      return std::to_string(static_cast<int32_t>(
          kind() == WindowKind::kFrame ? ControlType::kApplication : ControlType::kWindow));
    case Prop::Active:
      return open_ && detail::ActiveWindow() == handle_ ? "1" : "";
    case Prop::ClientHandle:
      return kind() == WindowKind::kFrame ? std::to_string(handle_ + 1) : std::string();
    case Prop::Xpos:
    case Prop::Ypos:
    case Prop::Width:
    case Prop::Height:
      if (!props_.Get(Prop::Pixels).empty()) return std::to_string(GeometryInPixels(p));
      return std::to_string(GeometryDu(p));
    case Prop::NextField:
      return std::to_string(NextFieldAfter(index));
    default:
      return props_.Get(p, index);
  }
}

void Window::Set(FieldId field, Prop p, std::string_view value, int32_t index) {
  AssertRuntimeLockHeld();
  if (field != kNoField) {
    if (Control* c = control(field)) c->Set(p, value, index);
    return;
  }
  if (p == Prop::Active) {
    if (open_ && !NormalizeProperty(PropKind::kFlag, value).empty()) {
      detail::SetActiveWindow(handle_);
      detail::Backend().ActivateWindow(handle_);
    }
    return;
  }
  if (p == Prop::Maximize) {
    SetMaximized(!NormalizeProperty(PropKind::kFlag, value).empty());
    return;
  }
  if (p == Prop::Center) {
    props_.Set(p, value);
    if (!props_.Get(p).empty()) Centre();
    return;
  }
  const bool geometry = p == Prop::Xpos || p == Prop::Ypos || p == Prop::Width || p == Prop::Height;
  std::string in_units;
  if (geometry && !props_.Get(Prop::Pixels).empty()) {
    in_units = std::to_string(DialogUnitsFromPixels(p, TextToNumber(value)));
    value = in_units;
  }
  if (const PropertyDef* d = props_.Set(p, value, index)) {
    if (d->shown) {
      window_dirty_ = true;
      WakeOwnerToFlush();
    }
  }
}

void Window::SetShape(std::optional<region::Region> shape) {
  AssertRuntimeLockHeld();
  shape_ = shape ? std::make_shared<const region::Region>(std::move(*shape)) : nullptr;
  window_dirty_ = true;
  WakeOwnerToFlush();
}

void Window::NoteChanged(Badge<Control>, Control& /*c*/, bool layout) {
  if (layout) layout_dirty_ = true;
  WakeOwnerToFlush();
}

void detail::ShowChangesBeforeLettingGo() {
  AssertRuntimeLockHeld();
  if (ThreadState* t = CurrentThread()) {
    for (Window* w : t->windows) w->Flush();
  }
  for (Window* w : OpenWindows()) {
    for (const auto& [f, c] : w->controls_) {
      const auto* l = dynamic_cast<const ListControl*>(c.get());
      if (l != nullptr && l->SnapshotStale()) {
        w->WakeOwnerToFlush();
        break;
      }
    }
  }
}

void Window::WakeOwnerToFlush() {
  // A change made from another thread (styling every window) reaches the display when the
  // owning thread flushes, so wake it once.
  if (!open_ || flush_wake_posted_) return;
  detail::ThreadState* t = detail::CurrentThread();
  if (t == nullptr || t->id() == thread_) return;
  flush_wake_posted_ = true;
  if (auto owner = detail::FindThread(thread_)) owner->Push({});
}

WindowView Window::View() const {
  WindowView v;
  v.structure = &structure_;
  v.handle = handle_;
  v.owner = owner_;
  v.thread = thread_;
  v.kind = kind();
  v.module = structure_.module;
  v.label = structure_.label;
  v.title = props_.Get(Prop::Text);
  v.at = {static_cast<int32_t>(TextToNumber(props_.Get(Prop::Xpos))),
          static_cast<int32_t>(TextToNumber(props_.Get(Prop::Ypos))),
          static_cast<int32_t>(TextToNumber(props_.Get(Prop::Width))),
          static_cast<int32_t>(TextToNumber(props_.Get(Prop::Height)))};
  v.timer = static_cast<int32_t>(TextToNumber(props_.Get(Prop::Timer)));
  v.hidden = !props_.Get(Prop::Hide).empty();
  v.shape = shape_;
  v.properties = props_.values();
  return v;
}

void Window::Open(Window* owner) {
  AssertRuntimeLockHeld();
  detail::ThreadState* t = detail::CurrentThread();
  assert(t && "a window opens on a runtime thread");
  if (open_) return;
  thread_ = t->id();
  handle_ = detail::NewWindowHandle();
  if (kind() == WindowKind::kMdiChild) {
    Window* frame = detail::Frame();
    owner_ = frame ? frame->handle() : 0;
  } else {
    owner_ = owner ? owner->handle() : 0;
  }
  open_ = true;
  loop_ended_ = false;
  delivered_ = false;
  cycled_ = false;
  pending_.clear();
  detail::RegisterWindow(*this);
  if (kind() == WindowKind::kFrame) detail::SetFrame(this);
  // A window shown nowhere leaves the user's window active.
  const WindowView view = View();
  if (!view.shown_nowhere()) detail::SetActiveWindow(handle_);
  t->windows.push_back(this);
  // While a modal window is open the system reports Modal, as it does for a message box.
  if (structure_.attrs & kAttrModal) detail::EnterModal();
  for (auto& [f, c] : controls_) c->ForceDisplay();
  for (auto& [f, c] : controls_) {
    if (f > 0 && c->TakesFocus() && IsVisible(*c) && !c->disabled()) {
      focus_ = f;
      focus_dirty_ = true;
      break;
    }
  }
  std::vector<ControlView> views;
  for (auto& [f, c] : controls_) views.push_back(c->View());
  detail::Backend().CreateWindow(View(), views);
  window_dirty_ = false;
  layout_dirty_ = false;
  // Lists still push their first snapshot at the first flush.
  Queue(kEventOpenWindow, kNoField);
  // A window opened while the program ends closes again, as those open then did.
  if (ProgramEnding()) Post(kEventCloseWindow);
}

void Window::Close() {
  AssertRuntimeLockHeld();
  if (!open_) return;
  // Only its own thread keeps the window in its list of open windows (and ends with it
  // closed); another thread asks for a close with a POST of CloseWindow.
  detail::ThreadState* t = detail::CurrentThread();
  assert(t != nullptr && t->id() == thread_ && "CLOSE runs on the window's own thread");
  open_ = false;
  loop_ended_ = true;
  pending_.clear();
  if (t != nullptr) {
    auto& ws = t->windows;
    ws.erase(std::remove(ws.begin(), ws.end(), this), ws.end());
  }
  const ThreadId frame_thread =
      kind() == WindowKind::kMdiChild && detail::Frame() ? detail::Frame()->thread() : 0;
  detail::UnregisterWindow(*this);
  detail::Backend().DestroyWindow(handle_);
  if (structure_.attrs & kAttrModal) detail::LeaveModal();
  // A frame that is closing waits for its children; tell it one went.
  if (frame_thread != 0) {
    if (auto ft = detail::FindThread(frame_thread)) ft->Push({});
  }
}

void Window::CloseChildrenAndWait() {
  detail::ThreadState* self = detail::CurrentThread();
  std::vector<ThreadId> threads;
  for (Window* w : detail::OpenWindows()) {
    if (w->kind() != WindowKind::kMdiChild || w->thread() == thread_) continue;
    PostToWindow(w->handle(), kEventCloseWindow);
    if (std::find(threads.begin(), threads.end(), w->thread()) == threads.end()) {
      threads.push_back(w->thread());
    }
  }
  // Each child's close path runs on its own thread, and that thread ends, before the
  // frame's loop ends. Other input for the frame waits in its queue meanwhile.
  for (;;) {
    const bool any_alive = std::any_of(threads.begin(), threads.end(), [](ThreadId id) {
      return detail::FindThread(id) != nullptr;
    });
    if (!any_alive) return;
    self->Take(handle_, /*wake_only=*/true);
  }
}

void Window::DisplayChanged() {
  for (auto& [f, c] : controls_) c->DisplayVariable();
}

void Window::Flush() {
  AssertRuntimeLockHeld();
  if (!open_) return;
  DisplayBackend& backend = detail::Backend();
  flush_wake_posted_ = false;
  for (FieldId f : destroyed_) backend.DestroyControl(handle_, f);
  destroyed_.clear();
  if (window_dirty_) {
    window_dirty_ = false;
    backend.UpdateWindow(View());
  }
  if (layout_dirty_) {
    layout_dirty_ = false;
    for (auto& [f, c] : controls_) c->MarkDirty({});
  }
  for (auto& [f, c] : controls_) c->Flush({}, backend, handle_);
  if (focus_dirty_) {
    focus_dirty_ = false;
    if (focus_ != kNoField) backend.FocusControl(handle_, focus_);
  }
}

void Window::Display(FieldId first, FieldId last) {
  AssertRuntimeLockHeld();
  for (auto& [f, c] : controls_) {
    const bool in_range =
        first == kNoField || (last == kNoField ? f == first : f >= first && f <= last);
    if (!in_range) continue;
    // What the user is typing stays until it is accepted; every other control shows its
    // variable, whatever it showed before.
    if (f == focus_) {
      c->DisplayVariable();
    } else {
      c->ShowVariable();
    }
  }
  Flush();
}

void Window::Update(FieldId first, FieldId last) {
  AssertRuntimeLockHeld();
  for (auto& [f, c] : controls_) {
    const bool in_range =
        first == kNoField || (last == kNoField ? f == first : f >= first && f <= last);
    if (in_range && c->TakesText()) c->UpdateVariable();
  }
}

void Window::Change(FieldId field, std::string_view value) {
  AssertRuntimeLockHeld();
  Control* c = control(field);
  if (c == nullptr) return;
  c->SetScreenTextFromProgram(value);
  c->UpdateVariable();
}

void Window::Select(FieldId field, int32_t position) {
  AssertRuntimeLockHeld();
  Control* c = control(field);
  if (c == nullptr) return;
  if (FamilyOf(c->type()).page) {
    if (Control* sheet = control(c->parent())) sheet->SetNumber(Prop::Selected, TabNumber(*c));
    return;
  }
  if (position != 0) c->SetNumber(Prop::Selected, position);
  if (c->TakesFocus()) {
    focus_ = field;
    focus_dirty_ = true;
    WakeOwnerToFlush();
  }
}

void Window::SetHidden(FieldId first, FieldId last, bool hidden) {
  if (last == kNoField) last = first;
  for (auto& [f, c] : controls_) {
    if (f >= first && f <= last) c->Set(Prop::Hide, hidden ? "1" : "");
  }
}

void Window::SetDisabled(FieldId first, FieldId last, bool disabled) {
  if (last == kNoField) last = first;
  for (auto& [f, c] : controls_) {
    if (f >= first && f <= last) c->Set(Prop::Disable, disabled ? "1" : "");
  }
}

void Window::SetPosition(FieldId field, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (field == kNoField) {
    Set(kNoField, Prop::Xpos, std::to_string(x));
    Set(kNoField, Prop::Ypos, std::to_string(y));
    Set(kNoField, Prop::Width, std::to_string(width));
    Set(kNoField, Prop::Height, std::to_string(height));
    return;
  }
  if (Control* c = control(field)) {
    c->SetNumber(Prop::Xpos, x);
    c->SetNumber(Prop::Ypos, y);
    c->SetNumber(Prop::Width, width);
    c->SetNumber(Prop::Height, height);
  }
}

FieldId Window::Create(FieldId field, ControlType type, FieldId parent) {
  AssertRuntimeLockHeld();
  if (field == kNoField) {
    if (FamilyOf(type).menu_entry) {
      field =
          controls_.empty() || controls_.begin()->first >= 0 ? -1 : controls_.begin()->first - 1;
    } else {
      field = LastField() + 1;
    }
  }
  if (control(field) != nullptr) return kNoField;
  auto c = MakeControl(field, type, std::string(), parent);
  if (FamilyOf(type).sizes_to_text) c->SizeToText({});
  Control* raw = c.get();
  controls_[field] = std::move(c);
  made_order_.push_back(field);
  if (open_) detail::Backend().CreateControl(handle_, raw->View());
  return field;
}

void Window::Destroy(FieldId first, FieldId last) {
  AssertRuntimeLockHeld();
  if (last == kNoField) last = first;
  for (auto it = controls_.begin(); it != controls_.end();) {
    if (it->first >= first && it->first <= last) {
      if (focus_ == it->first) focus_ = kNoField;
      destroyed_.push_back(it->first);
      std::erase(made_order_, it->first);
      it = controls_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace platform::ui
