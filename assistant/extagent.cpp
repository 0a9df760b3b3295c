#include "assistant/extagent.h"

#include <string>

#include "platform/core/call_trace.h"

namespace assistant {

using platform::TraceCall;

ZOVAgentClass::ZOVAgentClass() { TraceCall("ZOVAgentClass.Construct"); }

ZOVAgentClass::~ZOVAgentClass() { TraceCall("ZOVAgentClass.Destruct"); }

void ZOVAgentClass::Init() { TraceCall("ZOVAgentClass.Init"); }

void ZOVAgentClass::Shutdown() { TraceCall("ZOVAgentClass.Shutdown"); }

void ZOVAgentClass::ProcedureOpened(std::string_view procedure_name) {
  TraceCall("ZOVAgentClass.ProcedureOpened " + std::string(procedure_name));
}

int32_t ZOVAgentClass::HandleEvent(std::string_view procedure_name,
                                   platform::ui::WindowHandle /*window*/) {
  return TraceCall("ZOVAgentClass.HandleEvent " + std::string(procedure_name));
}

void ZOVAgentClass::HandleAlertKey(std::string_view procedure_name,
                                   platform::ui::WindowHandle /*window*/) {
  TraceCall("ZOVAgentClass.HandleAlertKey " + std::string(procedure_name));
}

void ZOVAgentClass::ProcedureClosed(std::string_view procedure_name) {
  TraceCall("ZOVAgentClass.ProcedureClosed " + std::string(procedure_name));
}

void ZOVAgentClass::SetProcedure(std::string_view procedure_name,
                                 platform::ui::WindowHandle /*window*/) {
  TraceCall("ZOVAgentClass.SetProcedure " + std::string(procedure_name));
}

void ZOVAgentClass::ChooseSubject(uint8_t test_mode) {
  TraceCall("ZOVAgentClass.ChooseSubject " + std::to_string(test_mode));
}

void ZOVAgentClass::SetApplicationWindow(platform::ui::WindowHandle /*window*/) {
  TraceCall("ZOVAgentClass.SetApplicationWindow");
}

}  // namespace assistant
