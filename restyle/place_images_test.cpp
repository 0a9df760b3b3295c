// The images laid on a restyled window: made in the first pass, reused later, placed from the
// corner each names and sized absolutely, in percent or by the picture itself; none on the
// frame; removed with the mark when styling or images go off.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/bitmap_file.h"
#include "platform/ui/picture_mode.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"
#include "stylemanager/stylemanager_test_support.h"

namespace restyle {
namespace {

namespace ui = platform::ui;

constexpr ui::ControlDecl kControls[] = {
    ui::Button("?Go", "&Go", {4, 20, 40, 14}),
};
constexpr ui::WindowStructure kWindow{"test$images", "P1$WINDOW",        ui::WindowKind::kPlain,
                                      "Imaged",      {10, 10, 200, 120}, kControls};
constexpr ui::WindowStructure kFrame{"test$images", "P1$FRAME",       ui::WindowKind::kFrame,
                                     "Frame",       {0, 0, 300, 200}, {}};

ImageQueueRecord Image(int16_t x, int16_t y, uint8_t move_from, int16_t width = 16,
                       int16_t height = 8) {
  ImageQueueRecord image;
  image.IMAGEFILE = "picture.bmp";
  image.XPOS = x;
  image.YPOS = y;
  image.MOVEFROM = move_from;
  image.WIDTH = width;
  image.HEIGHT = height;
  return image;
}

class PlaceImagesTest : public stylemanager::testing::StyleManagerFixture {
 protected:
  void SetUp() override {
    StyleManagerFixture::SetUp();
    // 40 by 20 pixels: 20 by 10 units of the headless font.
    ASSERT_TRUE(
        platform::testing::WriteBitmapFile("picture.bmp", 40, 20, [](int, int) { return 0xFFu; }));
  }

  // Stores `images` as the procedure's own, with its image settings.
  void StoreImages(ZOVRestyleClass& store, const std::vector<ImageQueueRecord>& images,
                   uint8_t do_not_use = 0) {
    const int32_t set = store.GetConditionSetId(0, 0, "~Images~");
    ImagePropertyGroup settings;
    settings.CHANGEIMAGESETTINGS = 1;
    settings.DONOTUSEIMAGES = do_not_use;
    settings.NUMBEROFIMAGES = static_cast<uint8_t>(images.size());
    store.SaveGroup(settings, set, "~DEFAULT:Images");
    for (size_t n = 0; n < images.size(); ++n) {
      ImageQueueRecord image = images[n];
      image.IMAGEORDER = static_cast<uint8_t>(n + 1);
      store.IMAGEQUEUE->buffer = image;
      store.SaveQueue(*store.IMAGEQUEUE, set, "~DEFAULT:Image " + std::to_string(n + 1));
    }
  }

  // Every image control as the display shows it: "x,y wxh mode", in creation order.
  std::vector<std::string> Shown(ZOVRestyleClass& restyle, ui::Window& window) {
    window.Display();
    std::vector<std::string> out;
    const auto mirror = display.FindWindow(window.handle());
    for (size_t n = 1; n <= restyle.IMAGEEQUATEQUEUE->Records(); ++n) {
      const ui::FieldId f = restyle.IMAGEEQUATEQUEUE->entry(n).IMAGEEQUATE;
      if (!mirror || !mirror->controls.contains(f)) {
        out.push_back("not shown");
        continue;
      }
      const ui::ControlView& c = mirror->controls.at(f);
      out.push_back(std::to_string(c.at.x) + "," + std::to_string(c.at.y) + " " +
                    std::to_string(c.at.width) + "x" + std::to_string(c.at.height) + " " +
                    std::string(ui::PictureModeName(ui::PictureModeOf(c.properties))) +
                    (c.visible ? "" : " hidden"));
    }
    return out;
  }

