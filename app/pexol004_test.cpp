// The dictionary window end to end: the whole program on the headless display, a scripted
// user who connects to the sample database through the connection window, opens the
// dictionary window with F4, browses a table, sets options and writes TXD files, which are
// compared with golden files of the sample database. Run over SQLite and PostgreSQL.
//
// PEX_UPDATE_GOLDEN=1 writes the golden files instead of comparing with them.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/procedures.h"
#include "catalog/catalog_queues.h"
#include "catalog/field_types.h"
#include "catalog/globals.h"
#include "platform/core/message.h"
#include "platform/core/process.h"
#include "platform/testing/odbc_sources.h"
#include "platform/testing/sample_database.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/codes.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"

namespace app {
namespace {

using platform::testing::OdbcBackend;
using platform::testing::OdbcSources;
using platform::testing::ScriptedUser;
using platform::ui::FieldId;
using platform::ui::WindowHandle;

const std::filesystem::path kGoldenDir = PEX_APP_TESTDATA;

std::string BackendPrefix(OdbcBackend backend) {
  return backend == OdbcBackend::kSqlite ? "sqlite" : "pg";
}

// The sample tables as each driver names them (PostgreSQL folds unquoted names to lower case).
std::string Name(OdbcBackend backend, std::string_view name) {
  if (backend == OdbcBackend::kSqlite || name.find_first_of(" '") != std::string_view::npos) {
    return std::string(name);
  }
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

class DictionaryWindowTest : public testing::ProgramTest,
                             public ::testing::WithParamInterface<OdbcBackend> {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(OdbcSources::Get().Available(backend()));
    static std::set<OdbcBackend> loaded;
    if (!loaded.contains(backend())) {
      ASSERT_TRUE(platform::testing::LoadSampleDatabase(backend()));
      loaded.insert(backend());
    }
    // Every run of the program starts with the options' initial values.
    static_cast<catalog::GloOptions&>(catalog::Glo) = catalog::GloOptions{};
    catalog::FieldTypesQueue.Free();
    catalog::TEST_ForgetFieldTypesLoad();
  }

  void RegisterWindows() override { app::RegisterProcedures(); }

  OdbcBackend backend() const { return GetParam(); }

  // Connects through the connection window and opens the dictionary window with F4.
  WindowHandle OpenDictionary(ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    user.PressKey(frame, platform::ui::kF2Key);
    const WindowHandle connection = user.Window("Choose an ODB Cconnection");
    user.Type(connection, "?Glo:ConnectString", OdbcSources::Get().ConnectString(backend()));
    user.Click(connection, "?ConnectButton");
    user.PressKey(frame, platform::ui::kF4Key);
    return user.Window("Pexolind");
  }

  // The row of `list` whose column `column` shows `text`; 0 when none does.
  static int32_t RowOf(ScriptedUser& user, WindowHandle w, FieldId list, size_t column,
                       std::string_view text) {
    const auto rows = user.Rows(w, list);
    if (rows == nullptr) return 0;
    for (size_t i = 0; i < rows->rows.size(); ++i) {
      if (rows->rows[i].size() >= column && rows->rows[i][column - 1] == text) {
        return static_cast<int32_t>(i + 1);
      }
    }
    return 0;
  }
  static std::vector<std::string> Column(ScriptedUser& user, WindowHandle w, FieldId list,
                                         size_t column) {
    std::vector<std::string> out;
    const auto rows = user.Rows(w, list);
    if (rows == nullptr) return out;
    for (const auto& row : rows->rows) out.push_back(row.size() >= column ? row[column - 1] : "");
    return out;
  }

  // The labels of the FILE declarations of a written dictionary, but for the file of the
  // global variables, which every dictionary has.
  static std::vector<std::string> TableFiles(std::string_view text) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
      size_t end = text.find('\n', at);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view line = text.substr(at, end - at);
      const size_t file = line.find(" FILE,DRIVER(");
      if (file != std::string_view::npos) {
        std::string_view label = line.substr(0, file);
        label = label.substr(0, label.find(' '));
        if (label != "GlobalVariables") out.emplace_back(label);
      }
      at = end + 1;
    }
    return out;
  }

