// The restyle objects of the program's own windows: the limit on procedure starts, the
// registry of the open windows, the frame, and what opening a window leaves in the restyle
// files.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/program.h"
#include "platform/testing/scripted_display.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_files.h"
#include "restyle/restyle_test_support.h"

namespace app::testing {
namespace {

using platform::testing::ScriptedUser;
using platform::ui::WindowHandle;

constexpr std::string_view kConnectionTitle = "Choose an ODB Cconnection";
constexpr platform::ui::EventId kLook = platform::ui::kEventUser + 0x77;

class RestyleObjectTest : public ProgramTest {
 protected:
  // Stores `value` for property `number` in the "-Unconditional-" set of `group` of
  // `procedure`, before the program starts.
  void StoreValue(std::string_view procedure, std::string_view group, int32_t number,
                  std::string_view value) {
    restyle::RestyleFiles files;
    restyle::ZOVRestyleBaseClass store;
    platform::FixedString<255> user = "DEFAULT";
    platform::CString<256> profile = "DEFAULT";
    uint8_t change_global = 1;
    restyle::testing::BindToFiles(store, files, user);
    store.REFCURRENTPROFILE = &profile;
    store.REFCHANGEGLOBALPROPERTIES = &change_global;
    store.PROCEDURENAME = procedure;
    platform::testing::ScriptedDisplay own_display;
    restyle::testing::RunOnRuntimeThread(own_display, [&] {
      for (platform::files::File* f : {&files.ZOVPROPERTIESFILE, &files.ZOVCONDITIONSETFILE,
                                       &files.ZOVCONDITIONFILE, &files.ZOVRESTYLEFILE}) {
        ASSERT_TRUE(f->Open(platform::files::kReadWrite | platform::files::kDenyNone));
      }
      restyle::ControlPropertyGroup g;
      g.ENABLED = 1;
      g.VALUE = value;
      const int32_t set = store.GetConditionSetId(0, 0, group);
      ASSERT_NE(set, 0);
      store.SaveGroup(g, set, "property " + std::to_string(number));
      for (platform::files::File* f : {&files.ZOVPROPERTIESFILE, &files.ZOVCONDITIONSETFILE,
                                       &files.ZOVCONDITIONFILE, &files.ZOVRESTYLEFILE}) {
        ASSERT_TRUE(f->Close());
      }
    });
  }

  // Runs `look` on the frame's thread, holding the runtime lock, at its next event.
  void LookFromFrame(ScriptedUser& user, const std::function<void()>& look) {
    // Shared with the hook, which a late call may still run after this returns.
    auto done = std::make_shared<std::atomic<bool>>(false);
    OnCall([done, look](std::string_view call) {
      if (call == "ZOVAgentClass.HandleEvent Main" && platform::ui::Event() == kLook &&
          !done->exchange(true)) {
        look();
      }
    });
    platform::ui::PostToWindow(Frame(user), kLook);
    user.WaitUntilIdle();
    OnCall({});
    EXPECT_TRUE(*done);
  }

  // The procedures of the registered restyle objects, in registry order.
  std::vector<std::string> Registry(ScriptedUser& user) {
    std::vector<std::string> out;
    LookFromFrame(user, [&] {
      for (const restyle::ZOVRestyleClass* r : Program().StyleManager.RESTYLECLASSLIST) {
        out.push_back(r->PROCEDURENAME.str());
      }
    });
    return out;
  }

  size_t ConnectionWindows() {
    size_t n = 0;
    for (const auto& w : display.Windows()) n += w.view.title == kConnectionTitle ? 1 : 0;
    return n;
  }

