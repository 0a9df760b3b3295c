// The styling pass on the program's connection window, with restyle files seeded before the
// program starts: the three levels, the conditions of named sets, the value layouts and
// Restoring, each seen as the display shows the window.
#include <algorithm>
#include <array>
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
#include "platform/headless/headless_backend.h"
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
    ForgetRestyleFiles();
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

// `text` padded with blanks to `width` characters.
std::string Padded(std::string_view text, size_t width) {
  std::string out(text);
  out.resize(width, ' ');
  return out;
}

// A "Control position and size" value: (change, amount, mode) for Xpos, Ypos, Width, Height.
std::string PositionValue(const std::vector<std::array<int32_t, 3>>& triples) {
  std::string out;
  for (const auto& [change, amount, mode] : triples) {
    const auto bits = static_cast<uint16_t>(static_cast<int16_t>(amount));
    out += static_cast<char>(change);
    out += static_cast<char>(bits & 0xFF);
    out += static_cast<char>(bits >> 8);
    out += static_cast<char>(mode);
  }
  return out;
}

TEST_F(StylingPassTest, ValueLayoutsOfFontsPositionsImagesAndExpressions) {
  constexpr auto kFont = static_cast<int32_t>(Prop::Font);
  constexpr auto kFontSize = static_cast<int32_t>(Prop::FontSize);
  std::map<std::string, std::string> shown;
  OpenConnection(
      [](RestyleFileBuilder& b) {
        b.ListProperty(kPrompt, "FONT", kFont);
        b.ListProperty(kEntry, "FONTNAME", kFont);
        b.ListProperty(kPrompt, "TEXT", kText);
        b.ListProperty(kPrompt, "CONTROL POSITION AND SIZE", restyle::kControlPositionAndSize);
        b.ListProperty(kButton, "IMAGE ON CONTROL", restyle::kImageOnControl);
        b.ListProperty(kPrompt, "IMAGE ON CONTROL", restyle::kImageOnControl);
        const std::string layout = Padded("255", 19) + Padded("Courier New", 32) + Padded("12", 2) +
                                   Padded("700", 12) + Padded("0", 12);
        b.Value(b.Set(kProcedure, "Control ?DSNSTRING:PROMPT"), kFont, layout);
        b.Value(b.Set(kProcedure, "Control ?USERNAME"), kFont, "Arial");
        const int32_t password = b.Set(kProcedure, "Control ?PASSWORD:PROMPT");
        b.Value(password, kText, "'Pass' & UPPER('word')", 1, /*expression=*/1);
        const int32_t connect = b.Set(kProcedure, "Control ?GLO:CONNECTSTRING:PROMPT");
        b.Value(connect, kText, "1+", 1, /*expression=*/1);
        // A width taken below 0 stays at 0.
        b.Value(connect, restyle::kControlPositionAndSize,
                PositionValue({{0, 0, 0}, {0, 0, 0}, {1, -500, 1}, {0, 0, 0}}));
        // x set to 20, y moved by -3, width at 150 percent, height in an unknown mode.
        b.Value(b.Set(kProcedure, "Control ?USERNAME:PROMPT"), restyle::kControlPositionAndSize,
                PositionValue({{1, 20, 0}, {1, -3, 1}, {1, 150, 2}, {1, 5, 7}}));
        b.Value(b.Set(kProcedure, "Control ?CONNECTBUTTON"), restyle::kImageOnControl,
                Padded("ZOVpexolind.ico", 510) + "23");
        b.Value(b.Set(kProcedure, "Control ?PASSWORD:PROMPT"), restyle::kImageOnControl,
                Padded("zov.ico", 510) + "12");
        b.Value(b.Set(kProcedure, "Control ?DSNSTRING:PROMPT"), restyle::kImageOnControl,
                Padded("zov.ico", 510) + "x");
      },
      [&](ScriptedUser& user, WindowHandle w) {
        const auto look = [&](std::string_view when) {
          const std::string at(when);
          shown[at + " layout"] = Shown(user, w, "?DSNString:Prompt", kFont) + " " +
                                  Shown(user, w, "?DSNString:Prompt", kFontSize) + " " +
                                  Shown(user, w, "?DSNString:Prompt", kFontColor) + " " +
                                  Shown(user, w, "?DSNString:Prompt", kFontStyle);
          // The face alone: the size stays the registered one.
          shown[at + " face"] = Shown(user, w, "?Username", kFont) + " size '" +
                                Shown(user, w, "?Username", kFontSize) + "'";
          shown[at + " expression"] = user.Control(w, user.Field(w, "?Password:Prompt")).text;
          shown[at + " invalid expression"] =
              user.Control(w, user.Field(w, "?Glo:ConnectString:Prompt")).text;
          shown[at + " position"] = Geometry(user, w, "?Username:Prompt");
          shown[at + " no width"] = Geometry(user, w, "?Glo:ConnectString:Prompt");
          shown[at + " button"] =
              Shown(user, w, "?ConnectButton", static_cast<int32_t>(Prop::Flat)) +
              Shown(user, w, "?ConnectButton", static_cast<int32_t>(Prop::Trn));
          shown[at + " prompt"] =
              Shown(user, w, "?Password:Prompt", static_cast<int32_t>(Prop::Trn));
          // The overlays: picture, mode and place, over their controls.
          for (const platform::headless::MirrorWindow& mirror : display.Windows()) {
            if (mirror.view.handle != w) continue;
            for (const auto& [field, c] : mirror.controls) {
              if (c.type != platform::ui::ControlType::kImage) continue;
              const auto prop = [&](Prop p) {
                const auto found = c.properties.find({static_cast<int32_t>(p), 0});
                // A flag switched off reads as 0.
                return found == c.properties.end() || found->second.empty() ? std::string("0")
                                                                            : found->second;
              };
              shown[at + " image " + c.text] +=
                  "tiled " + prop(Prop::Tiled) + " centered " + prop(Prop::Centered) + " at " +
                  std::to_string(c.at.x) + " " + std::to_string(c.at.y) + " " +
                  std::to_string(c.at.width) + " " + std::to_string(c.at.height) +
                  (c.visible ? " shown;" : " hidden;");
            }
          }
        };
        look("first");
        OnWindow(user, w, [](restyle::ZOVRestyleClass& r) { r.Restyle(0, 1); });
        look("second");
      });
  std::map<std::string, std::string> expected;
  for (const char* when : {"first", "second"}) {
    const std::string at(when);
    expected[at + " layout"] = "Courier New 12 255 700";
    expected[at + " face"] = "Arial size ''";
    expected[at + " expression"] = "PassWORD";
    expected[at + " invalid expression"] = "";
    // The same on every pass: the amounts start from the registered (8, 24, 88, 10).
    expected[at + " position"] = "20 21 132 10";
    expected[at + " no width"] = "8 56 0 10";
    expected[at + " button"] = "1";
    expected[at + " prompt"] = "1";
    expected[at + " image ZOVpexolind.ico"] = "tiled 0 centered 1 at 351 210 60 14 shown;";
    expected[at + " image zov.ico"] =
        "tiled 1 centered 0 at 8 8 88 10 shown;tiled 0 centered 0 at 8 40 88 10 shown;";
  }
  EXPECT_EQ(shown, expected);
}

