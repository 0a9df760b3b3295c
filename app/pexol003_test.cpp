// The connection window: the data-source list, the connect string built from the entries or
// typed whole, what every close does (reconnect, save, tell the frame), the connection INI
// file, and the statement object that a replacement cannot free under another holder.
#include <algorithm>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/app_test_support.h"
#include "catalog/globals.h"
#include "catalog/odbc_query.h"
#include "platform/files/file.h"
#include "platform/files/ini_file.h"
#include "platform/ui/codes.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"

namespace app::testing {
namespace {

using platform::testing::ScriptedUser;
using platform::ui::FieldId;
using platform::ui::WindowHandle;

constexpr std::string_view kTitle = "Choose an ODB Cconnection";
constexpr std::string_view kSection = "Last connectstring";

class ConnectionWindowTest : public ProgramTest {
 protected:
  WindowHandle OpenConnectionWindow(ScriptedUser& user) {
    user.PressKey(Frame(user), platform::ui::kF2Key);
    return user.Window(kTitle);
  }
  std::string Ini(std::string_view key) {
    return platform::files::GetIni(kSection, key, "(missing)", ConnectionIni());
  }
  void StoreIni(std::string_view key, std::string_view value) {
    ASSERT_TRUE(platform::files::PutIni(kSection, key, value, ConnectionIni()).ok());
  }
  std::string ConnectionItem(ScriptedUser& user) { return user.Control(Frame(user), -3).text; }
  // The row of the data-source list that shows `dsn`, from 1; 0 when none does.
  int32_t RowOf(ScriptedUser& user, WindowHandle w, std::string_view dsn) {
    const auto rows = user.Rows(w, user.Field(w, "?DataSourceList"));
    if (rows == nullptr) return 0;
    for (size_t i = 0; i < rows->rows.size(); ++i) {
      if (rows->rows[i][0].starts_with(std::string(dsn) + " (")) return static_cast<int32_t>(i + 1);
    }
    return 0;
  }
};

TEST_F(ConnectionWindowTest, ListsTheDataSourcesAndRegistersEveryControl) {
  std::vector<std::string> rows;
  std::string line_height;
  FieldId focus = -100;
  FieldId data_source_entry = -100;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    // The first field is the prompt of the data source name, which passes the focus on to
    // the entry it names.
    focus = FocusedField(user, w, "ChooseODBCconnection");
    data_source_entry = user.Field(w, "?DSNString");
    // An MDI child of the frame, on a thread of its own.
    const auto window = display.FindWindow(w);
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(window->view.kind, platform::ui::WindowKind::kMdiChild);
    EXPECT_EQ(window->view.owner, Frame(user));
    EXPECT_NE(window->view.thread, 1);
    const FieldId list = user.Field(w, "?DataSourceList");
    if (const auto snapshot = user.Rows(w, list)) {
      for (const auto& row : snapshot->rows) rows.push_back(row[0]);
    }
    line_height = user.Control(w, list).properties[{0x7CFD, 0}];
  });
  // Each source shows its name and its driver, in order of the upper-case name.
  const auto sqlite = std::find(rows.begin(), rows.end(), "pex_sqlite (PexSQLite)");
  const auto pg = std::find(rows.begin(), rows.end(), "pex_pg (PexPostgreSQL)");
  EXPECT_NE(sqlite, rows.end()) << ::testing::PrintToString(rows);
  EXPECT_LT(pg, sqlite);
  EXPECT_EQ(line_height, "14");
  EXPECT_EQ(focus, data_source_entry);
  EXPECT_EQ(
      Calls("ZOVRestyleClass.AddControl"),
      (std::vector<std::string>{
          "ZOVRestyleClass.AddControl 0 0 Window Window",
          "ZOVRestyleClass.AddControl 1 0 ?DSNString:Prompt ?DSNString:Prompt",
          "ZOVRestyleClass.AddControl 2 0 ?DSNString ?DSNString",
          "ZOVRestyleClass.AddControl 3 0 ?Username:Prompt ?Username:Prompt",
          "ZOVRestyleClass.AddControl 4 0 ?Username ?Username",
          "ZOVRestyleClass.AddControl 5 0 ?Password:Prompt ?Password:Prompt",
          "ZOVRestyleClass.AddControl 6 0 ?Password ?Password",
          "ZOVRestyleClass.AddControl 7 0 ?Glo:ConnectString:Prompt ?Glo:ConnectString:Prompt",
          "ZOVRestyleClass.AddControl 8 0 ?Glo:ConnectString ?Glo:ConnectString",
          "ZOVRestyleClass.AddControl 9 0 ?ConnectStringExamples ?ConnectStringExamples",
          "ZOVRestyleClass.AddControl 10 0 ?DataSourceList ?DataSourceList",
          "ZOVRestyleClass.AddControl 11 0 ?ConnectButton &Connect",
      }));
  EXPECT_EQ(Calls("ZOVAgentClass.ProcedureOpened"),
            (std::vector<std::string>{"ZOVAgentClass.ProcedureOpened Main",
                                      "ZOVAgentClass.ProcedureOpened ChooseODBCconnection"}));
}

