// The automation texts the character control understands, read strictly: each text is one
// of a fixed set of forms, and anything else is no automation text at all.
//
//   ParseAutomation("Characters(\"Merlin\").MoveTo(-5,20,300)")
//       // MoveToText{"Merlin", -5, 20, 300}
//   ParseAutomation("Characters(\"Merlin\").Dance")   // nullopt
//
// N below is a character's name, numbers are decimal with an optional leading minus.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace platform::agent {

// Characters.Load("N", F): F is not quoted; it runs from after `", ` to the last `)`,
// blanks kept.
struct LoadText {
  std::string name;
  std::string file;
};

// Characters.UnLoad("N").
struct UnloadText {
  std::string name;
};

enum class Property { kLanguageId, kHeight, kWidth, kLeft, kTop };

// Characters("N").LanguageID, .Height, .Width, .Left, .Top.
struct PropertyText {
  std::string name;
  Property property = Property::kLeft;
};

// Characters("N").Speak("T") and .Think("T"): T runs from the first `("` to the last `")`,
// so it may hold double quotes, backslashes (the speech tags) and line breaks.
struct SpeakText {
  std::string name;
  std::string text;
  bool think = false;
};

// Characters("N").Show(True), .Show(False), .Hide(True), .Hide: True acts at once, the
// others play the character's show or hide animation.
struct ShowText {
  std::string name;
  bool show = true;
  bool fast = false;
};

// Characters("N").MoveTo(x,y) and .MoveTo(x,y,speed).
struct MoveToText {
  std::string name;
  int32_t x = 0;
  int32_t y = 0;
  std::optional<int32_t> speed;
};

// Characters("N").GestureAt(x,y).
struct GestureAtText {
  std::string name;
  int32_t x = 0;
  int32_t y = 0;
};

// Characters("N").Play("A").
struct PlayText {
  std::string name;
  std::string animation;
};

// Characters("N").Activate(s).
struct ActivateText {
  std::string name;
  int32_t state = 0;
};

// Characters("N").Wait r (the blank belongs to the text), .Interrupt(r), .Stop(r): r is a
// request value or empty.
struct RequestText {
  enum class Verb { kWait, kInterrupt, kStop };
  std::string name;
  Verb verb = Verb::kStop;
  std::string request;
};

// Characters("N").StopAll and .StopAll("t"): t lists request kinds, separated by commas.
struct StopAllText {
  std::string name;
  std::optional<std::string> types;
};

// ShowDefaultCharacterProperties, a member of the control itself.
struct ShowDefaultCharacterPropertiesText {};

using Automation = std::variant<LoadText, UnloadText, PropertyText, SpeakText, ShowText, MoveToText,
                                GestureAtText, PlayText, ActivateText, RequestText, StopAllText,
                                ShowDefaultCharacterPropertiesText>;

// The automation `text` stands for; nullopt when it is none of the forms above, exactly as
// written (case included).
std::optional<Automation> ParseAutomation(std::string_view text);

}  // namespace platform::agent