// Whether `value` of `property` shows as the property never set: empty, a colour of none
// (-1), a font size or style of 0 (the default), or a position already in the geometry.
bool ShowsAsUnset(int32_t property, std::string_view value) {
  switch (static_cast<Prop>(property)) {
    case Prop::Xpos:
    case Prop::Ypos:
    case Prop::Width:
    case Prop::Height:
      return true;
    case Prop::Color:
    case Prop::FontColor:
    case Prop::SelectedColor:
    case Prop::SelectedFillColor:
      return value.empty() || value == "-1";
    case Prop::FontSize:
    case Prop::FontStyle:
      return value.empty() || value == "0";
    default:
      return value.empty();
  }
}

// What the display shows of every control of window `w` and of the window itself.
std::map<std::string, std::string> Look(const platform::testing::ScriptedDisplay& display,
                                        WindowHandle w) {
  std::map<std::string, std::string> out;
  const auto at = [](const platform::ui::RectDu& r) {
    return std::to_string(r.x) + " " + std::to_string(r.y) + " " + std::to_string(r.width) + " " +
           std::to_string(r.height);
  };
  const auto add = [&](const std::string& name,
                       const std::map<std::pair<int32_t, int32_t>, std::string>& properties) {
    for (const auto& [key, value] : properties) {
      if (ShowsAsUnset(key.first, value)) continue;
      out[name + " " + std::to_string(key.first) + "/" + std::to_string(key.second)] = value;
    }
  };
  for (const platform::headless::MirrorWindow& mirror : display.Windows()) {
    if (mirror.view.handle != w) continue;
    out["window"] = mirror.view.title + " at " + at(mirror.view.at);
    add("window", mirror.view.properties);
    for (const auto& [field, c] : mirror.controls) {
      const std::string name = c.equate.empty() ? "image " + std::to_string(field) : c.equate;
      out[name] = c.text + " at " + at(c.at) + (c.visible ? "" : " hidden");
      add(name, c.properties);
    }
  }
  return out;
}

