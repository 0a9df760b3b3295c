#include "restyle/restyle_class.h"

#include "platform/core/call_trace.h"

namespace restyle {

using platform::TraceCall;

ZOVRestyleClass::ZOVRestyleClass() { TraceCall("ZOVRestyleClass.Construct"); }

ZOVRestyleClass::~ZOVRestyleClass() {
  if (registry_ != nullptr) registry_->RemoveRestyle(*this);
  TraceCall("ZOVRestyleClass.Destruct " + procedure_name_);
}

int32_t ZOVRestyleClass::Init(RestyleRegistry& manager, std::string_view procedure_name) {
  procedure_name_ = procedure_name;
  if (TraceCall("ZOVRestyleClass.Init " + procedure_name_) != 0) return 1;
  registry_ = &manager;
  registry_->AddRestyle(*this);
  return 0;
}

void ZOVRestyleClass::AddControl(platform::ui::FieldId field, int32_t level,
                                 std::string_view equate, std::string_view description) {
  TraceCall("ZOVRestyleClass.AddControl " + std::to_string(field) + " " + std::to_string(level) +
            " " + std::string(equate) + " " + std::string(description));
}

void ZOVRestyleClass::AddMenuItem(platform::ui::FieldId field, int32_t kind) {
  TraceCall("ZOVRestyleClass.AddMenuItem " + std::to_string(field) + " " + std::to_string(kind));
}

void ZOVRestyleClass::SetWindow(platform::ui::Window& window, int32_t apply) {
  window_ = &window;
  TraceCall("ZOVRestyleClass.SetWindow " + std::to_string(apply));
}

int32_t ZOVRestyleClass::HandleEvent() { return TraceCall("ZOVRestyleClass.HandleEvent"); }

void ZOVRestyleClass::BuildMenuStructure() { TraceCall("ZOVRestyleClass.BuildMenuStructure"); }

}  // namespace restyle
