#include "restyle/restyle_base.h"

#include <string>

#include "platform/core/call_trace.h"

namespace restyle {

void ZOVRestyleBaseClass::BindUserName(platform::FixedString<255>& user_name) {
  user_name_ = &user_name;
  platform::TraceCall("ZOVRestyleBaseClass.BindUserName " + std::string(user_name.view()));
}

void ZOVRestyleBaseClass::BindConditionSetFile(const RestyleFileRef& file) {
  platform::TraceCall("ZOVRestyleBaseClass.BindConditionSetFile " + std::string(file.label));
}

void ZOVRestyleBaseClass::BindConditionFile(const RestyleFileRef& file) {
  platform::TraceCall("ZOVRestyleBaseClass.BindConditionFile " + std::string(file.label));
}

void ZOVRestyleBaseClass::BindRestyleFile(const RestyleFileRef& file) {
  platform::TraceCall("ZOVRestyleBaseClass.BindRestyleFile " + std::string(file.label));
}

}  // namespace restyle
