// Pictures under Qt offscreen, by pixel probes: image controls stretched, centred and tiled, a
// natural size from NoWidth and NoHeight, a window image made after the buttons lying behind
// them and showing through a flat one, an unreadable picture, a tiled wallpaper, and cursors.
#include "platform/qt/picture_widget.h"

#include <filesystem>
#include <string>

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMdiArea>
#include <QPushButton>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/core/paths.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/image/picture_name.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/snapshot_model.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/bitmap_file.h"
#include "platform/testing/qt_window_test.h"
#include "platform/testing/window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

namespace fs = std::filesystem;
using ui::ControlType;
using ui::FieldId;
using ui::Prop;

constexpr ui::ControlDecl kControls[] = {
    ui::Button("?Go", "Go", {10, 10, 40, 20}),
    ui::Button("?Flat", "", {60, 10, 40, 20}),
    ui::Decl(ControlType::kImage, "?Stretched", "", {10, 40, 40, 40}),
    ui::Decl(ControlType::kImage, "?Centered", "", {60, 40, 40, 40}),
    ui::Decl(ControlType::kImage, "?Tiled", "", {110, 40, 40, 40}),
    ui::Decl(ControlType::kImage, "?Natural", "", {160, 40, 4, 4}),
    ui::Decl(ControlType::kImage, "?Broken", "", {10, 90, 30, 20}),
    ui::List("?Rows", {60, 90, 100, 30}).Format("60L(2)I@s20@"),
    ui::Decl(ControlType::kRegion, "?Hot", "", {170, 90, 40, 30}),
    ui::Decl(ControlType::kImage, "?Over", "", {170, 90, 40, 30}),
};
constexpr ui::WindowStructure kWindow{"test$qtpictures", "P1$WINDOW",      ui::WindowKind::kPlain,
                                      "Pictures",        {0, 0, 220, 150}, kControls};
constexpr FieldId kGo = kWindow.Equate("?Go");
constexpr FieldId kFlat = kWindow.Equate("?Flat");
constexpr FieldId kStretched = kWindow.Equate("?Stretched");
constexpr FieldId kCentered = kWindow.Equate("?Centered");
constexpr FieldId kTiled = kWindow.Equate("?Tiled");
constexpr FieldId kNatural = kWindow.Equate("?Natural");
constexpr FieldId kBroken = kWindow.Equate("?Broken");
constexpr FieldId kRows = kWindow.Equate("?Rows");
constexpr FieldId kHot = kWindow.Equate("?Hot");
constexpr FieldId kOver = kWindow.Equate("?Over");
constexpr ui::EventId kWait = 0x500;
constexpr ui::EventId kNormal = 0x501;

struct IconRow {
  CString<21> NAME;
  int32_t ICON = 0;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<IconRow>(
        "ROW", platform::Field<&IconRow::NAME>("NAME"), platform::Field<&IconRow::ICON>("ICON"));
    return layout;
  }
};

// 10 by 10 pixels: red on the left half, blue on the right.
uint32_t Halves(int x, int) { return x < 5 ? 0xFF0000u : 0x0000FFu; }
bool IsRed(QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }
bool IsBlue(QColor c) { return c.blue() > 200 && c.red() < 60 && c.green() < 60; }
bool IsGreen(QColor c) { return c.green() > 200 && c.red() < 60 && c.blue() < 60; }
// The wallpaper's 10 by 10 pixels: yellow on the left half, cyan on the right.
uint32_t WallHalves(int x, int) { return x < 5 ? 0xFFFF00u : 0x00FFFFu; }
bool IsYellow(QColor c) { return c.red() > 200 && c.green() > 200 && c.blue() < 60; }
bool IsCyan(QColor c) { return c.green() > 200 && c.blue() > 200 && c.red() < 60; }

class PicturesTest : public testing::QtWindowTest {
 protected:
  testing::Log log;
  fs::path dir_;
  std::string halves_;
  std::string green_;
  std::string wall_;

