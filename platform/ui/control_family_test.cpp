#include "platform/ui/control_family.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using testing::WindowTest;

TEST(ControlFamily, EveryTypeHasTheFamilyOfItsKind) {
  struct Case {
    ControlType type;
    std::string_view family;
    bool takes_text;
    bool takes_focus;
  };
  constexpr Case kCases[] = {
      {ControlType::kEntry, "entry", true, true},
      {ControlType::kText, "entry", true, true},
      {ControlType::kList, "list", false, true},
      {ControlType::kDropList, "drop list", true, true},
      {ControlType::kCombo, "combo", true, true},
      {ControlType::kSpin, "spin", true, true},
      {ControlType::kButton, "button", false, true},
      {ControlType::kCheck, "check", true, true},
      {ControlType::kOption, "option", true, true},
      {ControlType::kRadio, "radio", false, true},
      {ControlType::kSheet, "sheet", false, true},
      {ControlType::kTab, "tab", false, false},
      {ControlType::kMenu, "menu", false, false},
      {ControlType::kItem, "menu item", false, false},
      {ControlType::kPrompt, "plain", false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(static_cast<int32_t>(c.type));
    const ControlFamily& f = FamilyOf(c.type);
    EXPECT_EQ(f.name, c.family);
    EXPECT_EQ(f.takes_text, c.takes_text);
    EXPECT_EQ(f.takes_focus, c.takes_focus);
  }
  // Menus and menu items have a table of their own; a type no family lists is plain.
  EXPECT_EQ(&FamilyOf(ControlType::kItem).properties(), &MenuProperties());
  EXPECT_EQ(FamilyOf(static_cast<ControlType>(199)).name, "plain");
}

// A family only this test knows: a dial with a value of its own, pressed like a button.
constexpr ControlType kDial = static_cast<ControlType>(200);
constexpr ControlType kDialTypes[] = {kDial};
constexpr PropertyDef kDialDefs[] = {
    {Prop::Text, PropKind::kText},          {Prop::Xpos, PropKind::kNumber, "0"},
    {Prop::Ypos, PropKind::kNumber, "0"},   {Prop::Width, PropKind::kNumber, "0"},
    {Prop::Height, PropKind::kNumber, "0"}, {Prop::Progress, PropKind::kNumber, "50"},
};
const PropertyTable kDialTable(kDialDefs, nullptr);
const PropertyTable& DialProperties() { return kDialTable; }
const ControlFamily kDialFamily{"dial", kDialTypes, DialProperties,     false,
                                true,   false,      ClickAction::kPress};

constexpr ControlDecl kControls[] = {
    Decl(kDial, "?Dial", "Dial", {4, 4, 40, 40}),
    Button("?CloseButton", "&Close", {50, 4, 40, 14}).Std(StdAction::kClose),
};
constexpr WindowStructure kWindow{"test$dial",   "P1$WINDOW",     WindowKind::kPlain,
                                  "Dial window", {0, 0, 100, 60}, kControls};
constexpr FieldId kDialField = kWindow.Equate("?Dial");

class ControlFamilyTest : public WindowTest {};

TEST_F(ControlFamilyTest, ANewFamilyIsOneDescriptorAndItsRegistration) {
  RegisterControlFamily(kDialFamily);
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    log.Add("initial " + GetProp(kDialField, Prop::Progress));
    SetProp(kDialField, Prop::Progress, 75);
    SetProp(kDialField, Prop::FontColor, 255);  // not in the family's table: ignored
    while (window.Accept()) {
      if (Field() != kDialField) continue;
      log.Add("event " + std::to_string(Event()) + "@" + std::to_string(Field()) + " focus " +
              std::to_string(Focus()));
    }
  });
  const WindowHandle w = user.Window("Dial window");
  ASSERT_NE(w, 0);
  const ControlView dial = user.Control(w, kDialField);
  EXPECT_EQ(dial.type, kDial);
  EXPECT_EQ(dial.properties.at({static_cast<int32_t>(Prop::Progress), 0}), "75");
  EXPECT_FALSE(dial.properties.contains({static_cast<int32_t>(Prop::FontColor), 0}));
  user.Click(w, kDialField);
  user.Click(w, "?CloseButton");
  runtime.Join();
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"initial 50",
                                      "event " + std::to_string(kEventAccepted) + "@1 focus 1"}));
}

}  // namespace
}  // namespace platform::ui
