#include "platform/ui/ole_control.h"

#include <cassert>
#include <utility>

#include "platform/ui/internal/thread_state.h"
#include "platform/ui/property_table.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace platform::ui {

OleControl::OleControl(Window& window, FieldId field, ControlType type, std::string equate,
                       FieldId parent)
    : Control(window, field, type, std::move(equate), parent, OleProperties()) {}

// The object may show things of its own (the agent's characters); they go with it.
OleControl::~OleControl() = default;

void OleControl::AssertOwnThread() const {
  AssertRuntimeLockHeld();
  assert((window().thread() == 0 || window().thread() == Thread()) &&
         "an OLE control is driven on its window's own thread");
}

bool OleControl::Create(std::string_view server) {
  AssertOwnThread();
  // The old object goes before the new one is made, as a control holds one at a time.
  object_.reset();
  object_ = NewOleObject(server, detail::Backend());
  if (object_) object_->SetEventHandler([this](const OleEvent& event) { Raise(event); });
  return object_ != nullptr;
}

std::string OleControl::Read(std::string_view expression) {
  AssertOwnThread();
  return object_ ? object_->Read(expression) : std::string();
}

void OleControl::Call(std::string_view statement) {
  AssertOwnThread();
  if (object_) object_->Call(statement);
}

void OleControl::Assign(std::string_view property, int32_t value) {
  AssertOwnThread();
  if (object_) object_->Assign(property, value);
}

bool OleControl::SetMember(std::string_view member, int32_t value) {
  AssertOwnThread();
  return object_ ? object_->SetMember(member, value) : false;
}

void OleControl::SetEventHandler(OleEventHandler handler) {
  AssertOwnThread();
  handler_ = std::move(handler);
}

void OleControl::Raise(const OleEvent& event) {
  // A copy, so a handler that registers another one runs to its end.
  const OleEventHandler handler = handler_;
  if (handler) handler(event);
}

std::string OleControl::Get(Prop p, int32_t index) const {
  if (p == Prop::Ole) return object_ ? "1" : "";
  return Control::Get(p, index);
}

void OleControl::Set(Prop p, std::string_view value, int32_t index) {
  if (p == Prop::Ole) return;
  Control::Set(p, value, index);
}

ControlView OleControl::View() const {
  ControlView v = Control::View();
  v.visible = false;
  v.at.width = 0;
  v.at.height = 0;
  return v;
}

}  // namespace platform::ui