  // The images of `images` as the first pass of the attached window places them.
  std::vector<std::string> FirstPass(const std::vector<ImageQueueRecord>& images) {
    std::vector<std::string> shown;
    OnThread1([&] {
      {
        ZOVRestyleClass store;
        store.Init(manager, "Imaged");
        StoreImages(store, images);
      }
      ui::Window window(kWindow);
      ZOVRestyleClass restyle;
      Open(restyle, window, "Imaged");  // the first pass places the images
      shown = Shown(restyle, window);
      window.Close();
    });
    return shown;
  }
};

TEST_F(PlaceImagesTest, EachImageIsPlacedFromItsCornerAndSized) {
  // The window is 200 by 120 units.
  struct Case {
    std::string_view name;
    ImageQueueRecord image;
    std::string_view shown;
  };
  const auto shifted = [](ImageQueueRecord image) {
    image.SHIFTYPOS = 30;
    return image;
  };
  const auto percent = [](ImageQueueRecord image, bool width, bool height) {
    image.WIDTHINPERCENTAGE = width ? 1 : 0;
    image.HEIGHTINPERCENTAGE = height ? 1 : 0;
    return image;
  };
  const auto styled = [](ImageQueueRecord image, uint8_t style) {
    image.STYLE = style;
    return image;
  };
  const Case cases[] = {
      {"top left", Image(7, 9, 1), "7,9 16x8 tiled"},
      {"top right", Image(30, 5, 2), "170,5 16x8 tiled"},
      {"bottom right: the left edge 10 left of the right edge", Image(10, 20, 4),
       "190,100 16x8 tiled"},
      // The first pass made the window 30 higher for the shift: H is 150.
      {"bottom left adds the image's own shift", shifted(Image(10, 20, 3)), "10,160 16x8 tiled"},
      {"bottom right does not", shifted(Image(10, 20, 4)), "190,130 16x8 tiled"},
      {"top right does not", shifted(Image(10, 20, 2)), "190,20 16x8 tiled"},
      {"another corner number as top left", Image(7, 9, 9), "7,9 16x8 tiled"},
      {"no size: the picture's own", Image(7, 9, 1, 0, 0), "7,9 20x10 tiled"},
      {"only a height keeps the picture's width", Image(7, 9, 1, 0, 30), "7,9 20x30 tiled"},
      {"only a width keeps the picture's height", Image(7, 9, 1, 50, 0), "7,9 50x10 tiled"},
      {"percent of the window from its edge", percent(Image(10, 10, 1, 50, 25), true, true),
       "10,10 90x20 tiled"},
      {"percent for the width alone", percent(Image(10, 10, 1, 50, 25), true, false),
       "10,10 90x25 tiled"},
      {"percent ending left of and above the image gives 0",
       percent(Image(50, 40, 1, 10, 20), true, true), "50,40 0x0 tiled"},
      {"stretched", styled(Image(7, 9, 1), 1), "7,9 16x8 stretched"},
      {"centred", styled(Image(7, 9, 1), 2), "7,9 16x8 centered"},
      {"any other style tiles", styled(Image(7, 9, 1), 5), "7,9 16x8 tiled"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("ZOVRestyle");
    std::filesystem::remove("ZOVConditionalSet");
    EXPECT_EQ(FirstPass({c.image}), std::vector<std::string>{std::string(c.shown)});
  }
}

TEST_F(PlaceImagesTest, LaterPassesReuseTheControlsAndFollowTheWindowsSize) {
  std::vector<std::vector<std::string>> shown;
  std::vector<size_t> controls;
  OnThread1([&] {
    {
      ZOVRestyleClass store;
      store.Init(manager, "Imaged");
      StoreImages(store, {Image(10, 20, 4, 0, 0), Image(5, 5, 1, 30, 12)});
    }
    ui::Window window(kWindow);
    ZOVRestyleClass restyle;
    Open(restyle, window, "Imaged");
    // Attaching made the images in the first pass.
    const ui::FieldId last = kWindow.Equate("?Go");
    shown.push_back(Shown(restyle, window));
    // The user makes the window larger.
    window.Set(0, ui::Prop::Width, "300");
    window.Set(0, ui::Prop::Height, "150");
    restyle.PlaceImages();
    shown.push_back(Shown(restyle, window));
    controls.push_back(static_cast<size_t>(window.LastField() - last));
    controls.push_back(restyle.IMAGEEQUATEQUEUE->Records());
    controls.push_back(static_cast<size_t>(restyle.IMAGEQUEUE->entry(2).IMAGEEQUATE - last));
    window.Close();
  });
  EXPECT_EQ(shown, (std::vector<std::vector<std::string>>{
                       {"190,100 20x10 tiled", "5,5 30x12 tiled"},
                       {"290,130 20x10 tiled", "5,5 30x12 tiled"},
                   }));
  // Two controls made after the window's own, the second image's the second.
  EXPECT_EQ(controls, (std::vector<size_t>{2, 2, 2}));
}

TEST_F(PlaceImagesTest, TheFrameGetsNone) {
  size_t made = 99;
  ui::FieldId last = -1;
  OnThread1([&] {
    {
      ZOVRestyleClass store;
      store.Init(manager, "Main");
      StoreImages(store, {Image(7, 9, 1)});
    }
    ui::Window frame(kFrame);
    ZOVRestyleClass restyle;
    Open(restyle, frame, "Main");
    restyle.PlaceImages();
    made = restyle.IMAGEEQUATEQUEUE->Records();
    last = frame.LastField();
    frame.Close();
  });
  EXPECT_EQ(made, 0u);
  EXPECT_EQ(last, 0);
}

TEST_F(PlaceImagesTest, StylingOrImagesSwitchedOffRemoveTheImagesAndTheMark) {
  enum class Off { kDisabledStyling, kSuspended, kNoImages, kNotYetStyled };
  struct Case {
    std::string_view name;
    Off off;
    size_t controls_left;  // the two images and the mark
  };
  const Case cases[] = {
      {"styling disabled for the window", Off::kDisabledStyling, 0},
      {"styling suspended", Off::kSuspended, 0},
      {"images switched off", Off::kNoImages, 0},
      {"a window not styled yet keeps what it has", Off::kNotYetStyled, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("ZOVRestyle");
    std::filesystem::remove("ZOVConditionalSet");
    size_t left = 99;
    int32_t mark = -1;
    size_t listed = 99;
    OnThread1([&] {
      ui::Window window(kWindow);
      ZOVRestyleClass restyle;
      {
        ZOVRestyleClass store;
        store.Init(manager, "Imaged");
        StoreImages(store, {Image(7, 9, 1), Image(20, 9, 1)});
      }
      Open(restyle, window, "Imaged");
      const ui::FieldId last = kWindow.Equate("?Go");
      // The mark of the selected control, as the pass leaves it.
      restyle.STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE = 1;
      restyle.MARKSELECTEDCONTROLEQUATE = window.Create(0, ui::ControlType::kImage);
      restyle.WINDOWRESTYLED = c.off == Off::kNotYetStyled ? 0 : 1;
      {
        ZOVRestyleClass store;
        store.Init(manager, "Imaged");
        if (c.off == Off::kDisabledStyling) {
          Store(store, false, "ControlType 25", kDisableStyling, "1");
        }
        StoreImages(store, {Image(7, 9, 1), Image(20, 9, 1)},
                    /*do_not_use=*/c.off == Off::kNoImages ? 1 : 0);
      }
      restyle.LoadWindowOptions();
      if (c.off == Off::kSuspended || c.off == Off::kNotYetStyled) {
        restyle.DONOTRESTYLETHISPROCEDURE = 1;
      }
      restyle.PlaceImages();
      left = static_cast<size_t>(window.LastField() - last);
      mark = restyle.MARKSELECTEDCONTROLEQUATE;
      listed = restyle.IMAGEEQUATEQUEUE->Records();
      window.Close();
    });
    EXPECT_EQ(left, c.controls_left);
    EXPECT_EQ(mark != 0, c.controls_left != 0);
    EXPECT_EQ(listed, c.controls_left == 0 ? 0u : 2u);
  }
}

}  // namespace
}  // namespace restyle
