// A control following the window's scale, on a real attached window with the restyle files
// of a started style manager: its place and size by resize strategy, its font and its list
// columns. The scale is set as the styling pass sets it before it resizes the controls.
#include <functional>
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
    ui::Button("?Go", "&Go", {10, 10, 40, 12}),
    ui::List("?Rows", {10, 30, 80, 40}).Format("40L(2)|30L(2)|"),
};
constexpr ui::WindowStructure kWindow{"test$resize", "P1$WINDOW",      ui::WindowKind::kPlain,
                                      "Resized",     {0, 0, 200, 120}, kControls};
constexpr ui::FieldId kGo = kWindow.Equate("?Go");
constexpr ui::FieldId kRows = kWindow.Equate("?Rows");

class ResizeControlTest : public testing::AttachedWindowTest {
 protected:
  // Stores `strategy` as the resize strategy of both controls when it is not empty, gives
  // `?Go` the font `face` `size` (as its declaration would), attaches the window and runs
  // `body`.
  void Run(std::string_view strategy, std::string_view face, int size,
           const std::function<void(ZOVRestyleClass&, ui::Window&)>& body) {
    AttachedWindowTest::Run(
        kWindow,
        [&](ZOVRestyleClass& store) {
          if (strategy.empty()) return;
          Store(store, "Control ?GO", -17, strategy);
          Store(store, "Control ?ROWS", -17, strategy);
        },
        [&](ui::Window& window) {
          if (!face.empty()) window.Set(kGo, ui::Prop::Font, face);
          if (size > 0) window.Set(kGo, ui::Prop::FontSize, std::to_string(size));
        },
        body);
  }

  // The geometry `field` had when the window was attached.
  static ResizeRecord Initial(ZOVRestyleClass& restyle, ui::FieldId field) {
    platform::Queue<ResizeRecord>& geometry = *restyle.RESIZEQUEUE;
    geometry.ClearBuffer();
    geometry.buffer.CONTROLEQUATE = field;
    EXPECT_TRUE(geometry.GetByKey({geometry.Asc(&ResizeRecord::CONTROLEQUATE)}));
    return geometry.buffer;
  }

  // Resizes `field` from `initial` at scale `ratio` as a pass does, which then keeps the
  // scale for the next one.
  static void Pass(ZOVRestyleClass& restyle, ui::FieldId field, const ResizeRecord& initial,
                   double ratio, int16_t cx = 0, int16_t cy = 0) {
    restyle.RATIO = ratio;
    restyle.ResizeControl(field, initial, cx, cy);
    restyle.PREVIOUSRATIO = ratio;
  }

  static std::string Geometry(const ui::Window& window, ui::FieldId field) {
    std::string text;
    for (ui::Prop p : {ui::Prop::Xpos, ui::Prop::Ypos, ui::Prop::Width, ui::Prop::Height}) {
      if (!text.empty()) text += ' ';
      text += window.Get(field, p);
    }
    return text;
  }

  static std::string Font(const ui::Window& window, ui::FieldId field) {
    return window.Get(field, ui::Prop::Font) + " " + window.Get(field, ui::Prop::FontSize);
  }
};

