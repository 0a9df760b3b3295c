// Panels on Qt's offscreen platform, by pixel probes: Fill, else FillColor, paints the panel
// flat in that colour, a system colour resolved from the palette as every control resolves
// it; a panel without either stays a frame over the window's ground.
#include <QCoreApplication>
#include <QImage>
#include <gtest/gtest.h>

#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/stored_style.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/pixel_probe.h"
#include "platform/testing/qt_window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

using testing::Shows;
using ui::ControlType;
using ui::FieldId;
using ui::Prop;

constexpr ui::ControlDecl kControls[] = {
    ui::Decl(ControlType::kPanel, "?Filled", "", {10, 10, 40, 14}),
    ui::Decl(ControlType::kPanel, "?Colored", "", {10, 30, 40, 14}),
    ui::Decl(ControlType::kPanel, "?Both", "", {60, 10, 40, 14}),
    ui::Decl(ControlType::kPanel, "?Plain", "", {60, 30, 40, 14}),
};
constexpr ui::WindowStructure kWindow{"test$panels", "P1$WINDOW",     ui::WindowKind::kPlain,
                                      "Panels",      {0, 0, 110, 50}, kControls};
constexpr FieldId kFilled = kWindow.Equate("?Filled");
constexpr FieldId kColored = kWindow.Equate("?Colored");
constexpr FieldId kBoth = kWindow.Equate("?Both");
constexpr FieldId kPlain = kWindow.Equate("?Plain");
constexpr int64_t kActiveCaption = 0x80000002;  // system colour 2
constexpr int64_t kRed = 0x0000FF;              // 00BBGGRRh
constexpr int64_t kGreen = 0x00FF00;

class PanelTest : public testing::QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    mirror = Start(
        [] {
          ui::Window window(kWindow);
          window.Open();
          // As a coloured header sets it: Fill and FillColor alike.
          ui::SetProp(kFilled, Prop::Fill, kActiveCaption);
          ui::SetProp(kFilled, Prop::Color, kActiveCaption);
          ui::SetProp(kColored, Prop::Color, kRed);
          // Fill wins over FillColor.
          ui::SetProp(kBoth, Prop::Fill, kGreen);
          ui::SetProp(kBoth, Prop::Color, kRed);
          while (window.Accept()) {
          }
        },
        "Panels");
    ASSERT_NE(mirror, nullptr);
  }

  // The inside of the panel, clear of any frame, in the client's pixels.
  QRect Inside(FieldId field) const {
    return mirror->widget(field)->geometry().adjusted(4, 4, -4, -4);
  }

  WindowMirror* mirror = nullptr;
};

TEST_F(PanelTest, FillElseFillColorPaintsThePanelAndWithoutEitherItIsAFrame) {
  const QImage shot = mirror->client()->grab().toImage();
  const QColor caption = ColorFromStored(kActiveCaption, mirror->client()->palette());
  ASSERT_TRUE(caption.isValid());
  const QColor red(255, 0, 0);
  const QColor green(0, 255, 0);
  EXPECT_TRUE(Shows(shot, Inside(kFilled), caption));
  EXPECT_TRUE(Shows(shot, Inside(kColored), red));
  EXPECT_TRUE(Shows(shot, Inside(kBoth), green));
  EXPECT_FALSE(Shows(shot, Inside(kBoth), red));
  for (const QColor& c : {caption, red, green}) EXPECT_FALSE(Shows(shot, Inside(kPlain), c));
}

}  // namespace
}  // namespace platform::qt
