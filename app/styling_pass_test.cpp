// The styling pass on the program's connection window, with restyle files seeded before the
// program starts: the three levels, the conditions of named sets, the value layouts and
// Restoring, each seen as the display shows the window.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/procedure_frame.h"
#include "platform/core/call_trace.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/backend.h"
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
constexpr std::string_view kProcedure = "ChooseODBCconnection";
constexpr std::string_view kGlobal = restyle::kGlobalSettings;
constexpr platform::ui::EventId kOnWindow = platform::ui::kEventUser + 0x78;
constexpr int32_t kPrompt = 10;
constexpr int32_t kEntry = 8;
constexpr int32_t kButton = 9;
constexpr int32_t kWindowType = 25;
constexpr auto kColor = static_cast<int32_t>(Prop::Color);
constexpr auto kFontColor = static_cast<int32_t>(Prop::FontColor);
constexpr auto kFontStyle = static_cast<int32_t>(Prop::FontStyle);
constexpr auto kText = static_cast<int32_t>(Prop::Text);
constexpr auto kWidth = static_cast<int32_t>(Prop::Width);

class StylingPassTest : public ProgramTest {
 protected:
  // Seeds the restyle files, opens the connection window and runs `look` on it.
  void OpenConnection(const std::function<void(RestyleFileBuilder&)>& seed,
                      const std::function<void(ScriptedUser&, WindowHandle)>& look) {
    restyle::testing::WriteRestyleFiles(seed);
    RunProgram([&](ScriptedUser& user) {
      user.PressKey(Frame(user), platform::ui::kF2Key);
      look(user, user.Window(kConnectionTitle));
    });
  }

  // Runs `act` on the window's own thread with its restyle object, at its next event.
  void OnWindow(ScriptedUser& user, WindowHandle w,
                const std::function<void(restyle::ZOVRestyleClass&)>& act) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    OnCall([done, act](std::string_view call) {
      if (call == "ZOVAgentClass.HandleEvent ChooseODBCconnection" &&
          platform::ui::Event() == kOnWindow && !done->exchange(true)) {
        act(*TEST_RunningRestyle());
      }
    });
    platform::ui::PostToWindow(w, kOnWindow);
    user.WaitUntilIdle();
    OnCall({});
    EXPECT_TRUE(*done);
  }

  // What the display shows of `property` of the control `equate`.
  static std::string Shown(ScriptedUser& user, WindowHandle w, std::string_view equate,
                           int32_t property, int32_t index = 0) {
    const platform::ui::ControlView v = user.Control(w, user.Field(w, equate));
    const auto found = v.properties.find({property, index});
    return found == v.properties.end() ? "" : found->second;
  }
  static std::string Geometry(ScriptedUser& user, WindowHandle w, std::string_view equate) {
    const platform::ui::RectDu at = user.Control(w, user.Field(w, equate)).at;
    return std::to_string(at.x) + " " + std::to_string(at.y) + " " + std::to_string(at.width) +
           " " + std::to_string(at.height);
  }
};

