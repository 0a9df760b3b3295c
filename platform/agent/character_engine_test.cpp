#include "platform/agent/character_engine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/agent/test_character.h"
#include "platform/core/clock.h"
#include "platform/headless/character_mirror.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/virtual_clock.h"
#include "platform/ui/thread.h"

namespace platform::agent {
namespace {

using Lines = std::vector<std::string>;

class CharacterEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(engine.Load("Merlin", TestCharacter()), "1");
    mirror.ClearLines();
  }

  // Moves the clock on to `ms` milliseconds and lets the display catch up, as its timer
  // would.
  void At(int64_t ms) {
    clock.AdvanceMs(ms - clock.now_ms());
    engine.Refresh();
  }

  // What the display was sent since the last call.
  Lines Sent() {
    Lines lines = mirror.lines();
    mirror.ClearLines();
    return lines;
  }

  std::string Shows() const { return headless::CharacterMirror::Describe(*engine.View("Merlin")); }

  int32_t Left() const { return *engine.Get("Merlin", Property::kLeft); }
  int32_t Top() const { return *engine.Get("Merlin", Property::kTop); }

  headless::HeadlessBackend display;
  ui::Runtime runtime{display};
  headless::VirtualClock clock{runtime, display};
  headless::CharacterMirror mirror;
  CharacterEngine engine{&mirror};
};

TEST_F(CharacterEngineTest, LoadTakesTheSizeFromTheCharacterAndSizesCanBeSet) {
  EXPECT_EQ(*engine.Get("Merlin", Property::kWidth), 100);
  EXPECT_EQ(*engine.Get("Merlin", Property::kHeight), 80);
  EXPECT_EQ(Shows(), "Merlin hidden at 0,0 100x80 frame rest");
  EXPECT_TRUE(engine.Set("Merlin", Property::kHeight, 160));
  EXPECT_TRUE(engine.Set("Merlin", Property::kWidth, 200));
  EXPECT_FALSE(engine.Set("Merlin", Property::kWidth, 0));
  EXPECT_FALSE(engine.Set("Merlin", Property::kLeft, 5));
  EXPECT_TRUE(engine.Set("Merlin", Property::kLanguageId, 1043));
  EXPECT_EQ(*engine.Get("Merlin", Property::kLanguageId), 1043);
  EXPECT_EQ(Sent(), (Lines{"Merlin hidden at 0,0 100x160 frame rest",
                           "Merlin hidden at 0,0 200x160 frame rest"}));
  // Nothing for a character that is not loaded.
  EXPECT_EQ(engine.Get("Peedy", Property::kLeft), std::nullopt);
  EXPECT_EQ(engine.Show("Peedy", true), "");
  EXPECT_EQ(engine.View("Peedy"), std::nullopt);
}

TEST_F(CharacterEngineTest, ShowAndHideFastActAtOnceSlowPlayTheirAnimations) {
  EXPECT_EQ(engine.Show("Merlin", true), "2");
  EXPECT_EQ(Sent(), (Lines{"Merlin shown at 0,0 100x80 frame rest"}));
  engine.Hide("Merlin", true);
  EXPECT_EQ(Sent(), (Lines{"Merlin hidden at 0,0 100x80 frame rest"}));

  engine.Show("Merlin", false);
  At(100);
  At(200);
  engine.Hide("Merlin", false);
  At(300);
  At(350);
  EXPECT_EQ(
      Sent(),
      (Lines{"Merlin shown at 0,0 100x80 frame show1", "Merlin shown at 0,0 100x80 frame show2",
             "Merlin shown at 0,0 100x80 frame rest", "Merlin shown at 0,0 100x80 frame hide1",
             "Merlin hidden at 0,0 100x80 frame rest"}));
}

TEST_F(CharacterEngineTest, ACharacterWithoutShowAndHideAnimationsShowsAndHidesAtOnce) {
  auto plain = std::make_shared<Character>(*TestCharacter());
  std::erase_if(plain->played,
                [](const Character::Played& p) { return p.name == "Show" || p.name == "Hide"; });
  engine.Load("Plain", plain);
  engine.Show("Plain", false);
  EXPECT_TRUE(engine.View("Plain")->shown);
  engine.Hide("Plain", false);
  EXPECT_FALSE(engine.View("Plain")->shown);
}

TEST_F(CharacterEngineTest, ShowOnAShownCharacterAndHideOnAHiddenOneDoNothing) {
  engine.Hide("Merlin", false);
  engine.Show("Merlin", true);
  engine.Show("Merlin", false);
  engine.Show("Merlin", true);
  // No show animation played, so the greeting starts at once.
  engine.Play("Merlin", "Greet");
  EXPECT_EQ(Sent(), (Lines{"Merlin shown at 0,0 100x80 frame rest",
                           "Merlin shown at 0,0 100x80 frame wave1"}));
  At(200);
  EXPECT_EQ(Sent(), (Lines{"Merlin shown at 0,0 100x80 frame rest"}));
}