TEST_F(StylingPassTest, DisablingStylingGivesTheRegisteredLookBack) {
  std::map<std::string, std::string> unstyled;
  OpenConnection([](RestyleFileBuilder&) {},
                 [&](ScriptedUser&, WindowHandle w) { unstyled = Look(display, w); });
  ASSERT_FALSE(unstyled.empty());
  ForgetRestyleFiles();
  std::map<std::string, std::string> styled;
  std::map<std::string, std::string> restored;
  std::vector<double> ratios;
  OpenConnection(
      [](RestyleFileBuilder& b) {
        b.ListProperty(kPrompt, "COLOR", kColor);
        b.ListProperty(kPrompt, "TEXT", kText);
        b.ListProperty(kPrompt, "CONTROL POSITION AND SIZE", restyle::kControlPositionAndSize);
        b.ListProperty(kButton, "IMAGE ON CONTROL", restyle::kImageOnControl);
        b.ListProperty(kWindowType, "COLOR", kColor);
        const int32_t prompts = b.Set(kGlobal, "ControlType 10");
        b.Value(prompts, kColor, "255");
        b.Value(prompts, kText, "Styled");
        b.Value(b.Set(kProcedure, "Control ?USERNAME:PROMPT"), restyle::kControlPositionAndSize,
                PositionValue({{1, 30, 1}, {0, 0, 0}, {1, 200, 2}, {0, 0, 0}}));
        b.Value(b.Set(kProcedure, "Control ?CONNECTBUTTON"), restyle::kImageOnControl,
                Padded("ZOVpexolind.ico", 510) + "13");
        const int32_t window = b.Set(kProcedure, "ControlType 25");
        b.Value(window, kColor, "65280");
      },
      [&](ScriptedUser& user, WindowHandle w) {
        styled = Look(display, w);
        OnWindow(user, w, [&](restyle::ZOVRestyleClass& r) {
          // The user moved and sized the window since it opened.
          r.PROCEDUREWINDOW->SetPosition(0, 40, 30, 300, 150);
          restyle::ControlPropertyGroup off;
          off.ENABLED = 1;
          off.VALUE = "1";
          r.SaveGroup(off, r.GetConditionSetId(0, 0, "ControlType 25"),
                      "property " + std::to_string(restyle::kDisableStyling));
          r.Restyle(1, 0);
          ratios = {r.RATIO, r.PREVIOUSRATIO, static_cast<double>(r.WINDOWRESTYLED),
                    static_cast<double>(r.IMAGEBUTTONQUEUE->Records())};
        });
        restored = Look(display, w);
      });
  EXPECT_NE(styled, unstyled);
  EXPECT_EQ(restored, unstyled);
  EXPECT_EQ(ratios, (std::vector<double>{1.0, 1.0, 0, 0}));
}

