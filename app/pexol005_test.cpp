// The query window driven by the scripted user on the SQLite and PostgreSQL sources: the
// automatic SELECT, execution with its record limit, the result's headers and sorting, a
// failing statement, and the export file with its overwrite question.
#include "app/pexol005.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/procedures.h"
#include "app/query_window_test_support.h"
#include "assistant/agent_files.h"
#include "platform/core/call_trace.h"
#include "platform/core/message.h"
#include "platform/files/file_test_support.h"
#include "platform/testing/odbc_sources.h"
#include "platform/ui/codes.h"
#include "platform/ui/statements.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using platform::testing::kOdbcBackends;
using platform::testing::OdbcBackendParamName;
using platform::ui::WindowHandle;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A line of the export file: these fields and empty ones up to 25, each quoted, then CR LF.
std::string ExportLine(std::vector<std::string> fields) {
  fields.resize(kResultFields);
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i > 0 ? ";\"" : "\"") + fields[i] + "\"";
  return line + "\r\n";
}

class BrowseWindowTest : public QueryWindowTest {
 protected:
  void SetUp() override {
    QueryWindowTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(RunSql({
        "DROP TABLE IF EXISTS pets",
        "DROP TABLE IF EXISTS numbers",
        "CREATE TABLE pets (id INTEGER, name VARCHAR(40), kind VARCHAR(40))",
        "INSERT INTO pets VALUES (1, 'Rex', 'dog')",
        "INSERT INTO pets VALUES (2, 'Tom', 'cat')",
        "INSERT INTO pets VALUES (10, 'Ann', 'say \"hi\"; bye')",
        "INSERT INTO pets VALUES (3, '  Bo', NULL)",
        "CREATE TABLE numbers (n INTEGER)",
        "INSERT INTO numbers (n) WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
        "WHERE x < 600) SELECT x FROM c",
    }));
    dir_ = fs::temp_directory_path() / ("pex_query_window_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    QueryWindowTest::TearDown();
    fs::remove_all(dir_);
  }

  WindowHandle Open() {
    runtime.StartMain(BrowseODBCconnection);
    w = user.Window("Browse an ODBC connection");
    return w;
  }
  void Execute(std::string_view sql, int32_t limit = 500) {
    user.Type(w, "?Glo:Query", sql);
    user.Type(w, "?Loc:LimitNumberOfRecords", std::to_string(limit));
    user.Click(w, "?ExecuteQueryButton");
  }
  std::vector<std::string> Headers() {
    std::vector<std::string> out;
    for (const auto& c : View(w, "?List").columns) out.push_back(c.header);
    return out;
  }
  std::vector<std::string> Column(size_t c) {
    std::vector<std::string> out;
    for (const auto& row : Rows(w, "?List")) out.push_back(row.at(c - 1));
    return out;
  }
  void Export(const fs::path& file) {
    user.Type(w, "?Loc:ExportFilename", file.string());
    user.Click(w, "?ExportResultsButton");
  }

  WindowHandle w = 0;
  fs::path dir_;
};

TEST_P(BrowseWindowTest, OpensWithThePromptTextAndTheFirstTablesColumns) {
  std::vector<std::string> calls;
  platform::TEST_ScopedCallObserver observer([&](std::string_view call) {
    // The window's own set-up runs after the assistant was told it opened.
    if (call == "ZOVAgentClass.ProcedureOpened BrowseODBCconnection") {
      calls.push_back(std::string(call) + " with query '" + std::string(catalog::Glo.Query.view()) +
                      "'");
    }
    return 0;
  });
  Open();
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "ZOVAgentClass.ProcedureOpened BrowseODBCconnection with query ''"}));
  EXPECT_EQ(Screen(w, "?Glo:Query"), "Enter your query here...");
  // The tables in the driver's order; the columns are the first table's.
  const auto tables = Rows(w, "?TableList");
  ASSERT_GE(tables.size(), 2u);
  EXPECT_GT(RowOf(w, "?TableList", "numbers"), 0);
  EXPECT_GT(RowOf(w, "?TableList", "pets"), 0);
  EXPECT_EQ(Screen(w, "?Tablename"), tables[0][0]);
  // Tables of the other tests may come first.
  const std::map<std::string, size_t> columns{{"numbers", 1}, {"pets", 3}, {"people", 3}};
  ASSERT_TRUE(columns.contains(tables[0][0])) << tables[0][0];
  EXPECT_EQ(Rows(w, "?ColumnList").size(), columns.at(tables[0][0]));
  EXPECT_EQ(Screen(w, "?RecordCountString"), "");  // a string shows its text, "----"
  EXPECT_EQ(View(w, "?RecordCountString").text, "----");
}

