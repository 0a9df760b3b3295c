// The application frame Main: the connection shown in its menu, the restored connection,
// the menu keys starting windows on threads of their own, the first-run check, the web pages,
// and the frame's other menu items.
#include <algorithm>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/procedure_frame.h"
#include "app/program.h"
#include "catalog/globals.h"
#include "platform/core/message.h"
#include "platform/core/paths.h"
#include "platform/core/process.h"
#include "platform/files/file.h"
#include "platform/files/ini_file.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "restyle/restyle_class.h"

namespace app::testing {
namespace {

using platform::testing::ScriptedUser;
using platform::ui::FieldId;
using platform::ui::WindowHandle;

constexpr FieldId kChooseItem = -2;
constexpr FieldId kConnectionItem = -3;
constexpr FieldId kBrowseItem = -4;
constexpr FieldId kDictionaryItem = -5;

class MainFrameTest : public ProgramTest {
 protected:
  void StoreConnectString(std::string_view connect) {
    ASSERT_TRUE(
        platform::files::PutIni("Last connectstring", "Connectstring", connect, ConnectionIni())
            .ok());
  }
  // The open windows titled `title`.
  std::vector<platform::headless::MirrorWindow> WindowsTitled(std::string_view title) {
    std::vector<platform::headless::MirrorWindow> out;
    for (const auto& w : display.Windows()) {
      if (w.view.title == title) out.push_back(w);
    }
    return out;
  }
};

TEST_F(MainFrameTest, ConnectionItemShowsTheFirst20Characters) {
  struct Case {
    std::string_view stored;
    std::string_view shown;
  };
  constexpr Case kCases[] = {
      {"", "No connection selected"},
      {"DSN=pex_sqlite", "DSN=pex_sqlite"},
      {"DSN=abcdefghijklmnop", "DSN=abcdefghijklmnop"},      // exactly 20
      {"DSN=abcdefghijklmnopq", "DSN=abcdefghijklmnop..."},  // 21
      {"DSN=pex_sqlite; UID=sa; PWD=secret", "DSN=pex_sqlite; UID=..."},
      {"DSN=x;PWD=secret;UID=u", "DSN=x;PWD=*****;UID=..."},  // masked, then cut
      {"DSN=x;Pwd={a;b}", "DSN=x;Pwd=*****"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.stored);
    StoreConnectString(c.stored);
    std::string shown;
    bool have_query = false;
    RunProgram([&](ScriptedUser& user) {
      shown = user.Control(Frame(user), kConnectionItem).text;
      have_query = catalog::QueryObject != nullptr;
    });
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(have_query, !c.stored.empty());
    // The shut-down disposed of the statement object.
    EXPECT_EQ(catalog::QueryObject, nullptr);
    catalog::Glo.ConnectString = "";
  }
}

// The connection item shows the first 20 characters of the connect string as it is, and
// "..." only when the string without its trailing blanks is longer than 20 characters.
TEST_F(MainFrameTest, TrailingBlanksOfTheConnectStringNeverAddTheEllipsis) {
  struct Case {
    std::string_view typed;
    std::string_view shown;
  };
  constexpr Case kCases[] = {
      {"DSN=pex_sqlite          ", "DSN=pex_sqlite      "},
      {"DSN=abcdefghijklmnop     ", "DSN=abcdefghijklmnop"},     // 20 before the blanks
      {"DSN=abcdefghijklmnopq    ", "DSN=abcdefghijklmnop..."},  // 21
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed);
    std::string shown;
    RunProgram([&](ScriptedUser& user) {
      const WindowHandle frame = Frame(user);
      user.PressKey(frame, platform::ui::kF2Key);
      const WindowHandle w = user.Window("Choose an ODB Cconnection");
      user.Type(w, "?Glo:ConnectString", c.typed);
      user.Click(w, "?ConnectButton");
      EXPECT_EQ(catalog::Glo.ConnectString, std::string(c.typed));
      shown = user.Control(frame, kConnectionItem).text;
    });
    EXPECT_EQ(shown, c.shown);
    std::filesystem::remove(ConnectionIni());
    catalog::Glo.ConnectString = "";
  }
}

TEST_F(MainFrameTest, RestoredConnectStringBecomesTheOwnerOfANewStatementObject) {
  StoreConnectString("DSN=pex_sqlite");
  std::string owner;
  bool bound = false;
  RunProgram([&](ScriptedUser&) {
    owner = catalog::ODBCFILE.GetProperty(platform::files::kPropOwner);
    bound = catalog::QueryObject != nullptr && catalog::QueryObject->FILE == &catalog::ODBCFILE;
  });
  EXPECT_EQ(owner, "DSN=pex_sqlite");
  EXPECT_TRUE(bound);
}

TEST_F(MainFrameTest, WithoutAConnectionF3AndF4AskForOneAndOpenTheConnectionWindow) {
  for (platform::ui::KeyCode key : {platform::ui::kF3Key, platform::ui::kF4Key}) {
    SCOPED_TRACE(key);
    display.dialogs().ExpectMessage("Please select a ODBC connection first!", platform::kButtonOk);
    size_t connection_windows = 0;
    size_t other_windows = 0;
    RunProgram([&](ScriptedUser& user) {
      user.PressKey(Frame(user), key);
      connection_windows = WindowsTitled("Choose an ODB Cconnection").size();
      other_windows =
          WindowsTitled("Pexolind").size() + WindowsTitled("Browse an ODBC connection").size();
    });
    EXPECT_EQ(connection_windows, 1u);
    EXPECT_EQ(other_windows, 0u);
    const platform::MessageRequest shown = display.dialogs().seen().back();
    EXPECT_EQ(shown.caption, "");
    EXPECT_EQ(shown.icon, platform::kIconExclamation);
    EXPECT_EQ(shown.button_mask, platform::kButtonOk);
    // Closing the connection window saved a connection; the next round starts without one.
    std::filesystem::remove(ConnectionIni());
    catalog::Glo.ConnectString = "";
  }
}

TEST_F(MainFrameTest, MenuKeysStartWindowsOnNewThreadsTwoOfAKindAtOnce) {
  StoreConnectString("DSN=pex_sqlite");
  std::map<std::string, std::vector<platform::ui::ThreadId>> threads;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    for (platform::ui::KeyCode key :
         {platform::ui::kF2Key, platform::ui::kF2Key, platform::ui::kF3Key, platform::ui::kF3Key,
          platform::ui::kF4Key, platform::ui::kF4Key}) {
      user.PressKey(frame, key);
    }
    for (const auto& w : display.Windows()) threads[w.view.title].push_back(w.view.thread);
  });
  std::set<platform::ui::ThreadId> distinct;
  for (const char* title : {"Choose an ODB Cconnection", "Browse an ODBC connection", "Pexolind"}) {
    SCOPED_TRACE(title);
    ASSERT_EQ(threads[title].size(), 2u);
    for (platform::ui::ThreadId t : threads[title]) {
      EXPECT_NE(t, 1);
      distinct.insert(t);
    }
  }
  EXPECT_EQ(distinct.size(), 6u);
}

