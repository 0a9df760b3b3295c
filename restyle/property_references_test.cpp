#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/testing/scripted_display.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_test_support.h"
#include "stylemanager/stylemanager_class.h"

namespace restyle {
namespace {

namespace ui = platform::ui;

constexpr ui::ControlDecl kControls[] = {
    ui::Prompt("?DSNString:Prompt", "DSN:", {4, 4, 40, 10}),
    ui::Entry("?DSNString", {50, 4, 100, 10}),
    ui::Prompt("?Ask", "Overwrite?", {4, 20, 40, 10}),
    ui::Prompt("?Quote", "Don't", {4, 36, 40, 10}),
    ui::Button("?Go", "&Go", {4, 52, 40, 14}).Icon("~Go.ico"),
};
constexpr ui::WindowStructure kWindow{"test$references", "P1$WINDOW",      ui::WindowKind::kPlain,
                                      "References",      {0, 0, 200, 100}, kControls};

TEST(ResolvePropertyReferences, ReplacesEachReferenceByTheControlsCurrentValue) {
  struct Case {
    std::string_view text;
    std::string_view resolved;
  };
  constexpr Case kCases[] = {
      {"{Text} = 'DSN:'", "{Text} = 'DSN:'"},
      {"?DSNString:Prompt{PROP:Text} = 'DSN:'", "'DSN:' = 'DSN:'"},
      {"?DSNString:Prompt{Text} = 'DSN:'", "'DSN:' = 'DSN:'"},
      {"?dsnstring:prompt{text}", "'DSN:'"},
      {"?DSNString{FontColor} = -1", "-1 = -1"},
      {"?Ask{Text} & ?DSNString:Prompt{Text}", "'Overwrite?' & 'DSN:'"},
      {"?Go{Text}&?Ask{Text}&?Go{Text}", "'&Go'&'Overwrite?'&'&Go'"},
      {"?SELF{Text}", "'DSN:'"},
      {"?Quote{Text} = 'Don''t'", "'Don''t' = 'Don''t'"},
      {"?Go{Icon}", "'~Go.ico'"},
      {"?DSNString", "ERROR in expression - No begin bracket '{'"},
      {"?DSNString{Text", "ERROR in expression - No end bracket '}'"},
      {"?DSNString{Colour}", "ERROR in expression - Unknown property COLOUR"},
      {"?DSNString{PROP:Colour}", "ERROR in expression - Unknown property COLOUR"},
      {"?Missing{Text}", "ERROR in expression - Unknown control MISSING"},
      // A "?" of the text itself is a reference, as in a quoted string.
      {"'Why?' = ?Ask{Text}", "ERROR in expression - Unknown control ' = ?ASK"},
  };
  stylemanager::ZOVStylemanagerClass manager;
  manager.BuildPropertyTable();
  platform::testing::ScriptedDisplay display;
  testing::RunOnRuntimeThread(display, [&] {
    ui::Window window(kWindow);
    window.Open();
    ZOVRestyleClass restyle;
    restyle.Init(manager, "References");
    for (size_t i = 0; i < kWindow.controls.size(); ++i) {
      restyle.AddControl(kWindow.FieldAt(i), 0, kWindow.controls[i].equate, "");
    }
    for (const Case& c : kCases) {
      SCOPED_TRACE(c.text);
      EXPECT_EQ(restyle.ResolvePropertyReferences(window, *restyle.CONTROLPROPERTIESQUEUE,
                                                  *manager.CLARIONCONTROLPROPERTIESQUEUE, c.text,
                                                  kWindow.Equate("?DSNString:Prompt")),
                c.resolved);
    }
    // Cut to 512 bytes before and after the substitution.
    const std::string long_text = "?DSNString:Prompt{Text}" + std::string(600, 'a');
    const std::string resolved =
        restyle.ResolvePropertyReferences(window, *restyle.CONTROLPROPERTIESQUEUE,
                                          *manager.CLARIONCONTROLPROPERTIESQUEUE, long_text, 0);
    EXPECT_EQ(resolved, "'DSN:'" + std::string(512 - 23, 'a'));  // cut before it
  });
}

constexpr ui::ControlDecl kSelfish[] = {ui::Prompt("?P", "?P{Text}", {4, 4, 40, 10})};
constexpr ui::WindowStructure kSelfishWindow{
    "test$references", "P2$WINDOW", ui::WindowKind::kPlain, "Selfish", {0, 0, 100, 40}, kSelfish};

TEST(ResolvePropertyReferences, AValueThatRepeatsItsReferenceIsInsertedOnce) {
  stylemanager::ZOVStylemanagerClass manager;
  manager.BuildPropertyTable();
  platform::testing::ScriptedDisplay display;
  std::string resolved;
  testing::RunOnRuntimeThread(display, [&] {
    ui::Window window(kSelfishWindow);
    window.Open();
    ZOVRestyleClass restyle;
    restyle.Init(manager, "Selfish");
    restyle.AddControl(1, 0, "?P", "");
    resolved = restyle.ResolvePropertyReferences(window, *restyle.CONTROLPROPERTIESQUEUE,
                                                 *manager.CLARIONCONTROLPROPERTIESQUEUE,
                                                 "?P{Text} = ?P{Text}", 1);
  });
  EXPECT_EQ(resolved, "'?P{Text}' = '?P{Text}'");
}

}  // namespace
}  // namespace restyle
