#include "platform/ui/ole_object.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/core/text.h"
#include "platform/ui/agent_object.h"

namespace platform::ui {
namespace {

struct ServerRegistry {
  std::mutex mutex;
  std::map<std::string, const OleServer*> by_name;
  ServerRegistry() { by_name[Upper(AgentServer().name)] = &AgentServer(); }
};

ServerRegistry& Servers() {
  static ServerRegistry r;
  return r;
}

}  // namespace

void RegisterOleServer(const OleServer& server) {
  ServerRegistry& r = Servers();
  std::lock_guard lock(r.mutex);
  r.by_name[Upper(server.name)] = &server;
}

std::unique_ptr<OleObject> NewOleObject(std::string_view name, DisplayBackend& backend) {
  const OleServer* server = nullptr;
  {
    ServerRegistry& r = Servers();
    std::lock_guard lock(r.mutex);
    const auto it = r.by_name.find(Upper(name));
    if (it != r.by_name.end()) server = it->second;
  }
  return server != nullptr ? server->create(backend) : nullptr;
}

}  // namespace platform::ui
