#include "platform/qt/picture_image.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <QColor>
#include <QPixmap>
#include <gtest/gtest.h>

#include "platform/core/paths.h"
#include "platform/qt/stored_style.h"

namespace platform::qt {
namespace {

namespace fs = std::filesystem;

// The fixtures of the picture readers, seen as the program's own pictures.
class LoadPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pexqtpictures.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "images");
    TEST_SetDataDirectory(root_.string());
  }
  void TearDown() override {
    TEST_SetDataDirectory("");
    fs::remove_all(root_);
  }
  void Own(const std::string& fixture, const std::string& name) {
    fs::copy_file(fs::path(PEX_IMAGE_TESTDATA_DIR) / fixture, root_ / "images" / name);
  }
  fs::path root_;
};

TEST_F(LoadPictureTest, PixelsComeFromTheProgramsReaders) {
  // A PCX file, which Qt's own readers do not know.
  Own("pcx_24.pcx", "Picture.pcx");
  const QImage image =
      LoadPicture("~Picture.pcx").toImage().convertToFormat(QImage::Format_RGBA8888);
  ASSERT_EQ(image.size(), QSize(13, 11));
  // colour(x, y) of the fixture script: ((x*19+7) % 256, (y*23+3) % 256, (x*y*7+x*5) % 256).
  EXPECT_EQ(image.pixelColor(0, 0), QColor(7, 3, 0));
  EXPECT_EQ(image.pixelColor(12, 10), QColor(235, 233, (12 * 10 * 7 + 60) % 256));
}

TEST_F(LoadPictureTest, TransparencyIsKept) {
  Own("gif_transparent.gif", "Trn.gif");
  const QImage image = LoadPicture("~Trn.gif").toImage();
  ASSERT_EQ(image.size(), QSize(13, 11));
  // Palette index (3x + 5y) % 16: index 0 is transparent, index 3 is (30, 160, 60).
  EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
  EXPECT_EQ(image.pixelColor(1, 0), QColor(30, 160, 60));
}

TEST_F(LoadPictureTest, AMetafileIsDrawnAtItsNaturalSize) {
  Own("wmf_placeable.wmf", "Drawing.wmf");
  const QImage image = LoadPicture("~Drawing.wmf").toImage();
  ASSERT_EQ(image.size(), QSize(26, 22));
  EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
  EXPECT_EQ(image.pixelColor(13, 11), QColor(0x60, 0x30, 0xC0));
}

TEST_F(LoadPictureTest, ADamagedOrMissingPictureIsNone) {
  std::ofstream(root_ / "images" / "Broken.png") << "\x89PNG\r\n\x1a\n not really";
  EXPECT_TRUE(LoadPicture("~Broken.png").isNull());
  EXPECT_TRUE(LoadPicture("~Missing.png").isNull());
  EXPECT_TRUE(LoadPicture("").isNull());
}

}  // namespace
}  // namespace platform::qt
