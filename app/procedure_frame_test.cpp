// The life of one window procedure through the frame: the restyle object's say on the start,
// the order of Open, the registration of the window and its controls, the per-event order,
// the assistant's hooks, the procedure name pushed and restored, and Close once only.
#include "app/procedure_frame.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/program.h"
#include "platform/core/call_trace.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace app::testing {
namespace {

using namespace platform::ui;
using platform::TraceCall;
using platform::testing::ScriptedUser;

constexpr ControlDecl kControls[] = {
    Entry("?Value", {4, 4, 100, 10}),
    Button("?GoButton", "&Go", {4, 20, 40, 14}),
    List("?Rows", {4, 40, 100, 40}).From("one|two"),
};
constexpr WindowStructure kWindow{"test$frame", "P1$WINDOW",      WindowKind::kPlain,
                                  "Frame test", {0, 0, 120, 100}, kControls,
                                  {},           kAttrNone,        {kF12Key}};
constexpr FieldId kGoButton = kWindow.Equate("?GoButton");

class TestWindow final : public ProcedureWindow {
 public:
  explicit TestWindow(Window& window) : ProcedureWindow(window, "TestProc", kGoButton) {}

  WindowAnswer HandleAccepted() override {
    TraceCall("HandleAccepted " + std::to_string(Accepted()));
    return BaseWindow::HandleAccepted();
  }

 protected:
  void SetUpBeforeAssistant() override { TraceCall("SetUpBeforeAssistant"); }
  void SetUp() override { TraceCall("SetUp"); }
};

void TestProcedure() {
  Program().ErrorManager.TrackProcedureName("Outer");
  Window window(kWindow);
  TestWindow object(window);
  TraceCall("Run answered " + std::to_string(RunWithRestyle(object)));
  TraceCall("second Close answered " + std::to_string(object.Close()));
  TraceCall("name " + Program().ErrorManager.procedure_name());
}

class ProcedureFrameTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // The procedure name as the error manager has it on the window's thread, at the moments
    // the restyle object is attached and destroyed.
    OnCall([this](std::string_view call) {
      if (call == "ZOVRestyleClass.SetWindow 1" || call.starts_with("ZOVRestyleClass.Destruct")) {
        std::lock_guard lock(names_mutex_);
        names_.push_back(Program().ErrorManager.procedure_name());
      }
    });
  }

  std::vector<std::string> names() {
    std::lock_guard lock(names_mutex_);
    return names_;
  }

 private:
  std::mutex names_mutex_;
  std::vector<std::string> names_;
};

// The calls of the procedure's life, without the main module's construction and destruction
// and without the effects the styling pass calls.
std::vector<std::string> WithoutModule(std::vector<std::string> calls) {
  std::erase_if(calls, [](const std::string& c) {
    for (const std::string_view effect :
         {"ZOVRestyleClass.ApplyMenuTree", "ZOVRestyleClass.PlaceImages",
          "ZOVRestyleClass.ResizeControl", "ZOVRestyleClass.MarkControl"}) {
      if (c.starts_with(effect)) return true;
    }
    return (c.ends_with("Class.Construct") && !c.starts_with("ZOVRestyleClass")) ||
           c.ends_with("Class.Destruct");
  });
  return calls;
}

// Every call of the assistant's event hook is followed at once by the restyle object's.
void ExpectAssistantBeforeRestyle(const std::vector<std::string>& calls) {
  size_t hooks = 0;
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i] != "ZOVAgentClass.HandleEvent TestProc") continue;
    ++hooks;
    ASSERT_LT(i + 1, calls.size());
    EXPECT_EQ(calls[i + 1], "ZOVRestyleClass.HandleEvent") << "after call " << i;
  }
  EXPECT_GT(hooks, 0u);
}

