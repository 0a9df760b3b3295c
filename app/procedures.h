// The program's window procedures. Each runs one window on the thread that calls it and
// returns when the window has closed; the frame starts the others on threads of their own.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/codes.h"

namespace app {

// The procedures' names, under which the procedure table starts them.
inline constexpr std::string_view kMainName = "Main";
inline constexpr std::string_view kChooseODBCconnectionName = "ChooseODBCconnection";
inline constexpr std::string_view kPexolindName = "Pexolind";
inline constexpr std::string_view kBrowseODBCconnectionName = "BrowseODBCconnection";
inline constexpr std::string_view kQueryBuilderName = "QueryBuilder";

// Each registers its procedure by name in the procedure table with its window structure
// (the query builder, run nested, only its window structure).
void RegisterMain();
void RegisterChooseODBCconnection();
void RegisterPexolind();
void RegisterBrowseODBCconnection();
void RegisterQueryBuilder();
// The frame's procedures: Main and the connection window (library app_main).
void RegisterFrameProcedures();
// Every procedure of the program, in a fixed order: the frame's, then the dictionary window,
// the query window and the query builder (library app_windows). The program's entry calls it
// once before the program runs.
void RegisterProcedures();

// The application frame (thread 1).
void Main();
// The connection window.
void ChooseODBCconnection();
// The dictionary window.
void Pexolind();
// The query window.
void BrowseODBCconnection();
// The query builder, run nested on the query window's thread: the condition text the user
// composed when they executed it, else empty.
std::string QueryBuilder();

// Posted to thread 1 whenever the connection window has closed: the frame shows the new
// connection.
inline constexpr platform::ui::EventId kEventConnectionChanged = 0x999;

}  // namespace app
