// OLE objects: what an OLE control holds once it is created from a server's name, and the
// servers the runtime can create objects from. The program drives an object through
// automation texts: it reads a property expression's value, executes a statement, assigns
// a number to a named property and sets members of the object itself.
//
// The runtime knows one server of its own, the agent server "Agent.Control.2"
// (agent_object.h); a test may register another one under a name of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ui {

class DisplayBackend;

// An event an object raises: its name and its parameters as texts.
struct OleEvent {
  std::string name;
  std::vector<std::string> parameters;
};

// Where an object raises its events. An object raises them only while it carries out one of
// the calls below, on the caller's thread, so the program's handler runs on the window's own
// thread with the runtime lock held.
using OleEventHandler = std::function<void(const OleEvent& event)>;

class OleObject {
 public:
  virtual ~OleObject() = default;

  // Evaluates `expression` as a property expression and answers its value as text; empty
  // for what the object does not know.
  virtual std::string Read(std::string_view expression) = 0;
  // Executes `statement`.
  virtual void Call(std::string_view statement) = 0;
  // Assigns `value` to the property `property` names.
  virtual void Assign(std::string_view property, int32_t value) = 0;
  // Sets a member of the object itself ("Connected"); false when it has no such member.
  virtual bool SetMember(std::string_view member, int32_t value) = 0;
  // Where the object's events go from now on; empty drops them. An object that raises no
  // events keeps nothing.
  virtual void SetEventHandler(OleEventHandler /*handler*/) {}
};

// A server: its name and how it makes an object. `backend` is the display of the runtime
// that asks, for what the object shows of its own.
struct OleServer {
  std::string_view name;
  std::unique_ptr<OleObject> (*create)(DisplayBackend& backend);
};

// Registers `server` under its name (constant data; must outlive the process's use of it).
// A name registered again takes the last server, so a test can add or replace one. The
// agent server is registered before the first lookup. Any thread.
void RegisterOleServer(const OleServer& server);
// A new object of the server registered as `name` (compared without regard to case, as
// server names are); null when no server has that name. Any thread.
std::unique_ptr<OleObject> NewOleObject(std::string_view name, DisplayBackend& backend);

}  // namespace platform::ui
