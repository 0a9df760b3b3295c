// A restyled window's events through its restyle object, on a window of the test's own run as
// a window procedure runs it: in configure-directly mode, with a recording thread as the
// mode's thread, and the mark of the selected control moved to the control the user enters.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/region/region.h"
#include "platform/testing/window_test.h"
#include "platform/ui/backend.h"
#include "platform/ui/codes.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/attached_window_test_support.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_files.h"
#include "restyle/restyle_test_support.h"
#include "stylemanager/stylemanager_class.h"

namespace restyle {
namespace {

namespace ui = platform::ui;
using platform::testing::ScriptedUser;
using ui::FieldId;
using ui::WindowHandle;

constexpr ui::ControlDecl kControls[] = {
    ui::Entry("?Name", {10, 10, 60, 12}),    ui::Button("?Ok", "&OK", {10, 30, 40, 14}),
    ui::Entry("?Skipped", {10, 50, 60, 12}), ui::Sheet("?Sheet", {90, 10, 100, 60}),
    ui::Tab("?First", "First", "?Sheet"),
};
constexpr ui::WindowStructure kWindow{"test$events", "P1$WINDOW",      ui::WindowKind::kPlain,
                                      "Restyled",    {0, 0, 200, 120}, kControls};
constexpr ui::WindowStructure kRecorder{"test$events", "P2$RECORDER",      ui::WindowKind::kPlain,
                                        "Recorder",    {-100, -100, 0, 0}, {}};
constexpr FieldId kName = kWindow.Equate("?Name");
constexpr FieldId kOk = kWindow.Equate("?Ok");
constexpr FieldId kSkipped = kWindow.Equate("?Skipped");
constexpr FieldId kSheet = kWindow.Equate("?Sheet");
// Runs the test's preparation on the window once its opening has been handled.
constexpr ui::EventId kPrepare = ui::kEventUser + 0x71;
// Ends the window's loop without closing it, so a test can look at it afterwards.
constexpr ui::EventId kEndLoop = ui::kEventUser + 0x70;

std::string Hex(uint32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", n);
  return text;
}

class HandleEventTest : public platform::testing::WindowTest {
 protected:
  void SetUp() override { testing::BindToFiles(manager, files, user_name); }

  // On thread 1: starts the style manager, opens the window and attaches it to a restyle
  // object as a window procedure does, and runs the window's loop, each event through
  // HandleEvent first (logged with its answer) and to the window's own handling only when not
  // consumed (a press logs "pressed"). `prepare` runs on kPrepare. The loop ends on kEndLoop
  // or the close; `after` then looks at the object. `store` first stores the procedure's
  // styles. Returns once the window is open and prepared, with the logs empty.
  void Run(const std::function<void(ZOVRestyleClass&, ui::Window&)>& prepare,
           const std::function<void(ZOVRestyleClass&, ui::Window&)>& after,
           const std::function<void(ZOVRestyleClass&)>& store = {}) {
    runtime.StartMain([this, prepare, after, store] {
      manager.Init(0x653);
      if (store) {
        ZOVRestyleClass setter;
        setter.Init(manager, "Events");
        store(setter);
      }
      {
        ui::Window window(kWindow);
        window.Open();
        window.Set(kSkipped, ui::Prop::Skip, "1");
        ZOVRestyleClass restyle;
        testing::AttachAsProcedure(restyle, manager, "Events", window);
        while (window.Accept()) {
          const ui::EventId e = ui::Event();
          if (e == kEndLoop) break;
          if (e == kPrepare) {
            prepare(restyle, window);
            continue;
          }
          const int32_t answer = restyle.HandleEvent();
          log.Add(Hex(e) + " " + std::to_string(answer));
          if (answer != 0) {
            window.Cycle();
            continue;
          }
          if (e == ui::kEventAccepted) log.Add("pressed");
        }
        after(restyle, window);
        // A mode still on tells its thread to end.
        restyle.EndConfigureDirectly();
      }
      manager.Shutdown();
    });
    const WindowHandle w = user.Window("Restyled");
    user.WaitUntilIdle();
    ui::PostToWindow(w, kPrepare);
    user.WaitUntilIdle();
    log.Clear();
    recorded.Clear();
  }

  // Starts the recording thread: an invisible window that records every user event it gets
  // until 510h.
  ui::ThreadId StartRecorder() {
    return ui::Start([this] {
      ui::Window window(kRecorder);
      window.Open();
      while (window.Accept()) {
        if (ui::Event() < ui::kEventUser) continue;
        recorded.Add(Hex(ui::Event()));
        if (ui::Event() == 0x510) break;
      }
    });
  }

