#include "platform/agent/automation.h"

#include <charconv>
#include <limits>
#include <utility>

namespace platform::agent {
namespace {

constexpr std::string_view kCharacterPrefix = "Characters(\"";
constexpr std::string_view kLoadPrefix = "Characters.Load(\"";
constexpr std::string_view kUnloadPrefix = "Characters.UnLoad(\"";
constexpr std::string_view kShowDefault = "ShowDefaultCharacterProperties";

// Takes `prefix` off the front of `text`; false when `text` does not begin with it.
bool Consume(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// A decimal number with an optional leading minus, nothing else.
std::optional<int32_t> Number(std::string_view text) {
  if (text.empty() || text == "-") return std::nullopt;
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

// A request value: empty, or decimal digits.
bool IsRequestValue(std::string_view text) {
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "a,b" or "a,b,c" between the parentheses.
std::optional<MoveToText> Coordinates(std::string_view args) {
  MoveToText out;
  const size_t first = args.find(',');
  if (first == std::string_view::npos) return std::nullopt;
  const std::optional<int32_t> x = Number(args.substr(0, first));
  args.remove_prefix(first + 1);
  const size_t second = args.find(',');
  const std::optional<int32_t> y = Number(args.substr(0, second));
  if (!x || !y) return std::nullopt;
  out.x = *x;
  out.y = *y;
  if (second != std::string_view::npos) {
    out.speed = Number(args.substr(second + 1));
    if (!out.speed) return std::nullopt;
  }
  return out;
}

// `text` is `verb` followed by `("`, an argument and `")` to the end; answers the argument,
// which runs to the last `")`.
std::optional<std::string> QuotedArgument(std::string_view text, std::string_view verb) {
  if (!Consume(text, verb) || !Consume(text, "(\"") || !text.ends_with("\")")) {
    return std::nullopt;
  }
  return std::string(text.substr(0, text.size() - 2));
}

// `text` is `verb(` an argument `)`; answers the argument.
std::optional<std::string_view> Argument(std::string_view text, std::string_view verb) {
  if (!Consume(text, verb) || !Consume(text, "(") || !text.ends_with(")")) return std::nullopt;
  return text.substr(0, text.size() - 1);
}

// What follows `Characters("N").`.
std::optional<Automation> CharacterMember(std::string name, std::string_view member) {
  constexpr std::pair<std::string_view, Property> kProperties[] = {
      {"LanguageID", Property::kLanguageId},
      {"Height", Property::kHeight},
      {"Width", Property::kWidth},
      {"Left", Property::kLeft},
      {"Top", Property::kTop},
  };
  for (const auto& [text, property] : kProperties) {
    if (member == text) return PropertyText{std::move(name), property};
  }
  if (member == "Show(True)") return ShowText{std::move(name), true, true};
  if (member == "Show(False)") return ShowText{std::move(name), true, false};
  if (member == "Hide(True)") return ShowText{std::move(name), false, true};
  if (member == "Hide") return ShowText{std::move(name), false, false};
  if (member == "StopAll") return StopAllText{std::move(name), std::nullopt};
  if (auto t = QuotedArgument(member, "StopAll")) return StopAllText{std::move(name), *t};
  if (auto t = QuotedArgument(member, "Speak")) return SpeakText{std::move(name), *t, false};
  if (auto t = QuotedArgument(member, "Think")) return SpeakText{std::move(name), *t, true};
  if (auto a = QuotedArgument(member, "Play")) return PlayText{std::move(name), *a};
  if (auto args = Argument(member, "MoveTo")) {
    std::optional<MoveToText> move = Coordinates(*args);
    if (!move) return std::nullopt;
    move->name = std::move(name);
    return *move;
  }
  if (auto args = Argument(member, "GestureAt")) {
    const std::optional<MoveToText> at = Coordinates(*args);
    if (!at || at->speed) return std::nullopt;
    return GestureAtText{std::move(name), at->x, at->y};
  }
  if (auto arg = Argument(member, "Activate")) {
    const std::optional<int32_t> state = Number(*arg);
    if (!state) return std::nullopt;
    return ActivateText{std::move(name), *state};
  }
  std::string_view rest = member;
  if (Consume(rest, "Wait ")) {
    if (!IsRequestValue(rest)) return std::nullopt;
    return RequestText{std::move(name), RequestText::Verb::kWait, std::string(rest)};
  }
  constexpr std::pair<std::string_view, RequestText::Verb> kRequestVerbs[] = {
      {"Interrupt", RequestText::Verb::kInterrupt}, {"Stop", RequestText::Verb::kStop}};
  for (const auto& [verb, kind] : kRequestVerbs) {
    if (auto arg = Argument(member, verb)) {
      if (!IsRequestValue(*arg)) return std::nullopt;
      return RequestText{std::move(name), kind, std::string(*arg)};
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<Automation> ParseAutomation(std::string_view text) {
  if (text == kShowDefault) return ShowDefaultCharacterPropertiesText{};
  std::string_view rest = text;
  if (Consume(rest, kLoadPrefix)) {
    const size_t quote = rest.find("\", ");
    if (quote == std::string_view::npos || !rest.ends_with(")")) return std::nullopt;
    return LoadText{std::string(rest.substr(0, quote)),
                    std::string(rest.substr(quote + 3, rest.size() - quote - 4))};
  }
  if (Consume(rest, kUnloadPrefix)) {
    if (!rest.ends_with("\")")) return std::nullopt;
    return UnloadText{std::string(rest.substr(0, rest.size() - 2))};
  }
  if (!Consume(rest, kCharacterPrefix)) return std::nullopt;
  const size_t close = rest.find("\").");
  if (close == std::string_view::npos) return std::nullopt;
  return CharacterMember(std::string(rest.substr(0, close)), rest.substr(close + 3));
}

}  // namespace platform::agent
