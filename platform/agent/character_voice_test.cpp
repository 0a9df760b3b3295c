#include "platform/agent/character_voice.h"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/agent/agent_control.h"
#include "platform/agent/test_character.h"
#include "platform/headless/character_mirror.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/virtual_clock.h"
#include "platform/ui/thread.h"

namespace platform::agent {
namespace {

class CharacterVoiceTest : public ::testing::Test {
 protected:
  CharacterVoiceTest() {
    control.Read("Characters.Load(\"Merlin\", merlin)");
    control.Read("Characters(\"Merlin\").Show(True)");
  }
  std::string Read(std::string_view text) { return control.Read(text); }

  headless::HeadlessBackend display;
  ui::Runtime runtime{display};
  headless::VirtualClock clock{runtime, display};
  headless::CharacterMirror mirror;
  RecordingSpeech speech;
  CharacterVoice voice{speech, &mirror};
  CharacterEngine engine{&voice};
  AgentControl control{engine, [](const std::string&) { return TestCharacter(); }};
};

TEST_F(CharacterVoiceTest, HearsTheTextLanguageRateVolumeAndPausesOfASpeakText) {
  control.Assign("Characters(\"Merlin\").LanguageID", 0x409);
  const std::string id = Read(
      "Characters(\"Merlin\").Speak(\"\\Spd=120\\\\Vol=32768\\Press <Enter>\\Pau=500\\\r\n"
      "now & then\")");
  const std::vector<SpeechRequest> heard = speech.requests();
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(std::to_string(heard[0].id), id);
  EXPECT_EQ(heard[0].language, "en-us");
  EXPECT_EQ(heard[0].rate, 120);
  EXPECT_EQ(heard[0].volume, 50);
  EXPECT_EQ(heard[0].parts,
            (std::vector<SpeechPart>{{"Press <Enter>", 0}, {"", 500}, {"\nnow & then", 0}}));
  // The balloon shows the same words.
  EXPECT_EQ(mirror.Last("Merlin")->balloon.text, "Press <Enter>\nnow & then");
}

TEST_F(CharacterVoiceTest, ThinkAndTheSilentVolumeAreNeverHeard) {
  Read("Characters(\"Merlin\").Think(\"Hmm\")");
  clock.AdvanceMs(5000);
  engine.Refresh();
  Read("Characters(\"Merlin\").Speak(\"\\Vol=1\\\rOnly shown\")");
  EXPECT_EQ(mirror.Last("Merlin")->balloon.text, "Only shown");
  clock.AdvanceMs(5000);
  EXPECT_TRUE(speech.requests().empty());
  EXPECT_EQ(speech.stops(), 0);
}

TEST_F(CharacterVoiceTest, ANewTextStopAndUnloadEndWhatIsSaid) {
  Read("Characters(\"Merlin\").Speak(\"One\")");
  Read("Characters(\"Merlin\").Speak(\"Two\")");  // waits for One to end
  ASSERT_EQ(speech.requests().size(), 1u);
  clock.AdvanceMs(250);  // One has ended, Two begins
  engine.Refresh();
  ASSERT_EQ(speech.requests().size(), 2u);
  EXPECT_EQ(speech.requests()[1].parts, (std::vector<SpeechPart>{{"Two", 0}}));
  EXPECT_EQ(speech.stops(), 1);
  control.Call("Characters(\"Merlin\").StopAll(\"Speak\")");
  EXPECT_EQ(speech.stops(), 2);
  Read("Characters(\"Merlin\").Speak(\"Three\")");
  Read("Characters.UnLoad(\"Merlin\")");
  EXPECT_EQ(speech.requests().size(), 3u);
  EXPECT_EQ(speech.stops(), 3);
  EXPECT_FALSE(mirror.Last("Merlin").has_value());
}

TEST_F(CharacterVoiceTest, ATextHeardLongerThanItsTimeKeepsItsBalloonAndWhatFollowsWaits) {
  const std::string one = Read("Characters(\"Merlin\").Speak(\"One\")");  // 200 ms to read
  Read("Characters(\"Merlin\").Speak(\"Two\")");
  clock.AdvanceMs(100);
  speech.StartHearing(std::stoull(one), 900);  // heard until 1000 ms
  clock.AdvanceMs(800);
  engine.Refresh();
  EXPECT_EQ(mirror.Last("Merlin")->balloon.text, "One");
  EXPECT_EQ(speech.requests().size(), 1u);
  clock.AdvanceMs(150);
  engine.Refresh();
  EXPECT_EQ(mirror.Last("Merlin")->balloon.text, "Two");
  // A text heard for less than its time keeps its time; another request is not touched.
  speech.StartHearing(std::stoull(one), 5000);
  speech.StartHearing(std::stoull(one) + 1, 10);
  clock.AdvanceMs(250);
  engine.Refresh();
  EXPECT_EQ(mirror.Last("Merlin")->balloon.kind, BalloonView::Kind::kNone);
}

}  // namespace
}  // namespace platform::agent
