// The program's window procedures. Each runs one window on the thread that calls it and
// returns when the window has closed; the frame starts the others on threads of their own.
#pragma once

#include <string>

#include "platform/ui/codes.h"

namespace app {

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