TEST_P(BrowseWindowTest, AutomaticSelectFollowsTheMarkedColumns) {
  Open();
  user.SelectRow(w, user.Field(w, "?TableList"), RowOf(w, "?TableList", "pets"));
  EXPECT_EQ(Screen(w, "?Glo:Query"), "SELECT * FROM pets");
  EXPECT_EQ(Rows(w, "?ColumnList"),
            (std::vector<std::vector<std::string>>{{"id"}, {"name"}, {"kind"}}));

  const platform::ui::FieldId columns = user.Field(w, "?ColumnList");
  user.SelectRow(w, columns, 2);
  EXPECT_EQ(Screen(w, "?Glo:Query"), "SELECT name FROM pets");
  // The entry bound to the column buffer shows the chosen column, not the last one read.
  EXPECT_EQ(Screen(w, "?ColumnName"), "name");

  platform::ui::Input ctrl_click;
  ctrl_click.kind = platform::ui::Input::Kind::kSelectRow;
  ctrl_click.field = columns;
  ctrl_click.row = 3;
  ctrl_click.column = 1;
  ctrl_click.key = platform::ui::kMouseLeft + platform::ui::kCtrl;
  platform::ui::PostInput(w, ctrl_click);
  user.WaitUntilIdle();
  EXPECT_EQ(Screen(w, "?Glo:Query"), "SELECT name,kind FROM pets");
  EXPECT_EQ(Screen(w, "?ColumnName"), "kind");

  // Unticked, the typed SQL stays whatever is chosen.
  user.Click(w, "?Loc:BuildQuery");
  user.Type(w, "?Glo:Query", "SELECT 1");
  user.SelectRow(w, columns, 1);
  user.SelectRow(w, user.Field(w, "?TableList"), RowOf(w, "?TableList", "numbers"));
  EXPECT_EQ(Screen(w, "?Glo:Query"), "SELECT 1");
}

TEST_P(BrowseWindowTest, TheOptionsReadTheTablesAgain) {
  Open();
  ASSERT_GE(Rows(w, "?TableList").size(), 2u);
  user.Click(w, "?OptionsTab");
  // No table of the test sources has this owner; accepting the filter reads them again.
  user.Type(w, "?Glo:OwnerFilter", "nobody");
  user.Click(w, "?Glo:TablesOnly");
  EXPECT_EQ(catalog::Glo.OwnerFilter, "nobody");
  EXPECT_EQ(catalog::Glo.TablesOnly, 0);
  EXPECT_TRUE(Rows(w, "?TableList").empty());
  // Without a first table the columns are not read again.
  EXPECT_FALSE(Rows(w, "?ColumnList").empty());
  user.Type(w, "?Glo:OwnerFilter", "");
  user.Click(w, "?RegetButton");
  EXPECT_GT(RowOf(w, "?TableList", "pets"), 0);
  user.Click(w, "?Glo:TablesOnly");
}