TEST_F(CharacterEngineTest, RequestsRunInOrderWithTheirOwnRequestValues) {
  engine.Show("Merlin", true);
  engine.MoveTo("Merlin", 200, 100, 0);
  Sent();
  // Queued at once; each starts when the one before it ends.
  const std::vector<std::string> values = {
      engine.Speak("Merlin", "Hello", false),  // 0..333
      engine.Speak("Merlin", "Hmm", true),     // 333..533
      engine.MoveTo("Merlin", 100, 100, 400),  // 533..933
      engine.GestureAt("Merlin", 500, 140),    // 933..1233, to the right of the centre
      engine.Play("Merlin", "Greet"),          // 1233..1433
  };
  EXPECT_EQ(values, (std::vector<std::string>{"4", "5", "6", "7", "8"}));
  for (const int64_t ms : {100, 200, 333, 533, 733, 933, 1233, 1333, 1433}) At(ms);
  EXPECT_EQ(Sent(), (Lines{
                        "Merlin shown at 200,100 100x80 frame talk1, speech \"Hello\" spoken at "
                        "250,100",
                        "Merlin shown at 200,100 100x80 frame talk2, speech \"Hello\" spoken at "
                        "250,100",
                        "Merlin shown at 200,100 100x80 frame talk1, speech \"Hello\" spoken at "
                        "250,100",
                        "Merlin shown at 200,100 100x80 frame rest, thought \"Hmm\" at 250,100",
                        "Merlin shown at 200,100 100x80 frame ml",
                        "Merlin shown at 150,100 100x80 frame ml",
                        "Merlin shown at 100,100 100x80 frame gr",
                        "Merlin shown at 100,100 100x80 frame wave1",
                        "Merlin shown at 100,100 100x80 frame wave2",
                        "Merlin shown at 100,100 100x80 frame rest",
                    }));
}

TEST_F(CharacterEngineTest, LeftAndTopFollowAMove) {
  engine.MoveTo("Merlin", 1000, -500, std::nullopt);  // two arguments: 1000 ms
  struct Case {
    int64_t ms;
    int32_t left;
    int32_t top;
  };
  constexpr Case kCases[] = {
      {0, 0, 0},        {250, 250, -125},   {500, 500, -250},
      {990, 990, -495}, {1000, 1000, -500}, {5000, 1000, -500},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.ms);
    At(c.ms);
    EXPECT_EQ(Left(), c.left);
    EXPECT_EQ(Top(), c.top);
  }
  // Speed 0 jumps; a negative one takes the two-argument time.
  engine.MoveTo("Merlin", -20, 30, 0);
  EXPECT_EQ(Left(), -20);
  EXPECT_EQ(Top(), 30);
  engine.MoveTo("Merlin", 980, 30, -1);
  At(5500);
  EXPECT_EQ(Left(), 480);
  // Across the whole range, at the longest time: no overflow on the way.
  At(6000);
  engine.MoveTo("Merlin", INT32_MIN, INT32_MAX, 0);
  engine.MoveTo("Merlin", INT32_MAX, INT32_MIN, INT32_MAX);
  At(6000 + INT32_MAX / 2);  // just short of half-way
  EXPECT_EQ(Left(), -2);
  EXPECT_EQ(Top(), 1);
  At(6000 + int64_t{INT32_MAX});
  EXPECT_EQ(Left(), INT32_MAX);
}

TEST_F(CharacterEngineTest, GestureAtPointsTowardsThePointFromTheCentre) {
  engine.Show("Merlin", true);
  engine.MoveTo("Merlin", 100, 100, 0);  // the centre is at (150, 140)
  struct Case {
    int32_t x;
    int32_t y;
    std::string_view frame;
  };
  constexpr Case kCases[] = {
      {0, 140, "gl"},      {300, 140, "gr"}, {150, 0, "gu"},   {150, 300, "gd"},
      {149, 140, "gl"},    {151, 140, "gr"}, {150, 141, "gd"}, {160, 10, "gu"},
      {-5000, 5500, "gd"}, {150, 140, "gr"},  // on the centre itself
  };
  int64_t now = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    engine.GestureAt("Merlin", c.x, c.y);
    EXPECT_EQ(engine.View("Merlin")->character->frames[engine.View("Merlin")->frame].name, c.frame);
    now += 300;
    At(now);
  }
}

TEST_F(CharacterEngineTest, PlayOfANameTheCharacterLacksCompletesAtOnce) {
  engine.Show("Merlin", true);
  EXPECT_EQ(engine.Play("Merlin", "Dance"), "3");
  EXPECT_EQ(engine.Play("Merlin", "greet"), "4");  // names in any case
  EXPECT_EQ(Shows(), "Merlin shown at 0,0 100x80 frame wave1");
}

