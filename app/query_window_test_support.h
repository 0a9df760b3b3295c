// A fixture for the query window and the query builder: the program's global objects, a
// headless display with its runtime and scripted user, and the statement object on a real
// test source (SQLite or PostgreSQL), with the option globals at their start values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/procedures.h"
#include "app/program.h"
#include "catalog/globals.h"
#include "catalog/odbc_query_testing.h"
#include "platform/testing/odbc_sources.h"
#include "platform/testing/scripted_display.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/thread.h"

namespace app {

// The table the query builder's tests choose their columns from: name and city are texts,
// age is a number. Replaces the table when it exists.
inline ::testing::AssertionResult MakePeopleTable(platform::testing::OdbcBackend backend) {
  return platform::testing::OdbcSources::Get().RunSql(
      backend, {"DROP TABLE IF EXISTS people",
                "CREATE TABLE people (name VARCHAR(40), age INTEGER, city VARCHAR(40))",
                "INSERT INTO people VALUES ('x', 4, 'Amsterdam')"});
}

class QueryWindowTest : public catalog::QueryObjectTest {
 protected:
  void SetUp() override {
    QueryObjectTest::SetUp();
    app::RegisterProcedures();
    if (HasFatalFailure()) return;
    catalog::Glo.Query = "";
    catalog::Glo.OwnerFilter = "";
    catalog::Glo.TablesOnly = 1;
    catalog::Glo.SystemTables = 0;
  }

  void TearDown() override {
    // Whatever is still open is closed by its close box, so every thread ends.
    for (const platform::headless::MirrorWindow& w : display.Windows()) {
      platform::ui::Input close;
      close.kind = platform::ui::Input::Kind::kCloseBox;
      platform::ui::PostInput(w.view.handle, close);
    }
    runtime.Join();
    QueryObjectTest::TearDown();
  }

  // The rows a list shows now, as texts per column.
  std::vector<std::vector<std::string>> Rows(platform::ui::WindowHandle w, std::string_view list) {
    auto snapshot = user.Rows(w, user.Field(w, list));
    return snapshot ? snapshot->rows : std::vector<std::vector<std::string>>{};
  }
  // The number of the row whose first column shows `text`, 0 when none does.
  int32_t RowOf(platform::ui::WindowHandle w, std::string_view list, std::string_view text) {
    const auto rows = Rows(w, list);
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!rows[i].empty() && rows[i][0] == text) return static_cast<int32_t>(i + 1);
    }
    ADD_FAILURE() << "no row " << text << " in " << list;
    return 0;
  }
  std::string Screen(platform::ui::WindowHandle w, std::string_view equate) {
    return user.ScreenText(w, user.Field(w, equate));
  }
  platform::ui::ControlView View(platform::ui::WindowHandle w, std::string_view equate) {
    return user.Control(w, user.Field(w, equate));
  }

  // Declared in the order they are built: the program's objects outlive the runtime's
  // threads, and the runtime joins them before the display goes.
  MainModule module;
  platform::testing::ScriptedDisplay display;
  platform::ui::Runtime runtime{display};
  platform::testing::ScriptedUser user{runtime, display};
};

}  // namespace app