TEST_F(StylingPassTest, TheMarkKeepsItsWholeColourAndSymbolCode) {
  struct Case {
    std::string_view name;
    std::string value;  // colour 1-19, symbol 20-29, look 30
    std::string shown;
  };
  const Case kCases[] = {
      {"green arrow, symbol 187", Padded("65280", 19) + Padded("187", 10) + "1",
       "2 '»' colour 65280 at -999 -999"},
      {"no colour, a box", Padded("-1", 19) + Padded("", 10) + "2",
       "6 '' colour none at -999 -999"},
      {"the arrow after, a stored single digit", Padded("255", 19) + Padded("9", 10) + "3",
       "2 '\t' colour 255 at -999 -999"},
      {"the arrow after, no symbol", Padded("255", 19) + Padded("0", 10) + "3",
       "2 '«' colour 255 at -999 -999"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ForgetRestyleFiles();
    std::string shown;
    OpenConnection(
        [&](RestyleFileBuilder& b) {
          b.ListProperty(kWindowType, "MARK SELECTED CONTROL", restyle::kMarkSelectedControl);
          b.Value(b.Set(kProcedure, "ControlType 25"), restyle::kMarkSelectedControl, c.value);
        },
        [&](ScriptedUser&, WindowHandle w) {
          for (const platform::headless::MirrorWindow& mirror : display.Windows()) {
            if (mirror.view.handle != w) continue;
            for (const auto& [field, v] : mirror.controls) {
              if (!v.equate.empty()) continue;
              const bool box = v.type == platform::ui::ControlType::kBox;
              const auto found =
                  v.properties.find({static_cast<int32_t>(box ? Prop::Color : Prop::FontColor), 0});
              shown += std::to_string(static_cast<int>(v.type)) + " '" + v.text + "' colour " +
                       (found == v.properties.end() ? "none" : found->second) + " at " +
                       std::to_string(v.at.x) + " " + std::to_string(v.at.y);
            }
          }
        });
    EXPECT_EQ(shown, c.shown);
  }
}

TEST_F(StylingPassTest, WindowOptionsActThroughUnconditionalSetsAndRoundnessOnTheFirstPass) {
  std::string maximized;
  OpenConnection(
      [](RestyleFileBuilder& b) {
        b.ListProperty(kWindowType, "WINDOW ROUNDNESS", restyle::kWindowRoundness);
        const int32_t window = b.Set(kProcedure, "ControlType 25");
        b.Value(window, restyle::kMaximizeAutomatic, "1");
        b.Value(window, restyle::kWindowRoundness, "12");
      },
      [&](ScriptedUser& user, WindowHandle w) {
        OnWindow(user, w, [&](restyle::ZOVRestyleClass& r) {
          maximized = r.PROCEDUREWINDOW->Get(0, Prop::Maximize);
          r.Restyle(0, 1);
        });
      });
  EXPECT_EQ(maximized, "1");
  EXPECT_EQ(Calls("ZOVStylemanagerClass.RoundWindow"),
            (std::vector<std::string>{"ZOVStylemanagerClass.RoundWindow 12"}));
}

TEST_F(StylingPassTest, TheSavedGeometryOnlyOpensTheWindowAndAResizeIsKept) {
  std::vector<std::string> at;
  OpenConnection(
      [](RestyleFileBuilder& b) {
        b.Value(b.Set(kProcedure, "ControlType 25"), restyle::kSaveWindowPosition, "1");
        // Where the style manager's switch puts it: "~Global settings".
        restyle::ControlPropertyGroup saved;
        saved.ENABLED = 1;
        saved.VALUE = Padded("20", 10) + Padded("15", 10) + Padded("300", 10) + Padded("150", 10);
        b.store().SaveGroup(saved, b.Set(kGlobal, "~Save Window position and size~"),
                            "~DEFAULT:WindowPosAndSize");
      },
      [&](ScriptedUser& user, WindowHandle w) {
        // The window's geometry as its own procedure reads it.
        const auto window_at = [&] {
          OnWindow(user, w, [&](restyle::ZOVRestyleClass& r) {
            std::string text;
            for (const Prop p : {Prop::Xpos, Prop::Ypos, Prop::Width, Prop::Height}) {
              text += (text.empty() ? "" : " ") + r.PROCEDUREWINDOW->Get(0, p);
            }
            at.push_back(text);
          });
        };
        window_at();
        platform::ui::Input sized;
        sized.kind = platform::ui::Input::Kind::kSized;
        sized.at = {20, 15, 340, 170};
        platform::ui::PostInput(w, sized);
        user.WaitUntilIdle();
        // The pass a resize runs.
        OnWindow(user, w, [](restyle::ZOVRestyleClass& r) { r.Restyle(0, 1); });
        window_at();
      });
  EXPECT_EQ(at, (std::vector<std::string>{"20 15 300 150", "20 15 340 170"}));
}

TEST_F(StylingPassTest, AMaximizedWindowIsScaledByItsFirstPassWithoutDynamicSizing) {
  constexpr std::string_view kConnect = "?ConnectButton";  // declared 60 wide
  double ratio = 0;
  double expected = 0;
  std::string button;
  OpenConnection(
      [](RestyleFileBuilder& b) {
        b.Value(b.Set(kProcedure, "ControlType 25"), restyle::kMaximizeAutomatic, "1");
      },
      [&](ScriptedUser& user, WindowHandle w) {
        OnWindow(user, w, [&](restyle::ZOVRestyleClass& r) {
          platform::ui::Window& window = *r.PROCEDUREWINDOW;
          expected = std::min(std::stod(window.Get(0, Prop::Width)) / r.ORGINALWIDTH,
                              std::stod(window.Get(0, Prop::Height)) / r.ORGINALHEIGHT);
          ratio = r.RATIO;
        });
        button = Shown(user, w, kConnect, kWidth);
      });
  // The smaller ratio of the maximized window to the one it was opened as.
  EXPECT_NE(ratio, 1.0);
  EXPECT_DOUBLE_EQ(ratio, expected);
  EXPECT_EQ(button, std::to_string(static_cast<int32_t>(60 * ratio)));
}

TEST_F(StylingPassTest, AWindowOfNoWidthIsNotSized) {
  constexpr std::string_view kConnect = "?ConnectButton";  // declared 60 wide
  std::vector<std::string> seen;
  OpenConnection(
      [](RestyleFileBuilder& b) {
        b.Value(b.Set(kProcedure, "ControlType 25"), restyle::kDynamicSizing, "1");
      },
      [&](ScriptedUser& user, WindowHandle w) {
        platform::ui::RectDu opened;
        OnWindow(user, w, [&](restyle::ZOVRestyleClass& r) {
          opened = {0, 0, r.ORGINALWIDTH, r.ORGINALHEIGHT};
        });
        platform::ui::Input sized;
        sized.kind = platform::ui::Input::Kind::kSized;
        sized.at = {0, 0, opened.width * 3 / 2, opened.height * 3 / 2};
        platform::ui::PostInput(w, sized);
        user.WaitUntilIdle();
        const auto pass = [&](bool no_width) {
          if (no_width) {
            // The user drags the window down to no width.
            sized.at = {0, 0, 0, opened.height * 3 / 2};
            platform::ui::PostInput(w, sized);
            user.WaitUntilIdle();
          }
          OnWindow(user, w, [&](restyle::ZOVRestyleClass& r) {
            if (no_width) {
              EXPECT_EQ(r.PROCEDUREWINDOW->Get(0, Prop::Width), "0");
            }
            r.Restyle(0, 1);
            seen.push_back(std::to_string(r.RATIO));
          });
          seen.back() += " " + Shown(user, w, kConnect, kWidth);
        };
        pass(false);
        // The scale and the controls stay as the last pass left them.
        pass(true);
      });
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], seen[0]);
  EXPECT_GT(std::stod(seen[0]), 1.4);
}

