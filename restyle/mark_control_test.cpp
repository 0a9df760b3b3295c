// The mark of the selected control on a real attached window: its kind, text, colour and
// waiting place, made once. The options are set as the pass sets them from the stored mark.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "restyle/attached_window_test_support.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

namespace ui = platform::ui;

constexpr ui::ControlDecl kControls[] = {
    ui::Entry("?Name", {10, 10, 60, 12}),
    ui::Button("?Go", "&Go", {10, 30, 40, 14}),
};
constexpr ui::WindowStructure kWindow{"test$mark", "P1$WINDOW",      ui::WindowKind::kPlain,
                                      "Marked",    {0, 0, 200, 120}, kControls};

class MarkControlTest : public testing::AttachedWindowTest {
 protected:
  void Run(const std::function<void(ZOVRestyleClass&, ui::Window&)>& body) {
    AttachedWindowTest::Run(
        kWindow, [](ZOVRestyleClass&) {}, [](ui::Window&) {}, body);
  }

  static void Mark(ZOVRestyleClass& restyle, uint8_t look, int32_t colour, int32_t symbol) {
    restyle.STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE = 1;
    restyle.STYLEPROPERTIES.MARKSELECTEDCONTROLCONFIGURATION = look;
    restyle.STYLEPROPERTIES.MARKSELECTEDCONTROLCOLOR = colour;
    restyle.STYLEPROPERTIES.MARKSELECTEDCONTROLSYMBOL = symbol;
    restyle.MarkControl();
  }

  // The mark as the user's window has it: type, text, colours, transparency, place, shown.
  static std::string Seen(const ui::Window& window, ui::FieldId mark) {
    std::string seen;
    for (ui::Prop p : {ui::Prop::Type, ui::Prop::Text, ui::Prop::FontColor, ui::Prop::Color,
                       ui::Prop::Trn, ui::Prop::Xpos, ui::Prop::Ypos}) {
      seen += window.Get(mark, p);
      seen += '|';
    }
    seen += window.Get(mark, ui::Prop::Visible) == "1" ? "shown" : "hidden";
    return seen;
  }
};

TEST_F(MarkControlTest, TheMarkIsAnArrowASymbolOrABoxInItsWholeColour) {
  struct Case {
    std::string_view name;
    uint8_t look;
    int32_t colour;
    int32_t symbol;
    std::string_view seen;  // the mark; "" when there is none
  };
  constexpr Case kCases[] = {
      {"arrow before, green", 1, 0x00FF00, 0, "2|\u00BB|65280|-1|1|-999|-999|shown"},
      {"arrow after, no colour", 3, -1, 0, "2|\u00AB|-1|-1|1|-999|-999|shown"},
      {"symbol 187", 1, 0x0000FF, 187, "2|\u00BB|255|-1|1|-999|-999|shown"},
      {"a symbol replaces the arrow after", 3, 0, 149, "2|\u2022|0|-1|1|-999|-999|shown"},
      {"a code without a character keeps the arrow", 1, 0, 0x81, "2|\u00BB|0|-1|1|-999|-999|shown"},
      {"box", 2, 0x00FF00, 65, "6||-1|65280||-999|-999|shown"},
      {"another look makes none", 4, 0x00FF00, 0, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string seen;
    Run([&](ZOVRestyleClass& restyle, ui::Window& window) {
      Mark(restyle, c.look, c.colour, c.symbol);
      if (restyle.MARKSELECTEDCONTROLEQUATE != 0) {
        seen = Seen(window, restyle.MARKSELECTEDCONTROLEQUATE);
      }
      // The mark is a control of its own, after the window's.
      EXPECT_EQ(window.LastField(), c.seen.empty() ? 2 : 3);
    });
    EXPECT_EQ(seen, c.seen);
  }
}

TEST_F(MarkControlTest, TheMarkIsMadeOnceAndWaitsOutOfSightWithItsSize) {
  std::vector<std::string> seen;
  Run([&](ZOVRestyleClass& restyle, ui::Window& window) {
    Mark(restyle, 1, 0x00FF00, 0);
    const ui::FieldId mark = restyle.MARKSELECTEDCONTROLEQUATE;
    // The window's handling moved it beside a selected control and hid it for a while.
    window.SetPosition(mark, 5, 10, 8, 10);
    window.SetHidden(mark, mark, true);
    Mark(restyle, 1, 0x0000FF, 0);
    seen.push_back(std::to_string(restyle.MARKSELECTEDCONTROLEQUATE == mark) + " " +
                   std::to_string(window.LastField()) + " " + Seen(window, mark) + " " +
                   window.Get(mark, ui::Prop::Width) + "x" + window.Get(mark, ui::Prop::Height));
    // Another look makes the mark of that kind in place of the old one: still one mark.
    Mark(restyle, 2, 0x00FF00, 0);
    seen.push_back(std::to_string(window.LastField()) + " " +
                   Seen(window, restyle.MARKSELECTEDCONTROLEQUATE));
    // Switched off, the pass does not call it; called all the same, it does nothing.
    restyle.STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE = 0;
    window.SetPosition(restyle.MARKSELECTEDCONTROLEQUATE, 1, 1, 8, 10);
    restyle.MarkControl();
    seen.push_back(window.Get(restyle.MARKSELECTEDCONTROLEQUATE, ui::Prop::Xpos));
  });
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "1 3 2|\u00BB|255|-1|1|-999|-999|shown 8x10",
                      "3 6||-1|65280||-999|-999|shown",
                      "1",
                  }));
}

}  // namespace
}  // namespace restyle
