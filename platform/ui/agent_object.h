// The agent server: the OLE server the runtime knows by the name "Agent.Control.2". Its
// objects are the stand-in character control (platform/agent/agent_control.h), each with a
// character engine of its own that shows its characters on the backend's character display
// and loads character files through the character file loader.
#pragma once

#include "platform/ui/ole_object.h"

namespace platform::ui {

// The server, registered before the first lookup of ole_object.h.
const OleServer& AgentServer();

}  // namespace platform::ui