  // Compares the written file with its golden file, or writes the golden file.
  void ExpectGolden(const std::filesystem::path& written, std::string_view golden_name) {
    const std::string text = ReadFile(written);
    ASSERT_FALSE(text.empty()) << written;
    const std::filesystem::path golden =
        kGoldenDir / (BackendPrefix(backend()) + "_" + std::string(golden_name) + ".txd");
    if (std::getenv("PEX_UPDATE_GOLDEN") != nullptr) {
      std::ofstream(golden, std::ios::binary) << text;
      return;
    }
    EXPECT_EQ(text, ReadFile(golden)) << "written " << written << ", golden " << golden;
  }
};

TEST_P(DictionaryWindowTest, BrowsesTheSampleTablesAndTheirDetails) {
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenDictionary(user);
    ASSERT_NE(w, 0);
    const FieldId tables = user.Field(w, "?TableList");
    // Tables only: the view is not listed.
    const std::vector<std::string> names = Column(user, w, tables, 3);
    EXPECT_EQ(names.size(), 11u);
    for (std::string_view t : {"Customers", "Orders", "Order Details", "Customer's Notes"}) {
      EXPECT_NE(RowOf(user, w, tables, 3, Name(backend(), t)), 0) << t;
    }
    EXPECT_EQ(RowOf(user, w, tables, 3, Name(backend(), "OrderTotals")), 0);
    // The foreign keys of every table are read first; then the first table's details.
    EXPECT_EQ(user.ScreenText(w, user.Field(w, "?Tablename")), names.front());

    const int32_t orders = RowOf(user, w, tables, 3, Name(backend(), "Orders"));
    user.SelectRow(w, tables, orders);
    EXPECT_EQ(user.ScreenText(w, user.Field(w, "?Tablename")), Name(backend(), "Orders"));
    const FieldId columns = user.Field(w, "?columnlist");
    EXPECT_EQ(
        Column(user, w, columns, 4),
        (std::vector<std::string>{Name(backend(), "OrderID"), Name(backend(), "CustomerID"),
                                  Name(backend(), "EmployeeID"), Name(backend(), "OrderDate"),
                                  Name(backend(), "RequiredTime"), Name(backend(), "ShippedAt"),
                                  Name(backend(), "ShipVia"), Name(backend(), "Freight")}));
    const FieldId primary = user.Field(w, "?PrimaryKeyList");
    EXPECT_EQ(Column(user, w, primary, 4), std::vector<std::string>{Name(backend(), "OrderID")});
    const FieldId indexes = user.Field(w, "?IndexList");
    EXPECT_NE(RowOf(user, w, indexes, 6, "ix_orders_date"), 0);
    // The foreign keys that refer to Orders: "Order Details".OrderID.
    const FieldId foreign = user.Field(w, "?ForeignList");
    EXPECT_EQ(Column(user, w, foreign, 3), std::vector<std::string>{Name(backend(), "Orders")});
    EXPECT_EQ(Column(user, w, foreign, 7), std::vector<std::string>{"Order Details"});

    // Views are listed once "Show tables only" is unticked and the tables are read again.
    user.Click(w, "?Glo:TablesOnly");
    EXPECT_EQ(Column(user, w, tables, 3).size(), 11u);  // an option acts at the next read
    user.Click(w, "?RegetButton");
    EXPECT_NE(RowOf(user, w, tables, 3, Name(backend(), "OrderTotals")), 0);
    EXPECT_EQ(catalog::Glo.TablesOnly, 0);
  });
}

