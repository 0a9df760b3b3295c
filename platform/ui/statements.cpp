#include "platform/ui/statements.h"

#include <mutex>
#include <utility>

#include "platform/core/number.h"
#include "platform/ui/internal/thread_state.h"
#include "platform/ui/ole_control.h"
#include "platform/ui/property_table.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

// System properties live beside the runtime lock's holders: any thread reads them with the
// lock held, so they need no mutex of their own.
PropertyStore& SystemStore() {
  static PropertyStore store(SystemProperties());
  return store;
}

// Modal windows and dialogs open now, on every thread. Requires the runtime lock.
int g_modal = 0;

// The OLE control `field` of the target window; null when it is none.
OleControl* OleAt(FieldId field) {
  Window* w = TargetWindow();
  return w ? dynamic_cast<OleControl*>(w->control(field)) : nullptr;
}

}  // namespace

void detail::EnterModal() {
  AssertRuntimeLockHeld();
  if (g_modal++ == 0) SystemStore().Set(Prop::Modal, "1");
}

void detail::LeaveModal() {
  AssertRuntimeLockHeld();
  if (--g_modal == 0) SystemStore().Set(Prop::Modal, "");
}

Window* TargetWindow() {
  AssertRuntimeLockHeld();
  detail::ThreadState* t = detail::CurrentThread();
  if (t == nullptr) return nullptr;
  if (t->target != 0) {
    if (Window* w = detail::FindWindow(t->target)) return w;
    t->target = 0;  // it has closed: back to the thread's own active window
  }
  return t->windows.empty() ? nullptr : t->windows.back();
}

void SetTarget(WindowHandle window) {
  AssertRuntimeLockHeld();
  if (detail::ThreadState* t = detail::CurrentThread()) t->target = window;
}

std::vector<WindowHandle> OpenWindows() {
  AssertRuntimeLockHeld();
  std::vector<WindowHandle> out;
  for (const Window* w : detail::OpenWindows()) out.push_back(w->handle());
  return out;
}

Window* FindWindow(WindowHandle window) {
  AssertRuntimeLockHeld();
  return detail::FindWindow(window);
}

EventId Event() {
  detail::ThreadState* t = detail::CurrentThread();
  return t ? t->event.event : 0;
}

FieldId Field() {
  detail::ThreadState* t = detail::CurrentThread();
  return t ? t->event.field : kNoField;
}

FieldId Accepted() { return Event() == kEventAccepted ? Field() : kNoField; }
FieldId Selected() { return Event() == kEventSelected ? Field() : kNoField; }

int32_t Choice(FieldId field) {
  Window* w = TargetWindow();
  if (w == nullptr) return 0;
  Control* c = w->control(field != kNoField ? field : Field());
  return c ? c->selected() : 0;
}

KeyCode CurrentKeyCode() {
  detail::ThreadState* t = detail::CurrentThread();
  return t ? t->event.keycode : 0;
}

void SetKeyCode(KeyCode key) {
  if (detail::ThreadState* t = detail::CurrentThread()) t->event.keycode = key;
}

bool Keyboard() {
  detail::ThreadState* t = detail::CurrentThread();
  return t != nullptr && t->KeyWaiting();
}

int32_t MouseX() {
  detail::ThreadState* t = detail::CurrentThread();
  return t ? t->event.mouse_x : 0;
}

int32_t MouseY() {
  detail::ThreadState* t = detail::CurrentThread();
  return t ? t->event.mouse_y : 0;
}

FieldId FirstField() {
  Window* w = TargetWindow();
  return w ? w->FirstField() : kNoField;
}

FieldId LastField() {
  Window* w = TargetWindow();
  return w ? w->LastField() : kNoField;
}

FieldId Focus() {
  Window* w = TargetWindow();
  return w ? w->focus() : kNoField;
}

std::string GetProp(FieldId field, Prop p, int32_t index) {
  Window* w = TargetWindow();
  return w ? w->Get(field, p, index) : std::string();
}

int64_t GetPropNumber(FieldId field, Prop p, int32_t index) {
  return static_cast<int64_t>(TextToNumber(GetProp(field, p, index)));
}

void SetProp(FieldId field, Prop p, std::string_view value, int32_t index) {
  if (Window* w = TargetWindow()) w->Set(field, p, value, index);
}

