// What the headless mirror records of pictures: what each image control shows, in which mode
// and at which natural size; the wallpapers; the cursors with their hot spots; a list's icons.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/core/paths.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/testing/bitmap_file.h"
#include "platform/testing/window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::headless {
namespace {

namespace fs = std::filesystem;
using testing::WindowTest;
using ui::ControlType;
using ui::FieldId;
using ui::PictureMode;
using ui::Prop;

constexpr ui::ControlDecl kControls[] = {
    ui::Decl(ControlType::kImage, "?Stretched", "", {4, 4, 30, 30}),
    ui::Decl(ControlType::kImage, "?Centered", "", {40, 4, 30, 30}),
    ui::Decl(ControlType::kImage, "?Tiled", "", {80, 4, 30, 30}),
    ui::Decl(ControlType::kImage, "?Broken", "", {120, 4, 30, 30}),
    ui::Decl(ControlType::kPanel, "?Panel", "", {4, 40, 100, 30}),
    ui::List("?Rows", {4, 80, 100, 40}).Format("60L(2)I@s20@"),
};
constexpr ui::WindowStructure kWindow{"test$pictures",  "P1$WINDOW",      ui::WindowKind::kPlain,
                                      "Picture window", {0, 0, 200, 130}, kControls};
constexpr FieldId kStretched = kWindow.Equate("?Stretched");
constexpr FieldId kCentered = kWindow.Equate("?Centered");
constexpr FieldId kTiled = kWindow.Equate("?Tiled");
constexpr FieldId kBroken = kWindow.Equate("?Broken");
constexpr FieldId kPanel = kWindow.Equate("?Panel");
constexpr FieldId kRows = kWindow.Equate("?Rows");

struct IconRow {
  CString<21> NAME;
  int32_t ICON = 0;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<IconRow>(
        "ROW", platform::Field<&IconRow::NAME>("NAME"), platform::Field<&IconRow::ICON>("ICON"));
    return layout;
  }
};

class HeadlessPicturesTest : public WindowTest {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pexmirror.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    TEST_SetDataDirectory(PEX_SHARE_DIR);
  }
  void TearDown() override {
    WindowTest::TearDown();
    TEST_SetDataDirectory("");
    fs::remove_all(dir_);
  }

  fs::path dir_;
};

