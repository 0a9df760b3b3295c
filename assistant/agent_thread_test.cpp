#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "assistant/extagent.h"
#include "assistant/recording_agent_control.h"
#include "assistant/speech_text.h"
#include "platform/core/message.h"
#include "platform/core/paths.h"
#include "platform/files/file_test_support.h"
#include "platform/headless/virtual_clock.h"
#include "platform/testing/scripted_display.h"
#include "platform/ui/agent_object.h"
#include "platform/ui/ole_object.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace assistant {
namespace {

using testing::kRecordingServer;
using testing::Recorded;
using testing::RecordingObject;

TEST(PrepareSpeech, LineBreaksBecomePausesGrowingWithTheirDistance) {
  struct Case {
    std::string_view text;
    uint8_t delay;
    std::string_view sent;
  };
  const Case kCases[] = {
      {"A\r\nB", 10, "A\\Pau=20\\\rB"},
      {"A\r\nB", 0, "A\r\nB"},
      {"AB\r\nC\r\nD", 1, "AB\\Pau=3\\\rC\\Pau=9\\\rD"},
      {"no break", 5, "no break"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(PrepareSpeech(c.text, c.delay), c.sent);
  }
  // Cut to 499 bytes after each replacement.
  const std::string long_text = std::string(498, 'x') + "\r\nB";
  EXPECT_EQ(PrepareSpeech(long_text, 1).size(), 499u);
}

// The assistant in a fresh current directory, the data directory holding the shipped
// character (or none), the headless display with its scripted dialogs.
class AgentThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::TEST_SetDataDirectory(std::string(PEX_SHARE_DIR));
    {
      std::lock_guard lock(Recorded().mutex);
      Recorded().texts.clear();
      Recorded().left = "10";
    }
  }
  void TearDown() override {
    platform::TEST_SetDataDirectory("");
    platform::ui::RegisterOleServer(platform::ui::AgentServer());
  }
  void UseRecordingControl() { platform::ui::RegisterOleServer(kRecordingServer); }

  // Runs `body` on thread 1, then shuts the assistant down, as the main program does.
  void Run(const std::function<void()>& body) {
    platform::ui::Runtime runtime(display);
    runtime.StartMain([&] {
      body();
      agent.Shutdown();
    });
    runtime.Join();
  }

  // The texts the control got after the load, the member set and the load sequence.
  std::vector<std::string> Texts() {
    std::lock_guard lock(Recorded().mutex);
    return Recorded().texts;
  }
  std::vector<std::string> TextsAfter(size_t first) {
    std::vector<std::string> all = Texts();
    if (first >= all.size()) return {};
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(first), all.end());
  }
  // Waits until the agent thread has carried out every request posted so far.
  void Drain() { agent.GetYPos(); }

  platform::files::InTempDirForTest dir;
  platform::testing::ScriptedDisplay display;
  AgentFiles files;
  ZOVAgentClass agent{files};
};

std::string Merlin() {
  return platform::JoinPath(std::string(PEX_SHARE_DIR), "Msagent/CHARS/Merlin.ACS");
}

