// The window hooks on plain windows: the threads of a procedure's windows, and the
// character stopped and hidden when a window closes.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "assistant/extagent.h"
#include "assistant/recording_agent_control.h"
#include "platform/core/call_trace.h"
#include "platform/core/message.h"
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

constexpr platform::ui::WindowStructure kPlain{
    "agenttest", "PLAIN", platform::ui::WindowKind::kPlain, "Plain", {10, 10, 100, 60}, {}};

class WindowHooksTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::TEST_SetDataDirectory(std::string(PEX_SHARE_DIR)); }
  void TearDown() override {
    platform::TEST_SetDataDirectory("");
    platform::ui::RegisterOleServer(platform::ui::AgentServer());
  }
  int32_t ThreadOf(std::string_view procedure) {
    auto& q = *agent.PROCEDURETHREADQUEUE;
    q.buffer.PROCEDURENAME = procedure;
    return q.GetByKey({q.Asc(&ProcedureThreadRecord::PROCEDURENAME)}) ? q.buffer.THREAD : -1;
  }

  platform::files::InTempDirForTest dir;
  platform::testing::ScriptedDisplay display;
  AgentFiles files;
  ZOVAgentClass agent{files};
};

TEST_F(WindowHooksTest, TwoWindowsOfOneProcedureLeaveOneEntryWithTheLaterThread) {
  std::vector<int32_t> threads;
  size_t entries = 0;
  platform::ui::Runtime runtime(display);
  runtime.StartMain([&] {
    platform::ui::ThreadId second = 0;
    bool close_second = false;
    platform::ui::Window first(kPlain);
    first.Open();
    agent.ProcedureOpened("Twice");
    threads.push_back(ThreadOf("Twice"));
    platform::ui::Start([&] {
      platform::ui::Window w(kPlain);
      w.Open();
      second = platform::ui::Thread();
      agent.ProcedureOpened("Twice");
      platform::ui::PollUntil([&] { return close_second; }, 5000);
      agent.ProcedureClosed("Twice");
      w.Close();
      second = -1;
    });
    platform::ui::PollUntil([&] { return second > 0; }, 5000);
    threads.push_back(ThreadOf("Twice"));
    threads.push_back(second);
    entries = agent.PROCEDURETHREADQUEUE->Records();
    close_second = true;
    platform::ui::PollUntil([&] { return second == -1; }, 5000);
    threads.push_back(ThreadOf("Twice"));
    first.Close();
    agent.Shutdown();
  });
  runtime.Join();
  ASSERT_EQ(threads.size(), 4u);
  EXPECT_EQ(threads[0], 1);
  EXPECT_EQ(threads[1], threads[2]);  // the later window's thread
  EXPECT_EQ(entries, 1u);
  EXPECT_EQ(threads[3], 0);  // the first window is still open, but the entry says closed
}

TEST_F(WindowHooksTest, AWindowOnThread256IsSeenAsOpen) {
  int32_t noted = -1;
  platform::ui::ThreadId window_thread = 0;
  platform::ui::Runtime runtime(display);
  runtime.StartMain([&] {
    platform::ui::ThreadId id = 1;
    while (id < 255) id = platform::ui::Start([] {});
    window_thread = platform::ui::Start([&] {
      platform::ui::Window w(kPlain);
      w.Open();
      agent.ProcedureOpened("Late");
      noted = ThreadOf("Late");
      w.Close();
    });
    platform::ui::PollUntil([&] { return noted != -1; }, 5000);
    agent.Shutdown();
  });
  runtime.Join();
  EXPECT_EQ(window_thread, 256);
  EXPECT_EQ(noted, 256);
}

TEST_F(WindowHooksTest, WhileAMessageIsOpenNoKeyActsAndNoButtonIsMade) {
  {
    AgentFiles f;
    ASSERT_TRUE(f.AGNTFILE.Create());
    ASSERT_TRUE(f.AGNTFILE.Open(platform::files::kReadWrite | platform::files::kDenyNone));
    f.AGF.PROCEDURENAME = "Busy";
    f.AGF.ONDERWERP = "Uitleg";
    ASSERT_TRUE(f.AGNTFILE.Add());
  }
  std::mutex mutex;
  std::vector<std::string> chosen;
  platform::TEST_ScopedCallObserver observer([&](std::string_view call) {
    std::lock_guard lock(mutex);
    if (call.starts_with("ZOVAgentClass.ChooseSubject")) chosen.emplace_back(call);
    return 0;
  });
  std::atomic<bool> done = false;
  bool alerted = false;
  platform::ui::FieldId button = -1;
  display.dialogs().ExpectMessage("Bezig", platform::kButtonOk);
  display.SetDialogHook([&] {
    while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  platform::ui::Runtime runtime(display);
  runtime.StartMain([&] {
    agent.Init();
    agent.PLAYAGENTALERTKEY = platform::ui::kF12Key;
    platform::ui::Start([&] {
      platform::ui::PollUntil(
          [] { return platform::ui::GetSystemProp(platform::ui::Prop::Modal) == "1"; }, 5000);
      platform::ui::Window w(kPlain);
      w.Open();
      agent.ProcedureOpened("Busy");
      button = agent.EXTAGENTBUTTONCONTROL;
      platform::ui::PressKey(platform::ui::kF12Key);
      while (w.Accept()) {
        if (platform::ui::Event() != platform::ui::kEventAlertKey) continue;
        alerted = true;
        agent.HandleAlertKey("Busy", w.handle());
        break;
      }
      w.Close();
      done = true;
    });
    platform::Message("Bezig");
    agent.Shutdown();
  });
  runtime.Join();
  EXPECT_TRUE(alerted);
  EXPECT_EQ(button, 0);
  EXPECT_TRUE(chosen.empty());
}

TEST_F(WindowHooksTest, ClosingAWindowStopsAndHidesALoadedCharacter) {
  platform::ui::RegisterOleServer(testing::kRecordingServer);
  {
    std::lock_guard lock(testing::Recorded().mutex);
    testing::Recorded().texts.clear();
  }
  size_t before = 0;
  platform::ui::Runtime runtime(display);
  runtime.StartMain([&] {
    platform::ui::Window w(kPlain);
    w.Open();
    agent.ProcedureOpened("Plain");
    agent.Speak("Hallo");
    agent.GetYPos();
    {
      std::lock_guard lock(testing::Recorded().mutex);
      before = testing::Recorded().texts.size();
    }
    agent.ProcedureClosed("Plain");
    agent.GetYPos();
    w.Close();
    agent.Shutdown();
  });
  runtime.Join();
  std::vector<std::string> after;
  {
    std::lock_guard lock(testing::Recorded().mutex);
    const auto& t = testing::Recorded().texts;
    after.assign(t.begin() + static_cast<std::ptrdiff_t>(before), t.end());
  }
  const std::string c = "read Characters(\"Merlin\").";
  auto has = [&](const std::string& text) {
    return std::find(after.begin(), after.end(), text) != after.end();
  };
  EXPECT_TRUE(has(c + "StopAll")) << ::testing::PrintToString(after);
  EXPECT_TRUE(has(c + "Hide")) << ::testing::PrintToString(after);
}

}  // namespace
}  // namespace assistant
