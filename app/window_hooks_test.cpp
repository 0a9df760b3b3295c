// The assistant's window hooks on the program's own windows: the button on a window whose
// procedure has a topic, the four keys, and the open windows' threads.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/program.h"
#include "assistant/agent_files.h"
#include "assistant/agent_files_test_support.h"
#include "platform/files/file.h"
#include "platform/files/keyed/file_system.h"
#include "platform/ui/codes.h"
#include "platform/ui/prop.h"
#include "platform/ui/thread.h"

namespace app::testing {
namespace {

using platform::testing::ScriptedUser;
using platform::ui::ControlType;
using platform::ui::FieldId;
using platform::ui::Prop;
using platform::ui::WindowHandle;

constexpr std::string_view kConnectionTitle = "Choose an ODB Cconnection";
constexpr std::string_view kConnection = "ChooseODBCconnection";

int32_t P(Prop p) { return static_cast<int32_t>(p); }

class WindowHooksTest : public ProgramTest {
 protected:
  // A topic's header record (step 0) for `procedure`, in the step file of the current
  // directory.
  void StoreTopic(std::string_view procedure) {
    assistant::AgentFileRecord header;
    header.PROCEDURENAME = procedure;
    header.ONDERWERP = "Kiezen";
    header.STEP = 0;
    assistant::testing::StoreAgentStep(header);
  }
  void StoreSetting(std::string_view setting, std::string_view value) {
    assistant::testing::StoreAgentSetting(setting, value);
  }
  WindowHandle OpenConnectionWindow(ScriptedUser& user) {
    user.PressKey(Frame(user), platform::ui::kF2Key);
    return user.Window(kConnectionTitle);
  }
  // The assistant buttons of window `w`: its buttons with the assistant's icon.
  std::vector<platform::ui::ControlView> AssistantButtons(WindowHandle w) {
    std::vector<platform::ui::ControlView> out;
    const auto window = display.FindWindow(w);
    if (!window) return out;
    for (const auto& [field, c] : window->controls) {
      if (c.type != ControlType::kButton) continue;
      const auto icon = c.properties.find({P(Prop::Icon), 0});
      if (icon != c.properties.end() && icon->second == "~ExtAgentButton.ico") out.push_back(c);
    }
    return out;
  }
  int32_t ProcedureThread(std::string_view procedure) {
    auto& q = *Program().Agent.PROCEDURETHREADQUEUE;
    q.buffer.PROCEDURENAME = procedure;
    if (!q.GetByKey({q.Asc(&assistant::ProcedureThreadRecord::PROCEDURENAME)})) return -1;
    return q.buffer.THREAD;
  }
};

TEST_F(WindowHooksTest, OnlyAWindowWhoseProcedureHasATopicGetsTheButton) {
  StoreTopic(kConnection);
  std::vector<platform::ui::ControlView> frame_buttons;
  std::vector<platform::ui::ControlView> buttons;
  int32_t width = 0;
  FieldId last_declared = 0;
  RunProgram([&](ScriptedUser& user) {
    frame_buttons = AssistantButtons(Frame(user));
    const WindowHandle w = OpenConnectionWindow(user);
    user.WaitUntilIdle();
    buttons = AssistantButtons(w);
    width = display.FindWindow(w)->view.at.width;
    last_declared = user.Field(w, "?ConnectButton");
  });
  EXPECT_TRUE(frame_buttons.empty());  // Main has no topic
  ASSERT_EQ(buttons.size(), 1u);
  const platform::ui::ControlView& b = buttons[0];
  EXPECT_EQ(b.field, last_declared + 1);
  EXPECT_EQ(b.at.x, width - 12);
  EXPECT_EQ(b.at.y, 0);
  EXPECT_EQ(b.at.width, 10);
  EXPECT_EQ(b.at.height, 10);
  EXPECT_EQ(b.text, "");
  EXPECT_TRUE(b.visible);
  auto prop = [&](Prop p) {
    const auto it = b.properties.find({P(p), 0});
    return it == b.properties.end() ? std::string("(none)") : it->second;
  };
  EXPECT_EQ(prop(Prop::Tip), "Open de Assistent (F12)");
  EXPECT_EQ(prop(Prop::Msg), "Open de Assistent (F12)");
  EXPECT_EQ(prop(Prop::Skip), "1");
  EXPECT_EQ(prop(Prop::Flat), "1");
  EXPECT_EQ(prop(Prop::Scroll), "1");
}

TEST_F(WindowHooksTest, ATopicAddedLaterGivesTheNextWindowItsButton) {
  std::vector<size_t> counts;
  RunProgram([&](ScriptedUser& user) {
    WindowHandle w = OpenConnectionWindow(user);
    counts.push_back(AssistantButtons(w).size());
    user.CloseBox(w);
    user.WaitUntilIdle();
    StoreTopic(kConnection);
    w = OpenConnectionWindow(user);
    user.WaitUntilIdle();
    counts.push_back(AssistantButtons(w).size());
  });
  EXPECT_EQ(counts, (std::vector<size_t>{0, 1}));
}

TEST_F(WindowHooksTest, UseExtAgentButtonZeroGivesNoButton) {
  StoreTopic(kConnection);
  StoreSetting("UseExtAgentButton", "0");
  size_t count = 99;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    user.WaitUntilIdle();
    count = AssistantButtons(w).size();
  });
  EXPECT_EQ(count, 0u);
}

