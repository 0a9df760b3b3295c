// Buttons on Qt's offscreen platform: one with an icon and no text shows the whole icon as
// large as fits within its face, however small the button, and never larger than the picture;
// beside a text the icon keeps the style's size; a flat one draws no face.
#include <algorithm>

#include <QCoreApplication>
#include <QImage>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <gtest/gtest.h>

#include "platform/core/paths.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/pixel_probe.h"
#include "platform/testing/qt_window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

using testing::Shows;
using ui::Prop;

constexpr ui::ControlDecl kControls[] = {
    ui::Button("?Small", "", {100, 0, 10, 10}).Icon("~ExtAgentButton.ico"),
    ui::Button("?Large", "", {10, 20, 40, 30}).Icon("~ExtAgentButton.ico"),
    ui::Button("?Both", "Both", {60, 20, 40, 14}).Icon("~ExtAgentButton.ico"),
    ui::Button("?Flat", "", {60, 40, 10, 10}).Icon("~ExtAgentButton.ico"),
    ui::Button("?Face", "", {80, 40, 10, 10}).Icon("~ExtAgentButton.ico"),
};
constexpr ui::WindowStructure kWindow{"test$buttons", "P1$WINDOW",     ui::WindowKind::kPlain,
                                      "Buttons",      {0, 0, 120, 60}, kControls};

// The bubble's yellow, which fills most of the icon.
const QColor kIconYellow(0xFF, 0xE0, 0x40);

class ButtonTest : public testing::QtWindowTest {
 protected:
  void SetUp() override {
    QtWindowTest::SetUp();
    TEST_SetDataDirectory(PEX_SHARE_DIR);
    mirror = Start(
        [] {
          ui::Window window(kWindow);
          window.Open();
          ui::SetProp(kWindow.FindEquate("?Flat"), Prop::Flat, "1");
          while (window.Accept()) {
          }
        },
        "Buttons");
    ASSERT_NE(mirror, nullptr);
  }
  void TearDown() override {
    QtWindowTest::TearDown();
    TEST_SetDataDirectory("");
  }
  QPushButton* Button(const char* equate) const {
    return static_cast<QPushButton*>(mirror->widget(kWindow.FindEquate(equate)));
  }

  WindowMirror* mirror = nullptr;
};

// The room inside the button's frame, where its label goes.
QSize Room(const QPushButton& b) {
  QStyleOptionButton option;
  option.initFrom(&b);
  if (b.isFlat()) option.features |= QStyleOptionButton::Flat;
  return b.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &b).size();
}

TEST_F(ButtonTest, AnIconWithoutTextFillsTheFaceUpToItsOwnSize) {
  const int standard = Button("?Both")->style()->pixelMetric(QStyle::PM_ButtonIconSize);
  struct Case {
    const char* equate;
    QSize icon;  // empty: as large as the room allows
  } cases[] = {
      {"?Small", {}},
      {"?Flat", {}},
      {"?Large", {32, 32}},  // the picture's own size
      {"?Both", {standard, standard}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.equate);
    QPushButton* b = Button(c.equate);
    ASSERT_NE(b, nullptr);
    const QSize room = Room(*b);
    if (c.icon.isEmpty()) {
      // The icon is square: it takes the room's smaller side, all of it within the face.
      const int side = std::min(room.width(), room.height());
      ASSERT_LT(side, 32);
      EXPECT_EQ(b->iconSize(), QSize(side, side));
    } else {
      EXPECT_EQ(b->iconSize(), c.icon);
    }
    EXPECT_TRUE(Shows(b->grab().toImage(), b->rect(), kIconYellow));
  }
}

TEST_F(ButtonTest, AFlatButtonDrawsNoFaceAroundItsIcon) {
  const QImage window = mirror->client()->grab().toImage();
  QPushButton* flat = Button("?Flat");
  QPushButton* face = Button("?Face");
  EXPECT_TRUE(flat->isFlat());
  EXPECT_FALSE(face->isFlat());
  // The left edge of a button is its frame; a flat one shows the window there.
  const QColor background = window.pixelColor(mirror->client()->width() - 2, 2);
  const QRect flat_edge(flat->x(), flat->y() + 2, 1, flat->height() - 4);
  const QRect face_edge(face->x(), face->y() + 2, 1, face->height() - 4);
  for (int y = flat_edge.top(); y <= flat_edge.bottom(); ++y) {
    EXPECT_EQ(window.pixelColor(flat_edge.left(), y), background) << y;
  }
  bool framed = false;
  for (int y = face_edge.top(); y <= face_edge.bottom(); ++y) {
    framed = framed || window.pixelColor(face_edge.left(), y) != background;
  }
  EXPECT_TRUE(framed);
}

}  // namespace
}  // namespace platform::qt