TEST_F(CharacterEngineTest, StopAllDropsEveryRequestOrThoseOfTheKindsNamed) {
  engine.Show("Merlin", true);
  engine.MoveTo("Merlin", 1000, 0, 1000);
  engine.Speak("Merlin", "Hello", false);
  engine.Play("Merlin", "Greet");
  At(300);
  engine.StopAll("Merlin", std::nullopt);
  // The move stops where it got to; nothing else plays.
  EXPECT_EQ(Left(), 300);
  At(3000);
  EXPECT_EQ(Shows(), "Merlin shown at 300,0 100x80 frame rest");

  engine.Speak("Merlin", "Hello", false);
  engine.Speak("Merlin", "Hmm", true);
  engine.Play("Merlin", "Greet");
  engine.StopAll("Merlin", "Speak");
  EXPECT_EQ(Shows(), "Merlin shown at 300,0 100x80 frame wave1");
  engine.StopAll("Merlin", "Get,NonQueuedGet");
  EXPECT_EQ(Shows(), "Merlin shown at 300,0 100x80 frame wave1");
  engine.MoveTo("Merlin", 0, 0, 100);
  engine.StopAll("Merlin", " play , Move");
  EXPECT_EQ(Shows(), "Merlin shown at 300,0 100x80 frame rest");
}

TEST_F(CharacterEngineTest, StopDropsEveryRequestOrTheOneNamed) {
  engine.Show("Merlin", true);
  engine.Speak("Merlin", "Hello", false);
  const std::string think = engine.Speak("Merlin", "Hmm", true);
  engine.Play("Merlin", "Greet");
  engine.Stop("Merlin", think);
  At(333);
  EXPECT_EQ(Shows(), "Merlin shown at 0,0 100x80 frame wave1");
  engine.Stop("Merlin", "");
  EXPECT_EQ(Shows(), "Merlin shown at 0,0 100x80 frame rest");
  // Interrupt finds the request whatever character has it; empty does nothing.
  const std::string speak = engine.Speak("Merlin", "Hello", false);
  engine.Interrupt("");
  EXPECT_EQ(engine.View("Merlin")->balloon.text, "Hello");
  engine.Interrupt(speak);
  EXPECT_EQ(engine.View("Merlin")->balloon.kind, BalloonView::Kind::kNone);
}

TEST_F(CharacterEngineTest, TagsTimeTheBalloonAndTheSpeedIsKept) {
  engine.Show("Merlin", true);
  struct Case {
    std::string_view text;
    int64_t ends_at;  // from its start
    std::string_view shown;
    bool spoken;
  };
  const Case kCases[] = {
      {"Hello", 333, "Hello", true},
      {"Hel\\Pau=500\\lo", 833, "Hello", true},
      {"\\Vol=1\\\rHello", 400, "Hello", false},  // the line break takes its time too
      {"\\Rst\\\\spd=250\\", 0, "", true},        // speeds up what follows
      {"Hello", 200, "Hello", true},
      {"\\Rst\\", 0, "", true},
      {"Hello", 333, "Hello", true},
  };
  int64_t now = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    engine.Speak("Merlin", c.text, false);
    const BalloonView b = engine.View("Merlin")->balloon;
    EXPECT_EQ(b.text, c.shown);
    if (!c.shown.empty()) {
      EXPECT_EQ(b.spoken, c.spoken);
    }
    if (c.ends_at > 0) {
      At(now + c.ends_at - 10);
      EXPECT_EQ(engine.View("Merlin")->balloon.text, c.shown);
    }
    now += c.ends_at;
    At(now);
    EXPECT_EQ(engine.View("Merlin")->balloon.kind, BalloonView::Kind::kNone);
  }
}

TEST_F(CharacterEngineTest, AHiddenCharacterCompletesItsRequestsUnseen) {
  engine.Speak("Merlin", "Hello", false);
  engine.MoveTo("Merlin", 400, 0, 400);
  EXPECT_EQ(Shows(), "Merlin hidden at 0,0 100x80 frame talk1");
  At(333);
  At(533);
  EXPECT_EQ(Left(), 200);
  At(733);
  engine.Show("Merlin", true);
  EXPECT_EQ(
      Sent(),
      (Lines{"Merlin hidden at 0,0 100x80 frame talk1", "Merlin hidden at 0,0 100x80 frame mr",
             "Merlin hidden at 200,0 100x80 frame mr", "Merlin hidden at 400,0 100x80 frame rest",
             "Merlin shown at 400,0 100x80 frame rest"}));
}

TEST_F(CharacterEngineTest, ActivateTwoKeepsTheCharacterOnTop) {
  engine.Show("Merlin", true);
  engine.Activate("Merlin", 2);
  EXPECT_EQ(Shows(), "Merlin shown at 0,0 100x80 frame rest on top");
  engine.Activate("Merlin", 1);
  EXPECT_EQ(Shows(), "Merlin shown at 0,0 100x80 frame rest");
}

TEST_F(CharacterEngineTest, UnloadRemovesTheCharacter) {
  engine.Show("Merlin", true);
  engine.Unload("Merlin");
  EXPECT_FALSE(engine.IsLoaded("Merlin"));
  EXPECT_EQ(engine.Speak("Merlin", "Hello", false), "");
  EXPECT_EQ(Sent(), (Lines{"Merlin shown at 0,0 100x80 frame rest", "Merlin removed"}));
}

}  // namespace
}  // namespace platform::agent