// The window opens as "Pexolind", an MDI child of the frame on a thread of its own, with the
// focus on the table list, and registers itself and every control by its equate.
TEST_P(DictionaryWindowTest, OpensAsPexolindAndRegistersItsControls) {
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenDictionary(user);
    ASSERT_NE(w, 0);
    const auto window = display.FindWindow(w);
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(window->view.module, "pexolind$pexol004");
    EXPECT_EQ(window->view.label, "P1$WINDOW");
    EXPECT_EQ(window->view.kind, platform::ui::WindowKind::kMdiChild);
    EXPECT_EQ(window->view.owner, Frame(user));
    EXPECT_NE(window->view.thread, 1);
    EXPECT_EQ(window->view.at.width, 491);
    EXPECT_EQ(window->view.at.height, 294);
    EXPECT_EQ(FocusedField(user, w, "Pexolind"), user.Field(w, "?TableList"));
    // The driver combo offers three entries; any other text may be typed.
    const auto drivers = user.Rows(w, user.Field(w, "?Glo:Driver"));
    ASSERT_NE(drivers, nullptr);
    EXPECT_EQ(drivers->rows,
              (std::vector<std::vector<std::string>>{{"MSSQL"}, {"ODBC"}, {"ORACLE"}}));
    EXPECT_EQ(user.ScreenText(w, user.Field(w, "?Glo:Driver")), "ODBC");
    EXPECT_EQ(user.ScreenText(w, user.Field(w, "?Glo:TXDFilename")), "Clarion.txd");
    EXPECT_EQ(user.ScreenText(w, user.Field(w, "?Glo:TablesOnly")), "1");
    EXPECT_EQ(user.ScreenText(w, user.Field(w, "?Glo:NoRelations")), "1");
    EXPECT_EQ(user.ScreenText(w, user.Field(w, "?Glo:ExternalNames")), "0");
  });
  const std::vector<std::string> controls = Calls("ZOVRestyleClass.AddControl");
  ASSERT_GE(controls.size(), 31u);
  const std::vector<std::string> expected = {
      "ZOVRestyleClass.AddControl 0 0 Window Window",
      "ZOVRestyleClass.AddControl 1 0 ?Sheet ?Sheet",
      "ZOVRestyleClass.AddControl 2 0 ?TablesTab ?TablesTab",
      "ZOVRestyleClass.AddControl 3 0 ?TableList ?TableList",
      "ZOVRestyleClass.AddControl 4 0 ?ColumnsTab ?ColumnsTab",
      "ZOVRestyleClass.AddControl 5 0 ?columnlist ?columnlist",
      "ZOVRestyleClass.AddControl 6 0 ?PrimaryKeysTab ?PrimaryKeysTab",
      "ZOVRestyleClass.AddControl 7 0 ?PrimaryKeyList ?PrimaryKeyList",
      "ZOVRestyleClass.AddControl 8 0 ?IndexesTab ?IndexesTab",
      "ZOVRestyleClass.AddControl 9 0 ?IndexList ?IndexList",
      "ZOVRestyleClass.AddControl 10 0 ?RelationsTab ?RelationsTab",
      "ZOVRestyleClass.AddControl 11 0 ?ForeignList ?ForeignList",
      "ZOVRestyleClass.AddControl 12 0 ?CustomFieldTypesTab ?CustomFieldTypesTab",
      "ZOVRestyleClass.AddControl 13 0 ?CustomFieldtypesList ?CustomFieldtypesList",
      "ZOVRestyleClass.AddControl 14 0 ?EditCustomFieldtypes &Edit custom fieldtypes",
      "ZOVRestyleClass.AddControl 15 0 ?RegetCustomFieldtypes Reget custom &fieldtypes",
      "ZOVRestyleClass.AddControl 16 0 ?TableString ?TableString",
      "ZOVRestyleClass.AddControl 17 0 ?Tablename ?Tablename",
      "ZOVRestyleClass.AddControl 18 0 ?Glo:OwnerFilter:Prompt ?Glo:OwnerFilter:Prompt",
      "ZOVRestyleClass.AddControl 19 0 ?Glo:OwnerFilter ?Glo:OwnerFilter",
      "ZOVRestyleClass.AddControl 20 0 ?Glo:ExternalNames ?Glo:ExternalNames",
      "ZOVRestyleClass.AddControl 21 0 ?Glo:TXDFilename:Prompt ?Glo:TXDFilename:Prompt",
      "ZOVRestyleClass.AddControl 22 0 ?Glo:TXDFilename ?Glo:TXDFilename",
      "ZOVRestyleClass.AddControl 23 0 ?Glo:TablesOnly ?Glo:TablesOnly",
      "ZOVRestyleClass.AddControl 24 0 ?DriverString ?DriverString",
      "ZOVRestyleClass.AddControl 25 0 ?Glo:Driver ?Glo:Driver",
      "ZOVRestyleClass.AddControl 26 0 ?Glo:NoRelations ?Glo:NoRelations",
      "ZOVRestyleClass.AddControl 27 0 ?Glo:SystemTables ?Glo:SystemTables",
      "ZOVRestyleClass.AddControl 28 0 ?RegetButton &Reget tables, columns, etc.",
      "ZOVRestyleClass.AddControl 29 0 ?WriteTXDButton &Write Clarion TXD",
      "ZOVRestyleClass.AddControl 30 0 ?CloseButton &Close",
  };
  // The connection window registered its own first.
  EXPECT_EQ(std::vector<std::string>(controls.end() - 31, controls.end()), expected);
  EXPECT_EQ(Calls("ZOVAgentClass.ProcedureOpened").back(),
            "ZOVAgentClass.ProcedureOpened Pexolind");
  EXPECT_EQ(Calls("ZOVRestyleClass.Init").back(), "ZOVRestyleClass.Init Pexolind");
}