TEST_P(BrowseWindowTest, EachOptionReadsTheTablesAgain) {
  Open();
  user.Click(w, "?OptionsTab");
  auto shows = [&](std::string_view table) {
    for (const auto& row : Rows(w, "?TableList")) {
      if (!row.empty() && row[0] == table) return true;
    }
    return false;
  };
  // Each control is used once a table was created behind the window's back; names sort
  // after the tables the other tests expect first.
  struct Case {
    std::string_view control;
    std::string table;
  };
  const Case kCases[] = {{"?Glo:SystemTables", "zz_after_system_tables"},
                         {"?Glo:TablesOnly", "zz_after_tables_only"},
                         {"?RegetButton", "zz_after_reget"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.control);
    ASSERT_TRUE(sources().RunSql(
        backend(), std::vector<std::string>{"DROP TABLE IF EXISTS " + c.table,
                                            "CREATE TABLE " + c.table + " (n INTEGER)"}));
    ASSERT_FALSE(shows(c.table));
    user.Click(w, c.control);
    EXPECT_TRUE(shows(c.table));
  }
  EXPECT_EQ(catalog::Glo.SystemTables, 1);
  EXPECT_EQ(catalog::Glo.TablesOnly, 0);
  std::vector<std::string> drop;
  for (const Case& c : kCases) drop.push_back("DROP TABLE " + c.table);
  EXPECT_TRUE(sources().RunSql(backend(), drop));
}

TEST_P(BrowseWindowTest, TheLimitCountsTheHeaderRow) {
  Open();
  struct Case {
    int32_t limit;
    size_t rows;
  };
  for (const Case& c : {Case{1, 0}, Case{10, 9}, Case{500, 499}, Case{700, 600}}) {
    SCOPED_TRACE(c.limit);
    Execute("SELECT n FROM numbers ORDER BY n", c.limit);
    EXPECT_EQ(Rows(w, "?List").size(), c.rows);
    EXPECT_EQ(Screen(w, "?RecordCountString"), "");
    EXPECT_EQ(View(w, "?RecordCountString").text, std::to_string(c.rows));
    EXPECT_EQ(View(w, "?Sheet").selected, 2);  // the Results tab
    EXPECT_FALSE(View(w, "?ExecutingQueryString").enabled);
  }
  EXPECT_EQ(display.CursorOf(1), platform::ui::Cursor::kNormal);
}

TEST_P(BrowseWindowTest, HeadersAreTheResultsColumnNamesAndANarrowerResultClearsTheRest) {
  Open();
  Execute("SELECT id, name, kind FROM pets ORDER BY id");
  std::vector<std::string> expected(25, "");
  expected[0] = "id";
  expected[1] = "name";
  expected[2] = "kind";
  EXPECT_EQ(Headers(), expected);
  EXPECT_EQ(Rows(w, "?List").at(0).at(1), "Rex");

  Execute("SELECT name FROM pets");
  expected[0] = "name";
  expected[1] = "";
  expected[2] = "";
  EXPECT_EQ(Headers(), expected);

  // 30 columns: the first 25 show.
  std::string sql = "SELECT ";
  for (int i = 1; i <= 30; ++i) sql += (i > 1 ? ", " : "") + ("id AS c" + std::to_string(i));
  Execute(sql + " FROM pets");
  EXPECT_EQ(Headers().front(), "c1");
  EXPECT_EQ(Headers().back(), "c25");
  EXPECT_EQ(Rows(w, "?List").at(0).size(), 25u);
}

TEST_P(BrowseWindowTest, AFailingStatementShowsItsMessageAndNoRecords) {
  Open();
  Execute("SELECT id, name FROM pets");
  ASSERT_EQ(Rows(w, "?List").size(), 4u);
  display.dialogs().ExpectMessage("Error:", platform::kButtonOk);
  Execute("SELECT * FROM no_such_table");
  EXPECT_EQ(display.dialogs().pending(), 0u);
  EXPECT_TRUE(Rows(w, "?List").empty());
  EXPECT_EQ(View(w, "?RecordCountString").text, "0");
  // The headers of the last result stay.
  EXPECT_EQ(Headers()[0], "id");
  EXPECT_EQ(Headers()[1], "name");
  // An empty result exports nothing, not even the question.
  const fs::path file = dir_ / "empty.csv";
  Export(file);
  EXPECT_FALSE(fs::exists(file));
}

