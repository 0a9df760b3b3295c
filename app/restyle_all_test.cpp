// Restyle-all on the program's own windows, on their own threads: the order of the windows,
// which are hidden meanwhile, the progress window, the registered geometry coming back, and
// windows that close or open while the pass lets the other threads run.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/procedure_frame.h"
#include "app/procedures.h"
#include "app/program.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/backend.h"
#include "platform/ui/procedure_table.h"
#include "platform/ui/prop.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace app::testing {
namespace {

using platform::testing::ScriptedUser;
using platform::ui::Prop;
using platform::ui::WindowHandle;

constexpr std::string_view kConnectionTitle = "Choose an ODB Cconnection";
constexpr platform::ui::EventId kOnFrame = platform::ui::kEventUser + 0x79;

// One styling pass as the pass's window saw it.
struct PassSeen {
  WindowHandle window = 0;
  bool hidden = false;
  bool restoring = false;  // DONOTRESTYLETHISPROCEDURE was 1
  std::string progress;    // "Progress/RangeHigh" of the progress bar
  bool operator==(const PassSeen&) const = default;
};

class RestyleAllTest : public ProgramTest {
 protected:
  // Runs restyle-all on a thread of its own, as the configuration window does when it
  // closes, with an object of its own as the caller. `during_pass` runs at the start of
  // every styling pass, on the pass's thread.
  void RestyleAll(ScriptedUser& user, uint8_t fading,
                  const std::function<void(const PassSeen&)>& during_pass = {}) {
    display.TEST_SetShowsOpacity(false);
    auto done = std::make_shared<std::atomic<bool>>(false);
    OnCall([this, done, fading, during_pass](std::string_view call) {
      if (call == "ZOVAgentClass.HandleEvent Main" && platform::ui::Event() == kOnFrame &&
          !done->exchange(true)) {
        // The pass yields: it cannot run inside this hook, which other threads wait for.
        platform::ui::Start([this, fading] {
          stylemanager::ZOVStylemanagerClass& manager = Program().StyleManager;
          restyle::ZOVRestyleClass caller;
          caller.Init(manager, "RestyleAllTest");
          manager.USEFADING = fading;
          pass_thread_ = platform::ui::Thread();
          manager.RestyleAllWindows(caller);
          pass_thread_ = 0;
        });
      } else if (call == "ZOVRestyleClass.ApplyMenuTree" && pass_thread_ != 0 &&
                 platform::ui::Thread() == pass_thread_) {
        const PassSeen seen = Seen();
        passes_.push_back(seen);
        if (during_pass) during_pass(seen);
      }
    });
    platform::ui::PostToWindow(Frame(user), kOnFrame);
    user.WaitUntilIdle();
    OnCall({});
    EXPECT_TRUE(*done);
  }

  // The pass's window and the progress window, seen from inside the pass.
  PassSeen Seen() {
    PassSeen seen;
    platform::ui::Window* window = platform::ui::TargetWindow();
    if (window == nullptr) return seen;
    seen.window = window->handle();
    seen.hidden = window->Get(0, Prop::Hide) == "1";
    for (const restyle::ZOVRestyleClass* r : Program().StyleManager.RESTYLECLASSLIST) {
      if (r->PROCEDUREWINDOW == window) seen.restoring = r->DONOTRESTYLETHISPROCEDURE == 1;
    }
    for (const auto& w : display.Windows()) {
      if (w.view.label != "P40$RESTYLEPROGRESSWINDOW") continue;
      if (platform::ui::Window* progress = platform::ui::FindWindow(w.view.handle)) {
        seen.progress = progress->Get(2, Prop::Progress) + "/" + progress->Get(2, Prop::RangeHigh);
      }
    }
    return seen;
  }

  // The two passes of one row: the registered look back with the window hidden unless it is
  // the frame, then styled anew.
  static std::vector<PassSeen> Row(WindowHandle w, bool hidden, std::string progress) {
    return {{w, hidden, true, progress}, {w, hidden, false, progress}};
  }

  std::vector<WindowHandle> ConnectionWindows() {
    std::vector<WindowHandle> out;
    for (const auto& w : display.Windows()) {
      if (w.view.title == kConnectionTitle) out.push_back(w.view.handle);
    }
    return out;
  }

  // The geometry of connection window `w` as its own procedure reads it.
  std::string At(ScriptedUser& user, WindowHandle w) {
    auto at = std::make_shared<std::string>();
    OnCall([at](std::string_view call) {
      if (call == "ZOVAgentClass.HandleEvent ChooseODBCconnection" &&
          platform::ui::Event() == kOnFrame && at->empty()) {
        const platform::ui::Window& window = *TEST_RunningRestyle()->PROCEDUREWINDOW;
        for (const Prop p : {Prop::Xpos, Prop::Ypos, Prop::Width, Prop::Height}) {
          if (!at->empty()) at->push_back(' ');
          at->append(window.Get(0, p));
        }
      }
    });
    platform::ui::PostToWindow(w, kOnFrame);
    user.WaitUntilIdle();
    OnCall({});
    return *at;
  }