TEST_F(StylingPassTest, LevelsApplyGlobalTypeThenProcedureTypeThenTheControlsOwnSets) {
  std::map<std::string, std::string> shown;
  std::string maximized;
  OpenConnection(
      [](RestyleFileBuilder& b) {
        b.ListProperty(kPrompt, "COLOR", kColor);
        b.ListProperty(kPrompt, "FONTCOLOR", kFontColor);
        b.ListProperty(kPrompt, "TEXT", kText);
        b.ListProperty(kEntry, "COLOR", kColor);
        // FONTSTYLE is listed for no type: its values never apply.
        const int32_t global = b.Set(kGlobal, "ControlType 10");
        b.Value(global, kColor, "255");
        b.Value(global, kFontColor, "128");
        b.Value(global, kFontStyle, "700");
        const int32_t procedure = b.Set(kProcedure, "ControlType 10");
        b.Value(procedure, kColor, "65280");
        b.Value(procedure, kText, "Disabled value", /*enabled=*/0);
        b.Value(b.Set(kProcedure, "Control ?USERNAME:PROMPT"), kColor, "16711680");
        // A named set sorting before "-" is overridden by "-Unconditional-" of its level.
        const int32_t early = b.Set(kProcedure, "Control ?PASSWORD:PROMPT", "!A");
        b.Condition(early, kWidth, ">", "0");
        b.Value(early, kColor, "12345");
        b.Value(b.Set(kProcedure, "Control ?PASSWORD:PROMPT"), kColor, "54321");
        const int32_t late = b.Set(kProcedure, "Control ?DSNSTRING:PROMPT", "A");
        b.Condition(late, kWidth, ">", "0");
        b.Value(late, kColor, "777");
        // A window option in a named set whose condition holds does not act.
        const int32_t option = b.Set(kProcedure, "ControlType 25", "Maximize");
        b.Condition(option, kWidth, ">", "0");
        b.Value(option, restyle::kMaximizeAutomatic, "1");
        b.ListProperty(kWindowType, "MAXIMIZE AUTOMATIC", restyle::kMaximizeAutomatic);
      },
      [&](ScriptedUser& user, WindowHandle w) {
        for (const char* equate : {"?DSNString:Prompt", "?Username:Prompt", "?Password:Prompt",
                                   "?Glo:ConnectString:Prompt", "?ConnectButton"}) {
          shown[std::string(equate) + " color"] = Shown(user, w, equate, kColor);
          shown[std::string(equate) + " fontcolor"] = Shown(user, w, equate, kFontColor);
          shown[std::string(equate) + " fontstyle"] = Shown(user, w, equate, kFontStyle);
          shown[std::string(equate) + " text"] = user.Control(w, user.Field(w, equate)).text;
        }
        OnWindow(user, w, [&](restyle::ZOVRestyleClass& r) {
          maximized = r.PROCEDUREWINDOW->Get(0, Prop::Maximize);
        });
      });
  const std::map<std::string, std::string> expected = {
      {"?DSNString:Prompt color", "777"},
      {"?DSNString:Prompt fontcolor", "128"},
      {"?DSNString:Prompt fontstyle", ""},
      {"?DSNString:Prompt text", "DNS (Data source name):"},
      {"?Username:Prompt color", "16711680"},
      {"?Username:Prompt fontcolor", "128"},
      {"?Username:Prompt fontstyle", ""},
      {"?Username:Prompt text", "Username:"},
      {"?Password:Prompt color", "54321"},
      {"?Password:Prompt fontcolor", "128"},
      {"?Password:Prompt fontstyle", ""},
      {"?Password:Prompt text", "Password:"},
      {"?Glo:ConnectString:Prompt color", "65280"},
      {"?Glo:ConnectString:Prompt fontcolor", "128"},
      {"?Glo:ConnectString:Prompt fontstyle", ""},
      {"?Glo:ConnectString:Prompt text", "Connectstring:"},
      // Registered without any set: the look it was built with.
      {"?ConnectButton color", ""},
      {"?ConnectButton fontcolor", ""},
      {"?ConnectButton fontstyle", ""},
      {"?ConnectButton text", "&Connect"},
  };
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(maximized, "");
}

