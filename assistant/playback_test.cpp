// Playback of topics: which steps a topic plays, the event names of the replay messages and
// the waits of an event step, on the headless display with the stand-in character engine.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assistant/agent_files_test_support.h"
#include "assistant/extagent.h"
#include "assistant/recording_agent_control.h"
#include "platform/core/paths.h"
#include "platform/files/file_test_support.h"
#include "platform/testing/scripted_display.h"
#include "platform/ui/agent_object.h"
#include "platform/ui/ole_object.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace assistant {
namespace {

TEST(EventName, NamesTheEventsAndLeavesTheTextForATimer) {
  AgentFiles files;
  ZOVAgentClass agent(files);
  agent.PROCEDURENAME = "Main";
  struct Case {
    int32_t event;
    std::string_view name;
  };
  constexpr Case kCases[] = {
      {0x01, "Accepted"},
      {0x1F, "Selecting"},
      {0x101, "Selected"},
      {0x201, "CloseWindow"},
      {0x203, "Open Window:Main"},
      {0x204, "OpenFailed"},
      {0x211, "DDEclosed"},
      {0x230, "Moved"},
      {0x242, "BuildDone"},
      {0x20B, "before"},
      {0x20A, "Onbekende gebeurtenis"},
      {0x500, "Onbekende gebeurtenis"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.event);
    std::string text = "before";
    agent.EventName(c.event, text);
    EXPECT_EQ(text, c.name);
  }
}

// The assistant's files in a fresh current directory with seeded steps, the shipped
// character, and the headless display with its scripted dialogs.
class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::TEST_SetDataDirectory(std::string(PEX_SHARE_DIR)); }
  void TearDown() override { platform::TEST_SetDataDirectory(""); }

  void StoreStep(const AgentFileRecord& step) { testing::StoreAgentStep(step); }
  static AgentFileRecord Step(int32_t number) {
    AgentFileRecord r;
    r.PROCEDURENAME = "Main";
    r.ONDERWERP = "Rondleiding";
    r.STEP = number;
    r.POSITIONX = -32768;
    r.POSITIONY = -32768;
    return r;
  }
  static AgentFileRecord EventStep(int32_t number, std::string_view procedure, int32_t event) {
    AgentFileRecord r = Step(number);
    r.EVENTPROCEDURE = procedure;
    r.EVENT = event;
    return r;
  }

  void Run(const std::function<void()>& body) {
    platform::ui::Runtime runtime(display);
    runtime.StartMain([&] {
      agent.Init();
      body();
      agent.Shutdown();
    });
    runtime.Join();
  }

  platform::files::InTempDirForTest dir;
  platform::testing::ScriptedDisplay display;
  AgentFiles files;
  ZOVAgentClass agent{files};
};

TEST_F(PlaybackTest, AWindowThatNeverOpensGivesTheTimeOutAndTheTopicGoesOn) {
  StoreStep(Step(0));
  StoreStep(EventStep(1, "BrowseODBCconnection", 0x01));
  StoreStep(EventStep(2, "BrowseODBCconnection", 0x201));  // nothing to close: silent
  StoreStep(EventStep(3, "QueryBuilder", 0x230));
  display.dialogs().ExpectMessage(
      "Timeout!|VensterBrowseODBCconnection is niet geopend!|Kan gebeurtenis niet "
      "afspelen...|Accepted",
      platform::kButtonOk);
  display.dialogs().ExpectMessage(
      "Timeout!|VensterQueryBuilder is niet geopend!|Kan gebeurtenis niet afspelen...|Moved",
      platform::kButtonOk);
  Run([&] {
    agent.TIMEOUTMOUSEEVENT = 1;
    agent.PlayTopic("Main", "Rondleiding");
  });
}

TEST_F(PlaybackTest, ATopicWithoutAHeaderPlaysItsFirstStep) {
  StoreStep(EventStep(1, "Nowhere", 0x01));
  display.dialogs().ExpectMessage(
      "Timeout!|VensterNowhere is niet geopend!|Kan gebeurtenis niet afspelen...|Accepted",
      platform::kButtonOk);
  Run([&] {
    agent.TIMEOUTMOUSEEVENT = 1;
    agent.PlayTopic("Main", "Rondleiding");
  });
}

TEST_F(PlaybackTest, AHeaderOnlyTopicPlaysNothing) {
  StoreStep(Step(0));
  Run([&] {
    agent.TIMEOUTMOUSEEVENT = 1;
    agent.PlayTopic("Main", "Rondleiding");
  });
  // No message: nothing was played.
}

