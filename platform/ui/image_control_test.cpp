// Image controls in the model: NoWidth and NoHeight make the control as large as its picture,
// in dialog units of the display's font; a picture that cannot be read leaves the stored size.
#include "platform/ui/image_control.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/testing/bitmap_file.h"
#include "platform/testing/window_test.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

namespace fs = std::filesystem;
using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    Decl(ControlType::kImage, "?Picture", "", {4, 4, 30, 30}),
};
constexpr WindowStructure kWindow{"test$image",   "P1$WINDOW",      WindowKind::kPlain,
                                  "Image window", {0, 0, 200, 100}, kControls};
constexpr FieldId kPicture = kWindow.Equate("?Picture");

class ImageControlTest : public WindowTest {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "peximage.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    WindowTest::TearDown();
    fs::remove_all(dir_);
  }
  std::string Bitmap(const std::string& name, int width, int height) {
    const std::string path = (dir_ / name).string();
    EXPECT_TRUE(testing::WriteBitmapFile(path, width, height, [](int, int) { return 0xFF0000u; }));
    return path;
  }

  fs::path dir_;
};

// Headless metrics: one dialog unit is 2 pixels either way.
TEST_F(ImageControlTest, NoWidthAndNoHeightAnswerThePicturesNaturalSizeInDialogUnits) {
  struct Case {
    std::string_view name;
    std::string picture;
    bool no_width;
    bool no_height;
    std::string size;  // Width x Height read back, and what the display was sent
  };
  const std::string even = Bitmap("even.bmp", 40, 20);
  const std::string odd = Bitmap("odd.bmp", 41, 23);
  const Case cases[] = {
      {"stored size without the flags", even, false, false, "30x30"},
      {"both from the picture", even, true, true, "20x10"},
      {"width only", even, true, false, "20x30"},
      {"height only", even, false, true, "30x10"},
      {"rounded up to hold the whole picture", odd, true, true, "21x12"},
      {"unreadable picture keeps the stored size", (dir_ / "missing.bmp").string(), true, true,
       "30x30"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string read;
    runtime.StartMain([&] {
      Window window(kWindow);
      window.Open();
      SetProp(kPicture, Prop::Text, c.picture);
      SetProp(kPicture, Prop::NoWidth, c.no_width ? "1" : "");
      SetProp(kPicture, Prop::NoHeight, c.no_height ? "1" : "");
      read = GetProp(kPicture, Prop::Width) + "x" + GetProp(kPicture, Prop::Height);
      window.Display();
      while (window.Accept()) {
      }
    });
    const WindowHandle w = user.Window("Image window");
    const RectDu at = display.FindWindow(w)->controls.at(kPicture).at;
    user.CloseBox(w);
    runtime.Join();
    EXPECT_EQ(read, c.size);
    EXPECT_EQ(std::to_string(at.width) + "x" + std::to_string(at.height), c.size);
  }
}

TEST_F(ImageControlTest, ANaturalSizeFollowsAnotherPicture) {
  const std::string small = Bitmap("small.bmp", 10, 10);
  const std::string large = Bitmap("large.bmp", 60, 40);
  std::vector<std::string> sizes;
  runtime.StartMain([&] {
    Window window(kWindow);
    window.Open();
    SetProp(kPicture, Prop::NoWidth, "1");
    SetProp(kPicture, Prop::NoHeight, "1");
    for (const std::string& p : {small, large, small}) {
      SetProp(kPicture, Prop::Text, p);
      sizes.push_back(GetProp(kPicture, Prop::Width) + "x" + GetProp(kPicture, Prop::Height));
    }
  });
  runtime.Join();
  EXPECT_EQ(sizes, (std::vector<std::string>{"5x5", "30x20", "5x5"}));
}

}  // namespace
}  // namespace platform::ui
