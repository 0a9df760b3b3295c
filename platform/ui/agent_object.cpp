#include "platform/ui/agent_object.h"

#include <memory>

#include "platform/agent/agent_control.h"
#include "platform/agent/character_display.h"
#include "platform/agent/character_engine.h"
#include "platform/agent/character_file.h"
#include "platform/ui/backend.h"

namespace platform::ui {
namespace {

class AgentObject final : public OleObject {
 public:
  // `display` may be null and must outlive the object.
  explicit AgentObject(agent::CharacterDisplay* display)
      : engine_(display), control_(engine_, agent::LoadCharacter, [display](std::string_view text) {
          if (display != nullptr) display->UnknownText(text);
        }) {}

  std::string Read(std::string_view expression) override { return control_.Read(expression); }
  void Call(std::string_view statement) override { control_.Call(statement); }
  void Assign(std::string_view property, int32_t value) override {
    control_.Assign(property, value);
  }
  bool SetMember(std::string_view member, int32_t value) override {
    return control_.SetMember(member, value);
  }

 private:
  // The control borrows the engine, so it goes first.
  agent::CharacterEngine engine_;
  agent::AgentControl control_;
};

std::unique_ptr<OleObject> NewAgentObject(DisplayBackend& backend) {
  return std::make_unique<AgentObject>(backend.Characters());
}

constexpr OleServer kAgentServer{agent::kAgentServerName, NewAgentObject};

}  // namespace

const OleServer& AgentServer() { return kAgentServer; }

}  // namespace platform::ui