TEST_F(PlaybackTest, AgentStepsPlaceTheCharactersCornerAnimateAroundTheSpeechAndPoint) {
  platform::ui::RegisterOleServer(testing::kRecordingServer);
  {
    std::lock_guard lock(testing::Recorded().mutex);
    testing::Recorded().texts.clear();
  }
  StoreStep(Step(0));
  AgentFileRecord centre = Step(1);  // walks, speaks, then greets and points
  centre.POSITIONX = 100;
  centre.POSITIONY = 50;
  centre.CURSORPOSTOVAGENT = "MM";
  centre.SPEAK = "Hallo";
  centre.ANIMATE = "Greet";
  centre.ANIBEFOREORAFTER = "A";
  centre.AANWIJSRICHTING = 1;
  StoreStep(centre);
  AgentFileRecord stay = centre;  // points at the stored position itself
  stay.STEP = 2;
  stay.DONNOTMOVE = 1;
  stay.SPEAK = "";
  stay.ANIMATE = "";
  StoreStep(stay);
  AgentFileRecord hide = centre;  // hides before it speaks, and no gesture follows
  hide.STEP = 3;
  hide.DONNOTMOVE = 1;
  hide.ANIMATE = "Hide";
  hide.ANIBEFOREORAFTER = "B";
  hide.SPEAK = "Weg";
  StoreStep(hide);
  Run([&] {
    // The procedure's window at (200, 100), as the topic chooser stores it.
    agent.WINDOWPOSX = 200;
    agent.WINDOWPOSY = 100;
    agent.PlayTopic("Main", "Rondleiding");
    agent.GetYPos();  // every request carried out
  });
  platform::ui::RegisterOleServer(platform::ui::AgentServer());
  std::vector<std::string> acted;
  const std::string c = "Characters(\"Merlin\").";
  for (const std::string& t : testing::Recorded().texts) {
    const size_t at = t.find(c);
    if (at == std::string::npos) continue;
    const std::string what = t.substr(at + c.size());
    if (what == "Height" || what == "Width" || what == "Top" || what.starts_with("Speak(\"\\Rst") ||
        what.starts_with("LanguageID")) {
      continue;
    }
    acted.push_back(what);
  }
  // The character gets every request in the order it was asked: shown before each step
  // while it is not known to be visible yet, hidden before the last step speaks, and that
  // step points nowhere.
  EXPECT_EQ(acted, (std::vector<std::string>{
                       "Stop()", "Show(False)", "MoveTo(236,86,0)", "Speak(\"Hallo\")",
                       "Play(\"Greet\")", "GestureAt(236,86)", "Show(False)", "GestureAt(300,150)",
                       "Show(False)", "Hide", "Speak(\"Weg\")"}));
}

using platform::ui::ControlDecl;
using platform::ui::FieldId;

constexpr ControlDecl kTargetControls[] = {
    platform::ui::Entry("?Name", {50, 4, 100, 10}),
    platform::ui::Button("?Go", "&Go", {4, 44, 40, 14}),
};
constexpr platform::ui::WindowStructure kTarget{
    "agenttest", "TARGET",           platform::ui::WindowKind::kPlain,
    "Target",    {10, 10, 200, 120}, kTargetControls};
constexpr FieldId kName = kTarget.Equate("?Name");
constexpr FieldId kGo = kTarget.Equate("?Go");

// A procedure window named "Target", on a thread of its own after `delay_ms`: it hands the
// assistant every event first and notes each Accepted with the control's text.
class ReplayTest : public PlaybackTest {
 protected:
  void StartTarget(int32_t delay_ms) {
    platform::ui::Start([this, delay_ms] {
      platform::ui::Sleep(delay_ms);
      platform::ui::Window w(kTarget);
      w.Open();
      target_thread = platform::ui::Thread();
      agent.ProcedureOpened("Target");
      while (w.Accept()) {
        agent.HandleEvent("Target", w.handle());
        const FieldId f = platform::ui::Field();
        if (platform::ui::Event() == platform::ui::kEventAccepted) {
          seen.push_back("Accepted " + std::to_string(f) + " " +
                         platform::ui::GetProp(f, platform::ui::Prop::ScreenText));
        }
        if (platform::ui::Event() == platform::ui::kEventCloseWindow) {
          agent.ProcedureClosed("Target");
        }
      }
    });
  }
  static AgentFileRecord Accepted(int32_t number, FieldId control, std::string_view typed) {
    AgentFileRecord r = EventStep(number, "Target", platform::ui::kEventAccepted);
    r.CONTROL = control;
    r.SPEAK = typed;
    return r;
  }