  // Every condition set: "PROCEDURE/GROUP/NAME".
  std::vector<std::string> Sets() {
    restyle::RestyleFiles files;
    std::vector<std::string> out;
    if (!files.ZOVCONDITIONSETFILE.Open(platform::files::kReadWrite | platform::files::kDenyNone)) {
      return {"cannot open"};
    }
    EXPECT_TRUE(files.ZOVCONDITIONSETFILE.SetKey(restyle::kConditionSetSortKey, false));
    while (files.ZOVCONDITIONSETFILE.Next()) {
      out.push_back(files.ZOVCS.PROCEDURENAME.str() + "/" + files.ZOVCS.GROUPNAME.str() + "/" +
                    files.ZOVCS.CONDITIONALSET.str());
    }
    return out;
  }
};

TEST_F(RestyleObjectTest, LimitProcedureStartActivatesTheFirstWindowInsteadOfOpeningMore) {
  struct Case {
    std::optional<std::string_view> limit;  // none: not stored
    size_t open_after_three;
  };
  const Case kCases[] = {{std::nullopt, 3}, {"0", 3}, {"1", 1}, {"2", 2}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.limit.value_or("none"));
    std::filesystem::remove_all(dir() / "ZOVRestyle");
    for (const char* name : {"ZOVConditionalSet", "ZOVConditional", "ZOVProperties"}) {
      std::filesystem::remove(dir() / name);
    }
    if (c.limit) StoreValue("ChooseODBCconnection", "ControlType 25", -1, *c.limit);
    size_t open = 0;
    size_t after_close_and_again = 0;
    std::string first_active;
    RunProgram([&](ScriptedUser& user) {
      const WindowHandle frame = Frame(user);
      user.PressKey(frame, platform::ui::kF2Key);
      const WindowHandle first = user.Window(kConnectionTitle);
      for (int i = 0; i < 2; ++i) {
        platform::ui::Input activate;
        activate.kind = platform::ui::Input::Kind::kActivated;
        platform::ui::PostInput(frame, activate);
        user.WaitUntilIdle();
        user.PressKey(frame, platform::ui::kF2Key);
      }
      open = ConnectionWindows();
      LookFromFrame(user, [&] {
        first_active = platform::ui::FindWindow(first)->Get(0, platform::ui::Prop::Active);
      });
      // A closed window no longer counts.
      user.CloseBox(first);
      user.PressKey(frame, platform::ui::kF2Key);
      after_close_and_again = ConnectionWindows();
    });
    EXPECT_EQ(open, c.open_after_three);
    EXPECT_EQ(after_close_and_again, c.open_after_three);
    // Refused starts activate the first window of the procedure.
    EXPECT_EQ(first_active, c.open_after_three < 3 ? "1" : "");
  }
}

TEST_F(RestyleObjectTest, EveryOpenWindowIsRegisteredAndTheFrameIsTheApplicationWindow) {
  std::vector<std::vector<std::string>> registries;
  std::string frame_type;
  bool application_is_frame = false;
  std::vector<int32_t> frame_fields;
  RunProgram([&](ScriptedUser& user) {
    const WindowHandle frame = Frame(user);
    registries.push_back(Registry(user));
    user.PressKey(frame, platform::ui::kF2Key);
    const WindowHandle first = user.Window(kConnectionTitle);
    user.PressKey(frame, platform::ui::kF2Key);
    registries.push_back(Registry(user));
    user.CloseBox(first);
    registries.push_back(Registry(user));
    LookFromFrame(user, [&] {
      const stylemanager::ZOVStylemanagerClass& manager = Program().StyleManager;
      application_is_frame = manager.APPLICATIONWINDOW != nullptr &&
                             manager.APPLICATIONWINDOW->handle() == frame &&
                             manager.APPLICATIONHANDLE == frame;
      if (manager.APPLICATIONWINDOW != nullptr) {
        frame_type = manager.APPLICATIONWINDOW->Get(0, platform::ui::Prop::Type);
      }
      // The frame's initial geometry covers its menus and items too.
      const restyle::ZOVRestyleClass& restyle = *manager.RESTYLECLASSLIST.front();
      for (size_t i = 1; i <= restyle.RESIZEQUEUE->Records(); ++i) {
        frame_fields.push_back(restyle.RESIZEQUEUE->entry(i).CONTROLEQUATE);
      }
    });
  });
  EXPECT_EQ(registries, (std::vector<std::vector<std::string>>{
                            {"Main"},
                            {"Main", "ChooseODBCconnection", "ChooseODBCconnection"},
                            {"Main", "ChooseODBCconnection"},
                        }));
  EXPECT_TRUE(application_is_frame);
  EXPECT_EQ(frame_type, "24");
  ASSERT_FALSE(frame_fields.empty());
  for (const int32_t field : {0, -1, -2}) {
    EXPECT_NE(std::find(frame_fields.begin(), frame_fields.end(), field), frame_fields.end())
        << field;
  }
}

TEST_F(RestyleObjectTest, OpeningAWindowInAnEmptyDirectoryLeavesItsImagesSetInTheFile) {
  RunProgram([&](ScriptedUser& user) {
    user.PressKey(Frame(user), platform::ui::kF2Key);
    user.Window(kConnectionTitle);
  });
  const std::vector<std::string> sets = Sets();
  for (const char* wanted :
       {"ChooseODBCconnection/~Images~/-Unconditional-", "Main/~Images~/-Unconditional-",
        "~Global settings/~Images~/-Unconditional-"}) {
    EXPECT_NE(std::find(sets.begin(), sets.end(), wanted), sets.end()) << wanted;
  }
}

}  // namespace
}  // namespace app::testing
