// The restyle object's event handling in the running program, with restyle files seeded before
// it starts: styling after a resize, deferred while a message box is open; the position and
// size saved on close; the frame's size as the tree menu reads it; and the style hot key.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/procedure_frame.h"
#include "app/program.h"
#include "platform/files/ini_file.h"
#include "platform/headless/headless_backend.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/backend.h"
#include "platform/ui/codes.h"
#include "platform/ui/prop.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/property_table.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_file_builder.h"

namespace app::testing {
namespace {

using platform::testing::ScriptedUser;
using platform::ui::FieldId;
using platform::ui::Prop;
using platform::ui::WindowHandle;
using restyle::testing::RestyleFileBuilder;

constexpr std::string_view kConnectionTitle = "Choose an ODB Cconnection";
constexpr std::string_view kConnection = "ChooseODBCconnection";
constexpr std::string_view kQueryTitle = "Browse an ODBC connection";
constexpr std::string_view kQuery = "BrowseODBCconnection";
constexpr int32_t kWindowType = 25;
constexpr platform::ui::EventId kOnWindow = platform::ui::kEventUser + 0x78;
constexpr platform::ui::EventId kDeferredResize = 0x999;
constexpr platform::ui::KeyCode kHotKey = 0x653;  // Ctrl+Alt+S

std::string Text(const platform::ui::RectDu& at) {
  return std::to_string(at.x) + " " + std::to_string(at.y) + " " + std::to_string(at.width) + " " +
         std::to_string(at.height);
}

platform::ui::Input Sized(platform::ui::RectDu at) {
  platform::ui::Input in;
  in.kind = platform::ui::Input::Kind::kSized;
  in.at = at;
  return in;
}

class RestyleEventsTest : public ProgramTest {
 protected:
  // Runs `act` on the thread of window `w` of `procedure` with its restyle object, at its next
  // event.
  void OnWindow(ScriptedUser& user, WindowHandle w, std::string_view procedure,
                const std::function<void(restyle::ZOVRestyleClass&)>& act) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    const std::string hook = "ZOVAgentClass.HandleEvent " + std::string(procedure);
    OnCall([done, act, hook](std::string_view call) {
      if (call == hook && platform::ui::Event() == kOnWindow && !done->exchange(true)) {
        act(*TEST_RunningRestyle());
      }
    });
    platform::ui::PostToWindow(w, kOnWindow);
    user.WaitUntilIdle();
    OnCall({});
    EXPECT_TRUE(*done);
  }

  // The geometry of the window, as large as it is shown.
  std::string Shown(ScriptedUser& user, WindowHandle w, std::string_view procedure) {
    std::string at;
    OnWindow(user, w, procedure, [&](restyle::ZOVRestyleClass& r) {
      for (const Prop p : {Prop::Xpos, Prop::Ypos, Prop::Width, Prop::Height}) {
        at += (at.empty() ? "" : " ") + r.PROCEDUREWINDOW->Get(0, p);
      }
    });
    return at;
  }

  void StoreConnectString(std::string_view connect) {
    ASSERT_TRUE(
        platform::files::PutIni("Last connectstring", "Connectstring", connect, ConnectionIni())
            .ok());
  }