TEST_F(StylingPassTest, ANamedSetAppliesWhenItsConditionsHold) {
  constexpr int32_t kName = restyle::kNameOfTheControl;
  constexpr auto kScreenText = static_cast<int32_t>(Prop::ScreenText);
  // "88" then a tail past the first 128 characters, which the comparison never sees.
  std::string long_value = "88" + std::string(126, ' ') + "+1000";
  while (long_value.size() < 200) long_value += long_value.size() % 2 == 1 ? "1" : "*";
  struct Row {
    int32_t property;  // 0: a connector
    std::string_view op;
    std::string value;
    uint8_t manual = 0;
  };
  struct Case {
    std::string_view name;
    std::string_view control;  // its equate; the set is the control's own
    std::vector<Row> rows;
    bool applies;
  };
  const Case kCases[] = {
      {"text equal", "?USERNAME:PROMPT", {{kText, "=", "username:"}}, true},
      {"text unequal", "?USERNAME:PROMPT", {{kText, "=", "Other"}}, false},
      {"text not equal", "?USERNAME:PROMPT", {{kText, "<>", "Other"}}, true},
      {"text less", "?USERNAME:PROMPT", {{kText, "<", "V"}}, true},
      {"text greater", "?USERNAME:PROMPT", {{kText, ">", "V"}}, false},
      {"number as text", "?USERNAME:PROMPT", {{kWidth, "=", "88"}}, true},
      {"number greater, expression", "?USERNAME:PROMPT", {{kWidth, ">", "50", 1}}, true},
      {"number less, expression", "?USERNAME:PROMPT", {{kWidth, "<", "50", 1}}, false},
      {"number at least", "?USERNAME:PROMPT", {{kWidth, ">=", "88", 1}}, true},
      {"number at most", "?USERNAME:PROMPT", {{kWidth, "<=", "87", 1}}, false},
      {"expression value", "?USERNAME:PROMPT", {{kWidth, "=", "80 + 8", 1}}, true},
      {"contains", "?USERNAME:PROMPT", {{kText, "CONTAINS", "name"}}, true},
      {"does not contain", "?USERNAME:PROMPT", {{kText, "CONTAINS", "word"}}, false},
      {"contains an expression", "?USERNAME:PROMPT", {{kText, "CONTAINS", "'na' & 'me'", 1}}, true},
      {"and",
       "?USERNAME:PROMPT",
       {{kText, "=", "Username:"}, {0, "AND", ""}, {kWidth, "=", "99", 1}},
       false},
      {"or",
       "?USERNAME:PROMPT",
       {{kText, "=", "Username:"}, {0, "OR", ""}, {kWidth, "=", "99", 1}},
       true},
      {"name of the control", "?USERNAME:PROMPT", {{kName, "=", "?Username:Prompt"}}, true},
      {"name of another control", "?USERNAME:PROMPT", {{kName, "=", "?Password:Prompt"}}, false},
      {"invalid", "?USERNAME:PROMPT", {{kWidth, ">", "1+", 1}}, false},
      {"a lone quote", "?USERNAME:PROMPT", {{kText, "=", "'"}}, false},
      {"a quote cannot widen the condition",
       "?USERNAME:PROMPT",
       {{kText, "=", "x' OR 'A'='A"}},
       false},
      {"the value's first 128 characters",
       "?USERNAME:PROMPT",
       {{kWidth, "=", long_value, 1}},
       true},
      // What the user typed into the entry, tested by the pass that follows (as after a
      // resize).
      {"a live value with a quote", "?USERNAME", {{kScreenText, "=", "O'Neil"}}, true},
      {"a quote in a needle", "?USERNAME", {{kScreenText, "CONTAINS", "'n"}}, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(dir() / "ZOVRestyle");
    for (const char* name : {"ZOVConditionalSet", "ZOVConditional", "ZOVProperties"}) {
      std::filesystem::remove(dir() / name);
    }
    std::string color;
    std::string errors;
    OpenConnection(
        [&](RestyleFileBuilder& b) {
          b.ListProperty(kPrompt, "COLOR", kColor);
          b.ListProperty(kEntry, "COLOR", kColor);
          const int32_t set = b.Set(kProcedure, "Control " + std::string(c.control), "Conditional");
          for (const Row& row : c.rows) {
            b.Condition(set, row.property, row.op, row.value, row.manual);
          }
          b.Value(set, kColor, "255");
        },
        [&](ScriptedUser& user, WindowHandle w) {
          if (c.control == "?USERNAME") {
            user.Type(w, "?Username", "O'NEIL");
            OnWindow(user, w, [](restyle::ZOVRestyleClass& r) { r.Restyle(0, 1); });
          }
          color =
              Shown(user, w, c.control == "?USERNAME" ? "?Username" : "?Username:Prompt", kColor);
        });
    EXPECT_EQ(color, c.applies ? "255" : "");
    // A condition that does not hold, or is no expression, shows nothing.
    EXPECT_EQ(display.Windows().size(), 0u);
  }
}

}  // namespace
}  // namespace app::testing
