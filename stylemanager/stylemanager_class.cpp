#include "stylemanager/stylemanager_class.h"

#include <algorithm>
#include <string>

#include "platform/core/call_trace.h"

namespace stylemanager {

using platform::TraceCall;

ZOVStylemanagerClass::ZOVStylemanagerClass() { TraceCall("ZOVStylemanagerClass.Construct"); }

ZOVStylemanagerClass::~ZOVStylemanagerClass() { TraceCall("ZOVStylemanagerClass.Destruct"); }

void ZOVStylemanagerClass::BindPropertyFile(const restyle::RestyleFileRef& file) {
  TraceCall("ZOVStylemanagerClass.BindPropertyFile " + std::string(file.label));
}

void ZOVStylemanagerClass::Init(platform::ui::KeyCode configure_key) {
  TraceCall("ZOVStylemanagerClass.Init " + std::to_string(configure_key));
}

void ZOVStylemanagerClass::AddRestyle(restyle::ZOVRestyleClass& restyle) {
  if (std::ranges::find(restyles_, &restyle) == restyles_.end()) restyles_.push_back(&restyle);
}

void ZOVStylemanagerClass::RemoveRestyle(restyle::ZOVRestyleClass& restyle) {
  std::erase(restyles_, &restyle);
}

void ZOVStylemanagerClass::Shutdown() { TraceCall("ZOVStylemanagerClass.Shutdown"); }

int32_t ZOVStylemanagerClass::ShowMessage(const platform::MessageRequest& request) {
  TraceCall("ZOVStylemanagerClass.ShowMessage " + request.text);
  return platform::StandardMessage(request);
}

void ZOVStylemanagerClass::ConfigureMain(restyle::ZOVRestyleClass& /*restyle*/) {
  TraceCall("ZOVStylemanagerClass.ConfigureMain");
}

}  // namespace stylemanager