  // The passes of the styling pass so far: each starts the tree menu's refresh.
  size_t Passes() const { return Calls("ZOVRestyleClass.ApplyMenuTree").size(); }
};

TEST_F(RestyleEventsTest, ASizedEventStylesOnlyANewSizeButRoundsTheCornersAgainEitherWay) {
  struct Case {
    std::string_view name;
    int32_t grow;  // dialog units added to the width
    size_t passes;
  };
  const Case cases[] = {{"the size of the last pass", 0, 0}, {"a new size", 30, 1}};
  restyle::testing::WriteRestyleFiles([](RestyleFileBuilder& b) {
    b.ListProperty(kWindowType, "WINDOW ROUNDNESS", restyle::kWindowRoundness);
    b.Value(b.Set(kConnection, "ControlType 25"), restyle::kWindowRoundness, "12");
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    size_t passes = 99;
    std::vector<std::string> rounded;
    RunProgram([&](ScriptedUser& user) {
      user.PressKey(Frame(user), platform::ui::kF2Key);
      const WindowHandle w = user.Window(kConnectionTitle);
      platform::ui::RectDu at;
      OnWindow(user, w, kConnection,
               [&](restyle::ZOVRestyleClass& r) { at = r.PROCEDUREWINDOW->RestoredGeometry(); });
      ClearCalls();
      at.width += c.grow;
      platform::ui::PostInput(w, Sized(at));
      user.WaitUntilIdle();
      passes = Passes();
      rounded = Calls("ZOVStylemanagerClass.RoundWindow");
    });
    EXPECT_EQ(passes, c.passes);
    EXPECT_EQ(rounded, (std::vector<std::string>{"ZOVStylemanagerClass.RoundWindow 12"}));
  }
}

TEST_F(RestyleEventsTest, AResizeWhileAMessageBoxIsOpenIsStyledAfterItHasClosed) {
  constexpr std::string_view kConnect = "?ConnectButton";  // declared 60 wide
  restyle::testing::WriteRestyleFiles([](RestyleFileBuilder& b) {
    b.Value(b.Set(kConnection, "ControlType 25"), restyle::kDynamicSizing, "1");
  });
  // A directory in the connection file's place: connecting shows a message.
  std::filesystem::create_directory(ConnectionIni());
  std::atomic<int> deferred = 0;
  std::atomic<bool> sized_after_the_box = false;
  int32_t width_while_open = 0;
  int32_t width_after = 0;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    user.PressKey(frame, platform::ui::kF2Key);
    const WindowHandle asking = user.Window(kConnectionTitle);
    user.PressKey(frame, platform::ui::kF2Key);
    WindowHandle w = 0;
    for (const platform::headless::MirrorWindow& m : display.Windows()) {
      if (m.view.title == kConnectionTitle && m.view.handle != asking) w = m.view.handle;
    }
    ASSERT_NE(w, 0);
    const FieldId connect = user.Field(w, kConnect);
    platform::ui::RectDu at;
    OnWindow(user, w, kConnection,
             [&](restyle::ZOVRestyleClass& r) { at = r.PROCEDUREWINDOW->RestoredGeometry(); });
    // The second window's events, as its own handling sees them.
    OnCall([&](std::string_view call) {
      if (call != "ZOVAgentClass.HandleEvent ChooseODBCconnection" ||
          platform::ui::Thread() != display.FindWindow(w)->view.thread) {
        return;
      }
      const platform::ui::EventId e = platform::ui::Event();
      if (e == kDeferredResize) ++deferred;
      if (e == platform::ui::kEventSized && deferred > 0 &&
          platform::ui::GetSystemProp(Prop::Modal).empty()) {
        sized_after_the_box = true;
      }
    });
    // The user sizes the second window while the first one's message is shown.
    display.SetDialogHook([&] {
      platform::ui::PostInput(w, Sized({at.x, at.y, at.width * 2, at.height * 2}));
      const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (deferred == 0 && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      width_while_open = user.Control(w, connect).at.width;
    });
    user.Type(asking, "?DSNString", "pex_sqlite");
    // The second window's close at the end says it too.
    for (int i = 0; i < 2; ++i) {
      display.dialogs().ExpectMessage("Couldn't save the connection!|", platform::kButtonOk);
    }
    user.Click(asking, kConnect);
    user.WaitUntilIdle();
    display.SetDialogHook({});
    OnCall({});
    width_after = user.Control(w, connect).at.width;
  });
  EXPECT_GE(deferred.load(), 1);
  EXPECT_EQ(width_while_open, 60);
  EXPECT_TRUE(sized_after_the_box);
  EXPECT_EQ(width_after, 120);
}

TEST_F(RestyleEventsTest, AWindowClosedAndOpenedAgainOpensAtItsLastPlaceAndSize) {
  struct Case {
    std::string_view name;
    bool maximized;  // "Maximize window automatic": it is maximized when it closes
  };
  const Case cases[] = {{"moved and sized by the user", false}, {"closed maximized", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(dir() / "ZOVRestyle");
    restyle::testing::WriteRestyleFiles([&](RestyleFileBuilder& b) {
      const int32_t window = b.Set(kConnection, "ControlType 25");
      b.Value(window, restyle::kSaveWindowPosition, "1");
      if (c.maximized) b.Value(window, restyle::kMaximizeAutomatic, "1");
    });
    std::string closed_at;  // restored geometry when it closed
    std::string shown;      // as large as it was shown then
    std::string reopened_at;
    RunProgram([&](ScriptedUser& user) {
      user.PressKey(Frame(user), platform::ui::kF2Key);
      WindowHandle w = user.Window(kConnectionTitle);
      if (!c.maximized) {
        platform::ui::PostInput(w, Sized({20, 15, 300, 150}));
        user.WaitUntilIdle();
      }
      OnWindow(user, w, kConnection, [&](restyle::ZOVRestyleClass& r) {
        closed_at = Text(r.PROCEDUREWINDOW->RestoredGeometry());
      });
      shown = Shown(user, w, kConnection);
      user.CloseBox(w);
      user.PressKey(Frame(user), platform::ui::kF2Key);
      w = user.Window(kConnectionTitle);
      OnWindow(user, w, kConnection, [&](restyle::ZOVRestyleClass& r) {
        reopened_at = Text(r.PROCEDUREWINDOW->RestoredGeometry());
      });
    });
    if (c.maximized) {
      EXPECT_NE(shown, closed_at);
    } else {
      EXPECT_EQ(closed_at, "20 15 300 150");
    }
    EXPECT_EQ(reopened_at, closed_at);
  }
}

TEST_F(RestyleEventsTest, WithTheGlobalSwitchOnAllProceduresShareOneSavedPosition) {
  struct Case {
    std::string_view name;
    uint8_t change_global;
    std::string_view query_at;
  };
  const Case cases[] = {{"on", 1, "20 15 300 150"}, {"off: its own", 0, "0 0 419 288"}};
  StoreConnectString("DSN=pex_sqlite");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(dir() / "ZOVRestyle");
    restyle::testing::WriteRestyleFiles([](RestyleFileBuilder& b) {
      for (const std::string_view procedure : {kConnection, kQuery}) {
        b.Value(b.Set(procedure, "ControlType 25"), restyle::kSaveWindowPosition, "1");
      }
    });
    std::string query_at;
    RunProgram([&](ScriptedUser& user) {
      const WindowHandle frame = Frame(user);
      // As the style configuration leaves the switch.
      OnWindow(user, frame, "Main", [&](restyle::ZOVRestyleClass&) {
        Program().StyleManager.CHANGEGLOBALPROPERTIES = c.change_global;
      });
      user.PressKey(frame, platform::ui::kF2Key);
      const WindowHandle w = user.Window(kConnectionTitle);
      platform::ui::PostInput(w, Sized({20, 15, 300, 150}));
      user.WaitUntilIdle();
      user.CloseBox(w);
      user.PressKey(frame, platform::ui::kF3Key);
      query_at = Shown(user, user.Window(kQueryTitle), kQuery);
    });
    EXPECT_EQ(query_at, c.query_at);
  }
}

TEST_F(RestyleEventsTest, OnlyTheFramesSizeIsTheOneTheTreeMenuReads) {
  std::vector<std::string> client;
  std::string frame_at;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    const auto client_size = [&] {
      OnWindow(user, frame, "Main", [&](restyle::ZOVRestyleClass&) {
        client.push_back(std::to_string(Program().StyleManager.APPLICATIONCLIENTWIDTH) + " " +
                         std::to_string(Program().StyleManager.APPLICATIONCLIENTHEIGHT));
      });
    };
    platform::ui::PostInput(frame, Sized({10, 10, 500, 300}));
    user.WaitUntilIdle();
    client_size();
    user.PressKey(frame, platform::ui::kF2Key);
    const WindowHandle w = user.Window(kConnectionTitle);
    platform::ui::PostInput(w, Sized({5, 5, 450, 260}));
    user.WaitUntilIdle();
    client_size();
  });
  // The frame's height with the room the tree menu adds, both times.
  EXPECT_EQ(client, (std::vector<std::string>{"500 340", "500 340"}));
}