  void SetUp() override {
    QtWindowTest::SetUp();
    std::string pattern = (fs::temp_directory_path() / "pexqtpictures.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    halves_ = (dir_ / "halves.bmp").string();
    green_ = (dir_ / "green.bmp").string();
    wall_ = (dir_ / "wall.bmp").string();
    ASSERT_TRUE(testing::WriteBitmapFile(wall_, 10, 10, WallHalves));
    ASSERT_TRUE(testing::WriteBitmapFile(halves_, 10, 10, Halves));
    ASSERT_TRUE(testing::WriteBitmapFile(green_, 8, 8, [](int, int) { return 0x00FF00u; }));
    TEST_SetDataDirectory(PEX_SHARE_DIR);
  }
  void TearDown() override {
    QtWindowTest::TearDown();
    TEST_SetDataDirectory("");
    fs::remove_all(dir_);
  }

  // Opens the window with its pictures; a window image made at run time over both buttons.
  WindowMirror& Open() {
    WindowMirror* m = Start(
        [this] {
          Queue<IconRow> rows;
          for (int32_t icon : {2, 0}) {
            rows.buffer.NAME = icon != 0 ? "with" : "without";
            rows.buffer.ICON = icon;
            rows.Add();
          }
          ui::Window window(kWindow);
          window.From(kRows, rows);
          window.Open();
          ui::SetProp(0, Prop::Icon, "~ZOVAbout.ico");
          ui::SetProp(kRows, Prop::IconList, "~ZOVMenuItem.ico", 2);
          ui::SetProp(0, Prop::WallPaper, wall_);
          ui::SetProp(0, Prop::Tiled, "1");
          ui::SetProp(kFlat, Prop::Flat, "1");
          ui::SetProp(kStretched, Prop::Text, halves_);
          ui::SetProp(kCentered, Prop::Text, halves_);
          ui::SetProp(kCentered, Prop::Centered, "1");
          ui::SetProp(kTiled, Prop::Text, halves_);
          ui::SetProp(kTiled, Prop::Tiled, "1");
          ui::SetProp(kNatural, Prop::Text, halves_);
          ui::SetProp(kNatural, Prop::NoWidth, "1");
          ui::SetProp(kNatural, Prop::NoHeight, "1");
          log.Add(ui::GetProp(kNatural, Prop::Width) + "x" + ui::GetProp(kNatural, Prop::Height));
          ui::SetProp(kBroken, Prop::Text, (dir_ / "missing.bmp").string());
          const FieldId back = ui::Create(0, ControlType::kImage);
          ui::SetProp(back, Prop::Text, green_);
          ui::SetPosition(back, 5, 5, 100, 30);
          ui::Unhide(back);
          ui::SetProp(kGo, Prop::Cursor, "~Finger.cur");
          ui::SetProp(kHot, Prop::Cursor, "~Finger.cur");
          ui::SetProp(kOver, Prop::Text, halves_);
          while (window.Accept()) {
            if (ui::Event() == kWait) ui::SetCursor(ui::Cursor::kWait);
            if (ui::Event() == kNormal) ui::SetCursor(ui::Cursor::kNormal);
          }
        },
        "Pictures");
    EXPECT_NE(m, nullptr);
    if (m == nullptr) std::abort();
    return *m;
  }

  // The colour of the window's client at `at` of control `field` (its own coordinates).
  QColor At(WindowMirror& m, FieldId field, QPoint at) {
    const QImage shot = m.client()->grab().toImage();
    return shot.pixelColor(m.widget(field)->mapTo(m.client(), at));
  }
};

TEST_F(PicturesTest, ImageControlsStretchCentreAndTileTheirPicture) {
  WindowMirror& m = Open();
  const QSize stretched = m.widget(kStretched)->size();
  EXPECT_TRUE(IsRed(At(m, kStretched, {stretched.width() / 4, stretched.height() / 2})));
  EXPECT_TRUE(IsBlue(At(m, kStretched, {stretched.width() * 3 / 4, stretched.height() / 2})));
  EXPECT_TRUE(IsRed(At(m, kStretched, {1, 1})));  // the picture reaches the corners
  EXPECT_TRUE(IsBlue(At(m, kStretched, {stretched.width() - 2, stretched.height() - 2})));

  const QPoint middle = m.widget(kCentered)->rect().center();
  EXPECT_TRUE(IsRed(At(m, kCentered, middle + QPoint(-3, 0))));
  EXPECT_TRUE(IsBlue(At(m, kCentered, middle + QPoint(3, 0))));
  // Around it the window's wallpaper shows.
  const QColor corner = At(m, kCentered, {1, 1});
  EXPECT_TRUE(IsYellow(corner) || IsCyan(corner));

  for (int x : {2, 12, 22}) {
    SCOPED_TRACE(x);
    EXPECT_TRUE(IsRed(At(m, kTiled, {x, 2})));
    EXPECT_TRUE(IsBlue(At(m, kTiled, {x + 5, 12})));
  }
}

TEST_F(PicturesTest, NoWidthAndNoHeightGiveTheNaturalSizeInTheFontsDialogUnits) {
  WindowMirror& m = Open();
  const ui::TextMetrics metrics = display.Metrics();
  const int width_du = (10 * 4 + metrics.average_char_width_px - 1) / metrics.average_char_width_px;
  const int height_du = (10 * 8 + metrics.char_height_px - 1) / metrics.char_height_px;
  EXPECT_EQ(log.lines(),
            std::vector<std::string>{std::to_string(width_du) + "x" + std::to_string(height_du)});
  // On screen the control holds the whole picture and less than a unit more.
  const QSize px = m.widget(kNatural)->size();
  EXPECT_GE(px.width(), 10);
  EXPECT_LT(px.width(), 10 + std::max(1, metrics.average_char_width_px / 4));
  EXPECT_GE(px.height(), 10);
  EXPECT_LT(px.height(), 10 + std::max(1, metrics.char_height_px / 8));
}

TEST_F(PicturesTest, AWindowImageMadeAfterTheButtonsLiesBehindThem) {
  WindowMirror& m = Open();
  const QPoint go = m.widget(kGo)->rect().center();
  EXPECT_FALSE(IsGreen(At(m, kGo, go)));
  // The flat button draws no face: the image shows through it.
  EXPECT_TRUE(static_cast<QPushButton*>(m.widget(kFlat))->isFlat());
  EXPECT_TRUE(IsGreen(At(m, kFlat, m.widget(kFlat)->rect().center())));
}

TEST_F(PicturesTest, APictureThatCannotBeReadKeepsTheSizeAndShowsNothing) {
  WindowMirror& m = Open();
  QWidget* broken = m.widget(kBroken);
  const ui::TextMetrics metrics = display.Metrics();
  EXPECT_EQ(broken->width(), ui::HorizontalPixels(30, metrics));
  EXPECT_EQ(broken->height(), ui::VerticalPixels(20, metrics));
  const QImage shot = broken->grab().toImage();
  for (int y = 0; y < shot.height(); y += 3) {
    for (int x = 0; x < shot.width(); x += 3) {
      ASSERT_FALSE(IsGreen(shot.pixelColor(x, y)) || IsRed(shot.pixelColor(x, y)) ||
                   IsBlue(shot.pixelColor(x, y)))
          << x << "," << y;
    }
  }
}

TEST_F(PicturesTest, ATiledWallpaperRepeatsBeneathTheControls) {
  WindowMirror& m = Open();
  const QImage shot = m.client()->grab().toImage();
  // Below the controls, where only the wallpaper lies.
  const int y = ui::VerticalPixels(130, display.Metrics());
  for (int x : {102, 112, 152}) {
    SCOPED_TRACE(x);
    EXPECT_TRUE(IsYellow(shot.pixelColor(x, y)));
    EXPECT_TRUE(IsCyan(shot.pixelColor(x + 5, y)));
  }
}

TEST_F(PicturesTest, ACursorKeepsItsHotSpotAndTheWaitCursorStaysAboveIt) {
  WindowMirror& m = Open();
  const std::optional<image::Picture> finger = image::LoadNamedPicture("~Finger.cur");
  ASSERT_TRUE(finger && finger->hot_spot);
  const QCursor cursor = m.widget(kGo)->cursor();
  EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
  EXPECT_EQ(cursor.hotSpot(), QPoint(finger->hot_spot->x, finger->hot_spot->y));
  EXPECT_EQ(m.widget(kFlat)->cursor().shape(), Qt::ArrowCursor);
  // A region under a picture still has the mouse, and shows its cursor there.
  QWidget* hot = m.widget(kHot);
  EXPECT_EQ(m.client()->childAt(hot->geometry().center()), hot);
  EXPECT_EQ(hot->cursor().shape(), Qt::BitmapCursor);
  ui::PostToWindow(m.handle(), kWait);
  Settle(runtime);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui::PostToWindow(m.handle(), kNormal);
  Settle(runtime);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(m.widget(kGo)->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(PicturesTest, AListsIconColumnAndTheWindowShowTheirIcons) {
  WindowMirror& m = Open();
  EXPECT_FALSE(m.top()->windowIcon().isNull());
  SnapshotModel* rows = m.model(kRows);
  ASSERT_NE(rows, nullptr);
  ASSERT_EQ(rows->rowCount(), 2);
  // Icon 2 is the program's menu-item picture; a row with icon 0 shows none.
  const QVariant with = rows->data(rows->index(0, 0), Qt::DecorationRole);
  ASSERT_TRUE(with.canConvert<QPixmap>());
  EXPECT_FALSE(with.value<QPixmap>().isNull());
  EXPECT_FALSE(rows->data(rows->index(1, 0), Qt::DecorationRole).isValid());
  EXPECT_EQ(rows->data(rows->index(0, 0), Qt::DisplayRole).toString(), "with");
}

TEST_F(PicturesTest, TheFramesWallpaperIsItsAreasBackground) {
  static constexpr ui::WindowStructure kFrame{
      "test$qtframe", "AppFrame", ui::WindowKind::kFrame, "Wallpaper frame", {0, 0, 200, 100}, {}};
  WindowMirror* m = Start(
      [this] {
        ui::Window frame(kFrame);
        frame.Open();
        ui::SetProp(0, Prop::WallPaper, wall_);
        ui::SetProp(0, Prop::Tiled, "1");
        while (frame.Accept()) {
        }
      },
      "Wallpaper frame");
  ASSERT_NE(m, nullptr);
  ASSERT_NE(m->mdi_area(), nullptr);
  const QImage shot = m->mdi_area()->viewport()->grab().toImage();
  for (int x : {2, 12, 42}) {
    SCOPED_TRACE(x);
    EXPECT_TRUE(IsYellow(shot.pixelColor(x, 20)));
    EXPECT_TRUE(IsCyan(shot.pixelColor(x + 5, 20)));
  }
}

}  // namespace
}  // namespace platform::qt