TEST_P(BrowseWindowTest, AHeaderClickSortsByThatColumnsText) {
  Open();
  Execute("SELECT id, name, id, id, id, id, id, id, id, id, id, kind FROM pets ORDER BY name");
  const platform::ui::FieldId list = user.Field(w, "?List");
  user.ClickHeader(w, list, 1);
  // The fields are texts, so the numbers sort as texts do.
  EXPECT_EQ(Column(1), (std::vector<std::string>{"1", "10", "2", "3"}));
  user.ClickHeader(w, list, 2);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"  Bo", "Ann", "Rex", "Tom"}));
  user.ClickHeader(w, list, 12);
  EXPECT_EQ(Column(12), (std::vector<std::string>{"", "cat", "dog", "say \"hi\"; bye"}));
  // A press on a data row sorts nothing.
  user.ClickHeader(w, list, 2);
  user.SelectRow(w, list, 3, 1);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"  Bo", "Ann", "Rex", "Tom"}));
}

TEST_P(BrowseWindowTest, AHeaderDoubleClickSortsAsAClickDoes) {
  Open();
  const platform::ui::FieldId list = user.Field(w, "?List");
  struct Case {
    std::string_view name;
    std::function<void(int32_t column)> press;
  };
  const Case kCases[] = {
      {"click", [&](int32_t column) { user.ClickHeader(w, list, column); }},
      // Row 0 is the header; the double click ends with the release, as a click does.
      {"double click", [&](int32_t column) { user.DoubleClickRow(w, list, 0, column); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Execute("SELECT id, name FROM pets ORDER BY id DESC");
    ASSERT_EQ(Column(1), (std::vector<std::string>{"10", "3", "2", "1"}));
    c.press(1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"1", "10", "2", "3"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"Rex", "Ann", "Tom", "  Bo"}));
  }
}

TEST_P(BrowseWindowTest, ExportWritesTheGoldenFile) {
  Open();
  Execute("SELECT id, name, kind FROM pets ORDER BY id");
  const fs::path file = dir_ / "pets.csv";
  Export(file);
  EXPECT_EQ(ReadFile(file), ReadFile(fs::path(PEX_APP_TESTDATA) / "query_export_golden.csv"));
  // The header row went again: the result is as it was.
  EXPECT_EQ(Rows(w, "?List").size(), 4u);
  EXPECT_EQ(Rows(w, "?List").at(0).at(0), "1");
  EXPECT_EQ(display.CursorOf(1), platform::ui::Cursor::kNormal);
}

TEST_P(BrowseWindowTest, AnExportAfterANarrowerResultHasNoHeadersOfTheWiderOne) {
  Open();
  std::string thirty = "SELECT ";
  for (int i = 1; i <= 30; ++i) thirty += (i > 1 ? ", " : "") + ("id AS c" + std::to_string(i));
  struct Case {
    std::string_view name;
    std::string wider;
    std::string narrower;
    std::string exported;
  };
  const Case kCases[] = {
      {"3 columns, then 1", "SELECT id, name, kind FROM pets", "SELECT name FROM pets WHERE id = 1",
       ExportLine({"name"}) + ExportLine({"Rex"})},
      {"30 columns, then 2", thirty + " FROM pets", "SELECT kind, id FROM pets WHERE id = 2",
       ExportLine({"kind", "id"}) + ExportLine({"cat", "2"})},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Execute(c.wider);
    Execute(c.narrower);
    const fs::path file = dir_ / (std::string(c.name) + ".csv");
    Export(file);
    EXPECT_EQ(ReadFile(file), c.exported);
  }
}