struct ExportCase {
  std::string_view golden;
  std::string_view driver;   // typed into the combo; empty keeps "ODBC"
  bool relations = false;    // unticks "No relations"
  bool no_external = false;  // ticks "Do not use external names"
};
constexpr ExportCase kExports[] = {
    {"odbc_relations", "", true, false},
    {"oracle", "ORACLE", false, false},
    {"no_external_names", "", false, true},
};

TEST_P(DictionaryWindowTest, WritesTheGoldenDictionariesOfTheSampleDatabase) {
  platform::ProcessRecorder recorder;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenDictionary(user);
    ASSERT_NE(w, 0);
    for (const ExportCase& c : kExports) {
      SCOPED_TRACE(c.golden);
      const std::filesystem::path out = dir() / (std::string(c.golden) + ".txd");
      user.Type(w, "?Glo:TXDFilename", out.string());
      user.Type(w, "?Glo:Driver", c.driver.empty() ? "ODBC" : c.driver);
      if (c.relations != (catalog::Glo.NoRelations == 0)) user.Click(w, "?Glo:NoRelations");
      if (c.no_external != (catalog::Glo.ExternalNames == 1)) {
        user.Click(w, "?Glo:ExternalNames");
      }
      const size_t calls_before = recorder.calls().size();
      user.Click(w, "?WriteTXDButton");
      ExpectGolden(out, c.golden);
      // The written file is shown in the desktop's editor, by its full name.
      ASSERT_EQ(recorder.calls().size(), calls_before + 1);
      EXPECT_EQ(recorder.calls().back().args, std::vector<std::string>{out.string()});
      EXPECT_EQ(user.ScreenText(w, user.Field(w, "?Glo:TXDFilename")), out.string());
    }
    // The built-in mappings the writer used are now custom field types, listed and in the
    // file.
    EXPECT_GT(Column(user, w, user.Field(w, "?CustomFieldtypesList"), 1).size(), 0u);
    EXPECT_NE(ReadFile(dir() / "pexolind_fieldtypes.ini").find("="), std::string::npos);
  });
}

// The writer turns the table names into labels; the list shows them as read again, and the
// selected table's details are read anew by its real name.
TEST_P(DictionaryWindowTest, AfterWritingTheListShowsTheNamesAsReadAgain) {
  platform::ProcessRecorder recorder;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenDictionary(user);
    ASSERT_NE(w, 0);
    const FieldId tables = user.Field(w, "?TableList");
    const int32_t details = RowOf(user, w, tables, 3, "Order Details");
    ASSERT_NE(details, 0);
    user.SelectRow(w, tables, details);
    user.Type(w, "?Glo:TXDFilename", (dir() / "labels.txd").string());
    user.Click(w, "?WriteTXDButton");
    EXPECT_NE(RowOf(user, w, tables, 3, "Order Details"), 0);
    EXPECT_NE(RowOf(user, w, tables, 3, "Customer's Notes"), 0);
    EXPECT_EQ(RowOf(user, w, tables, 3, "Order_Details"), 0);
    EXPECT_EQ(user.ScreenText(w, user.Field(w, "?Tablename")), "Order Details");
    EXPECT_EQ(Column(user, w, user.Field(w, "?columnlist"), 4),
              (std::vector<std::string>{Name(backend(), "OrderID"), Name(backend(), "ProductID"),
                                        Name(backend(), "UnitPrice"), Name(backend(), "Quantity"),
                                        Name(backend(), "Discount")}));
    // Shipments refers to it by a key of two columns.
    EXPECT_EQ(Column(user, w, user.Field(w, "?ForeignList"), 7),
              std::vector<std::string>(2, Name(backend(), "Shipments")));
  });
}