TEST_F(WindowHooksTest, TheButtonStaysTopRightAfterAResizeAndDoesWhatF12Does) {
  StoreTopic(kConnection);
  std::optional<platform::ui::ControlView> after;
  int32_t width = 0;
  std::string procedure;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    user.WaitUntilIdle();
    platform::ui::RectDu at = display.FindWindow(w)->view.at;
    at.width += 40;
    at.height += 20;
    platform::ui::Input sized;
    sized.kind = platform::ui::Input::Kind::kSized;
    sized.at = at;
    platform::ui::PostInput(w, sized);
    user.WaitUntilIdle();
    width = at.width;
    const auto buttons = AssistantButtons(w);
    if (!buttons.empty()) after = buttons[0];
    ClearCalls();
    if (after) user.Click(w, after->field);
    user.WaitUntilIdle();
    procedure = Program().Agent.PROCEDURENAME.str();
  });
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(after->at.x, width - 12);
  EXPECT_EQ(after->at.y, 0);
  EXPECT_EQ(Calls("ZOVAgentClass.ChooseSubject"),
            (std::vector<std::string>{"ZOVAgentClass.ChooseSubject 0"}));
  EXPECT_EQ(procedure, kConnection);
}

TEST_F(WindowHooksTest, TheFourKeysCallTheirWindowsAfterNamingTheProcedure) {
  using platform::ui::kCtrl;
  using platform::ui::kShift;
  struct Case {
    platform::ui::KeyCode key;
    std::string_view call;
  };
  const Case kCases[] = {
      {kCtrl | platform::ui::kF10Key, "ZOVAgentClass.Train"},
      {kCtrl | platform::ui::kF11Key, "ZOVAgentClass.Train"},
      {platform::ui::kF12Key, "ZOVAgentClass.ChooseSubject 0"},
      {kShift | platform::ui::kF12Key, "ZOVAgentClass.OpenPlayControl"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.call);
    std::string procedure;
    RunProgram([&](ScriptedUser& user) {
      const WindowHandle w = OpenConnectionWindow(user);
      user.WaitUntilIdle();
      ClearCalls();
      user.PressKey(w, c.key);
      user.WaitUntilIdle();
      procedure = Program().Agent.PROCEDURENAME.str();
    });
    std::vector<std::string> acted;
    for (const std::string& call : Calls("ZOVAgentClass.")) {
      if (call == "ZOVAgentClass.Train" || call.starts_with("ZOVAgentClass.ChooseSubject") ||
          call == "ZOVAgentClass.OpenPlayControl") {
        acted.push_back(call);
      }
    }
    EXPECT_EQ(acted, (std::vector<std::string>{std::string(c.call)}));
    EXPECT_EQ(procedure, kConnection);
    ClearCalls();
  }
}

TEST_F(WindowHooksTest, TheThreadOfAProcedureFollowsItsWindow) {
  int32_t open_thread = -1;
  int32_t window_thread = -2;
  int32_t closed_thread = -1;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    user.WaitUntilIdle();
    window_thread = display.FindWindow(w)->view.thread;
    open_thread = ProcedureThread(kConnection);
    user.CloseBox(w);
    user.WaitUntilIdle();
    closed_thread = ProcedureThread(kConnection);
  });
  EXPECT_EQ(open_thread, window_thread);
  EXPECT_NE(open_thread, 1);
  EXPECT_EQ(closed_thread, 0);
}

}  // namespace
}  // namespace app::testing