TEST_P(BrowseWindowTest, AnEmptyResultLeavesAnExistingFileWithoutAsking) {
  Open();
  struct Case {
    std::string_view name;
    std::string_view sql;  // empty: no query ran yet
    bool fails;
    bool bare_name;  // the entry holds the name alone
  };
  const Case kCases[] = {
      {"before any query", "", false, false},
      {"a result without rows", "SELECT name FROM pets WHERE id = 99", false, false},
      {"a failed statement", "SELECT * FROM no_such_table", true, false},
      {"a bare name", "SELECT name FROM pets WHERE id = 99", false, true},
  };
  const fs::path file = dir_ / "Result.csv";
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.fails) display.dialogs().ExpectMessage("Error:", platform::kButtonOk);
    if (!c.sql.empty()) Execute(c.sql);
    ASSERT_TRUE(Rows(w, "?List").empty());
    std::ofstream(file, std::ios::binary) << "old";
    const size_t messages = display.dialogs().seen().size();
    if (c.bare_name) {
      user.Type(w, "?Loc:ExportFilename", "Result.csv");
      const fs::path before = fs::current_path();
      fs::current_path(dir_);
      user.Click(w, "?ExportResultsButton");
      fs::current_path(before);
    } else {
      Export(file);
    }
    // No question, and the file is as it was; a bare name still became the full path.
    EXPECT_EQ(display.dialogs().seen().size(), messages);
    EXPECT_EQ(ReadFile(file), "old");
    EXPECT_EQ(Screen(w, "?Loc:ExportFilename"), file.string());
  }
}

TEST_P(BrowseWindowTest, OnlyYesReplacesAnExistingFile) {
  Open();
  Execute("SELECT name FROM pets WHERE id = 1");
  const fs::path file = dir_ / "existing.csv";
  const std::string replaced = "\"name\"" + [] {
    std::string rest;
    for (int i = 0; i < 24; ++i) rest += ";\"\"";
    return rest;
  }();
  struct Case {
    std::string_view name;
    int32_t answer;
    bool replaces;
  };
  for (const Case& c : {Case{"No", platform::kButtonNo, false}, Case{"closed", 0, false},
                        Case{"Yes", platform::kButtonYes, true}}) {
    SCOPED_TRACE(c.name);
    std::ofstream(file, std::ios::binary) << "old";
    display.dialogs().ExpectMessage(
        "There is already a export file|" + file.string() + "|do you want to overwrite?", c.answer);
    Export(file);
    EXPECT_EQ(display.dialogs().pending(), 0u);
    const std::vector<platform::MessageRequest> seen = display.dialogs().seen();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().caption, "");
    EXPECT_EQ(seen.back().icon, platform::kIconQuestion);
    EXPECT_EQ(seen.back().button_mask, platform::kButtonYes | platform::kButtonNo);
    const std::string content = ReadFile(file);
    EXPECT_EQ(content, c.replaces ? replaced + "\r\n\"Rex\"" + replaced.substr(6) + "\r\n" : "old");
  }
}

TEST_P(BrowseWindowTest, ABareNameIsExportedInTheCurrentDirectory) {
  Open();
  Execute("SELECT name FROM pets WHERE id = 2");
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  user.Click(w, "?ExportResultsButton");  // the entry holds "Result.csv"
  fs::current_path(before);
  EXPECT_EQ(Screen(w, "?Loc:ExportFilename"), (dir_ / "Result.csv").string());
  EXPECT_TRUE(fs::exists(dir_ / "Result.csv"));
}