TEST_F(AgentThreadTest, TheOperationsSendTheirAutomationTexts) {
  UseRecordingControl();
  std::vector<std::string> load;
  std::vector<std::vector<std::string>> sent;
  struct Case {
    std::string_view name;
    std::function<void()> action;
    std::vector<std::string> texts;
  };
  const std::string c = "Characters(\"Merlin\")";
  const std::vector<Case> cases = {
      {"speak with a delay",
       [&] {
         agent.SPEAKDELAY = 10;
         agent.Speak("A\r\nB  ");
       },
       {"read " + c + ".Speak(\"A\\Pau=20\\\rB\")"}},
      {"speak three lines",
       [&] { agent.Speak("A\r\nB\r\nC"); },
       {"read " + c + ".Speak(\"A\\Pau=20\\\rB\\Pau=100\\\rC\")"}},
      {"speak without a voice",
       [&] {
         agent.SPEAKDELAY = 0;
         agent.NOVOICE = 1;
         agent.Speak("Hi");
       },
       {"read " + c + ".Speak(\"\\Vol=1\\\rHi\")"}},
      {"think",
       [&] {
         agent.NOVOICE = 0;
         agent.Think("Hmm ");
       },
       {"read " + c + ".Think(\"Hmm\")"}},
      {"move at a speed", [&] { agent.MoveTo(5, 6, 300); }, {"read " + c + ".MoveTo(5,6,300)"}},
      {"move without a speed", [&] { agent.MoveTo(5, 6, -1); }, {"read " + c + ".MoveTo(5,6)"}},
      {"move clamped to the desktop",
       [&] { agent.MoveTo(-5, 5000, -1); },
       {"read " + c + ".MoveTo(0,640)"}},
      {"gesture", [&] { agent.GestureAt(-3, 4); }, {"read " + c + ".GestureAt(-3,4)"}},
      {"play", [&] { agent.Play("Greet"); }, {"read " + c + ".Play(\"Greet\")"}},
      // The fast flag travels in a field of the object, read when the thread gets to it.
      {"show fast", [&] { agent.ShowAgent(1); }, {"read " + c + ".Show(True)"}},
      {"show slow", [&] { agent.ShowAgent(0); }, {"read " + c + ".Show(False)"}},
      {"hide fast", [&] { agent.HideAgent(1); }, {"read " + c + ".Hide(True)"}},
      {"hide slow", [&] { agent.HideAgent(0); }, {"read " + c + ".Hide"}},
      {"size",
       [&] { agent.SetSize(100, 90); },
       {"assign " + c + ".Height=100", "assign " + c + ".Width=90"}},
      {"activate", [&] { agent.Activate(2); }, {"call " + c + ".Activate(2)"}},
      {"wait", [&] { agent.Wait("3"); }, {"call " + c + ".Wait 3"}},
      {"interrupt", [&] { agent.Interrupt("4"); }, {"call " + c + ".Interrupt(4)"}},
      {"stop", [&] { agent.Stop("5"); }, {"call " + c + ".Stop(5)"}},
      {"stop all of no type",
       [&] { agent.StopAll(""); },
       {"read " + c + ".StopAll", "read " + c + ".Play(\"RestPose\")"}},
      {"stop all of a type",
       [&] { agent.StopAll("Play,Move"); },
       {"read " + c + ".StopAll(\"Play,Move\")"}},
      {"properties",
       [&] { agent.ShowDefaultCharacterProperties(); },
       {"read ShowDefaultCharacterProperties"}},
  };
  Run([&] {
    agent.Speak("Hello");
    Drain();
    load = Texts();
    for (const Case& k : cases) {
      const size_t before = Texts().size();
      k.action();
      Drain();
      std::vector<std::string> t = TextsAfter(before);
      if (!t.empty()) t.pop_back();  // the Top of Drain
      sent.push_back(t);
    }
  });
  EXPECT_EQ(load, (std::vector<std::string>{
                      "member Connected=1",
                      "read Characters.Load(\"Merlin\", " + Merlin() + ")",
                      "assign " + c + ".LanguageID=1043",
                      "read " + c + ".Height",
                      "read " + c + ".Width",
                      "read " + c + ".Speak(\"\\Rst\\\")",
                      "read " + c + ".Speak(\"Hello\")",
                      "read " + c + ".Top",
                  }));
  ASSERT_EQ(sent.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(sent[i], cases[i].texts);
  }
}

TEST_F(AgentThreadTest, TheLoadTellsTheSpeakingSpeed) {
  UseRecordingControl();
  Run([&] {
    agent.Init();
    agent.SPEAKSPEED = 180;
    agent.ShowAgent(0);
    Drain();
  });
  const std::vector<std::string> t = Texts();
  ASSERT_GE(t.size(), 6u);
  EXPECT_EQ(t[5], "read Characters(\"Merlin\").Speak(\"\\Rst\\\\spd=180\\\")");
}

TEST_F(AgentThreadTest, TheRingKeepsItsOrderAcrossTheWrapAndEmptiesItsCopy) {
  UseRecordingControl();
  std::vector<std::string> spoken;
  Run([&] {
    agent.Speak("first");
    Drain();
    const size_t before = Texts().size();
    for (int round = 0; round < 3; ++round) {
      for (int i = 0; i < 60; ++i) agent.Speak(std::to_string(round * 60 + i).insert(0, 1, 's'));
      EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 60u);
      EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->entry(1).REQUEST, "Speak");
      Drain();
      EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 0u);
    }
    for (const std::string& t : TextsAfter(before)) {
      if (t.find(".Speak(") != std::string::npos) spoken.push_back(t);
    }
    EXPECT_EQ(agent.BUFFERPOS, 82);  // 1 + 181 requests, wrapped once
    EXPECT_EQ(agent.BUFFERINDEX, 82);
  });
  ASSERT_EQ(spoken.size(), 180u);
  for (int i = 0; i < 180; ++i) {
    EXPECT_EQ(spoken[i], "read Characters(\"Merlin\").Speak(\"s" + std::to_string(i) + "\")");
  }
}