TEST_F(ConnectionWindowTest, ConnectStringFollowsTheEntriesOrIsTypedWhole) {
  struct Case {
    std::string_view name;
    std::string_view dsn;
    std::string_view user;
    std::string_view password;
    std::string_view typed;  // typed into the connect string itself, after the entries
    std::string_view connect;
  };
  constexpr Case kCases[] = {
      {"data source only", "pex_sqlite", "", "", "", "DSN=pex_sqlite"},
      {"with user", "pex_sqlite", "sa", "", "", "DSN=pex_sqlite; UID=sa"},
      {"with password only", "pex_sqlite", "", "secret", "", "DSN=pex_sqlite; PWD=secret"},
      {"with user and password", "pex_sqlite", "sa", "secret", "",
       "DSN=pex_sqlite; UID=sa; PWD=secret"},
      {"empty data source", "", "", "", "", "DSN="},
      {"typed whole", "pex_sqlite", "sa", "", "DSN=pex_sqlite;Timeout=2000",
       "DSN=pex_sqlite;Timeout=2000"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string shown_while_open;
    std::string item;
    RunProgram([&](ScriptedUser& user) {
      const WindowHandle w = OpenConnectionWindow(user);
      user.Type(w, "?DSNString", "x");  // so that every case changes the entry
      user.Type(w, "?DSNString", c.dsn);
      user.Type(w, "?Username", c.user);
      user.Type(w, "?Password", c.password);
      if (!c.typed.empty()) user.Type(w, "?Glo:ConnectString", c.typed);
      shown_while_open = user.ScreenText(w, user.Field(w, "?Glo:ConnectString"));
      user.Click(w, "?ConnectButton");
      item = ConnectionItem(user);
    });
    EXPECT_EQ(shown_while_open, c.connect);
    EXPECT_EQ(catalog::Glo.ConnectString, c.connect);
    EXPECT_EQ(Ini("DNS"), c.dsn);
    EXPECT_EQ(Ini("Username"), c.user);
    EXPECT_EQ(Ini("Password"), c.password);
    EXPECT_EQ(Ini("Connectstring"), c.connect);
    EXPECT_EQ(item, std::string(c.connect.substr(0, 20)) + (c.connect.size() > 20 ? "..." : ""));
  }
}

TEST_F(ConnectionWindowTest, CloseBoxSavesAndReconnectsAsConnectDoes) {
  std::string item;
  std::shared_ptr<catalog::ODBCQueryClass> query;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    user.Type(w, "?DSNString", "pex_sqlite");
    ClearCalls();
    user.CloseBox(w);
    item = ConnectionItem(user);
    query = catalog::QueryObject;
  });
  EXPECT_EQ(item, "DSN=pex_sqlite");
  EXPECT_EQ(Ini("Connectstring"), "DSN=pex_sqlite");
  ASSERT_NE(query, nullptr);
  EXPECT_EQ(query->FILE, &catalog::ODBCFILE);
  EXPECT_EQ(catalog::ODBCFILE.GetProperty(platform::files::kPropOwner), "DSN=pex_sqlite");
  // The frame was told: it rebuilt its tree menu.
  EXPECT_EQ(Calls("ZOVRestyleClass.BuildMenuStructure").size(), 1u);
}

