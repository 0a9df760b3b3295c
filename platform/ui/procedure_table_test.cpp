#include "platform/ui/procedure_table.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/window_test.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    Button("?CloseButton", "&Close", {4, 4, 40, 14}).Std(StdAction::kClose),
};
constexpr WindowStructure kTableWindow{"test$table",   "P1$WINDOW",     WindowKind::kPlain,
                                       "Table window", {0, 0, 100, 40}, kControls};

std::vector<std::string>* g_log = nullptr;
void First() { g_log->push_back("first"); }
void Second() { g_log->push_back("second"); }

class ProcedureTableTest : public WindowTest {};

TEST_F(ProcedureTableTest, FindsByNameInAnyCaseAndAStandInReplacesTheProcedureInPlace) {
  RegisterProcedure("TestFirstProcedure", First, {&kTableWindow});
  RegisterProcedure("TestSecondProcedure", Second);
  EXPECT_EQ(FindWindowStructure("TEST$TABLE", "p1$window"), &kTableWindow);
  const std::vector<const WindowStructure*> listed = WindowStructures();
  EXPECT_NE(std::find(listed.begin(), listed.end(), &kTableWindow), listed.end());
  std::vector<std::string> log;
  g_log = &log;
  FindProcedure("testfirstprocedure")();
  RegisterProcedure("TESTFIRSTPROCEDURE", Second);  // a stand-in under the same name
  FindProcedure("TestFirstProcedure")();
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
  EXPECT_FALSE(FindProcedure("NoSuchProcedure"));

  // Names keep the order and spelling of their first registration.
  const std::vector<std::string> names = ProcedureNames();
  const auto first = std::find(names.begin(), names.end(), "TestFirstProcedure");
  ASSERT_NE(first, names.end());
  ASSERT_NE(first + 1, names.end());
  EXPECT_EQ(*(first + 1), "TestSecondProcedure");
  g_log = nullptr;
}

TEST_F(ProcedureTableTest, StartByNameRunsTheProcedureOnANewThreadAndAnUnknownNameStartsNone) {
  bool ended = false;  // under the runtime lock
  RegisterProcedure("TestTableWindow", [&ended] {
    Window window(kTableWindow);
    window.Open();
    while (window.Accept()) {
    }
    ended = true;
  });
  runtime.StartMain([&] {
    log.Add("unknown " + std::to_string(StartProcedure("NoSuchProcedure")));
    log.Add(StartProcedure("testtablewindow") > 1 ? "started" : "not started");
    // The program goes on until the started procedure has ended.
    PollUntil([&] { return ended; }, kPollForever);
  });
  user.WaitUntilIdle();
  ASSERT_TRUE(display.FindWindow("Table window"));
  user.Click(user.Window("Table window"), "?CloseButton");
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"unknown 0", "started"}));
}

}  // namespace
}  // namespace platform::ui
