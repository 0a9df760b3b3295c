// Topics played in the program's own windows: a menu item replayed in two halves on the
// application frame, a step that opens the connection window and typing into it on the
// virtual clock, a window that opens later, and the end of the program while a topic plays.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/program.h"
#include "assistant/agent_files.h"
#include "assistant/agent_files_test_support.h"
#include "platform/core/clock.h"
#include "platform/files/file.h"
#include "platform/files/keyed/file_system.h"
#include "platform/headless/virtual_clock.h"
#include "platform/region/region.h"
#include "platform/ui/codes.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/prop.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"

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
  static assistant::AgentFileRecord EventStep(int32_t number, std::string_view procedure,
                                              platform::ui::EventId event,
                                              platform::ui::FieldId control) {
    assistant::AgentFileRecord r = Step(number);
    r.EVENTPROCEDURE = procedure;
    r.EVENT = event;
    r.CONTROL = control;
    return r;
  }
  // The field of `equate` in the window of `module` and `label`, as the author stored it.
  static platform::ui::FieldId FieldOf(std::string_view module, std::string_view label,
                                       std::string_view equate) {
    const platform::ui::WindowStructure* s = platform::ui::FindWindowStructure(module, label);
    return s != nullptr ? s->FindEquate(equate) : platform::ui::kNoField;
  }
  // Starts the topic "Opmaak" of Main from the frame's own thread, as the topic chooser does,
  // and leaves `hook` (none when empty) as the hook of OnCall from then on.
  void StartTopic(ScriptedUser& user, std::function<void(std::string_view)> hook = {}) {
    std::atomic<bool> started = false;
    OnCall([&](std::string_view call) {
      if (call == "ZOVAgentClass.HandleEvent Main" && !started.exchange(true)) {
        Program().Agent.StartTopic("Main", "Opmaak");
      }
      if (hook) hook(call);
    });
    platform::ui::PostToWindow(Frame(user), platform::ui::kEventUser);
    user.WaitUntilIdle();
    OnCall(std::move(hook));
  }
  // A hook of OnCall that notes the monotonic time of every Accepted of `field` in the
  // connection window.
  std::function<void(std::string_view)> NoteConnectionAccepted(platform::ui::FieldId field) {
    return [this, field](std::string_view call) {
      if (call == "ZOVAgentClass.HandleEvent ChooseODBCconnection" &&
          platform::ui::Event() == platform::ui::kEventAccepted && platform::ui::Field() == field) {
        std::lock_guard lock(accepted_mutex_);
        accepted_at_.push_back(platform::MonotonicMs());
      }
    };
  }
  std::vector<int64_t> AcceptedAt() {
    std::lock_guard lock(accepted_mutex_);
    return accepted_at_;
  }

  // Known once SetUp has registered the windows.
  static platform::ui::FieldId ChooseConnectionItem() {
    return FieldOf("pexolind$pexol002", "P1$APPFRAME", "?PEXOLINDCHOOSEODBCCONNECTION");
  }
  static platform::ui::FieldId ConnectString() {
    return FieldOf("pexolind$pexol003", "P1$WINDOW", "?Glo:ConnectString");
  }

 private:
  std::mutex accepted_mutex_;
  std::vector<int64_t> accepted_at_;
};

constexpr std::string_view kConnectionTitle = "Choose an ODB Cconnection";
constexpr std::string_view kConnection = "ChooseODBCconnection";

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

// The first step closes a window that is not open: skipped without a word. The second opens
// the connection window, whose opening reads the step file too; the topic still plays its
// last step there, typing "abc" at 10 characters a second, then accepting the entry.
TEST_F(TopicPlaybackTest, AStepThatOpensTheConnectionWindowLeavesTheRestOfTheTopicToPlay) {
  StoreStep(Step(0));
  StoreStep(EventStep(1, kConnection, platform::ui::kEventCloseWindow, platform::ui::kNoField));
  StoreStep(EventStep(2, "Main", platform::ui::kEventAccepted, ChooseConnectionItem()));
  assistant::AgentFileRecord typed =
      EventStep(3, kConnection, platform::ui::kEventAccepted, ConnectString());
  typed.SPEAK = "abc";
  StoreStep(typed);
  std::vector<std::string> shown;
  std::vector<std::vector<int64_t>> accepted;
  RunProgram([&](ScriptedUser& user) {
    platform::headless::VirtualClock clock(user.runtime(), display);
    StartTopic(user, NoteConnectionAccepted(ConnectString()));
    user.WaitUntilIdle();
    const WindowHandle w = user.Window(kConnectionTitle);
    for (int step = 0; step < 4; ++step) {
      if (step > 0) clock.AdvanceMs(100);
      shown.push_back(user.ScreenText(w, ConnectString()));
      accepted.push_back(AcceptedAt());
    }
    OnCall({});
  });
  EXPECT_EQ(shown, (std::vector<std::string>{"a", "ab", "abc", "abc"}));
  // Accepted only after the third 100 ms step.
  EXPECT_EQ(accepted, (std::vector<std::vector<int64_t>>{{}, {}, {}, {300}}));
  EXPECT_EQ(Calls("ZOVStylemanagerClass.ShowMessage"), std::vector<std::string>{});
}