TEST_F(ConnectionWindowTest, ChoosingARowSetsTheConnectStringAndLeavesTheEntries) {
  StoreIni("DNS", "old_dsn");
  StoreIni("Username", "old_user");
  std::string shown;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    const int32_t row = RowOf(user, w, "pex_sqlite");
    ASSERT_GT(row, 0);
    user.SelectRow(w, user.Field(w, "?DataSourceList"), row);
    shown = user.ScreenText(w, user.Field(w, "?Glo:ConnectString"));
    EXPECT_EQ(user.ScreenText(w, user.Field(w, "?DSNString")), "old_dsn");
    user.Click(w, "?ConnectButton");
  });
  EXPECT_EQ(shown, "DSN=pex_sqlite");
  EXPECT_EQ(Ini("DNS"), "old_dsn");
  EXPECT_EQ(Ini("Username"), "old_user");
  EXPECT_EQ(Ini("Connectstring"), "DSN=pex_sqlite");
}

TEST_F(ConnectionWindowTest, DoubleClickingARowConnectsWithItAtOnce) {
  bool still_open = true;
  std::string item;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    const FieldId list = user.Field(w, "?DataSourceList");
    const int32_t row = RowOf(user, w, "pex_sqlite");
    ASSERT_GT(row, 0);
    user.SelectRow(w, list, row);
    user.DoubleClickRow(w, list, row);
    still_open = display.FindWindow(kTitle).has_value();
    item = ConnectionItem(user);
    EXPECT_NE(catalog::QueryObject, nullptr);
  });
  EXPECT_FALSE(still_open);
  EXPECT_EQ(item, "DSN=pex_sqlite");
  EXPECT_EQ(Ini("Connectstring"), "DSN=pex_sqlite");
}

TEST_F(ConnectionWindowTest, ClosingUnchangedWithNothingStoredSavesThePromptText) {
  std::string restored_item;
  RunProgram([&](ScriptedUser& user) { user.CloseBox(OpenConnectionWindow(user)); });
  EXPECT_EQ(Ini("Connectstring"),
            "DSN=Enter the ODBC DSN name; UID=Enter the username or omit it; PWD=Enter the "
            "password or omit it");
  // The next start restores it as the last connection.
  catalog::Glo.ConnectString = "";
  catalog::QueryObject.reset();
  RunProgram([&](ScriptedUser& user) { restored_item = ConnectionItem(user); });
  EXPECT_EQ(restored_item, "DSN=Enter the ODBC D...");
}

TEST_F(ConnectionWindowTest, ARestartRestoresTheLastConnection) {
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    user.Type(w, "?DSNString", "pex_sqlite");
    user.Type(w, "?Username", "sa");
    user.Click(w, "?ConnectButton");
  });
  catalog::Glo.ConnectString = "";
  catalog::QueryObject.reset();
  std::string item;
  std::string dsn_entry;
  std::string user_entry;
  RunProgram([&](ScriptedUser& user) {
    item = ConnectionItem(user);
    const WindowHandle w = OpenConnectionWindow(user);
    dsn_entry = user.ScreenText(w, user.Field(w, "?DSNString"));
    user_entry = user.ScreenText(w, user.Field(w, "?Username"));
  });
  EXPECT_EQ(item, "DSN=pex_sqlite; UID=...");
  EXPECT_EQ(dsn_entry, "pex_sqlite");
  EXPECT_EQ(user_entry, "sa");
}

TEST_F(ConnectionWindowTest, LongIniValuesAreCutToTheirFields) {
  StoreIni("DNS", std::string(100, 'd'));
  StoreIni("Connectstring", "DSN=" + std::string(600, 'c'));
  std::string dsn_entry;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    dsn_entry = user.ScreenText(w, user.Field(w, "?DSNString"));
  });
  EXPECT_EQ(dsn_entry, std::string(80, 'd'));
  EXPECT_EQ(Ini("Connectstring"), "DSN=" + std::string(508, 'c'));
}

