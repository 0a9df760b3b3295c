// Topics played in the program's own windows: a menu item replayed in two halves on the
// application frame.
#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/program.h"
#include "assistant/agent_files.h"
#include "assistant/agent_files_test_support.h"
#include "platform/files/file.h"
#include "platform/files/keyed/file_system.h"
#include "platform/ui/codes.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/prop.h"

namespace app::testing {
namespace {

using platform::testing::ScriptedUser;
using platform::ui::WindowHandle;

constexpr platform::ui::FieldId kRestyleItem = -9;  // in the second menu of the bar

class TopicPlaybackTest : public ProgramTest {
 protected:
  void StoreStep(const assistant::AgentFileRecord& step) {
    assistant::testing::StoreAgentStep(step);
  }
  static assistant::AgentFileRecord Step(int32_t number) {
    assistant::AgentFileRecord r;
    r.PROCEDURENAME = "Main";
    r.ONDERWERP = "Opmaak";
    r.STEP = number;
    r.POSITIONX = -32768;
    r.POSITIONY = -32768;
    return r;
  }
};

TEST_F(TopicPlaybackTest, AMenuItemIsReplayedInTwoHalvesWithItsMenuHighlightedMeanwhile) {
  StoreStep(Step(0));
  assistant::AgentFileRecord item = Step(1);
  item.EVENTPROCEDURE = "Main";
  item.EVENT = platform::ui::kEventAccepted;
  item.CONTROL = kRestyleItem;
  StoreStep(item);
  std::set<std::string> highlights;
  std::string after = "(none)";
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    std::atomic<bool> started = false;
    OnCall([&](std::string_view call) {
      if (call != "ZOVAgentClass.HandleEvent Main") return;
      if (!started.exchange(true)) Program().Agent.StartTopic("Main", "Opmaak");
      const auto w = display.FindWindow(frame);
      if (!w) return;
      const auto it =
          w->view.properties.find({static_cast<int32_t>(platform::ui::Prop::MenuBarHilite), 0});
      if (it != w->view.properties.end()) highlights.insert(it->second);
    });
    platform::ui::PostToWindow(frame, platform::ui::kEventUser);
    // The topic's thread first loads the character; the replay follows.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Calls("ZOVStylemanagerClass.ConfigureMain").empty() &&
           std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    OnCall({});
    user.WaitUntilIdle();
    const auto w = display.FindWindow(frame);
    const auto it =
        w->view.properties.find({static_cast<int32_t>(platform::ui::Prop::MenuBarHilite), 0});
    if (it != w->view.properties.end()) after = it->second;
  });
  EXPECT_EQ(Calls("ZOVStylemanagerClass.ConfigureMain").size(), 1u);
  EXPECT_TRUE(highlights.contains("2")) << ::testing::PrintToString(highlights);
  EXPECT_EQ(after, "0");
}

}  // namespace
}  // namespace app::testing
