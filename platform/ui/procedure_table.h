// The procedure table: the program's window procedures by name, each with the window
// structures it opens. The main program fills it at start-up in a fixed order; START by name
// and whoever plays or lists procedures (the assistant, the style manager) read it; tests
// register stand-ins under the same names.
//
//   RegisterProcedure("ChooseODBCconnection", ChooseODBCconnection, {&kWindow});
//   StartProcedure("ChooseODBCconnection", /*stack_bytes=*/25000);
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/codes.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"

namespace platform::ui {

// Registers `procedure` as `name` and its window structures (constant data) with the window
// structure registry. A name registered again keeps its place and takes the new procedure, so
// a test's stand-in replaces the real one. Any thread.
void RegisterProcedure(std::string_view name, Procedure procedure,
                       std::initializer_list<const WindowStructure*> windows = {});
// The procedure registered as `name` (compared without regard to case); empty when none is.
Procedure FindProcedure(std::string_view name);
// Every registered name, in the order of first registration.
std::vector<std::string> ProcedureNames();
// START by name: runs the procedure on a new runtime thread and answers its number; 0, and
// no thread, when no procedure has that name. Requires the runtime lock.
ThreadId StartProcedure(std::string_view name, int32_t stack_bytes = 0);

}  // namespace platform::ui
