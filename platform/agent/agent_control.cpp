#include "platform/agent/agent_control.h"

#include <type_traits>
#include <utility>
#include <variant>

namespace platform::agent {

std::string AgentControl::Read(std::string_view text) {
  const std::optional<Automation> automation = ParseAutomation(text);
  if (!automation) {
    Unknown(text);
    return {};
  }
  return std::visit(
      [this](const auto& t) -> std::string {
        using T = std::decay_t<decltype(t)>;
        if constexpr (std::is_same_v<T, LoadText>) {
          return engine_.Load(t.name, loader_ ? loader_(t.file) : nullptr);
        } else if constexpr (std::is_same_v<T, UnloadText>) {
          engine_.Unload(t.name);
          return {};
        } else if constexpr (std::is_same_v<T, PropertyText>) {
          const std::optional<int32_t> value = engine_.Get(t.name, t.property);
          return value ? std::to_string(*value) : std::string();
        } else if constexpr (std::is_same_v<T, SpeakText>) {
          return engine_.Speak(t.name, t.text, t.think);
        } else if constexpr (std::is_same_v<T, ShowText>) {
          return t.show ? engine_.Show(t.name, t.fast) : engine_.Hide(t.name, t.fast);
        } else if constexpr (std::is_same_v<T, MoveToText>) {
          return engine_.MoveTo(t.name, t.x, t.y, t.speed);
        } else if constexpr (std::is_same_v<T, GestureAtText>) {
          return engine_.GestureAt(t.name, t.x, t.y);
        } else if constexpr (std::is_same_v<T, PlayText>) {
          return engine_.Play(t.name, t.animation);
        } else if constexpr (std::is_same_v<T, ActivateText>) {
          engine_.Activate(t.name, t.state);
          return {};
        } else if constexpr (std::is_same_v<T, RequestText>) {
          // Wait orders this character after a request of another; the program loads one
          // character, whose requests already run in order.
          if (t.verb == RequestText::Verb::kStop) engine_.Stop(t.name, t.request);
          if (t.verb == RequestText::Verb::kInterrupt) engine_.Interrupt(t.request);
          return {};
        } else if constexpr (std::is_same_v<T, StopAllText>) {
          engine_.StopAll(t.name,
                          t.types ? std::optional<std::string_view>(*t.types) : std::nullopt);
          return {};
        } else {
          // The property sheet of the default character: there is none to show.
          return {};
        }
      },
      *automation);
}

void AgentControl::Call(std::string_view text) {
  // Ignoring the value on purpose: a statement has none.
  (void)Read(text);
}

void AgentControl::Assign(std::string_view text, int32_t value) {
  const std::optional<Automation> automation = ParseAutomation(text);
  const PropertyText* property = automation ? std::get_if<PropertyText>(&*automation) : nullptr;
  if (property == nullptr || property->property == Property::kLeft ||
      property->property == Property::kTop) {
    Unknown(text);
    return;
  }
  // Ignoring the answer on purpose: a size below 1 is left as it was, as for a character not
  // loaded.
  (void)engine_.Set(property->name, property->property, value);
}

bool AgentControl::SetMember(std::string_view member, int32_t value) {
  if (member != "Connected") {
    Unknown(member);
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  connected_ = value != 0;
  return true;
}

bool AgentControl::connected() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connected_;
}

std::vector<std::string> AgentControl::unknown_texts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return unknown_;
}

void AgentControl::Unknown(std::string_view text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    unknown_.emplace_back(text);
  }
  if (on_unknown_) on_unknown_(text);
}

}  // namespace platform::agent