// The options the user has just set are the ones the export uses, without a reread first:
// the tables are read again with them before the file is written. A filter that matches no
// owner writes a dictionary without tables; unticking "Show tables only" writes the view too.
//
// A press moves the focus, which accepts what was typed into the entry that had it, so the
// options have reached their variables before the button's own handling runs: this pins the
// reread, not the button's taking of the screen values.
TEST_P(DictionaryWindowTest, WriteUsesTheOptionsOnScreen) {
  // What the helper counts: every sample table, and not the global variables.
  const std::vector<std::string> golden_files =
      TableFiles(ReadFile(kGoldenDir / (BackendPrefix(backend()) + "_odbc_relations.txd")));
  ASSERT_EQ(golden_files.size(), 11u);
  EXPECT_EQ(std::ranges::count(golden_files, Name(backend(), "Customers")), 1);

  platform::ProcessRecorder recorder;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenDictionary(user);
    ASSERT_NE(w, 0);
    const FieldId tables = user.Field(w, "?TableList");
    ASSERT_EQ(Column(user, w, tables, 3).size(), 11u);

    const std::filesystem::path with_views = dir() / "with_views.txd";
    user.Type(w, "?Glo:TXDFilename", with_views.string());
    user.Click(w, "?Glo:TablesOnly");
    user.Click(w, "?WriteTXDButton");
    const std::vector<std::string> written = TableFiles(ReadFile(with_views));
    EXPECT_EQ(written.size(), 12u) << ::testing::PrintToString(written);
    EXPECT_EQ(std::ranges::count(written, Name(backend(), "OrderTotals")), 1)
        << ::testing::PrintToString(written);

    const std::filesystem::path filtered = dir() / "filtered.txd";
    user.Type(w, "?Glo:TXDFilename", filtered.string());
    user.Type(w, "?Glo:OwnerFilter", "nobody");
    user.Click(w, "?WriteTXDButton");
    EXPECT_EQ(catalog::Glo.OwnerFilter, std::string("nobody"));
    const std::string text = ReadFile(filtered);
    EXPECT_NE(text.find("GlobalVariables"), std::string::npos);
    EXPECT_EQ(TableFiles(text), std::vector<std::string>{}) << text;
    EXPECT_EQ(Column(user, w, tables, 3).size(), 0u);
  });
}

TEST_P(DictionaryWindowTest, EditsAndReloadsTheCustomFieldTypes) {
  platform::ProcessRecorder recorder;
  const std::filesystem::path types = dir() / "pexolind_fieldtypes.ini";
  ASSERT_FALSE(std::filesystem::exists(types));
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle w = OpenDictionary(user);
    ASSERT_NE(w, 0);
    // Opening the window created the file, empty.
    ASSERT_TRUE(std::filesystem::exists(types));
    EXPECT_EQ(ReadFile(types), "");
    user.Click(w, "?CustomFieldTypesTab");

    display.dialogs().ExpectMessage(
        "The custom columntypes file will now be opened so you can "
        "edit it.|When you have finished editing",
        platform::kButtonOk);
    user.Click(w, "?EditCustomFieldtypes");
    ASSERT_EQ(recorder.calls().size(), 1u);
    EXPECT_EQ(recorder.calls()[0].args, std::vector<std::string>{types.string()});
    EXPECT_FALSE(recorder.calls()[0].wait);
    ASSERT_FALSE(display.dialogs().seen().empty());
    EXPECT_EQ(display.dialogs().seen().back().icon, platform::kIconAsterisk);
    EXPECT_EQ(display.dialogs().seen().back().caption, "");

    // The user's edit shows only after "Reget custom fieldtypes".
    std::ofstream(types, std::ios::binary) << "; mine\r\nvarchar,60,0=STRING(60)\r\n";
    const FieldId list = user.Field(w, "?CustomFieldtypesList");
    EXPECT_EQ(Column(user, w, list, 1).size(), 0u);
    user.Click(w, "?RegetCustomFieldtypes");
    const auto rows = user.Rows(w, list);
    ASSERT_NE(rows, nullptr);
    ASSERT_EQ(rows->rows.size(), 1u);
    EXPECT_EQ(rows->rows[0][0], "VARCHAR");
    EXPECT_EQ(rows->rows[0][3], "STRING(60)");

    // A file deleted meanwhile is reported, and no editor is started.
    std::filesystem::remove(types);
    display.dialogs().ExpectMessage("There are no custom Columntypes yet (first generate a TXD)...",
                                    platform::kButtonOk);
    user.Click(w, "?EditCustomFieldtypes");
    EXPECT_EQ(recorder.calls().size(), 1u);
  });
}