TEST_F(ConnectionWindowTest, LineBreaksInATypedConnectStringNeverBreakTheIniFile) {
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    user.Type(w, "?Password", "secret");
    user.Type(w, "?Glo:ConnectString", "DSN=pex_sqlite\r\n[Other]\r\nPassword=stolen\nX=1");
    user.Click(w, "?ConnectButton");
  });
  EXPECT_EQ(Ini("Password"), "secret");
  EXPECT_EQ(platform::files::GetIni("Other", "Password", "(missing)", ConnectionIni()),
            "(missing)");
  // One section line and four key lines.
  const std::string text = ReadFile(ConnectionIni());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
  EXPECT_EQ(Ini("Connectstring"), "DSN=pex_sqlite [Other] Password=stolen X=1");
}

TEST_F(ConnectionWindowTest, TheConnectionIniIsReadableByItsOwnerOnly) {
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    user.Type(w, "?Password", "secret");
    user.Click(w, "?ConnectButton");
  });
  struct stat st {};
  ASSERT_EQ(stat(ConnectionIni().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(ConnectionWindowTest, AConnectionIniThatCannotBeWrittenIsShownAndTheConnectionMade) {
  // A directory in the file's place: every write of it fails, as on a read-only disk.
  std::filesystem::create_directory(ConnectionIni());
  std::string item;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenConnectionWindow(user);
    user.Type(w, "?DSNString", "pex_sqlite");
    display.dialogs().ExpectMessage("Couldn't save the connection!|", platform::kButtonOk);
    user.Click(w, "?ConnectButton");
    item = ConnectionItem(user);
  });
  const std::vector<platform::MessageRequest> seen = display.dialogs().seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(
      seen[0].text,
      "Couldn't save the connection!|Error:Access Denied (Is a directory)|File:" + ConnectionIni());
  EXPECT_EQ(item, "DSN=pex_sqlite");
  EXPECT_EQ(catalog::ODBCFILE.GetProperty(platform::files::kPropOwner), "DSN=pex_sqlite");
  EXPECT_TRUE(std::filesystem::is_empty(ConnectionIni()));
}

TEST_F(ConnectionWindowTest, ReplacingTheStatementObjectLeavesAnotherHoldersObjectAlive) {
  StoreIni("Connectstring", "DSN=pex_sqlite");
  std::shared_ptr<catalog::ODBCQueryClass> held;
  catalog::ODBCQueryClass* replacement = nullptr;
  RunProgram([&](ScriptedUser& user) {
    // What another window does for the length of its call: hold its own reference.
    held = catalog::QueryObject;
    ASSERT_NE(held, nullptr);
    user.Click(OpenConnectionWindow(user), "?ConnectButton");
    replacement = catalog::QueryObject.get();
  });
  ASSERT_NE(replacement, nullptr);
  EXPECT_NE(replacement, held.get());
  // The old object is whole: its buffer and fields are still its own.
  EXPECT_EQ(held.use_count(), 1);
  EXPECT_EQ(held->ColumnDataBufferLength(), 512);
  EXPECT_EQ(std::string_view(held->ColumnDataBuffer()), "");
}

TEST_F(ConnectionWindowTest, EveryCloseOfTwoOpenWindowsReplacesTheConnection) {
  std::vector<std::string> items;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle first = OpenConnectionWindow(user);
    const WindowHandle second = OpenConnectionWindow(user);
    ASSERT_NE(first, second);
    user.Type(first, "?DSNString", "first");
    user.Type(second, "?DSNString", "second");
    user.Click(first, "?ConnectButton");
    items.push_back(ConnectionItem(user));
    user.Click(second, "?ConnectButton");
    items.push_back(ConnectionItem(user));
  });
  EXPECT_EQ(items, (std::vector<std::string>{"DSN=first", "DSN=second"}));
  EXPECT_EQ(Ini("DNS"), "second");
}

}  // namespace
}  // namespace app::testing
