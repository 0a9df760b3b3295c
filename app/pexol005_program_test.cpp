// The query window in the whole program on the headless display: opened with F3 after a
// connection was chosen, on a thread of its own, twice at once; and the frame closing while
// the query builder runs nested in one of them.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/procedures.h"
#include "app/query_window_test_support.h"
#include "platform/testing/odbc_sources.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/codes.h"

namespace app {
namespace {

using platform::testing::OdbcBackend;
using platform::testing::OdbcSources;
using platform::testing::ScriptedUser;
using platform::ui::WindowHandle;

class QueryWindowProgramTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(MakePeopleTable(OdbcBackend::kSqlite));
  }

  void RegisterWindows() override { app::RegisterProcedures(); }

  static void Connect(ScriptedUser& user, WindowHandle frame) {
    user.PressKey(frame, platform::ui::kF2Key);
    const WindowHandle connection = user.Window("Choose an ODB Cconnection");
    user.Type(connection, "?Glo:ConnectString",
              OdbcSources::Get().ConnectString(OdbcBackend::kSqlite));
    user.Click(connection, "?ConnectButton");
  }
};

TEST_F(QueryWindowProgramTest, TwoQueryWindowsRunAndTheFrameClosesThemWithTheBuilderOpen) {
  std::vector<std::string> handles;
  const int exit_code = RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    Connect(user, frame);
    user.PressKey(frame, platform::ui::kF3Key);
    const WindowHandle first = user.Window("Browse an ODBC connection");
    user.PressKey(frame, platform::ui::kF3Key);
    const WindowHandle second = user.Window("Browse an ODBC connection");
    ASSERT_NE(first, 0);
    ASSERT_NE(second, first);
    EXPECT_NE(display.FindWindow(first)->view.thread, display.FindWindow(second)->view.thread);

    user.Type(first, "?Glo:Query", "SELECT name, city FROM people");
    user.Click(first, "?ExecuteQueryButton");
    const auto rows = user.Rows(first, user.Field(first, "?List"));
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->rows.size(), 1u);
    EXPECT_EQ(rows->rows[0][1], "Amsterdam");

    user.Click(second, "?QueryBuilderButton");
    const WindowHandle builder = user.Window("Query builder");
    ASSERT_NE(builder, 0);
    EXPECT_EQ(display.FindWindow(builder)->view.thread, display.FindWindow(second)->view.thread);
    // Closing the frame closes every child, the nested builder and its query window too.
    user.CloseBox(frame);
    user.WaitUntilIdle();
    EXPECT_FALSE(display.FindWindow(builder));
    EXPECT_FALSE(display.FindWindow(second));
    EXPECT_FALSE(display.FindWindow(first));
  });
  EXPECT_EQ(exit_code, 0);
  EXPECT_TRUE(display.Windows().empty());
}

}  // namespace
}  // namespace app