// A data source that cannot be reached (a missing data source, a wrong password, a database
// that does not exist): the window says so once, with the source and the driver's error, the
// password masked; the lists stay empty; "Write Clarion TXD" refuses with a message, leaves
// the existing dictionary byte for byte as it was and starts no editor.
TEST_P(DictionaryWindowTest, AnUnreachableSourceIsReportedAndTheExistingDictionaryKept) {
  const OdbcSources& sources = OdbcSources::Get();
  const std::string unreachable =
      backend() == OdbcBackend::kSqlite
          ? std::string("DSN=pex_no_such_source")
          : "DSN=pex_pg;UID=" + sources.pg_user() + ";PWD=not-the-password";
  const std::string shown = backend() == OdbcBackend::kSqlite
                                ? unreachable
                                : "DSN=pex_pg;UID=" + sources.pg_user() + ";PWD=*****";
  platform::ProcessRecorder recorder;
  // The connection of an earlier run, restored by the frame when it opens.
  std::ofstream(ConnectionIni(), std::ios::binary)
      << "[Last connectstring]\r\nConnectstring=" << unreachable << "\r\n";
  const std::filesystem::path out = dir() / "kept.txd";
  const std::string old_dictionary = "  [DICTIONARY]\r\nVERSION '1.0'\r\nthe user's own\r\n";
  std::ofstream(out, std::ios::binary) << old_dictionary;
  RunProgram([&](ScriptedUser& user) {
    display.dialogs().ExpectMessage(
        "Couldn't read the catalog of the data source!|Data source:" + shown + "|Error:",
        platform::kButtonOk);
    user.PressKey(Frame(user), platform::ui::kF4Key);
    const WindowHandle w = user.Window("Pexolind");
    ASSERT_NE(w, 0);
    EXPECT_EQ(display.dialogs().pending(), 0u);
    EXPECT_EQ(Column(user, w, user.Field(w, "?TableList"), 3).size(), 0u);
    EXPECT_EQ(Column(user, w, user.Field(w, "?columnlist"), 4).size(), 0u);

    user.Type(w, "?Glo:TXDFilename", out.string());
    display.dialogs().ExpectMessage(
        "The TXD file is not written: the catalog of the data source "
        "could not be read.|File:" +
            out.string() + "|Data source:" + shown + "|Error:",
        platform::kButtonOk);
    user.Click(w, "?WriteTXDButton");
    EXPECT_EQ(display.dialogs().pending(), 0u);
  });
  // One message for opening and one for the refused write; the driver's error in each, and
  // the password nowhere.
  const std::vector<platform::MessageRequest> seen = display.dialogs().seen();
  ASSERT_EQ(seen.size(), 2u);
  for (const platform::MessageRequest& m : seen) {
    EXPECT_GT(m.text.size(), m.text.find("|Error:") + 7) << m.text;
    EXPECT_EQ(m.text.find("not-the-password"), std::string::npos) << m.text;
  }
  EXPECT_EQ(ReadFile(out), old_dictionary);
  EXPECT_TRUE(recorder.calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Drivers, DictionaryWindowTest,
                         ::testing::ValuesIn(platform::testing::kOdbcBackends),
                         platform::testing::OdbcBackendParamName);

}  // namespace
}  // namespace app