TEST_F(HeadlessPicturesTest, TheMirrorRecordsPicturesModesSizesAndCursors) {
  const std::string picture = (dir_ / "picture.bmp").string();
  ASSERT_TRUE(testing::WriteBitmapFile(picture, 12, 8, [](int, int) { return 0x00FF00u; }));
  runtime.StartMain([&] {
    Queue<IconRow> rows;
    for (int32_t icon : {2, 0}) {
      rows.buffer.NAME = icon != 0 ? "with" : "without";
      rows.buffer.ICON = icon;
      rows.Add();
    }
    ui::Window window(kWindow);
    window.From(kRows, rows);
    window.Open();
    ui::SetProp(kStretched, Prop::Text, picture);
    ui::SetProp(kStretched, Prop::Tiled, "1");
    ui::SetProp(kStretched, Prop::Stretch, "1");  // Stretch goes before Tiled
    ui::SetProp(kCentered, Prop::Text, picture);
    ui::SetProp(kCentered, Prop::Centered, "1");
    ui::SetProp(kTiled, Prop::Text, picture);
    ui::SetProp(kTiled, Prop::Tiled, "1");
    ui::SetProp(kBroken, Prop::Text, (dir_ / "missing.bmp").string());
    ui::SetProp(0, Prop::WallPaper, picture);
    ui::SetProp(0, Prop::Tiled, "1");
    ui::SetProp(0, Prop::Cursor, "~Finger.cur");
    ui::SetProp(kPanel, Prop::WallPaper, picture);
    ui::SetProp(kPanel, Prop::Centered, "1");
    ui::SetProp(kPanel, Prop::Cursor, "missing.cur");
    ui::SetProp(kRows, Prop::IconList, "~ZOVMenuItem.ico", 2);
    while (window.Accept()) {
    }
  });
  const ui::WindowHandle w = user.Window("Picture window");
  user.WaitUntilIdle();
  const MirrorWindow m = *display.FindWindow(w);

  struct Case {
    FieldId field;
    PictureMode mode;
    bool readable;
  };
  const Case cases[] = {
      {kStretched, PictureMode::kStretched, true},
      {kCentered, PictureMode::kCentered, true},
      {kTiled, PictureMode::kTiled, true},
      {kBroken, PictureMode::kStretched, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    ASSERT_TRUE(m.pictures.contains(c.field));
    const ShownPicture& p = m.pictures.at(c.field);
    EXPECT_EQ(ui::PictureModeName(p.mode), ui::PictureModeName(c.mode));
    if (c.readable) {
      EXPECT_EQ(p.name, picture);
      ASSERT_TRUE(p.natural.has_value());
      EXPECT_EQ(*p.natural, (image::PictureSize{12, 8}));
    } else {
      EXPECT_FALSE(p.natural.has_value());
    }
  }
  ASSERT_TRUE(m.wallpaper.has_value());
  EXPECT_EQ(m.wallpaper->mode, PictureMode::kTiled);
  EXPECT_EQ(m.wallpaper->natural, (image::PictureSize{12, 8}));
  ASSERT_TRUE(m.wallpapers.contains(kPanel));
  EXPECT_EQ(m.wallpapers.at(kPanel).mode, PictureMode::kCentered);
  EXPECT_FALSE(m.wallpapers.contains(kStretched));

  // The program's pointing hand keeps its hot spot; a cursor that cannot be read has none.
  ASSERT_TRUE(m.cursor.has_value());
  EXPECT_EQ(m.cursor->name, "~Finger.cur");
  ASSERT_TRUE(m.cursor->hot_spot.has_value());
  EXPECT_NE(*m.cursor->hot_spot, (image::HotSpot{0, 0}));
  ASSERT_TRUE(m.cursors.contains(kPanel));
  EXPECT_FALSE(m.cursors.at(kPanel).hot_spot.has_value());

  // The list's icon column: the icon number of each row.
  ASSERT_TRUE(m.lists.contains(kRows));
  EXPECT_EQ(m.lists.at(kRows)->icons, (std::vector<std::vector<int32_t>>{{2}, {0}}));
}

TEST_F(HeadlessPicturesTest, AnotherPictureOrNoneReplacesWhatTheMirrorRecorded) {
  const std::string first = (dir_ / "first.bmp").string();
  const std::string second = (dir_ / "second.bmp").string();
  ASSERT_TRUE(testing::WriteBitmapFile(first, 4, 4, [](int, int) { return 0u; }));
  ASSERT_TRUE(testing::WriteBitmapFile(second, 6, 2, [](int, int) { return 0u; }));
  constexpr ui::EventId kSecond = 0x500;
  constexpr ui::EventId kNone = 0x501;
  runtime.StartMain([&] {
    ui::Window window(kWindow);
    window.Open();
    ui::SetProp(kTiled, Prop::Text, first);
    ui::SetProp(0, Prop::Cursor, "~Finger.cur");
    while (window.Accept()) {
      if (ui::Event() == kSecond) ui::SetProp(kTiled, Prop::Text, second);
      if (ui::Event() == kNone) {
        ui::SetProp(kTiled, Prop::Text, "");
        ui::SetProp(0, Prop::Cursor, "");
      }
    }
  });
  const ui::WindowHandle w = user.Window("Picture window");
  user.WaitUntilIdle();
  EXPECT_EQ(display.FindWindow(w)->pictures.at(kTiled).natural, (image::PictureSize{4, 4}));
  ui::PostToWindow(w, kSecond);
  user.WaitUntilIdle();
  EXPECT_EQ(display.FindWindow(w)->pictures.at(kTiled).natural, (image::PictureSize{6, 2}));
  ui::PostToWindow(w, kNone);
  user.WaitUntilIdle();
  EXPECT_FALSE(display.FindWindow(w)->pictures.contains(kTiled));
  EXPECT_FALSE(display.FindWindow(w)->cursor.has_value());
}

}  // namespace
}  // namespace platform::headless