// Each step of the export that fails says so with the file's name, the runtime's error and
// the system's own text, and the old file stays as it was, byte for byte. A file size limit
// makes writes fail as a full disk does: a small result fails when the lines are put in
// place at the end, a large one while its rows are added.
TEST_P(BrowseWindowTest, EveryFailingStepOfTheExportIsShownAndKeepsTheOldFile) {
  Open();
  struct Case {
    std::string_view name;
    std::string sql;
    int32_t limit;
    fs::path file;
    bool old_file;
    std::string message;
  };
  const std::string kBig = "SELECT a.n, b.n FROM numbers a, numbers b WHERE a.n <= 4";
  const Case kCases[] = {
      {"missing directory", "SELECT name FROM pets", 500, dir_ / "no_such_dir" / "x.csv", false,
       "Could not create the export file|" + (dir_ / "no_such_dir" / "x.csv").string() +
           "|Error:Path Not Found (No such file or directory)"},
      {"a directory of that name", "SELECT name FROM pets", 500, dir_ / "a_dir", false,
       "Could not create the export file|" + (dir_ / "a_dir").string() +
           "|Error:Access Denied (Is a directory)"},
      {"small result on a full disk", "SELECT name FROM pets", 500, dir_ / "small.csv", true,
       "Could not write the export file|" + (dir_ / "small.csv").string() +
           "|Error:File System Error (File too large)"},
      {"large result on a full disk", kBig, 3000, dir_ / "large.csv", true,
       "Could not add record to the export file|" + (dir_ / "large.csv").string() +
           "|Error:File System Error (File too large)"},
  };
  fs::create_directories(dir_ / "a_dir");
  const std::string old_bytes = "old;\"file\"\r\nwith two lines\n";
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Execute(c.sql, c.limit);
    const size_t rows = Rows(w, "?List").size();
    ASSERT_GT(rows, 0u);
    if (c.old_file) std::ofstream(c.file, std::ios::binary) << old_bytes;
    if (fs::exists(c.file)) {
      display.dialogs().ExpectMessage("There is already a export file|", platform::kButtonYes);
    }
    display.dialogs().ExpectMessage(c.message, platform::kButtonOk);
    {
      platform::files::FileSizeLimitForTest full_disk(c.old_file ? 100 : RLIM_INFINITY);
      Export(c.file);
    }
    EXPECT_EQ(display.dialogs().pending(), 0u);
    const std::vector<platform::MessageRequest> seen = display.dialogs().seen();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().text, c.message);
    EXPECT_EQ(seen.back().caption, "");
    EXPECT_EQ(seen.back().icon, platform::kIconExclamation);
    EXPECT_EQ(seen.back().button_mask, platform::kButtonOk);
    if (c.old_file) {
      EXPECT_EQ(ReadFile(c.file), old_bytes);
      // No temporary file is left beside it.
      for (const auto& e : fs::directory_iterator(dir_)) {
        EXPECT_NE(e.path().filename().string().front(), '.') << e.path();
      }
      fs::remove(c.file);
    } else if (!fs::is_directory(c.file)) {
      EXPECT_FALSE(fs::exists(c.file));
    }
    EXPECT_EQ(Rows(w, "?List").size(), rows);
    EXPECT_EQ(display.CursorOf(1), platform::ui::Cursor::kNormal);
  }
}

TEST(ResultQueueRecord, FieldTableMatchesTheStruct) {
  const platform::RecordLayout& layout = ResultQueueRecord::Layout();
  ASSERT_EQ(layout.FieldCount(), kResultFields);
  ResultQueueRecord r;
  for (size_t n = 1; n <= kResultFields; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(layout.field(n).name, "FIELD" + std::to_string(n));
    EXPECT_EQ(layout.field(n).size, 255u);
    EXPECT_EQ(layout.field(n).type, platform::FieldType::kString);
    platform::SetFieldText(layout.field(n), &r, std::to_string(n));
  }
  EXPECT_EQ(r.FIELD1, "1");
  EXPECT_EQ(r.FIELD12, "12");
  EXPECT_EQ(r.FIELD25, "25");
  EXPECT_EQ(layout.Find("Field12"), 12u);
}