  bool ShownHidden(WindowHandle w) {
    for (const auto& m : display.Windows()) {
      if (m.view.handle == w) return m.view.hidden;
    }
    return true;
  }

  std::atomic<platform::ui::ThreadId> pass_thread_ = 0;
  std::vector<PassSeen> passes_;
};

TEST_F(RestyleAllTest, WithOnlyTheFrameOpenTheProgressGoesOneOfOneAndTheFrameStaysShown) {
  struct Case {
    uint8_t fading;
    std::vector<std::string> fades;
  };
  const Case kCases[] = {
      {0, {}},
      {1, {"ZOVRestyleClass.FadeWindow in", "ZOVRestyleClass.FadeWindow out"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.fading);
    passes_.clear();
    WindowHandle frame = 0;
    bool progress_left = true;
    RunProgram([&](ScriptedUser& user) {
      frame = Frame(user);
      ClearCalls();
      RestyleAll(user, c.fading);
      progress_left = false;
      for (const auto& w : display.Windows()) {
        progress_left = progress_left || w.view.label == "P40$RESTYLEPROGRESSWINDOW";
      }
    });
    EXPECT_EQ(passes_, Row(frame, false, "1/1"));
    EXPECT_EQ(Calls("ZOVRestyleClass.FadeWindow"), c.fades);
    // The progress window never waited for input: it is gone when the pass returns.
    EXPECT_FALSE(progress_left);
  }
}

TEST_F(RestyleAllTest,
       WindowsAreRestyledInAttachOrderHiddenMeanwhileAndBackAtTheirRegisteredPlace) {
  WindowHandle frame = 0;
  std::vector<WindowHandle> windows;
  std::string registered;
  std::string moved_to;
  std::string after;
  bool hidden_after = true;
  RunProgram([&](ScriptedUser& user) {
    frame = Frame(user);
    user.PressKey(frame, platform::ui::kF2Key);
    user.Window(kConnectionTitle);
    user.PressKey(frame, platform::ui::kF2Key);
    user.WaitUntilIdle();
    windows = ConnectionWindows();
    ASSERT_EQ(windows.size(), 2u);
    registered = At(user, windows[0]);
    const platform::ui::RectDu at = user.Control(windows[0], 0).at;
    // The user moves the first window.
    platform::ui::Input moved;
    moved.kind = platform::ui::Input::Kind::kMoved;
    moved.at = {at.x + 30, at.y + 20, at.width, at.height};
    platform::ui::PostInput(windows[0], moved);
    user.WaitUntilIdle();
    moved_to = At(user, windows[0]);
    RestyleAll(user, 0);
    after = At(user, windows[0]);
    hidden_after = ShownHidden(windows[0]) || ShownHidden(windows[1]) || ShownHidden(frame);
  });
  ASSERT_EQ(windows.size(), 2u);
  std::vector<PassSeen> expected = Row(frame, false, "1/3");
  for (size_t i = 0; i < 2; ++i) {
    for (const PassSeen& p : Row(windows[i], true, std::to_string(i + 2) + "/3")) {
      expected.push_back(p);
    }
  }
  EXPECT_EQ(passes_, expected);
  EXPECT_NE(moved_to, registered);
  EXPECT_EQ(after, registered);
  EXPECT_FALSE(hidden_after);
}

TEST_F(RestyleAllTest, AWindowClosedOrOpenedDuringTheYieldIsNeitherTouchedNorVisited) {
  WindowHandle frame = 0;
  std::vector<WindowHandle> windows;
  std::vector<WindowHandle> after;
  std::vector<std::string> registry;
  RunProgram([&](ScriptedUser& user) {
    frame = Frame(user);
    for (int i = 0; i < 2; ++i) {
      user.PressKey(frame, platform::ui::kF2Key);
      user.WaitUntilIdle();
    }
    windows = ConnectionWindows();
    ASSERT_EQ(windows.size(), 2u);
    bool acted = false;
    RestyleAll(user, 0, [&](const PassSeen& seen) {
      if (acted || seen.window != frame) return;
      acted = true;
      // The first connection window is closed by its own thread, and a new one opened,
      // while the pass yields after putting the frame back.
      platform::ui::Input close;
      close.kind = platform::ui::Input::Kind::kCloseBox;
      platform::ui::PostInput(windows[0], close);
      // The closing thread is in line for the lock before the opening one.
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (!platform::ui::OthersWaitForRuntimeLock() &&
             std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      platform::ui::StartProcedure(kChooseODBCconnectionName);
    });
    user.WaitUntilIdle();
    after = ConnectionWindows();
    for (const restyle::ZOVRestyleClass* r : Program().StyleManager.RESTYLECLASSLIST) {
      registry.push_back(r->PROCEDURENAME.str());
    }
  });
  ASSERT_EQ(windows.size(), 2u);
  std::vector<PassSeen> expected = Row(frame, false, "1/3");
  for (const PassSeen& p : Row(windows[1], true, "3/3")) expected.push_back(p);
  EXPECT_EQ(passes_, expected);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0], windows[1]);
  EXPECT_EQ(registry,
            (std::vector<std::string>{"Main", "ChooseODBCconnection", "ChooseODBCconnection"}));
}

}  // namespace
}  // namespace app::testing