TEST_F(ProcedureFrameTest, OpenRegistersAndTellsInOrderAndCloseRunsOnce) {
  RunOnThread1(TestProcedure, [](ScriptedUser& user) {
    const WindowHandle w = user.Window("Frame test");
    user.Click(w, kGoButton);
    user.PressKey(w, kF12Key);
    user.CloseBox(w);
  });
  const std::vector<std::string> calls = WithoutModule(Calls());
  ASSERT_GE(calls.size(), 12u);
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 12),
            (std::vector<std::string>{
                "ZOVRestyleClass.Construct",
                "ZOVRestyleClass.Init TestProc",
                "ZOVRestyleClass.AddControl 0 0 Window Window",
                "ZOVRestyleClass.AddControl 1 0 ?Value ?Value",
                // A button is described by its text.
                "ZOVRestyleClass.AddControl 2 0 ?GoButton &Go",
                "ZOVRestyleClass.AddControl 3 0 ?Rows ?Rows",
                "ZOVRestyleClass.SetWindow 1",
                "SetUpBeforeAssistant",
                "ZOVAgentClass.ProcedureOpened TestProc",
                // Without the main program nobody opened the assistant's files before.
                "ZOVAgentClass.Init",
                "SetUp",
                "ZOVAgentClass.HandleEvent TestProc",
            }));
  ExpectAssistantBeforeRestyle(calls);
  // The button's event: the assistant, the restyle object, then the window's own handling.
  const auto accepted = std::find(calls.begin(), calls.end(), "HandleAccepted 2");
  ASSERT_NE(accepted, calls.end());
  EXPECT_EQ(*(accepted - 1), "ZOVRestyleClass.HandleEvent");
  EXPECT_EQ(*(accepted - 2), "ZOVAgentClass.HandleEvent TestProc");
  EXPECT_EQ(Calls("ZOVAgentClass.HandleAlertKey"),
            (std::vector<std::string>{"ZOVAgentClass.HandleAlertKey TestProc"}));
  EXPECT_EQ(std::vector<std::string>(calls.end() - 5, calls.end()),
            (std::vector<std::string>{
                "ZOVAgentClass.ProcedureClosed TestProc",
                "ZOVRestyleClass.Destruct TestProc",
                "Run answered 0",
                // The procedure is already closed: the second Close does nothing.
                "second Close answered 5",
                "name Outer",
            }));
  EXPECT_EQ(names(), (std::vector<std::string>{"TestProc", "Outer"}));
}

TEST_F(ProcedureFrameTest, RestyleRefusingTheStartEndsItWithoutOpeningTheWindow) {
  Answer("ZOVRestyleClass.Init TestProc", 1);
  bool window_seen = true;
  RunOnThread1(TestProcedure, [&](ScriptedUser& user) {
    user.WaitUntilIdle();
    window_seen = display.FindWindow("Frame test").has_value();
  });
  EXPECT_FALSE(window_seen);
  EXPECT_EQ(WithoutModule(Calls()), (std::vector<std::string>{
                                        "ZOVRestyleClass.Construct",
                                        "ZOVRestyleClass.Init TestProc",
                                        "ZOVRestyleClass.Destruct TestProc",
                                        "Run answered 5",
                                        "second Close answered 5",
                                        "name Outer",
                                    }));
}

TEST_F(ProcedureFrameTest, AnEventTheRestyleObjectConsumesNeverReachesTheWindow) {
  bool open_after_consumed_close = false;
  RunOnThread1(TestProcedure, [&](ScriptedUser& user) {
    const WindowHandle w = user.Window("Frame test");
    Answer("ZOVRestyleClass.HandleEvent", 1);
    user.Click(w, kGoButton);
    user.CloseBox(w);
    open_after_consumed_close = display.FindWindow("Frame test").has_value();
    Answer("ZOVRestyleClass.HandleEvent", 0);
    user.CloseBox(w);
  });
  EXPECT_TRUE(open_after_consumed_close);
  EXPECT_TRUE(Calls("HandleAccepted").empty());
  // Only the close that went through reached the assistant's window-closed hook.
  EXPECT_EQ(Calls("ZOVAgentClass.ProcedureClosed"),
            (std::vector<std::string>{"ZOVAgentClass.ProcedureClosed TestProc"}));
}

TEST_F(ProcedureFrameTest, TheRestyleObjectStartsWithTheProceduresInitialValues) {
  std::vector<int64_t> at_init;
  OnCall([&](std::string_view call) {
    if (call != "ZOVRestyleClass.Init TestProc") return;
    const restyle::ZOVRestyleClass* r = TEST_RunningRestyle();
    ASSERT_NE(r, nullptr);
    at_init = {r->MENUTREEITEMHEIGHT,
               r->MENUTREEITEMCOLOR,
               r->MENUTREEITEMBACKGROUNDCOLOR,
               r->MENUTREEITEMSELECTEDCOLOR,
               r->MENUTREEITEMSELECTEDBACKGROUND,
               r->EXPANDMENUTREEAUTOMATICALLY};
  });
  RunOnThread1(TestProcedure, [](ScriptedUser& user) { user.CloseBox(user.Window("Frame test")); });
  // Height 8; button text, no colour, highlight text and active caption as system colours;
  // only the frame expands its tree menu.
  EXPECT_EQ(at_init, (std::vector<int64_t>{8, 0x80000012, -1, 0x8000000E, 0x80000002, 0}));
}

}  // namespace
}  // namespace app::testing
