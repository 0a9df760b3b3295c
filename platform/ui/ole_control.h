// OLE controls: a control that holds an OLE object (ole_object.h), created from a server's
// name declared in the window structure (made when the window is built) or named by the
// program later. The program reaches the object through the control's automation calls;
// its `OLE` property is 1 while it holds one.
//
// The control has no face of its own: whatever its properties say, the backends get it as
// invisible and 0 by 0, so the headless mirror lists it and the Qt backend makes no widget.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/control.h"
#include "platform/ui/ole_object.h"

namespace platform::ui {

class OleControl final : public Control {
 public:
  OleControl(Window& window, FieldId field, ControlType type, std::string equate, FieldId parent);
  ~OleControl() override;

  // Every call below requires the runtime lock and runs on the window's own thread (or
  // before the window opens).

  // Creates an object of the server named `server`, in place of the object the control
  // held; with no server of that name it holds none. True when it holds an object now.
  bool Create(std::string_view server);
  bool holds_object() const { return object_ != nullptr; }

  // The object's automation (OleObject); without an object a read answers "", a member
  // cannot be set (false), and the rest does nothing.
  std::string Read(std::string_view expression);
  void Call(std::string_view statement);
  void Assign(std::string_view property, int32_t value);
  bool SetMember(std::string_view member, int32_t value);
  // The program's handler of the object's events, for this object and those created later;
  // empty drops them.
  void SetEventHandler(OleEventHandler handler);

  // `OLE` answers whether the control holds an object; a set of it is ignored.
  std::string Get(Prop p, int32_t index = 0) const override;
  void Set(Prop p, std::string_view value, int32_t index = 0) override;
  ControlView View() const override;

 private:
  void AssertOwnThread() const;
  void Raise(const OleEvent& event);

  std::unique_ptr<OleObject> object_;
  OleEventHandler handler_;
};

}  // namespace platform::ui