TEST_F(StylingPassTest, AStyledFontSurvivesScalingAndItsReturn) {
  constexpr auto kFont = static_cast<int32_t>(Prop::Font);
  constexpr auto kFontSize = static_cast<int32_t>(Prop::FontSize);
  std::vector<std::string> fonts;
  OpenConnection(
      [](RestyleFileBuilder& b) {
        b.ListProperty(kPrompt, "FONT", kFont);
        b.Value(b.Set(kProcedure, "ControlType 25"), restyle::kDynamicSizing, "1");
        b.Value(b.Set(kProcedure, "Control ?USERNAME:PROMPT"), kFont,
                Padded("", 19) + Padded("Courier New", 32) + "12");
      },
      [&](ScriptedUser& user, WindowHandle w) {
        const auto look = [&] {
          fonts.push_back(Shown(user, w, "?Username:Prompt", kFont) + " " +
                          Shown(user, w, "?Username:Prompt", kFontSize) + ", " +
                          Shown(user, w, "?Password:Prompt", kFont) + " " +
                          Shown(user, w, "?Password:Prompt", kFontSize));
        };
        look();
        platform::ui::RectDu opened;
        OnWindow(user, w, [&](restyle::ZOVRestyleClass& r) {
          opened = {0, 0, r.ORGINALWIDTH, r.ORGINALHEIGHT};
        });
        for (const double scale : {1.5, 1.0}) {
          platform::ui::Input sized;
          sized.kind = platform::ui::Input::Kind::kSized;
          sized.at = {0, 0, static_cast<int32_t>(opened.width * scale),
                      static_cast<int32_t>(opened.height * scale)};
          platform::ui::PostInput(w, sized);
          user.WaitUntilIdle();
          OnWindow(user, w, [](restyle::ZOVRestyleClass& r) { r.Restyle(0, 1); });
          look();
        }
      });
  EXPECT_EQ(fonts, (std::vector<std::string>{
                       "Courier New 12,  ",
                       // A scalable face keeps itself; the unstyled one becomes Arial.
                       "Courier New 17, Arial ",
                       "Courier New 12,  ",
                   }));
}