TEST_F(RestyleEventsTest, TheFramesConnectionRefreshGoesOnAndItsSizeIsTakenAgain) {
  std::vector<platform::ui::EventId> frame_events;
  std::string item;
  std::string client;
  std::string frame_size;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    OnCall([&](std::string_view call) {
      if (call == "ZOVAgentClass.HandleEvent Main") frame_events.push_back(platform::ui::Event());
    });
    user.PressKey(frame, platform::ui::kF2Key);
    const WindowHandle w = user.Window(kConnectionTitle);
    const FieldId list = user.Field(w, "?DataSourceList");
    const auto rows = user.Rows(w, list);
    ASSERT_NE(rows, nullptr);
    int32_t row = 0;
    for (size_t i = 0; i < rows->rows.size(); ++i) {
      if (rows->rows[i][0].starts_with("pex_sqlite (")) row = static_cast<int32_t>(i + 1);
    }
    ASSERT_GT(row, 0);
    user.SelectRow(w, list, row);
    user.DoubleClickRow(w, list, row);
    user.WaitUntilIdle();
    OnCall({});
    item = user.Control(frame, -3).text;
    OnWindow(user, frame, "Main", [&](restyle::ZOVRestyleClass& r) {
      client = std::to_string(Program().StyleManager.APPLICATIONCLIENTWIDTH) + " " +
               std::to_string(Program().StyleManager.APPLICATIONCLIENTHEIGHT);
      frame_size = r.PROCEDUREWINDOW->Get(0, Prop::Width) + " " +
                   std::to_string(std::stoi(r.PROCEDUREWINDOW->Get(0, Prop::Height)) + 40);
    });
  });
  EXPECT_EQ(item, "DSN=pex_sqlite");
  const auto refresh = std::find(frame_events.begin(), frame_events.end(), kDeferredResize);
  ASSERT_NE(refresh, frame_events.end());
  EXPECT_NE(std::find(refresh, frame_events.end(), platform::ui::kEventSized), frame_events.end());
  EXPECT_EQ(client, frame_size);
}

