#include "platform/agent/automation.h"

#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>

#include <gtest/gtest.h>

namespace platform::agent {
namespace {

// One line per parsed text, every field shown, so a table row says the whole result.
std::string Describe(const std::optional<Automation>& a) {
  if (!a) return "none";
  std::ostringstream out;
  std::visit(
      [&out](const auto& t) {
        using T = std::decay_t<decltype(t)>;
        if constexpr (std::is_same_v<T, LoadText>) {
          out << "Load [" << t.name << "] [" << t.file << "]";
        } else if constexpr (std::is_same_v<T, UnloadText>) {
          out << "UnLoad [" << t.name << "]";
        } else if constexpr (std::is_same_v<T, PropertyText>) {
          constexpr std::string_view kNames[] = {"LanguageID", "Height", "Width", "Left", "Top"};
          out << "Property [" << t.name << "] " << kNames[static_cast<int>(t.property)];
        } else if constexpr (std::is_same_v<T, SpeakText>) {
          out << (t.think ? "Think [" : "Speak [") << t.name << "] [" << t.text << "]";
        } else if constexpr (std::is_same_v<T, ShowText>) {
          out << (t.show ? "Show [" : "Hide [") << t.name << "]" << (t.fast ? " fast" : " slow");
        } else if constexpr (std::is_same_v<T, MoveToText>) {
          out << "MoveTo [" << t.name << "] " << t.x << " " << t.y << " ";
          if (t.speed) {
            out << *t.speed;
          } else {
            out << "-";
          }
        } else if constexpr (std::is_same_v<T, GestureAtText>) {
          out << "GestureAt [" << t.name << "] " << t.x << " " << t.y;
        } else if constexpr (std::is_same_v<T, PlayText>) {
          out << "Play [" << t.name << "] [" << t.animation << "]";
        } else if constexpr (std::is_same_v<T, ActivateText>) {
          out << "Activate [" << t.name << "] " << t.state;
        } else if constexpr (std::is_same_v<T, RequestText>) {
          constexpr std::string_view kVerbs[] = {"Wait", "Interrupt", "Stop"};
          out << kVerbs[static_cast<int>(t.verb)] << " [" << t.name << "] [" << t.request << "]";
        } else if constexpr (std::is_same_v<T, StopAllText>) {
          out << "StopAll [" << t.name << "]";
          if (t.types) {
            out << " [" << *t.types << "]";
          } else {
            out << " all";
          }
        } else {
          out << "ShowDefaultCharacterProperties";
        }
      },
      *a);
  return out.str();
}

TEST(ParseAutomation, ReadsEveryTextAsTheProgramBuildsIt) {
  struct Case {
    std::string_view text;
    std::string_view parsed;
  };
  const Case kCases[] = {
      // The load sequence, the file unquoted and with blanks in its path.
      {"Characters.Load(\"Merlin\", /home/an user/share/Msagent/CHARS/Merlin.ACS)",
       "Load [Merlin] [/home/an user/share/Msagent/CHARS/Merlin.ACS]"},
      {"Characters(\"Merlin\").LanguageID", "Property [Merlin] LanguageID"},
      {"Characters(\"Merlin\").Height", "Property [Merlin] Height"},
      {"Characters(\"Merlin\").Width", "Property [Merlin] Width"},
      {"Characters(\"Merlin\").Speak(\"\\Rst\\\\spd=120\\\")",
       "Speak [Merlin] [\\Rst\\\\spd=120\\]"},
      {"Characters(\"Merlin\").Speak(\"\\Rst\\\")", "Speak [Merlin] [\\Rst\\]"},
      {"Characters.UnLoad(\"Merlin\")", "UnLoad [Merlin]"},
      {"Characters(\"Merlin\").Show(True)", "Show [Merlin] fast"},
      {"Characters(\"Merlin\").Show(False)", "Show [Merlin] slow"},
      {"Characters(\"Merlin\").Hide(True)", "Hide [Merlin] fast"},
      {"Characters(\"Merlin\").Hide", "Hide [Merlin] slow"},
      // A pause at a line break, and the text-only form.
      {"Characters(\"Merlin\").Speak(\"A\\Pau=20\\\rB\")", "Speak [Merlin] [A\\Pau=20\\\rB]"},
      {"Characters(\"Merlin\").Speak(\"\\Vol=1\\\rText only\")",
       "Speak [Merlin] [\\Vol=1\\\rText only]"},
      // A step's text with a double quote, a closing parenthesis and a backslash is taken
      // whole, to the last `")`.
      {"Characters(\"Merlin\").Speak(\"Type \"C:\\dir\") here\")",
       "Speak [Merlin] [Type \"C:\\dir\") here]"},
      {"Characters(\"Merlin\").Think(\"Hmm \"so\"\")", "Think [Merlin] [Hmm \"so\"]"},
      {"Characters(\"Merlin\").Speak(\"\")", "Speak [Merlin] []"},
      {"Characters(\"Merlin\").MoveTo(-5,20)", "MoveTo [Merlin] -5 20 -"},
      {"Characters(\"Merlin\").MoveTo(0,640,300)", "MoveTo [Merlin] 0 640 300"},
      {"Characters(\"Merlin\").MoveTo(-100,-2147483648,0)", "MoveTo [Merlin] -100 -2147483648 0"},
      {"Characters(\"Merlin\").GestureAt(-3,400)", "GestureAt [Merlin] -3 400"},
      {"Characters(\"Merlin\").Play(\"RestPose\")", "Play [Merlin] [RestPose]"},
      {"Characters(\"Merlin\").Activate(2)", "Activate [Merlin] 2"},
      {"Characters(\"Merlin\").Wait ", "Wait [Merlin] []"},
      {"Characters(\"Merlin\").Wait 17", "Wait [Merlin] [17]"},
      {"Characters(\"Merlin\").Interrupt()", "Interrupt [Merlin] []"},
      {"Characters(\"Merlin\").Stop()", "Stop [Merlin] []"},
      {"Characters(\"Merlin\").Stop(12)", "Stop [Merlin] [12]"},
      {"Characters(\"Merlin\").StopAll", "StopAll [Merlin] all"},
      {"Characters(\"Merlin\").StopAll(\"Speak\")", "StopAll [Merlin] [Speak]"},
      {"Characters(\"Merlin\").StopAll(\"Move,Play\")", "StopAll [Merlin] [Move,Play]"},
      {"Characters(\"Merlin\").Left", "Property [Merlin] Left"},
      {"Characters(\"Merlin\").Top", "Property [Merlin] Top"},
      {"ShowDefaultCharacterProperties", "ShowDefaultCharacterProperties"},
      // Another character's name, blanks inside.
      {"Characters(\"Peedy the Bird\").Top", "Property [Peedy the Bird] Top"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Describe(ParseAutomation(c.text)), c.parsed);
  }
}

TEST(ParseAutomation, AnythingElseIsNoAutomationText) {
  constexpr std::string_view kTexts[] = {
      "",
      "Characters(\"Merlin\")",
      "Characters(\"Merlin\").",
      "Characters(\"Merlin\").Dance",
      "characters(\"Merlin\").Left",
      "Characters(\"Merlin\").left",
      "Characters(\"Merlin\").Left ",
      "Characters(Merlin).Left",
      "Characters(\"Merlin\").Show(true)",
      "Characters(\"Merlin\").Show",
      "Characters(\"Merlin\").Hide()",
      "Characters(\"Merlin\").Hide(False)",
      "Characters(\"Merlin\").Speak(\"no end)",
      "Characters(\"Merlin\").Speak(no quotes)",
      "Characters(\"Merlin\").Speak(\"text\") ",
      "Characters(\"Merlin\").MoveTo(1, 2)",
      "Characters(\"Merlin\").MoveTo(+1,2)",
      "Characters(\"Merlin\").MoveTo(1,2,3,4)",
      "Characters(\"Merlin\").MoveTo(1)",
      "Characters(\"Merlin\").MoveTo(1,)",
      "Characters(\"Merlin\").MoveTo(-,2)",
      "Characters(\"Merlin\").MoveTo(2147483648,0)",
      "Characters(\"Merlin\").MoveTo(0x10,2)",
      "Characters(\"Merlin\").GestureAt(1,2,3)",
      "Characters(\"Merlin\").Play(RestPose)",
      "Characters(\"Merlin\").Activate()",
      "Characters(\"Merlin\").Activate(True)",
      "Characters(\"Merlin\").Wait",
      "Characters(\"Merlin\").Wait x",
      "Characters(\"Merlin\").Stop",
      "Characters(\"Merlin\").Stop(abc)",
      "Characters(\"Merlin\").StopAll()",
      "Characters(\"Merlin\").StopAll(Speak)",
      "Characters.Load(\"Merlin\" /x/Merlin.ACS)",
      "Characters.Load(\"Merlin\", /x/Merlin.ACS",
      "Characters.UnLoad(\"Merlin\"",
      "Characters.Unload(\"Merlin\")",
      "ShowDefaultCharacterProperties()",
      "Connected",
  };
  for (const std::string_view text : kTexts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Describe(ParseAutomation(text)), "none");
  }
}

}  // namespace
}  // namespace platform::agent