TEST_F(StylingPassTest, AnOverlayWhoseValueNoLongerAppliesIsHidden) {
  constexpr auto kScreenText = static_cast<int32_t>(Prop::ScreenText);
  std::vector<std::string> overlays;
  OpenConnection(
      [](RestyleFileBuilder& b) {
        b.ListProperty(kEntry, "IMAGE ON CONTROL", restyle::kImageOnControl);
        const int32_t empty = b.Set(kProcedure, "Control ?USERNAME", "Empty");
        b.Condition(empty, kScreenText, "=", "");
        b.Value(empty, restyle::kImageOnControl, Padded("zov.ico", 510) + "1");
      },
      [&](ScriptedUser& user, WindowHandle w) {
        const auto look = [&] {
          std::string shown;
          for (const platform::headless::MirrorWindow& mirror : display.Windows()) {
            if (mirror.view.handle != w) continue;
            for (const auto& [field, c] : mirror.controls) {
              if (c.type != platform::ui::ControlType::kImage) continue;
              shown += c.text + (c.visible ? " shown" : " hidden");
            }
          }
          overlays.push_back(shown);
        };
        look();
        user.Type(w, "?Username", "someone");
        OnWindow(user, w, [](restyle::ZOVRestyleClass& r) { r.Restyle(0, 1); });
        look();
      });
  EXPECT_EQ(overlays, (std::vector<std::string>{"zov.ico shown", "zov.ico hidden"}));
}

}  // namespace
}  // namespace app::testing