TEST_F(RestyleEventsTest, TheHotKeyHidesTheMarkOpensTheConfigurationAndGivesTheFocusBack) {
  restyle::testing::WriteRestyleFiles([](RestyleFileBuilder& b) {
    b.ListProperty(kWindowType, "MARK SELECTED CONTROL", restyle::kMarkSelectedControl);
    // Red, no symbol, the arrow before the control.
    b.Value(b.Set(kConnection, "ControlType 25"), restyle::kMarkSelectedControl,
            "255" + std::string(16, ' ') + std::string(10, ' ') + "1");
  });
  std::string mark_before;
  std::string mark_while_configuring;
  FieldId focus_after = 0;
  FieldId username = 0;
  RunProgram([&](ScriptedUser& user) {
    user.PressKey(Frame(user), platform::ui::kF2Key);
    const WindowHandle w = user.Window(kConnectionTitle);
    username = user.Field(w, "?Username");
    const FieldId password = user.Field(w, "?Password");
    user.Focus(w, username);
    const auto mark_at = [](restyle::ZOVRestyleClass& r) {
      const FieldId mark = r.MARKSELECTEDCONTROLEQUATE;
      return r.PROCEDUREWINDOW->Get(mark, Prop::Xpos) + " " +
             r.PROCEDUREWINDOW->Get(mark, Prop::Ypos);
    };
    OnWindow(user, w, kConnection, [&](restyle::ZOVRestyleClass& r) { mark_before = mark_at(r); });
    OnCall([&](std::string_view call) {
      if (call != "ZOVStylemanagerClass.ConfigureMain") return;
      restyle::ZOVRestyleClass& r = *TEST_RunningRestyle();
      mark_while_configuring = mark_at(r);
      // The configuration window takes the focus.
      r.PROCEDUREWINDOW->Select(password);
    });
    user.PressKey(w, kHotKey);
    user.WaitUntilIdle();
    OnCall({});
    focus_after = FocusedField(user, w, kConnection);
  });
  EXPECT_EQ(mark_before, "95 23");
  EXPECT_EQ(mark_while_configuring, "-9999 -9999");
  EXPECT_EQ(Calls("ZOVStylemanagerClass.ConfigureMain").size(), 1u);
  EXPECT_EQ(focus_after, username);
}

}  // namespace
}  // namespace app::testing
