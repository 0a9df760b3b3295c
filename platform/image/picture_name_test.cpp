#include "platform/image/picture_name.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/core/paths.h"

namespace platform::image {
namespace {

namespace fs = std::filesystem;

// A scratch current directory and a data directory whose `images` holds the program's own
// pictures; both go back when the test ends.
class PictureNameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pexpictures.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "cwd");
    fs::create_directories(root_ / "data" / "images");
    before_ = fs::current_path();
    fs::current_path(root_ / "cwd");
    SetDataDirectoryForTesting((root_ / "data").string());
  }
  void TearDown() override {
    SetDataDirectoryForTesting("");
    fs::current_path(before_);
    fs::remove_all(root_);
  }
  void Copy(const std::string& fixture, const fs::path& to) {
    fs::copy_file(fs::path(PEX_IMAGE_TESTDATA_DIR) / fixture, to);
  }
  fs::path Own(const std::string& name) { return root_ / "data" / "images" / name; }

  fs::path root_;
  fs::path before_;
};

TEST_F(PictureNameTest, TildeNamesComeFromTheProgramsPicturesOnly) {
  Copy("bmp_24.bmp", "zov.ico");  // a file of that name in the current directory
  EXPECT_EQ(ResolvePictureName("~zov.ico"), std::nullopt);
  Copy("ico_32_alpha.ico", Own("zov.ico"));
  EXPECT_EQ(ResolvePictureName("~zov.ico"), Own("zov.ico").string());
  const std::optional<Picture> own = LoadNamedPicture("~zov.ico");
  ASSERT_TRUE(own.has_value());
  EXPECT_EQ(own->size(), (PictureSize{13, 11}));
}

TEST_F(PictureNameTest, OtherNamesAreFilesAndABareOneFallsBackToTheProgramsPictures) {
  Copy("ico_32_alpha.ico", Own("zov.ico"));
  Copy("ico_32_alpha.ico", Own("Genie.ico"));
  // Not in the current directory: the program's own.
  EXPECT_EQ(ResolvePictureName("zov.ico"), Own("zov.ico").string());
  // In the current directory: that file.
  Copy("png_rgba_2x.png", "zov.ico");
  EXPECT_EQ(ResolvePictureName("zov.ico"), "zov.ico");
  EXPECT_EQ(ProbeNamedPicture("zov.ico"), (PictureSize{26, 22}));
  // A name with a directory is never looked for elsewhere.
  EXPECT_EQ(ResolvePictureName("sub/Genie.ico"), std::nullopt);
  EXPECT_EQ(ResolvePictureName("missing.ico"), std::nullopt);
  EXPECT_EQ(ResolvePictureName(""), std::nullopt);
  EXPECT_EQ(ResolvePictureName("~"), std::nullopt);
  EXPECT_FALSE(LoadNamedPicture("missing.ico").has_value());
}

std::vector<char> FixtureBytes(const std::string& name) {
  std::ifstream in(fs::path(PEX_IMAGE_TESTDATA_DIR) / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(PictureNameTest, TheProbeReadsFurtherOnlyWhereTheHeaderLiesFurther) {
  // A BMP followed by a megabyte the probe never needs.
  std::vector<char> bmp = FixtureBytes("bmp_24.bmp");
  bmp.resize(bmp.size() + 1024 * 1024, '\0');
  std::ofstream("long.bmp", std::ios::binary)
      .write(bmp.data(), static_cast<std::streamsize>(bmp.size()));
  EXPECT_EQ(ProbeNamedPicture("long.bmp"), (PictureSize{13, 11}));
  // An icon whose one entry, a PNG, lies 100000 bytes on.
  const std::vector<char> png = FixtureBytes("png_rgba_2x.png");
  constexpr std::uint32_t kOffset = 100000;
  std::vector<char> ico = {0, 0, 1, 0, 1, 0, 26, 22, 0, 0, 1, 0, 32, 0};
  for (const std::uint32_t v : {static_cast<std::uint32_t>(png.size()), kOffset}) {
    for (int i = 0; i < 4; ++i) ico.push_back(static_cast<char>(v >> (8 * i)));
  }
  ico.resize(kOffset, '\0');
  ico.insert(ico.end(), png.begin(), png.end());
  std::ofstream("far.ico", std::ios::binary)
      .write(ico.data(), static_cast<std::streamsize>(ico.size()));
  EXPECT_EQ(ProbeNamedPicture("far.ico"), (PictureSize{26, 22}));
  ASSERT_TRUE(LoadNamedPicture("far.ico").has_value());
}

TEST_F(PictureNameTest, AFileThatIsNoPictureGivesNone) {
  std::ofstream("notes.bmp") << "not a picture";
  EXPECT_EQ(ResolvePictureName("notes.bmp"), "notes.bmp");
  EXPECT_FALSE(LoadNamedPicture("notes.bmp").has_value());
  EXPECT_FALSE(ProbeNamedPicture("notes.bmp").has_value());
}

}  // namespace
}  // namespace platform::image

namespace platform::image {
namespace {

// The pictures the program names, as shipped in share/images.
TEST(ProgramPictures, EveryNamedPictureIsShippedAndReads) {
  SetDataDirectoryForTesting(PEX_SHARE_DIR);
  constexpr std::string_view kNames[] = {
      "zov.ico",          "ZOVpexolind.ico", "ZOVTemplate.ico",     "ZOVWeb.gif",
      "ZOVMSAttach.ico",  "cancel.ico",      "zovrefresh.ico",      "ZOVCheckoff.ico",
      "ZOVCheckon.ico",   "Genie.ico",       "~ExtAgentButton.ico", "~Finger.cur",
      "~ZOVMenuItem.ico", "~ZOVUp.ico",      "~ZOVDown.ico",        "~Pauze.ico",
  };
  for (const std::string_view name : kNames) {
    SCOPED_TRACE(name);
    const std::optional<Picture> picture = LoadNamedPicture(name);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(ProbeNamedPicture(name), picture->size());
  }
  const std::optional<Picture> finger = LoadNamedPicture("~Finger.cur");
  ASSERT_TRUE(finger.has_value());
  EXPECT_EQ(finger->size(), (PictureSize{32, 32}));
  EXPECT_EQ(finger->hot_spot, (HotSpot{11, 1}));  // the tip of the finger
  SetDataDirectoryForTesting("");
}

}  // namespace
}  // namespace platform::image
