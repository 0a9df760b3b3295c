// The stand-in character control: what the window runtime's OLE control holds when it is
// created from the agent server's name. It takes the automation texts (automation.h) and
// carries them out on the character engine, loading character files through its loader.
//
//   AgentControl control(engine, LoadCharacter);
//   control.SetMember("Connected", 1);
//   control.Read("Characters.Load(\"Merlin\", /usr/share/pexolind/Msagent/CHARS/Merlin.ACS)");
//   control.Read("Characters(\"Merlin\").Speak(\"Hello\")");   // "3", the request value
//
// A text it does not know answers empty, does nothing and is recorded (unknown_texts()), so
// a test can fail on it. Any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/agent/character.h"
#include "platform/agent/character_engine.h"

namespace platform::agent {

// The agent server's name, as the program creates the control.
inline constexpr std::string_view kAgentServerName = "Agent.Control.2";

class AgentControl {
 public:
  // The character in the file at `path`; null when it cannot be loaded.
  using Loader = std::function<std::shared_ptr<const Character>(const std::string& path)>;

  // Hears of each text the control does not know, as it comes; outside the control's lock.
  using UnknownTextHandler = std::function<void(std::string_view text)>;

  // `engine` must outlive the control.
  AgentControl(CharacterEngine& engine, Loader loader, UnknownTextHandler on_unknown = {})
      : engine_(engine), loader_(std::move(loader)), on_unknown_(std::move(on_unknown)) {}
  AgentControl(const AgentControl&) = delete;
  AgentControl& operator=(const AgentControl&) = delete;

  // Evaluates `text` as a property expression: a request's value, a property's value in
  // decimal; empty for a character that is not loaded, and for a text it does not know.
  std::string Read(std::string_view text);
  // Executes `text` as a statement.
  void Call(std::string_view text);
  // Assigns `value` to the property `text` names: LanguageID, Height or Width.
  void Assign(std::string_view text, int32_t value);
  // Sets a member of the control itself; only "Connected" is one. False for any other name.
  bool SetMember(std::string_view member, int32_t value);

  bool connected() const;
  // The texts it did not know, in the order they came.
  std::vector<std::string> unknown_texts() const;

 private:
  void Unknown(std::string_view text);

  CharacterEngine& engine_;
  const Loader loader_;
  const UnknownTextHandler on_unknown_;

  // State below is protected by mutex_.
  mutable std::mutex mutex_;
  bool connected_ = false;
  std::vector<std::string> unknown_;
};

}  // namespace platform::agent