TEST_F(ResizeControlTest, EachStrategyPlacesTheControlInItsScaledSlot) {
  struct Case {
    std::string_view name;
    std::string_view strategy;  // the stored value of the resize strategy, "" none
    int16_t width = 0;          // of the geometry record, 0: as attached
    std::string_view geometry;  // x y width height after the resize
  };
  // R 1.5 with shifts (4, 2) and centring offsets (3, 1): the slot of (10, 10, 40, 12) is
  // (22, 18, 60, 18); a control that keeps a dimension is centred in it.
  constexpr Case kCases[] = {
      {"no strategy stored", "", 0, "22 18 60 18"},
      {"0 scale completely", "0", 0, "22 18 60 18"},
      {"1 only scale the width", "1", 0, "22 21 60 12"},
      {"2 only scale the height", "2", 0, "32 18 40 18"},
      {"3 do not scale", "3", 0, "32 21 40 12"},
      {"another strategy", "7", 0, "10 10 40 12"},
      {"a width narrowed below nothing", "0", -10, "22 18 0 18"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string geometry;
    Run(c.strategy, "", 0, [&](ZOVRestyleClass& restyle, ui::Window& window) {
      ResizeRecord initial = Initial(restyle, kGo);
      if (c.width != 0) initial.WIDTH = c.width;
      restyle.SHIFTXPOS = 4;
      restyle.SHIFTYPOS = 2;
      Pass(restyle, kGo, initial, 1.5, 3, 1);
      geometry = Geometry(window, kGo);
    });
    EXPECT_EQ(geometry, c.geometry);
  }
}

TEST_F(ResizeControlTest, AScaledFontTurnsScalableAndReturnsAtTheOriginalScale) {
  struct Case {
    std::string_view name;
    std::string_view strategy;
    std::string_view face;  // the registered face and size
    int size;
    std::string_view styled;  // a face the pass put into its copy of the record, "" none
    std::string_view scaled;  // face and size at R 1.5
    std::string_view back;    // and at R 1.0 after it
  };
  constexpr Case kCases[] = {
      {"sans serif", "", "MS Sans Serif", 8, "", "Arial 11", "MS Sans Serif 8"},
      {"serif", "", "MS SERIF", 10, "", "Arial 14", "MS SERIF 10"},
      {"a scalable face is kept", "", "Tahoma", 8, "", "Tahoma 11", "Tahoma 8"},
      {"a styled face survives", "", "MS Sans Serif", 8, "Courier New", "Courier New 11",
       "Courier New 8"},
      {"the font kept by the strategy", "01", "MS Sans Serif", 8, "", "MS Sans Serif 8",
       "MS Sans Serif 8"},
      {"no font of its own keeps its size", "", "", 0, "", "Arial ", " "},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> fonts;
    Run(c.strategy, c.face, c.size, [&](ZOVRestyleClass& restyle, ui::Window& window) {
      ResizeRecord initial = Initial(restyle, kGo);
      if (!c.styled.empty()) {
        // As the pass applies a styled face: on the control and into its copy of the record.
        window.Set(kGo, ui::Prop::Font, c.styled);
        initial.FONTNAME = c.styled;
      }
      Pass(restyle, kGo, initial, 1.5);
      fonts.push_back(Font(window, kGo));
      Pass(restyle, kGo, initial, 1.0);
      fonts.push_back(Font(window, kGo));
    });
    EXPECT_EQ(fonts, (std::vector<std::string>{std::string(c.scaled), std::string(c.back)}));
  }
}

TEST_F(ResizeControlTest, ListColumnsFollowTheScaleAndComeBackWhole) {
  struct Case {
    std::string_view name;
    std::string_view strategy;
    std::vector<double> ratios;  // of successive passes
    std::string_view widths;     // of the two columns after each pass
  };
  const Case kCases[] = {
      {"scaled and back", "", {1.5, 1.0}, "60 45|40 30"},
      {"no drift over many passes", "", {1.3, 0.7, 1.3, 0.7, 1.0}, "52 39|28 21|52 39|28 21|40 30"},
      {"an unchanged scale leaves them", "", {1.0, 1.0}, "40 30|40 30"},
      {"kept by the strategy", "001", {1.5, 1.0}, "40 30|40 30"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string widths;
    Run(c.strategy, "", 0, [&](ZOVRestyleClass& restyle, ui::Window& window) {
      const ResizeRecord initial = Initial(restyle, kRows);
      for (double ratio : c.ratios) {
        Pass(restyle, kRows, initial, ratio);
        if (!widths.empty()) widths += '|';
        widths += window.Get(kRows, ui::Prop::ColumnWidth, 1);
        widths += ' ';
        widths += window.Get(kRows, ui::Prop::ColumnWidth, 2);
        // The third column does not exist and gets no width.
        EXPECT_EQ(window.Get(kRows, ui::Prop::ColumnWidth, 3), "");
      }
    });
    EXPECT_EQ(widths, c.widths);
  }
}

TEST_F(ResizeControlTest, ColumnWidthsGoBackToThoseOfTheAttachedWindow) {
  std::string widths;
  Run("", "", 0, [&](ZOVRestyleClass& restyle, ui::Window& window) {
    window.Set(kRows, ui::Prop::ColumnWidth, "99", 1);
    restyle.SetColumnWidths(kRows, 1.0);
    widths = window.Get(kRows, ui::Prop::ColumnWidth, 1);
    // A control without columns is left alone.
    restyle.SetColumnWidths(kGo, 2.0);
  });
  EXPECT_EQ(widths, "40");
}

}  // namespace
}  // namespace restyle