  platform::testing::Log recorded;
  testing::InTempDirForTest temp;
  RestyleFiles files;
  platform::FixedString<255> user_name = "DEFAULT";
  stylemanager::ZOVStylemanagerClass manager;
};

TEST_F(HandleEventTest, InConfigureDirectlyModeTheWindowsEventsGoToTheModesThread) {
  struct Case {
    std::string_view name;
    std::function<void(ScriptedUser&, WindowHandle)> act;
    std::vector<std::string> handled;   // event and answer, and "pressed"
    std::vector<std::string> recorded;  // what the mode's thread got
    std::string after;                  // THREAD on, XPOS, YPOS, ACTIVECONTROLEQUATE, open
  };
  const auto sized = [](ui::Input::Kind kind) {
    return [kind](ScriptedUser&, WindowHandle w) {
      ui::Input in;
      in.kind = kind;
      in.at = {5, 6, 220, 140};
      ui::PostInput(w, in);
    };
  };
  const Case cases[] = {
      {"a click on a button presses nothing",
       [](ScriptedUser& user, WindowHandle w) { user.Click(w, kOk); },
       {"10 5", "F 5"},
       {"503", "502"},
       "on 0 0 0 open"},
      {"sizing goes on",
       sized(ui::Input::Kind::kSized),
       {"221 0", "231 0"},
       {"501", "501"},
       "on 0 0 0 open"},
      {"moving goes on",
       sized(ui::Input::Kind::kMoved),
       {"220 0", "230 0"},
       {"501", "501"},
       "on 0 0 0 open"},
      {"a tab change goes on with its sheet",
       [](ScriptedUser&, WindowHandle w) { ui::PostToWindow(w, ui::kEventTabChanging, kSheet); },
       {"15 0"},
       {"501"},
       "on 0 0 " + std::to_string(kSheet) + " open"},
      {"any other event is consumed with the mouse position",
       [](ScriptedUser& user, WindowHandle w) {
         user.MoveMouse(w, 30, 40);
         user.FireTimer(w);
       },
       {"20B 5"},
       {"502"},
       "on 30 40 0 open"},
      {"closing ends the mode and leaves the window open",
       [](ScriptedUser& user, WindowHandle w) { user.CloseBox(w); },
       {"201 5"},
       {"510"},
       "off 0 0 0 open"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string after;
    Run(
        [&](ZOVRestyleClass& restyle, ui::Window& window) {
          // As the mode's start alerts them: both mouse buttons, on the window.
          window.Set(0, ui::Prop::Alrt, std::to_string(ui::kMouseLeft), 1);
          window.Set(0, ui::Prop::Alrt, std::to_string(ui::kMouseRight), 2);
          restyle.CONFIGUREDIRECTLYONWINDOW.THREAD = StartRecorder();
        },
        [&](ZOVRestyleClass& restyle, ui::Window& window) {
          const ConfigureDirectlyGroup& mode = restyle.CONFIGUREDIRECTLYONWINDOW;
          after = std::string(mode.THREAD != 0 ? "on " : "off ") + std::to_string(mode.XPOS) + " " +
                  std::to_string(mode.YPOS) + " " + std::to_string(mode.ACTIVECONTROLEQUATE) +
                  (window.is_open() ? " open" : " closed");
        });
    const WindowHandle w = user.Window("Restyled");
    c.act(user, w);
    user.WaitUntilIdle();
    const std::vector<std::string> handled = log.lines();
    const std::vector<std::string> told = recorded.lines();
    ui::PostToWindow(w, kEndLoop);
    runtime.Join();
    EXPECT_EQ(handled, c.handled);
    EXPECT_EQ(told, c.recorded);
    EXPECT_EQ(after, c.after);
  }
}

TEST_F(HandleEventTest, TheMarkMovesToTheControlEnteredByItsConfiguration) {
  // ?Name is at (10, 10), 60 by 12; the mark's own size is that of its kind.
  struct Case {
    std::string_view name;
    uint8_t look;
    FieldId entered;
    std::string_view at;  // x y, and the size when the mark takes the control's
  };
  const Case cases[] = {
      {"before the control", 1, kName, "5 10"},
      {"around the control", 2, kName, "8 8 64 16"},
      {"after the control", 3, kName, "71 10"},
      {"a control the focus skips leaves the mark", 1, kSkipped, "-999 -999"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string at;
    std::string mark_size;
    Run(
        [&](ZOVRestyleClass& restyle, ui::Window& window) {
          StylePropertiesGroup& o = restyle.STYLEPROPERTIES;
          o.MARKSELECTEDCONTROLACTIVE = 1;
          o.MARKSELECTEDCONTROLCONFIGURATION = c.look;
          o.MARKSELECTEDCONTROLCOLOR = 0xFF;
          restyle.MarkControl();
          const FieldId mark = restyle.MARKSELECTEDCONTROLEQUATE;
          mark_size = window.Get(mark, ui::Prop::Width) + " " + window.Get(mark, ui::Prop::Height);
        },
        [&](ZOVRestyleClass& restyle, ui::Window& window) {
          const FieldId mark = restyle.MARKSELECTEDCONTROLEQUATE;
          at = window.Get(mark, ui::Prop::Xpos) + " " + window.Get(mark, ui::Prop::Ypos);
          const std::string size =
              window.Get(mark, ui::Prop::Width) + " " + window.Get(mark, ui::Prop::Height);
          if (size != mark_size) at += " " + size;
        });
    const WindowHandle w = user.Window("Restyled");
    // The window opens with the focus on ?Name; the user comes back to it from the button.
    user.Focus(w, kOk);
    user.Focus(w, c.entered);

    ui::PostToWindow(w, kEndLoop);
    runtime.Join();
    EXPECT_EQ(at, c.at);
  }
}

// Stores an enabled value of `property` for the procedure's windows.
void StoreWindowOption(ZOVRestyleClass& store, int32_t property, std::string_view value) {
  ControlPropertyGroup g;
  g.ENABLED = 1;
  g.VALUE = value;
  store.SaveGroup(g, store.GetConditionSetId(0, 0, "ControlType 25"),
                  "property " + std::to_string(property));
}

TEST_F(HandleEventTest, TheCloseSavesTheGeometryInAGroupOfItsOwnWithoutTheRoomForImages) {
  struct Case {
    std::string_view name;
    int16_t room_x;  // an image's room to the right and below
    int16_t room_y;
    std::string_view saved;
  };
  const Case cases[] = {
      {"no images", 0, 0, "1|20        -15       300       150"},
      {"an image's room is left out", 30, 10, "1|20        -15       270       140"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("ZOVRestyle");
    std::filesystem::remove("ZOVConditionalSet");
    std::string saved;
    std::string edited;
    Run(
        [&](ZOVRestyleClass&, ui::Window&) {
          // What a configuration window holds meanwhile.
          manager.CONTROLPROPERTYGROUP.VALUE = "being edited";
        },
        [&](ZOVRestyleClass& restyle, ui::Window&) {
          ControlPropertyGroup g;
          // Under "~Global settings": the style manager's switch is on.
          if (restyle.LoadGroup(g,
                                restyle.GetConditionSetId(1, 0, "~Save Window position and size~"),
                                "~DEFAULT:WindowPosAndSize") == 1) {
            saved = std::to_string(g.ENABLED) + "|" + g.VALUE.str();
          }
          edited = manager.CONTROLPROPERTYGROUP.VALUE.str();
        },
        [&](ZOVRestyleClass& store) {
          StoreWindowOption(store, kSaveWindowPosition, "1");
          if (c.room_x != 0) {
            ImageQueueRecord image;
            image.IMAGEFILE = "~none";
            image.SHIFTXPOS = c.room_x;
            image.SHIFTYPOS = c.room_y;
            manager.AddImage(image);
          }
        });
    const WindowHandle w = user.Window("Restyled");
    ui::Input sized;
    sized.kind = ui::Input::Kind::kSized;
    sized.at = {20, -15, 300, 150};
    ui::PostInput(w, sized);
    user.CloseBox(w);
    runtime.Join();
    EXPECT_EQ(saved, c.saved);
    EXPECT_EQ(edited, "being edited");
  }
}

TEST_F(HandleEventTest, TheCloseFadesTheWindowOutWhenItsFadingSaysSo) {
  struct Case {
    std::string_view name;
    std::string_view fading;  // "": none stored
    std::string_view outline;
  };
  // On a display that shows no opacity fading out ends with the smallest square, 2 pixels wide.
  display.TEST_SetShowsOpacity(false);
  const Case cases[] = {
      {"no fading stored", "", "none"}, {"fading off", "0", "none"}, {"fading on", "1", "2 by 2"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string outline;
    Run([](ZOVRestyleClass&, ui::Window&) {},
        [&](ZOVRestyleClass&, ui::Window& window) {
          if (window.shape() == nullptr) {
            outline = "none";
            return;
          }
          const platform::region::Rect box = window.shape()->BoundingBox();
          outline =
              std::to_string(box.right - box.left) + " by " + std::to_string(box.bottom - box.top);
        },
        [&](ZOVRestyleClass& store) {
          if (!c.fading.empty()) StoreWindowOption(store, kFadeWindows, c.fading);
        });
    user.CloseBox(user.Window("Restyled"));
    runtime.Join();
    EXPECT_EQ(outline, c.outline);
  }
}

}  // namespace
}  // namespace restyle