TEST_F(AgentThreadTest, APausedCharacterKeepsAHundredRequestsAndRefusesTheNext) {
  UseRecordingControl();
  Run([&] {
    agent.Speak("first");
    Drain();
    agent.AGENTPAUZE = 1;
    for (int i = 0; i < 100; ++i) agent.Speak(std::to_string(i).insert(0, 1, 'w'));
    ::testing::internal::CaptureStderr();
    agent.Speak("dropped");
    agent.Think("dropped too");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "assistant: 100 requests wait for the character; Speak dropped\n");
    EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 100u);
    // Waits end during the pause.
    {
      std::lock_guard lock(Recorded().mutex);
      Recorded().left = "-9999";
    }
    EXPECT_EQ(agent.GetXPos(), -9999);
    EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 100u);
    // Stopping drops what waits.
    agent.Stop("");
    Drain();
    EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 0u);
    agent.AGENTPAUZE = 0;
  });
  for (const std::string& t : Texts()) EXPECT_EQ(t.find("w99"), std::string::npos) << t;
}

TEST_F(AgentThreadTest, SpeedZeroMovesWhileOneWaitsOnlyMoveItsTarget) {
  UseRecordingControl();
  Run([&] {
    agent.Speak("first");
    Drain();
    agent.AGENTPAUZE = 1;
    agent.MoveTo(1, 1, 0);
    agent.MoveTo(2, 2, 0);
    agent.MoveTo(3, 3, 0);
    EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 1u);
    EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->entry(1).XPOS, 3);
    const size_t before = Texts().size();
    agent.AGENTPAUZE = 0;
    agent.Play("Greet");
    Drain();
    const std::vector<std::string> t = TextsAfter(before);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0], "read Characters(\"Merlin\").MoveTo(3,3,0)");
  });
}

TEST_F(AgentThreadTest, TheFirstSpeakStartsTheThreadAndLoadsMerlin) {
  Run([&] {
    EXPECT_EQ(agent.INITIALIZED, 0);
    agent.Speak("Hello");
    EXPECT_EQ(agent.INITIALIZED, 1);
    EXPECT_EQ(agent.AGENTLOADED, 1);
    EXPECT_NE(agent.AGENTWINDOWTHREAD, 0);
    EXPECT_EQ(agent.AGENTFILENAME.str(), Merlin());
    EXPECT_GT(agent.HEIGHT, 0);
    EXPECT_GT(agent.WIDTH, 0);
  });
  EXPECT_EQ(agent.INITIALIZED, 0);
  EXPECT_EQ(agent.AGENTWINDOWTHREAD, 0);
  EXPECT_EQ(agent.AGENTLOADED, 0);
}

TEST_F(AgentThreadTest, AMissingCharacterFileIsToldOnceAndLaterActionsPostNothing) {
  platform::files::TempDirForTest empty;
  platform::TEST_SetDataDirectory(empty.path());
  const std::string file = empty.path() + "/Msagent/CHARS/Merlin.ACS";
  display.dialogs().ExpectMessage("The Microft Agent file " + file +
                                      " for the agent Merlin can not be found!|Microsoft agents "
                                      "will be unavaible (Set)!",
                                  platform::kButtonOk);
  Run([&] {
    agent.Speak("Hello");
    agent.Speak("again");
    EXPECT_EQ(agent.AGENTLOADED, 0);
    EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 0u);
    EXPECT_EQ(agent.BUFFERPOS, 1);
  });
  EXPECT_EQ(display.dialogs().seen().size(), 1u);
}

TEST_F(AgentThreadTest, AFileNamedButMissingGivesTheLoadMessage) {
  display.dialogs().ExpectMessage(
      "The Microft Agent file /nowhere/x.ACS for the agent Merlin can not be found!|Microsoft "
      "agents will be unavaible (LOAD)!",
      platform::kButtonOk);
  Run([&] {
    agent.AGENTFILENAME = "/nowhere/x.ACS";
    agent.Speak("Hello");
  });
}