  std::vector<std::string> seen;
  platform::ui::ThreadId target_thread = 0;
};

TEST_F(ReplayTest, TypingThenAButtonEachWaitForTheirOwnReplayInAWindowThatOpensLater) {
  StoreStep(Step(0));
  StoreStep(Accepted(1, kName, "abc"));
  StoreStep(Accepted(2, kGo, ""));
  std::chrono::steady_clock::duration typing{};
  Run([&] {
    agent.TYPESNELHEID = 10;
    StartTarget(/*delay_ms=*/500);
    const auto start = std::chrono::steady_clock::now();
    agent.PlayTopic("Main", "Rondleiding");
    typing = std::chrono::steady_clock::now() - start;
    platform::ui::Post(platform::ui::kEventCloseWindow, platform::ui::kNoField, target_thread);
    platform::ui::PollUntil([&] { return agent.PLAYBACKEVENTS == 0; }, 1000);
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"Accepted 1 abc", "Accepted 2 "}));
  // Three characters at 10 a second, after the half second the window took to open.
  EXPECT_GE(typing, std::chrono::milliseconds(800));
}

TEST_F(ReplayTest, AMovedStepGlidesTheWindowInASecondLoopAndItsOwnLoopGoesOn) {
  StoreStep(Step(0));
  AgentFileRecord moved = EventStep(1, "Target", platform::ui::kEventMoved);
  moved.POSITIONX = 40;  // window units
  moved.POSITIONY = 30;
  StoreStep(moved);
  StoreStep(Accepted(2, kGo, ""));
  int64_t x = 0;
  int64_t y = 0;
  Run([&] {
    StartTarget(0);
    platform::ui::PollUntil([&] { return target_thread != 0; }, 2000);
    agent.PlayTopic("Main", "Rondleiding");
    platform::ui::Window* w = nullptr;
    for (platform::ui::WindowHandle h : platform::ui::OpenWindows()) {
      platform::ui::Window* candidate = platform::ui::FindWindow(h);
      if (candidate != nullptr && candidate->structure().label == "TARGET") w = candidate;
    }
    if (w != nullptr) {
      platform::ui::SetTarget(w->handle());
      x = platform::ui::GetPropNumber(platform::ui::kNoField, platform::ui::Prop::Xpos);
      y = platform::ui::GetPropNumber(platform::ui::kNoField, platform::ui::Prop::Ypos);
      platform::ui::SetTarget(0);
    }
    platform::ui::Post(platform::ui::kEventCloseWindow, platform::ui::kNoField, target_thread);
  });
  EXPECT_EQ(x, 40);
  EXPECT_EQ(y, 30);
  // The window's own loop went on and took the next step.
  EXPECT_EQ(seen, (std::vector<std::string>{"Accepted 2 "}));
}

TEST_F(ReplayTest, AWindowOpenedOnTheTargetsThreadLeavesTheTargetsStep) {
  StoreStep(Step(0));
  StoreStep(Accepted(1, kGo, ""));
  display.dialogs().ExpectMessage(
      "Muis Timeout!|Een gebeurtenis op vensterTarget kan niet afgespeeld worden...|Accepted",
      platform::kButtonOk);
  std::vector<std::string> builder_seen;
  bool builder_open = false;
  Run([&] {
    agent.TIMEOUTMOUSEEVENT = 1;
    // The target opens a builder window of its own, as the query window does, and the
    // builder's loop runs while the step plays.
    platform::ui::Start([&] {
      platform::ui::Window target(kTarget);
      target.Open();
      target_thread = platform::ui::Thread();
      agent.ProcedureOpened("Target");
      platform::ui::Window builder(kTarget);
      builder.Open();
      agent.ProcedureOpened("Builder");
      builder_open = true;
      while (builder.Accept()) {
        agent.HandleEvent("Builder", builder.handle());
        if (platform::ui::Event() == platform::ui::kEventAccepted) {
          builder_seen.push_back("Accepted " + std::to_string(platform::ui::Field()));
        }
      }
      builder_open = false;
      target.Close();
    });
    platform::ui::PollUntil([&] { return builder_open; }, 2000);
    agent.PlayTopic("Main", "Rondleiding");
    platform::ui::Post(platform::ui::kEventCloseWindow, platform::ui::kNoField, target_thread);
    platform::ui::PollUntil([&] { return !builder_open; }, 2000);
  });
  EXPECT_TRUE(builder_seen.empty());
}

}  // namespace
}  // namespace assistant
