#include "platform/agent/agent_control.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/agent/test_character.h"
#include "platform/headless/character_mirror.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/virtual_clock.h"
#include "platform/ui/thread.h"

namespace platform::agent {
namespace {

constexpr std::string_view kFile = "/home/an user/My Data/Msagent/CHARS/Merlin.ACS";

class AgentControlTest : public ::testing::Test {
 protected:
  std::string Shows() const {
    const std::optional<CharacterView> v = engine.View("Merlin");
    return v ? headless::CharacterMirror::Describe(*v) : "not loaded";
  }

  headless::HeadlessBackend display;
  ui::Runtime runtime{display};
  headless::VirtualClock clock{runtime, display};
  headless::CharacterMirror mirror;
  CharacterEngine engine{&mirror};
  std::vector<std::string> loaded_paths;
  AgentControl control{engine, [this](const std::string& path) {
                         loaded_paths.push_back(path);
                         return path == kFile ? TestCharacter() : nullptr;
                       }};
};

TEST_F(AgentControlTest, CarriesOutEveryTextAsTheProgramBuildsIt) {
  enum Mode { kRead, kCall, kAssign };
  struct Case {
    Mode mode;
    std::string text;
    int32_t value;            // assigned
    std::string_view answer;  // read back
    int64_t look_after_ms;    // when the view is looked at; then everything runs out
    std::string_view shows;
  };
  const std::string n = "Characters(\"Merlin\").";
  const Case kCases[] = {
      {kRead, "Characters.Load(\"Merlin\", " + std::string(kFile) + ")", 0, "1", 0,
       "Merlin hidden at 0,0 100x80 frame rest"},
      {kAssign, n + "LanguageID", 1043, "", 0, "Merlin hidden at 0,0 100x80 frame rest"},
      {kRead, n + "LanguageID", 0, "1043", 0, "Merlin hidden at 0,0 100x80 frame rest"},
      {kRead, n + "Height", 0, "80", 0, "Merlin hidden at 0,0 100x80 frame rest"},
      {kRead, n + "Width", 0, "100", 0, "Merlin hidden at 0,0 100x80 frame rest"},
      {kRead, n + "Speak(\"\\Rst\\\\spd=150\\\")", 0, "2", 0,
       "Merlin hidden at 0,0 100x80 frame rest"},
      {kRead, n + "Speak(\"\\Rst\\\")", 0, "3", 0, "Merlin hidden at 0,0 100x80 frame rest"},
      {kRead, n + "Show(False)", 0, "4", 100, "Merlin shown at 0,0 100x80 frame show2"},
      {kRead, n + "MoveTo(-5,640)", 0, "5", 500, "Merlin shown at -2,320 100x80 frame md"},
      {kRead, n + "MoveTo(300,-20,0)", 0, "6", 0, "Merlin shown at 300,-20 100x80 frame rest"},
      {kRead, n + "Speak(\"A\\Pau=20\\\rB\")", 0, "7", 0,
       "Merlin shown at 300,-20 100x80 frame talk1, speech \"A\nB\" spoken at 350,-20"},
      {kRead, n + "Speak(\"\\Vol=1\\\rText only\")", 0, "8", 0,
       "Merlin shown at 300,-20 100x80 frame talk1, speech \"Text only\" at 350,-20"},
      {kRead, n + "Speak(\"Type \"C:\\dir\") here\")", 0, "9", 100,
       "Merlin shown at 300,-20 100x80 frame talk2, speech \"Type \"C:\\dir\") here\" spoken at "
       "350,-20"},
      {kRead, n + "Think(\"Hmm\")", 0, "10", 0,
       "Merlin shown at 300,-20 100x80 frame rest, thought \"Hmm\" at 350,-20"},
      {kRead, n + "GestureAt(1000,0)", 0, "11", 0, "Merlin shown at 300,-20 100x80 frame gr"},
      {kRead, n + "Play(\"Greet\")", 0, "12", 100, "Merlin shown at 300,-20 100x80 frame wave2"},
      {kRead, n + "Hide", 0, "13", 0, "Merlin shown at 300,-20 100x80 frame hide1"},
      {kRead, n + "Show(True)", 0, "14", 0, "Merlin shown at 300,-20 100x80 frame rest"},
      {kRead, n + "Hide(True)", 0, "15", 0, "Merlin hidden at 300,-20 100x80 frame rest"},
      {kRead, n + "Show(True)", 0, "16", 0, "Merlin shown at 300,-20 100x80 frame rest"},
      {kCall, n + "Activate(2)", 0, "", 0, "Merlin shown at 300,-20 100x80 frame rest on top"},
      {kCall, n + "Wait ", 0, "", 0, "Merlin shown at 300,-20 100x80 frame rest on top"},
      {kCall, n + "Interrupt()", 0, "", 0, "Merlin shown at 300,-20 100x80 frame rest on top"},
      {kCall, n + "Stop()", 0, "", 0, "Merlin shown at 300,-20 100x80 frame rest on top"},
      {kRead, n + "StopAll", 0, "", 0, "Merlin shown at 300,-20 100x80 frame rest on top"},
      {kRead, n + "Play(\"RestPose\")", 0, "17", 0,
       "Merlin shown at 300,-20 100x80 frame rest on top"},
      {kRead, n + "StopAll(\"Speak\")", 0, "", 0,
       "Merlin shown at 300,-20 100x80 frame rest on top"},
      {kRead, "ShowDefaultCharacterProperties", 0, "", 0,
       "Merlin shown at 300,-20 100x80 frame rest on top"},
      {kRead, n + "Left", 0, "300", 0, "Merlin shown at 300,-20 100x80 frame rest on top"},
      {kRead, n + "Top", 0, "-20", 0, "Merlin shown at 300,-20 100x80 frame rest on top"},
      {kAssign, n + "Height", 160, "", 0, "Merlin shown at 300,-20 100x160 frame rest on top"},
      {kAssign, n + "Width", 128, "", 0, "Merlin shown at 300,-20 128x160 frame rest on top"},
      {kRead, "Characters.UnLoad(\"Merlin\")", 0, "", 0, "not loaded"},
      {kRead, n + "Left", 0, "", 0, "not loaded"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    std::string answer;
    switch (c.mode) {
      case kRead:
        answer = control.Read(c.text);
        break;
      case kCall:
        control.Call(c.text);
        break;
      case kAssign:
        control.Assign(c.text, c.value);
        break;
    }
    EXPECT_EQ(answer, c.answer);
    clock.AdvanceMs(c.look_after_ms);
    EXPECT_EQ(Shows(), c.shows);
    clock.AdvanceMs(10'000);
  }
  EXPECT_EQ(loaded_paths, std::vector<std::string>{std::string(kFile)});
  EXPECT_TRUE(control.unknown_texts().empty());
}

TEST_F(AgentControlTest, UnknownTextsAnswerEmptyAndAreRecorded) {
  ASSERT_EQ(control.Read("Characters.Load(\"Merlin\", " + std::string(kFile) + ")"), "1");
  EXPECT_EQ(control.Read("Characters(\"Merlin\").Dance"), "");
  control.Call("Characters(\"Merlin\").Show(true)");
  control.Assign("Characters(\"Merlin\").Left", 5);
  control.Assign("Characters(\"Merlin\").Speak(\"x\")", 5);
  EXPECT_FALSE(control.SetMember("Visible", 1));
  EXPECT_EQ(control.unknown_texts(),
            (std::vector<std::string>{
                "Characters(\"Merlin\").Dance", "Characters(\"Merlin\").Show(true)",
                "Characters(\"Merlin\").Left", "Characters(\"Merlin\").Speak(\"x\")", "Visible"}));
  EXPECT_EQ(Shows(), "Merlin hidden at 0,0 100x80 frame rest");
}

TEST_F(AgentControlTest, AFileThatDoesNotLoadLeavesNoCharacter) {
  EXPECT_EQ(control.Read("Characters.Load(\"Merlin\", /nowhere/Merlin.ACS)"), "");
  EXPECT_EQ(control.Read("Characters(\"Merlin\").Height"), "");
  EXPECT_EQ(control.Read("Characters(\"Merlin\").Speak(\"Hello\")"), "");
  EXPECT_EQ(Shows(), "not loaded");
  EXPECT_TRUE(control.unknown_texts().empty());
}

TEST_F(AgentControlTest, ConnectedIsAMemberOfTheControl) {
  EXPECT_FALSE(control.connected());
  EXPECT_TRUE(control.SetMember("Connected", 1));
  EXPECT_TRUE(control.connected());
  EXPECT_TRUE(control.SetMember("Connected", 0));
  EXPECT_FALSE(control.connected());
}

}  // namespace
}  // namespace platform::agent