TEST_F(AgentThreadTest, SetAgentTellsWhatIsMissing) {
  display.dialogs().ExpectMessage("U heeft geen MS Agent opgegeven", platform::kButtonOk);
  Run([&] {
    EXPECT_EQ(agent.SetAgent("", "/some/file.ACS"), 0);
    EXPECT_EQ(agent.SetAgent("Merlin", ""), 1);
    EXPECT_EQ(agent.AGENTFILENAME.str(), Merlin());
  });
}

TEST_F(AgentThreadTest, AfterShutdownNoActionStartsTheThread) {
  Run([&] {
    agent.Shutdown();
    agent.Speak("Hello");
    EXPECT_EQ(agent.AGENTWINDOWTHREAD, 0);
    EXPECT_EQ(agent.GetXPos(), 0);
  });
}

constexpr platform::ui::WindowStructure kUserWindow{
    "agenttest", "USER", platform::ui::WindowKind::kPlain, "User", {10, 10, 100, 50}, {}};

TEST_F(AgentThreadTest, TheAgentWindowTakesTheFocusFromNoWindow) {
  UseRecordingControl();
  Run([&] {
    platform::ui::Window user(kUserWindow);
    user.Open();
    agent.Speak("Hello");
    Drain();
    EXPECT_EQ(user.Get(platform::ui::kNoField, platform::ui::Prop::Active), "1");
    EXPECT_EQ(platform::ui::OpenWindows().size(), 2u);
    agent.Shutdown();
    user.Close();
  });
}

constexpr platform::ui::WindowStructure kFrameWindow{
    "agenttest", "FRAME", platform::ui::WindowKind::kFrame, "Frame", {20, 10, 200, 100}, {}};

TEST_F(AgentThreadTest, MoveToClarionPosTurnsWindowUnitsIntoScreenPixelsAtACorner) {
  UseRecordingControl();
  struct Case {
    std::string_view corner;
    bool maximized;
    std::string_view sent;
  };
  // The frame's normal rectangle is (40, 20) to (448, 247) for 200 by 100 units; maximized
  // it fills the 1024 by 768 desktop, 512 by 384 units. The character is 128 by 128.
  constexpr Case kCases[] = {
      {"RB", false, "MoveTo(116,133,0)"}, {"LO", false, "MoveTo(244,5,0)"},
      {"RO", false, "MoveTo(116,5,0)"},   {"MM", false, "MoveTo(180,69,0)"},
      {"RB", true, "MoveTo(72,100,0)"},
  };
  std::vector<std::string> sent;
  Run([&] {
    platform::ui::Window frame(kFrameWindow);
    frame.Open();
    agent.Speak("Hello");
    Drain();
    for (const Case& k : kCases) {
      frame.Set(platform::ui::kNoField, platform::ui::Prop::Maximize, k.maximized ? "1" : "");
      const size_t before = Texts().size();
      agent.MoveToClarionPos(100, 50, 0, k.corner);
      Drain();
      const std::vector<std::string> t = TextsAfter(before);
      sent.push_back(t.empty() ? "" : t[0]);
    }
    agent.Shutdown();
    frame.Close();
  });
  ASSERT_EQ(sent.size(), std::size(kCases));
  for (size_t i = 0; i < sent.size(); ++i) {
    SCOPED_TRACE(kCases[i].corner);
    EXPECT_EQ(sent[i], "read Characters(\"Merlin\")." + std::string(kCases[i].sent));
  }
}

TEST_F(AgentThreadTest, APausedSpeakWaitsWhileTheWaitsAndTheShutdownEnd) {
  UseRecordingControl();
  Run([&] {
    agent.Speak("first");
    Drain();
    agent.AGENTPAUZE = 1;
    agent.Speak("later");
    EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 1u);
    EXPECT_EQ(agent.GetXPos(), 10);
    EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 1u);
    agent.UnloadAgent();
    EXPECT_EQ(agent.AGENTLOADED, 0);
    // Run's Shutdown closes the agent window during the pause too.
  });
  EXPECT_EQ(agent.INITIALIZED, 0);
  for (const std::string& t : Texts()) EXPECT_EQ(t.find("later"), std::string::npos) << t;
}