TEST_F(TopicPlaybackTest, AnEventStepIsReplayedInAWindowThatOpensTwoSecondsLater) {
  StoreStep(Step(0));
  assistant::AgentFileRecord typed =
      EventStep(1, kConnection, platform::ui::kEventAccepted, ConnectString());
  typed.SPEAK = "x";
  StoreStep(typed);
  std::string shown;
  RunProgram([&](ScriptedUser& user) {
    platform::headless::VirtualClock clock(user.runtime(), display);
    StartTopic(user, NoteConnectionAccepted(ConnectString()));
    clock.Advance(200);  // two seconds of the ten the step waits
    user.PressKey(Frame(user), platform::ui::kF2Key);
    const WindowHandle w = user.Window(kConnectionTitle);
    user.WaitUntilIdle();
    clock.AdvanceMs(100);
    shown = user.ScreenText(w, ConnectString());
    OnCall({});
  });
  EXPECT_EQ(shown, "x");
  EXPECT_EQ(AcceptedAt(), (std::vector<int64_t>{2100}));
  EXPECT_EQ(Calls("ZOVStylemanagerClass.ShowMessage"), std::vector<std::string>{});
}

// A stored click glides the screen cursor, the one the user moves, from where the user left
// it to the stored point, and presses and releases the left button there: the entry under
// it takes the focus, and the event follows.
TEST_F(TopicPlaybackTest, AClickIsReplayedWithTheUsersScreenCursor) {
  const platform::ui::FieldId username =
      FieldOf("pexolind$pexol003", "P1$WINDOW", "?Username");  // at (200, 46) pixels, 400 by 24
  StoreStep(Step(0));
  assistant::AgentFileRecord click =
      EventStep(1, kConnection, platform::ui::kEventSelected, username);
  // From the window's top-left corner, over its frame and caption: inside the entry.
  click.POSITIONX = 304;
  click.POSITIONY = 82;
  StoreStep(click);
  platform::region::Point cursor{};
  platform::region::Point target{};
  platform::ui::FieldId before = 0;
  platform::ui::FieldId after = 0;
  std::vector<std::string> selected;
  RunProgram([&](ScriptedUser& user) {
    platform::headless::VirtualClock clock(user.runtime(), display);
    user.PressKey(Frame(user), platform::ui::kF2Key);
    const WindowHandle w = user.Window(kConnectionTitle);
    user.WaitUntilIdle();
    before = FocusedField(user, w, kConnection);
    user.MoveCursor(5, 5);
    StartTopic(user, [&](std::string_view call) {
      if (call == "ZOVAgentClass.HandleEvent ChooseODBCconnection" &&
          platform::ui::Event() == platform::ui::kEventSelected) {
        selected.push_back(std::to_string(platform::ui::Field()));
      }
    });
    user.WaitUntilIdle();
    OnCall({});
    cursor = user.Cursor();
    target = {Program().Agent.WINDOWPOSX + 304, Program().Agent.WINDOWPOSY + 82};
    after = FocusedField(user, w, kConnection);
  });
  EXPECT_NE(before, username);
  EXPECT_EQ(cursor.x, target.x);
  EXPECT_EQ(cursor.y, target.y);
  EXPECT_EQ(after, username);
  // The click's own Selected, then the one the step posts.
  EXPECT_EQ(selected,
            (std::vector<std::string>{std::to_string(username), std::to_string(username)}));
  EXPECT_EQ(Calls("ZOVStylemanagerClass.ShowMessage"), std::vector<std::string>{});
}

// The frame closes while the topic waits for a window that never opens: the program ends at
// once, and no time-out message follows the frame.
TEST_F(TopicPlaybackTest, TheProgramEndsWhileATopicPlaysWithoutAMessageAfterTheFrame) {
  StoreStep(Step(0));
  StoreStep(
      EventStep(1, "BrowseODBCconnection", platform::ui::kEventAccepted, platform::ui::kNoField));
  StoreStep(
      EventStep(2, "BrowseODBCconnection", platform::ui::kEventAccepted, platform::ui::kNoField));
  bool frame_closed = false;
  const int code = RunProgram([&](ScriptedUser& user) {
    platform::headless::VirtualClock clock(user.runtime(), display);
    StartTopic(user);
    clock.Advance(100);
    ClearCalls();
    user.CloseBox(Frame(user));
    user.WaitUntilIdle();
    frame_closed = display.Windows().empty();
  });
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(frame_closed);
  EXPECT_EQ(Calls("ZOVStylemanagerClass.ShowMessage"), std::vector<std::string>{});
  EXPECT_EQ(Calls("ZOVAgentClass.Shutdown"), std::vector<std::string>{"ZOVAgentClass.Shutdown"});
}

}  // namespace
}  // namespace app::testing
