// The main program: start-up and shut-down in their fixed order against the recording
// stand-ins, the program INI, full-window dragging, the message hook and the exit code.
#include "app/pexolind_main.h"

#include <algorithm>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/app_test_support.h"
#include "app/program.h"
#include "catalog/catalog_queues.h"
#include "catalog/field_types.h"
#include "catalog/globals.h"
#include "catalog/odbc_query.h"
#include "catalog/txd_relations.h"
#include "platform/core/call_trace.h"
#include "platform/core/message.h"
#include "platform/core/record.h"
#include "platform/core/text.h"
#include "platform/files/file.h"
#include "platform/files/ini_file.h"
#include "platform/ui/desktop_settings.h"
#include "platform/ui/prop.h"
#include "restyle/restyle_file_builder.h"
#include "restyle/restyle_test_support.h"

namespace app::testing {
namespace {

using platform::testing::ScriptedUser;

// The calls of the start-up and shut-down: everything but the frame's own life.
std::vector<std::string> WithoutWindowCalls(const std::vector<std::string>& calls) {
  std::vector<std::string> out;
  bool in_window = false;
  for (const std::string& c : calls) {
    if (c == "ZOVRestyleClass.Construct") in_window = true;
    if (!in_window) out.push_back(c);
    if (c.starts_with("ZOVRestyleClass.Destruct")) {
      in_window = false;
      out.push_back("(Main)");
    }
  }
  return out;
}

class MainProgramTest : public ProgramTest {};

// A field as CLEAR leaves it: a text blank, a number 0.
bool IsClear(const platform::FieldInfo& field, std::string_view text) {
  if (platform::IsTextField(field)) return platform::ClipView(text).empty();
  return text == "0";
}

TEST_F(MainProgramTest, StartsUpAndShutsDownInTheFixedOrder) {
  const int code = RunProgram([](ScriptedUser&) {});
  EXPECT_EQ(code, 0);
  EXPECT_EQ(WithoutWindowCalls(Calls()),
            (std::vector<std::string>{
                // The main module's initialiser.
                "ZOVStylemanagerClass.Construct",
                "ZOVAgentClass.Construct",
                // Start-up on thread 1.
                "ErrorManager.Init",
                "IniManager.Init pexolind.INI",
                "ZOVAgentClass.Init",
                "ZOVSplashClass.SplashWindow 10",
                "ZOVRestyleBaseClass.BindUserName DEFAULT",
                "ZOVStylemanagerClass.BindPropertyFile ZOVPROPERTIESFILE",
                "ZOVRestyleBaseClass.BindConditionSetFile ZOVCONDITIONSETFILE",
                "ZOVRestyleBaseClass.BindConditionFile ZOVCONDITIONFILE",
                "ZOVRestyleBaseClass.BindRestyleFile ZOVRESTYLEFILE",
                "ZOVStylemanagerClass.Init 1619",
                "SystemParametersInfoA 38 0 0",
                "(Main)",
                // Shut-down.
                "ZOVAgentClass.Shutdown",
                "IniManager.Release",
                "ErrorManager.Release",
                "ZOVStylemanagerClass.Shutdown",
                // The terminator.
                "ZOVAgentClass.Destruct",
                "ZOVStylemanagerClass.Destruct",
            }));
  // Main ran as the frame procedure.
  EXPECT_EQ(Calls("ZOVRestyleClass.Init"), (std::vector<std::string>{"ZOVRestyleClass.Init Main"}));
  // Never choosing a connection leaves no statement object.
  EXPECT_EQ(catalog::QueryObject, nullptr);
}

TEST_F(MainProgramTest, AssistantKeysAreSetAfterItsInit) {
  std::vector<int32_t> keys;
  OnCall([&](std::string_view call) {
    if (call == "ZOVSplashClass.SplashWindow 10") {
      const assistant::ZOVAgentClass& agent = Program().Agent;
      keys = {agent.TRAINMODEKEY,   agent.ACTIVATEALERTKEY, agent.PLAYAGENTALERTKEY,
              agent.PLAYCONTROLKEY, agent.BUFFERINDEX,      agent.BUFFERPOS};
    }
  });
  RunProgram([](ScriptedUser&) {});
  EXPECT_EQ(keys, (std::vector<int32_t>{0x279, 0x27A, 0x7B, 0x17B, 1, 1}));
}

TEST_F(MainProgramTest, ProgramIniIsReadAtStartAndWrittenAtTheEnd) {
  std::string sectors_at_assistant_init;
  OnCall([&](std::string_view call) {
    if (call == "ZOVAgentClass.Init") sectors_at_assistant_init = Program().IniManager.sectors();
  });
  ASSERT_TRUE(platform::files::PutIni("__Dont_Touch_Me__", "Sectors", "Kept", "pexolind.INI").ok());
  RunProgram([](ScriptedUser&) {});
  EXPECT_EQ(sectors_at_assistant_init, "Kept");
  EXPECT_EQ(platform::files::GetIni("__Dont_Touch_Me__", "Sectors", "?", "pexolind.INI"), "Kept");
}

TEST_F(MainProgramTest, ProgramIniIsWrittenEvenWhenTheUserDoesNothing) {
  ASSERT_FALSE(std::filesystem::exists(dir() / "pexolind.INI"));
  RunProgram([](ScriptedUser&) {});
  EXPECT_TRUE(std::filesystem::exists(dir() / "pexolind.INI"));
  EXPECT_NE(ReadFile(dir() / "pexolind.INI").find("[__Dont_Touch_Me__]"), std::string::npos);
}

TEST_F(MainProgramTest, FullWindowDraggingOnIsOffForTheRunAndOnAgainAfter) {
  platform::ui::TEST_SetDragFullWindows(1);
  int32_t during_run = -1;
  RunProgram([&](ScriptedUser&) {
    platform::ui::SystemParametersInfoA(platform::ui::kSpiGetDragFullWindows, 0, &during_run, 0);
  });
  EXPECT_EQ(during_run, 0);
  EXPECT_EQ(
      Calls("SystemParametersInfoA"),
      (std::vector<std::string>{"SystemParametersInfoA 38 0 0", "SystemParametersInfoA 37 0 3",
                                // The test's own look during the run.
                                "SystemParametersInfoA 38 0 0", "SystemParametersInfoA 37 1 3"}));
  // Switched on again after the assistant's shut-down, before the INI manager lets go.
  const std::vector<std::string> calls = Calls();
  const auto on = std::find(calls.begin(), calls.end(), "SystemParametersInfoA 37 1 3");
  EXPECT_NE(std::find(calls.begin(), on, "ZOVAgentClass.Shutdown"), on);
  EXPECT_NE(std::find(on, calls.end(), "IniManager.Release"), calls.end());
}

TEST_F(MainProgramTest, FullWindowDraggingOffIsNeverChanged) {
  RunProgram([](ScriptedUser&) {});
  EXPECT_EQ(Calls("SystemParametersInfoA"),
            (std::vector<std::string>{"SystemParametersInfoA 38 0 0"}));
}

TEST_F(MainProgramTest, F3WithoutAConnectionShowsTheStyledMessageWithTheMessagesStoredLook) {
  // A message of the assistant's start-up is shown in the standard box; the one F3 raises once
  // the frame is up goes through the style manager into the styled message window, which
  // carries the look stored for every message window.
  styled_messages = true;
  constexpr int32_t kWindowType = 25;
  constexpr auto kColor = static_cast<int32_t>(platform::ui::Prop::Color);
  constexpr auto kWallPaper = static_cast<int32_t>(platform::ui::Prop::WallPaper);
  restyle::testing::WriteRestyleFiles([&](restyle::testing::RestyleFileBuilder& b) {
    b.ListProperty(kWindowType, "COLOR", kColor);
    b.ListProperty(kWindowType, "WALLPAPER", kWallPaper);
    const int32_t set = b.Set("~ZOVRestyleMessage~", "ControlType 25");
    b.Value(set, kColor, "8421376");
    b.Value(set, kWallPaper, "ZOVLogo.png");
  });
  OnCall([](std::string_view call) {
    if (call == "ZOVAgentClass.Init") platform::Message("From the assistant's start-up");
  });
  display.dialogs().ExpectMessage("From the assistant's start-up", platform::kButtonOk);
  std::vector<std::string> lines;
  std::vector<std::string> buttons;
  std::string color;
  std::string wallpaper;
  std::string icon;
  size_t connection_windows = 0;
  RunProgram([&](ScriptedUser& user) {
    OnCall({});
    user.PressKey(Frame(user), platform::ui::kF3Key);
    const platform::ui::WindowHandle w = user.Window("P44$MSGWIN");
    const auto shown = display.FindWindow(w);
    ASSERT_TRUE(shown.has_value());
    platform::ui::FieldId ok = 0;
    for (const auto& [field, c] : shown->controls) {
      if (c.type == platform::ui::ControlType::kString) lines.push_back(c.text);
      if (c.type == platform::ui::ControlType::kImage) icon = c.text;
      if (c.type == platform::ui::ControlType::kButton) {
        buttons.push_back(c.text);
        ok = field;
      }
    }
    const auto property = [&](int32_t p) {
      const auto it = shown->view.properties.find({p, 0});
      return it != shown->view.properties.end() ? it->second : std::string();
    };
    color = property(kColor);
    wallpaper = property(kWallPaper);
    user.Click(w, ok);
    connection_windows = 0;
    for (const auto& m : display.Windows()) {
      if (m.view.title == "Choose an ODB Cconnection") ++connection_windows;
    }
  });
  EXPECT_EQ(lines, std::vector<std::string>{"Please select a ODBC connection first!"});
  EXPECT_EQ(buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(icon, "Exclamation");
  EXPECT_EQ(color, "8421376");
  EXPECT_EQ(wallpaper, "ZOVLogo.png");
  EXPECT_EQ(connection_windows, 1u);
  EXPECT_EQ(Calls("ZOVStylemanagerClass.ShowMessage"),
            (std::vector<std::string>{
                "ZOVStylemanagerClass.ShowMessage Please select a ODBC connection first!"}));
}

// The initialiser clears the record buffers of the catalog queues, the field-types queue and
// the record of sysrel before the style manager is built.
TEST_F(MainProgramTest, TheInitialiserClearsTheRecordBuffersBeforeTheStyleManager) {
  platform::QueueBase* const kQueues[] = {
      &catalog::TablesQueue,      &catalog::ColumnsQueue,     &catalog::IndexesQueue,
      &catalog::PrimaryKeysQueue, &catalog::ForeignKeysQueue, &catalog::FieldTypesQueue,
  };
  // What a run before this one left in the buffers.
  for (platform::QueueBase* queue : kQueues) {
    for (size_t n = 1; n <= queue->FieldCount(); ++n) queue->SetText(n, "7");
  }
  std::vector<std::string> left_at_style_manager;
  bool sysrel_cleared = false;
  OnCall([&](std::string_view call) {
    if (call == "ZOVStylemanagerClass.Construct") {
      for (platform::QueueBase* queue : kQueues) {
        for (size_t n = 1; n <= queue->FieldCount(); ++n) {
          if (!IsClear(queue->layout().field(n), queue->GetText(n))) {
            left_at_style_manager.push_back(queue->layout().Who(n));
          }
        }
      }
    }
    if (call == "ErrorManager.Init") {
      const platform::RecordLayout& layout = catalog::SysrelLayout();
      sysrel_cleared = true;
      for (size_t n = 1; n <= layout.FieldCount(); ++n) {
        sysrel_cleared &=
            IsClear(layout.field(n), platform::GetFieldText(layout.field(n), &Program().SYSREL));
      }
    }
  });
  RunProgram([](ScriptedUser&) {});
  EXPECT_EQ(left_at_style_manager, std::vector<std::string>{});
  EXPECT_TRUE(sysrel_cleared);
}

// The hook is installed after the style manager's start-up and never removed: a message of
// any step before it is shown in the standard box, every one after it, the shut-down's
// included, goes through the style manager.
TEST_F(MainProgramTest, MessagesGoThroughTheHookFromRightAfterTheStyleManagersInit) {
  struct Moment {
    std::string_view call;  // the step during which a message is raised
    bool through_hook;
  };
  constexpr Moment kMoments[] = {
      {"ZOVAgentClass.Init", false},
      {"ZOVRestyleBaseClass.BindRestyleFile ZOVRESTYLEFILE", false},
      {"ZOVStylemanagerClass.Init 1619", false},
      {"SystemParametersInfoA 38 0 0", true},  // the step right after the hook
      {"ZOVAgentClass.Shutdown", true},
      {"IniManager.Release", true},
      {"ZOVStylemanagerClass.Shutdown", true},
  };
  std::vector<std::string> expected;
  for (const Moment& m : kMoments) {
    const std::string text = "During " + std::string(m.call);
    display.dialogs().ExpectMessage(text, platform::kButtonOk);
    if (m.through_hook) expected.push_back("ZOVStylemanagerClass.ShowMessage " + text);
  }
  bool style_manager_keeps_a_hook = true;
  OnCall([&](std::string_view call) {
    if (call == "SystemParametersInfoA 38 0 0") {
      style_manager_keeps_a_hook = static_cast<bool>(Program().StyleManager.MESSAGEHOOK);
    }
    for (const Moment& m : kMoments) {
      if (call == m.call) platform::Message("During " + std::string(m.call));
    }
  });
  RunProgram([](ScriptedUser&) {});
  EXPECT_EQ(Calls("ZOVStylemanagerClass.ShowMessage"), expected);
  EXPECT_EQ(display.dialogs().pending(), 0u);
  // The style manager keeps the hook that was set before its own: none.
  EXPECT_FALSE(style_manager_keeps_a_hook);
}

// After a run with a connection, the shut-down disposes of the statement object and closes
// the ODBC file and releases its connection, after the assistant's shut-down and before full
// window dragging is switched on again.
TEST_F(MainProgramTest, ShutDownDisposesTheStatementObjectAndReleasesTheConnection) {
  ASSERT_TRUE(platform::files::PutIni("Last connectstring", "Connectstring", "DSN=pex_sqlite",
                                      ConnectionIni())
                  .ok());
  platform::ui::TEST_SetDragFullWindows(1);
  struct State {
    bool statement_object = false;
    bool open = false;
    bool connected = false;
  };
  std::weak_ptr<catalog::ODBCQueryClass> statement_object;
  State at_assistant_shutdown;
  State at_dragging_on;
  auto state = [&] {
    return State{!statement_object.expired(), catalog::ODBCFILE.is_open(),
                 catalog::ODBCFILE.GetProperty(platform::files::kPropConnectionHandle) != "0"};
  };
  OnCall([&](std::string_view call) {
    if (call == "ZOVAgentClass.Shutdown") {
      // The program used the connection: the file is open on it with a statement.
      statement_object = catalog::QueryObject;
      ASSERT_NE(catalog::QueryObject, nullptr);
      EXPECT_FALSE(catalog::QueryObject->Execute("SELECT 1"));
      at_assistant_shutdown = state();
    }
    if (call == "SystemParametersInfoA 37 1 3") at_dragging_on = state();
  });
  EXPECT_EQ(RunProgram([](ScriptedUser&) {}), 0);
  EXPECT_TRUE(at_assistant_shutdown.statement_object);
  EXPECT_TRUE(at_assistant_shutdown.open);
  EXPECT_TRUE(at_assistant_shutdown.connected);
  EXPECT_FALSE(at_dragging_on.statement_object);
  EXPECT_FALSE(at_dragging_on.open);
  EXPECT_FALSE(at_dragging_on.connected);
  EXPECT_EQ(catalog::QueryObject, nullptr);
}

// The restyle files: a real start opens them in the current directory, creating what is
// missing, and asks before it replaces one of another record layout.
class RestyleFilesAtStartUpTest : public ProgramTest {
 protected:
  // A keyed file named like a restyle file, of another record layout.
  void WriteOtherLayout(const std::string& name) {
    ASSERT_TRUE(restyle::testing::WriteKeyedFileOfAnotherLayout((dir() / name).string()));
  }
  static constexpr std::string_view kQuestion =
      "The file structure of ZOVRestyle has changed|new file has to be created...|Continue?";
};

TEST_F(RestyleFilesAtStartUpTest, AFirstStartCreatesTheFourFilesWithoutAQuestion) {
  EXPECT_EQ(RunProgram([](ScriptedUser&) {}), 0);
  for (const char* name : {"ZOVProperties", "ZOVConditionalSet", "ZOVConditional", "ZOVRestyle"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(dir() / name)) << name;
    EXPECT_FALSE(std::filesystem::exists(dir() / (std::string(name) + ".bak"))) << name;
  }
  // The run collected the texts it translated.
  EXPECT_TRUE(ReadFile(dir() / "ZOVRestyle.trn").starts_with("ZOVResty GROUP\r\n"));
}

TEST_F(RestyleFilesAtStartUpTest, YesKeepsTheChangedFileAsBakAndStartsEmpty) {
  WriteOtherLayout("ZOVRestyle");
  display.dialogs().ExpectMessage(kQuestion, platform::kButtonYes);
  EXPECT_EQ(RunProgram([](ScriptedUser&) {}), 0);
  ASSERT_EQ(display.dialogs().seen().size(), 1u);
  EXPECT_EQ(display.dialogs().seen()[0].text, kQuestion);
  EXPECT_EQ(display.dialogs().seen()[0].caption, "ZOVRestyle");
  EXPECT_TRUE(std::filesystem::exists(dir() / "ZOVRestyle.bak"));
  // The frame ran.
  EXPECT_EQ(Calls("ZOVRestyleClass.Init"), (std::vector<std::string>{"ZOVRestyleClass.Init Main"}));
}

TEST_F(RestyleFilesAtStartUpTest, NoOrClosingTheQuestionEndsTheProgramBeforeTheFrameOpens) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  WriteOtherLayout("ZOVRestyle");
  for (const int32_t answer : {int32_t{platform::kButtonNo}, 0}) {
    // The program runs in a child process; should its frame open, it ends with another code.
    EXPECT_EXIT(
        {
          display.dialogs().ExpectMessage(kQuestion, answer);
          OnCall([](std::string_view call) {
            if (call == "ZOVRestyleClass.Init Main") _exit(3);
          });
          RunProgram([](ScriptedUser&) {});
        },
        ::testing::ExitedWithCode(0), "")
        << answer;
  }
}

}  // namespace
}  // namespace app::testing