// The query builder runs on the query window's thread: a stored step for the query window
// plays while the builder is open, and the builder, which handles that thread's events now,
// leaves it. The step ends at its time-out.
TEST_P(BrowseWindowTest, AStepForTheQueryWindowIsNotReplayedIntoItsBuilder) {
  Open();
  user.Click(w, "?QueryBuilderButton");
  const WindowHandle builder = user.Window("Query builder");
  assistant::AgentFileRecord step;
  step.PROCEDURENAME = "Main";
  step.ONDERWERP = "Opmaak";
  step.STEP = 1;
  step.EVENTPROCEDURE = "BrowseODBCconnection";
  step.EVENT = platform::ui::kEventAccepted;
  step.CONTROL = user.Field(w, "?ExecuteQueryButton");
  step.POSITIONX = -32768;
  step.POSITIONY = -32768;
  std::vector<std::string> builder_events;
  std::atomic<bool> played = false;
  platform::TEST_ScopedCallObserver observer([&](std::string_view call) {
    if (call != "ZOVAgentClass.HandleEvent QueryBuilder") return 0;
    if (platform::ui::Event() == platform::ui::kEventAccepted) {
      builder_events.push_back("Accepted " + std::to_string(platform::ui::Field()));
    }
    if (platform::ui::Event() == platform::ui::kEventUser) {
      platform::ui::Start([&] {
        Program().Agent.TIMEOUTMOUSEEVENT = 1;
        Program().Agent.PlayStep(step);
        played = true;
      });
    }
    return 0;
  });
  display.dialogs().ExpectMessage(
      "Muis Timeout!|Een gebeurtenis op vensterBrowseODBCconnection kan niet afgespeeld "
      "worden...|Accepted",
      platform::kButtonOk);
  platform::ui::PostToWindow(builder, platform::ui::kEventUser);
  for (int i = 0; i < 500 && !played; ++i) {
    user.WaitUntilIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  user.WaitUntilIdle();
  EXPECT_TRUE(played);
  EXPECT_EQ(builder_events, std::vector<std::string>{});
  EXPECT_EQ(display.dialogs().pending(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Drivers, BrowseWindowTest, ::testing::ValuesIn(kOdbcBackends),
                         OdbcBackendParamName);

// With a cursor (UseDeclareFetch) the PostgreSQL driver reads the rows in pieces, so a
// statement can fail after the first rows arrived: the window shows those, counts them, says
// why the rest is missing, and asks before it exports them.
class BrowseWindowCursorTest : public BrowseWindowTest {};

TEST_P(BrowseWindowCursorTest, AResultCutByAFailureShowsWhatWasReadSaysSoAndAsksBeforeExport) {
  catalog::Glo.ConnectString = ConnectString() + ";UseDeclareFetch=1;Fetch=100";
  Open();
  display.dialogs().ExpectMessage("Error:File System Error|Backend error:", platform::kButtonOk);
  Execute("SELECT n, 1000 / (n - 450) AS q FROM numbers", 1000);
  EXPECT_EQ(display.dialogs().pending(), 0u);
  ASSERT_EQ(display.dialogs().seen().size(), 1u);
  const std::string text = display.dialogs().seen()[0].text;
  EXPECT_NE(text.find("division by zero"), std::string::npos) << text;
  EXPECT_NE(text.find(";PWD=*****;"), std::string::npos) << text;
  EXPECT_EQ(text.find(sources().pg_password()), std::string::npos) << text;
  ASSERT_EQ(Rows(w, "?List").size(), 400u);
  EXPECT_EQ(Rows(w, "?List").back().at(0), "400");
  EXPECT_EQ(View(w, "?RecordCountString").text, "400");
  EXPECT_EQ(Headers()[1], "q");

  const fs::path file = dir_ / "cut.csv";
  const std::string question =
      "Reading the result failed after 400 records, so it is incomplete.|Do you want to export "
      "it anyway?";
  display.dialogs().ExpectMessage(question, platform::kButtonNo);
  Export(file);
  EXPECT_FALSE(fs::exists(file));
  display.dialogs().ExpectMessage(question, platform::kButtonYes);
  Export(file);
  EXPECT_EQ(display.dialogs().pending(), 0u);
  const std::vector<platform::MessageRequest> seen = display.dialogs().seen();
  EXPECT_EQ(seen.back().icon, platform::kIconQuestion);
  EXPECT_EQ(seen.back().button_mask, platform::kButtonYes | platform::kButtonNo);
  const std::string content = ReadFile(file);
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 401);

  // A whole result exports without the question.
  Execute("SELECT n FROM numbers WHERE n <= 3");
  display.dialogs().ExpectMessage("There is already a export file|", platform::kButtonYes);
  Export(file);
  EXPECT_EQ(display.dialogs().pending(), 0u);
  EXPECT_EQ(ReadFile(file).substr(0, 5), "\"n\";\"");
}

INSTANTIATE_TEST_SUITE_P(Drivers, BrowseWindowCursorTest,
                         ::testing::Values(platform::testing::OdbcBackend::kPostgres),
                         OdbcBackendParamName);

}  // namespace
}  // namespace app