TEST_F(MainFrameTest, MenuItemsStartTheirWindowsLikeTheirKeys) {
  StoreConnectString("DSN=pex_sqlite");
  size_t windows = 0;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    for (FieldId item : {kChooseItem, kBrowseItem, kDictionaryItem}) user.ChooseMenu(frame, item);
    windows = display.Windows().size();
  });
  EXPECT_EQ(windows, 4u);
}

TEST_F(MainFrameTest, ConnectionChangedWithoutAConnectStringRebuildsOnlyTheTreeMenu) {
  std::string shown;
  RunProgram([&](ScriptedUser& user) {
    ClearCalls();
    platform::ui::Post(0x999, 0, /*thread=*/1);
    user.WaitUntilIdle();
    shown = user.Control(Frame(user), kConnectionItem).text;
  });
  EXPECT_EQ(shown, "No connection selected");
  EXPECT_EQ(Calls("ZOVRestyleClass.BuildMenuStructure"),
            (std::vector<std::string>{"ZOVRestyleClass.BuildMenuStructure"}));
}

TEST_F(MainFrameTest, OpeningTheFrameRegistersItsMenuAndTellsTheAssistant) {
  // The frame's restyle object expands its tree menu, set before the menu is registered, and
  // has the initial values every procedure gives it.
  std::vector<int64_t> restyle_at_first_item;
  OnCall([&](std::string_view call) {
    if (call != "ZOVRestyleClass.AddMenuItem -1 1") return;
    const restyle::ZOVRestyleClass* r = TEST_RunningRestyle();
    ASSERT_NE(r, nullptr);
    restyle_at_first_item = {r->EXPANDMENUTREEAUTOMATICALLY, r->MENUTREEITEMHEIGHT,
                             r->MENUTREEITEMCOLOR,           r->MENUTREEITEMBACKGROUNDCOLOR,
                             r->MENUTREEITEMSELECTEDCOLOR,   r->MENUTREEITEMSELECTEDBACKGROUND};
  });
  std::string imm;
  FieldId focus = -100;
  bool assistant_has_frame = false;
  RunProgram([&](ScriptedUser& user) {
    OnCall({});
    assistant_has_frame = Program().Agent.ACTIVEWINDOW == Frame(user);
    const auto frame = display.FindWindow(Frame(user));
    ASSERT_TRUE(frame.has_value());
    const auto it = frame->view.properties.find({0x7C6A, 0});
    imm = it == frame->view.properties.end() ? "" : it->second;
    focus = FocusedField(user, Frame(user), "Main");
  });
  EXPECT_EQ(imm, "1");
  EXPECT_EQ(restyle_at_first_item,
            (std::vector<int64_t>{1, 8, 0x80000012, -1, 0x8000000E, 0x80000002}));
  // The frame's first field is control 1, and it has none: its menus take no focus.
  EXPECT_EQ(focus, 0);
  const std::vector<std::string> items = Calls("ZOVRestyleClass.AddMenuItem");
  ASSERT_EQ(items.size(), 21u);
  for (FieldId f = -1; f >= -21; --f) {
    SCOPED_TRACE(f);
    const bool menu = f == -1 || f == -7 || f == -10 || f == -14 || f == -18;
    EXPECT_EQ(items[-f - 1],
              "ZOVRestyleClass.AddMenuItem " + std::to_string(f) + (menu ? " 1" : " 3"));
  }
  EXPECT_TRUE(assistant_has_frame);
  EXPECT_EQ(Calls("ZOVAgentClass.ProcedureOpened"),
            (std::vector<std::string>{"ZOVAgentClass.ProcedureOpened Main"}));
}