TEST_F(AgentThreadTest, APositionAskedAsTheThreadEndsAnswersTheLastOneKnown) {
  UseRecordingControl();
  int32_t answer = 0;
  Run([&] {
    {
      std::lock_guard lock(Recorded().mutex);
      Recorded().left = "-9999";
    }
    EXPECT_EQ(agent.GetXPos(), -9999);  // the true position, not a time-out
    platform::ui::Post(platform::ui::kEventCloseWindow, platform::ui::kNoField,
                       agent.AGENTWINDOWTHREAD);
    answer = agent.GetXPos();
    EXPECT_EQ(agent.AGENTWINDOWTHREAD, 0);
  });
  EXPECT_EQ(answer, -9999);
}

// The agent control's Connected member is set before the agent window's loop runs: holding
// it there keeps the window from ever reporting that it opened.
std::atomic<bool> g_hold_connect = false;
const platform::ui::OleServer kStuckServer{
    "Agent.Control.2",
    [](platform::ui::DisplayBackend&) -> std::unique_ptr<platform::ui::OleObject> {
      class Stuck final : public RecordingObject {
       public:
        bool SetMember(std::string_view, int32_t) override {
          platform::ui::PollUntil([] { return !g_hold_connect.load(); },
                                  platform::ui::kPollForever);
          return true;
        }
      };
      return std::make_unique<Stuck>();
    }};

TEST_F(AgentThreadTest, AnAgentWindowThatNeverOpensEndsStartAtItsTimeOut) {
  platform::ui::RegisterOleServer(kStuckServer);
  g_hold_connect = true;
  platform::ui::Runtime runtime(display);
  platform::headless::VirtualClock clock(runtime, display);
  std::atomic<int> started = -1;
  runtime.StartMain([&] {
    agent.Speak("Hello");
    started = agent.INITIALIZED;
    g_hold_connect = false;
    platform::ui::PollUntil([&] { return agent.INITIALIZED == 1; }, platform::ui::kPollForever);
    agent.Shutdown();
  });
  runtime.WaitUntilIdle();
  clock.Advance(999);  // TIMEOUTMOUSEEVENT is 10 seconds
  EXPECT_EQ(started, -1);
  clock.Advance(1);
  EXPECT_EQ(started, 0);
  runtime.Join();
  EXPECT_EQ(agent.AGENTWINDOWTHREAD, 0);
}

TEST_F(AgentThreadTest, ThreeThreadsAndTheAgentThreadNeverHoldTheLockTogether) {
  UseRecordingControl();
  std::atomic<std::thread::id> holder{};
  std::atomic<int> overlaps{0};
  platform::ui::TEST_SetRuntimeLockObserver([&](bool acquired) {
    if (acquired) {
      std::thread::id none{};
      if (!holder.compare_exchange_strong(none, std::this_thread::get_id())) ++overlaps;
    } else {
      holder.store(std::thread::id{});
    }
  });
  Run([&] {
    agent.Speak("first");
    int running = 3;
    for (int t = 0; t < 3; ++t) {
      platform::ui::Start([&, t] {
        for (int i = 0; i < 20; ++i) {
          agent.Speak(std::to_string(i).insert(0, 1, static_cast<char>('a' + t)));
          agent.MoveTo(i, t, 10);
          agent.GetXPos();
        }
        --running;
      });
    }
    platform::ui::PollUntil([&] { return running == 0; }, platform::ui::kPollForever);
    Drain();
    EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 0u);
  });
  platform::ui::TEST_SetRuntimeLockObserver(nullptr);
  EXPECT_EQ(overlaps, 0);
}

TEST_F(AgentThreadTest, FillAnimationListAddsTheSeventyOneNamesInOrder) {
  platform::Queue<AgentButtonRecord> list;
  list.buffer.PROCEDURENAME = "already there";
  list.Add();
  ZOVAgentClass::FillAnimationList(list);
  ASSERT_EQ(list.Records(), 72u);
  EXPECT_EQ(list.entry(1).PROCEDURENAME, "already there");
  EXPECT_EQ(list.entry(2).PROCEDURENAME, "Acknowledge");
  EXPECT_EQ(list.entry(61).PROCEDURENAME, "RestPose");
  EXPECT_EQ(list.entry(72).PROCEDURENAME, "Uncertain");
}

}  // namespace
}  // namespace assistant