void SetProp(FieldId field, Prop p, int64_t value, int32_t index) {
  SetProp(field, p, std::string_view(std::to_string(value)), index);
}

std::string GetSystemProp(Prop p) {
  AssertRuntimeLockHeld();
  if (p == Prop::Target) {
    Window* w = TargetWindow();
    return w ? std::to_string(w->handle()) : std::string("0");
  }
  return SystemStore().Get(p);
}

void SetSystemProp(Prop p, std::string_view value) {
  AssertRuntimeLockHeld();
  SystemStore().Set(p, value);
}

void Display(FieldId first, FieldId last) {
  if (Window* w = TargetWindow()) w->Display(first, last);
}

void Update(FieldId first, FieldId last) {
  if (Window* w = TargetWindow()) w->Update(first, last);
}

void Change(FieldId field, std::string_view value) {
  if (Window* w = TargetWindow()) w->Change(field, value);
}

void Select(FieldId field, int32_t position) {
  if (Window* w = TargetWindow()) w->Select(field, position);
}

void Hide(FieldId first, FieldId last) {
  if (Window* w = TargetWindow()) w->SetHidden(first, last, true);
}

void Unhide(FieldId first, FieldId last) {
  if (Window* w = TargetWindow()) w->SetHidden(first, last, false);
}

void Enable(FieldId first, FieldId last) {
  if (Window* w = TargetWindow()) w->SetDisabled(first, last, false);
}

void Disable(FieldId first, FieldId last) {
  if (Window* w = TargetWindow()) w->SetDisabled(first, last, true);
}

void SetPosition(FieldId field, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (Window* w = TargetWindow()) w->SetPosition(field, x, y, width, height);
}

void SetFont(FieldId field, std::string_view typeface, int32_t size, int32_t color, int32_t style,
             int32_t charset) {
  Window* w = TargetWindow();
  if (w == nullptr) return;
  if (!typeface.empty()) w->Set(field, Prop::Font, typeface);
  if (size >= 0) w->Set(field, Prop::FontSize, std::to_string(size));
  if (color >= 0) w->Set(field, Prop::FontColor, std::to_string(color));
  if (style >= 0) w->Set(field, Prop::FontStyle, std::to_string(style));
  if (charset >= 0) w->Set(field, Prop::FontCharSet, std::to_string(charset));
}

FieldId Create(FieldId field, ControlType type, FieldId parent) {
  Window* w = TargetWindow();
  return w ? w->Create(field, type, parent) : kNoField;
}

void Destroy(FieldId first, FieldId last) {
  if (Window* w = TargetWindow()) w->Destroy(first, last);
}

bool OleCreate(FieldId field, std::string_view server) {
  OleControl* c = OleAt(field);
  return c ? c->Create(server) : false;
}

bool OleSetMember(FieldId field, std::string_view member, int32_t value) {
  OleControl* c = OleAt(field);
  return c ? c->SetMember(member, value) : false;
}

std::string OleRead(FieldId field, std::string_view expression) {
  OleControl* c = OleAt(field);
  return c ? c->Read(expression) : std::string();
}

void OleCall(FieldId field, std::string_view statement) {
  if (OleControl* c = OleAt(field)) c->Call(statement);
}

void OleAssign(FieldId field, std::string_view property, int32_t value) {
  if (OleControl* c = OleAt(field)) c->Assign(property, value);
}

void OleRegisterEventHandler(FieldId field, OleEventHandler handler) {
  if (OleControl* c = OleAt(field)) c->SetEventHandler(std::move(handler));
}

void SetCursor(Cursor cursor) {
  AssertRuntimeLockHeld();
  detail::ThreadState* t = detail::CurrentThread();
  if (t == nullptr) return;
  const int before = t->wait_cursors;
  if (cursor == Cursor::kWait) {
    ++t->wait_cursors;
  } else if (t->wait_cursors > 0) {
    --t->wait_cursors;
  }
  if ((before == 0) != (t->wait_cursors == 0)) {
    detail::Backend().SetCursor(t->id(), t->wait_cursors > 0 ? Cursor::kWait : Cursor::kNormal);
  }
}

}  // namespace platform::ui