TEST_F(MainFrameTest, HelpAndRestyleItemsReachTheAssistantAndTheStyleManager) {
  std::string procedure;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    user.ChooseMenu(frame, -8);
    user.ChooseMenu(frame, -9);
    user.WaitUntilIdle();
    procedure = Program().Agent.PROCEDURENAME.str();
  });
  EXPECT_EQ(procedure, "Main");
  EXPECT_EQ(Calls("ZOVAgentClass.ChooseSubject"),
            (std::vector<std::string>{"ZOVAgentClass.ChooseSubject 0"}));
  EXPECT_EQ(Calls("ZOVStylemanagerClass.ConfigureMain").size(), 1u);
}

TEST_F(MainFrameTest, WebItemsOpenTheProgramsOwnPagesFromItsDataDirectory) {
  // The test program runs from the build tree, where the data directory is found.
  platform::TEST_SetProgramPath("");
  platform::ProcessRecorder recorder;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    for (FieldId item : {-11, -12, -13}) user.ChooseMenu(frame, item);
  });
  const std::vector<platform::ProcessCall> calls = recorder.calls();
  ASSERT_EQ(calls.size(), 3u);
  const std::string pages = "file://" + platform::DataDirectory() + "/pexolind-pages/";
  const char* kPages[] = {"author.html", "zovantrix.html", "msagent.html#core-components"};
  for (size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE(kPages[i]);
    EXPECT_FALSE(calls[i].wait);
    ASSERT_EQ(calls[i].args.size(), 1u);
    EXPECT_EQ(calls[i].args[0], pages + kPages[i]);
    std::string file = calls[i].args[0].substr(std::string_view("file://").size());
    file = file.substr(0, file.find('#'));
    EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
  }
}

}  // namespace
}  // namespace app::testing
