// The shipped default character, share/Msagent/CHARS/Merlin.ACS.
#include <filesystem>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/agent/agent_control.h"
#include "platform/agent/character_file.h"
#include "platform/agent/frame_pixels.h"
#include "platform/core/paths.h"
#include "platform/files/file_test_support.h"
#include "platform/headless/character_mirror.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/virtual_clock.h"
#include "platform/ui/thread.h"

namespace platform::agent {
namespace {

TEST(Merlin, LoadsAndPlaysEveryNameOfTheAnimationList) {
  const Result<std::shared_ptr<const Character>> loaded = LoadCharacterFile(PEX_MERLIN_FILE);
  ASSERT_TRUE(loaded.ok()) << loaded.status().ToString();
  const Character& merlin = *loaded.value();
  EXPECT_EQ(merlin.name, "Merlin");
  EXPECT_EQ(merlin.width, 128);
  EXPECT_EQ(merlin.height, 128);
  for (const std::string_view name : kAnimationNames) {
    SCOPED_TRACE(name);
    ASSERT_NE(merlin.Find(name), nullptr);
    EXPECT_GT(merlin.Find(name)->duration_ms(), 0);
  }
  // These have animations of their own; the rest play the rest pose.
  constexpr std::string_view kOwn[] = {
      "Show",      "Hide",        "Greet",    "Explain",   "Think",  "GestureLeft", "GestureRight",
      "GestureUp", "GestureDown", "MoveLeft", "MoveRight", "MoveUp", "MoveDown",    "Idle1_1",
  };
  const Animation* rest = merlin.Find("RestPose");
  for (const std::string_view name : kOwn) {
    SCOPED_TRACE(name);
    EXPECT_NE(merlin.Find(name), rest);
  }
  EXPECT_EQ(merlin.Find("Searching"), rest);
  EXPECT_FALSE(merlin.speaking.empty());
  // Every frame decodes to the character's size and draws something.
  for (const Frame& f : merlin.frames) {
    SCOPED_TRACE(f.name);
    const Result<FramePixels> pixels = DecodeFrame(f);
    ASSERT_TRUE(pixels.ok()) << pixels.status().ToString();
    EXPECT_EQ(pixels.value().width, merlin.width);
    EXPECT_EQ(pixels.value().height, merlin.height);
    bool drawn = false;
    for (size_t i = 3; i < pixels.value().rgba.size() && !drawn; i += 4) {
      drawn = pixels.value().rgba[i] != 0;
    }
    EXPECT_TRUE(drawn);
  }
  // A frame whose bytes are no PNG, or a PNG of another size, gives no pixels.
  Frame damaged = merlin.frames.front();
  damaged.png[1] = 'X';
  EXPECT_FALSE(DecodeFrame(damaged).ok());
  Frame resized = merlin.frames.front();
  resized.width += 1;
  EXPECT_FALSE(DecodeFrame(resized).ok());
}

TEST(Merlin, TheControlLoadsItFromTheDataDirectoryAsTheProgramNamesIt) {
  files::TempDirForTest dir;
  const std::string data = dir.File("My Data");
  std::filesystem::create_directories(data + "/Msagent/CHARS");
  std::filesystem::copy_file(PEX_MERLIN_FILE, data + "/Msagent/CHARS/Merlin.ACS");
  const std::string path = JoinPath(data, "Msagent/CHARS/Merlin.ACS");

  headless::HeadlessBackend display;
  ui::Runtime runtime{display};
  headless::VirtualClock clock{runtime, display};
  headless::CharacterMirror mirror;
  CharacterEngine engine{&mirror};
  AgentControl control(engine, LoadCharacter);
  ASSERT_EQ(control.Read("Characters.Load(\"Merlin\", " + path + ")"), "1");
  EXPECT_EQ(control.Read("Characters(\"Merlin\").Height"), "128");
  EXPECT_EQ(control.Read("Characters(\"Merlin\").Width"), "128");
  control.Read("Characters(\"Merlin\").Show(False)");
  clock.AdvanceMs(100);
  control.Read("Characters(\"Merlin\").Speak(\"Hello\")");
  clock.AdvanceMs(500);
  control.Read("Characters(\"Merlin\").Play(\"Greet\")");
  clock.AdvanceMs(2000);
  engine.Refresh();
  EXPECT_EQ(mirror.lines(),
            (std::vector<std::string>{
                "Merlin hidden at 0,0 128x128 frame rest",
                "Merlin shown at 0,0 128x128 frame appear1",
                "Merlin shown at 0,0 128x128 frame appear2",
                "Merlin shown at 0,0 128x128 frame talk2, speech \"Hello\" spoken at 64,4",
                "Merlin shown at 0,0 128x128 frame rest",
            }));
  EXPECT_TRUE(control.unknown_texts().empty());
}

}  // namespace
}  // namespace platform::agent
