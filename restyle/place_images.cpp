// The images laid on a restyled window: one image control per entry of IMAGEQUEUE, made in
// the first pass and reused by later ones, placed from the corner the image names, and
// removed again with the mark when styling or images are switched off.
#include <algorithm>
#include <string>

#include "platform/core/number.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

using platform::ui::FieldId;
using platform::ui::Prop;
using platform::ui::Window;

// STYLE and MOVEFROM of an image.
constexpr uint8_t kStretched = 1;
constexpr uint8_t kCentered = 2;
constexpr uint8_t kFromTopRight = 2;
constexpr uint8_t kFromBottomLeft = 3;
constexpr uint8_t kFromBottomRight = 4;

int32_t Number(const Window& window, FieldId field, Prop p) {
  return static_cast<int32_t>(platform::TextToNumber(window.Get(field, p)));
}

const char* Flag(bool on) { return on ? "1" : ""; }

// A size given in percent of the window's size reaches that far from the window's edge, so
// the image ends there; never below 0.
int32_t Extent(int32_t size, bool in_percentage, int32_t window_size, int32_t at) {
  if (!in_percentage) return size;
  return std::max(0, size * window_size / 100 - at);
}

}  // namespace

void ZOVRestyleClass::PlaceImages() {
  if (PROCEDUREWINDOW == nullptr || !PROCEDUREWINDOW->is_open()) return;
  Window& window = *PROCEDUREWINDOW;
  const bool frame = Number(window, 0, Prop::Type) ==
                     static_cast<int32_t>(platform::ui::ControlType::kApplication);
  platform::Queue<ImageEquateRecord>& made = *IMAGEEQUATEQUEUE;
  if (STYLEPROPERTIES.DISABLERESTYLE != 0 || DONOTRESTYLETHISPROCEDURE != 0 ||
      IMAGEPROPERTYGROUP.DONOTUSEIMAGES != 0 || OVERRIDEDONOTADDIMAGES != 0) {
    if (WINDOWRESTYLED == 0 || frame) return;
    for (size_t n = made.Records(); n >= 1; --n) {
      made.Get(n);
      window.Destroy(made.buffer.IMAGEEQUATE);
      made.Delete();
    }
    if (STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE != 0 && MARKSELECTEDCONTROLEQUATE != 0) {
      window.Destroy(MARKSELECTEDCONTROLEQUATE);
      MARKSELECTEDCONTROLEQUATE = 0;
    }
    return;
  }
  if (frame) return;
  const std::string pixels = window.Get(0, Prop::Pixels);
  window.Set(0, Prop::Pixels, "");
  const int32_t w = Number(window, 0, Prop::Width);
  const int32_t h = Number(window, 0, Prop::Height);
  platform::Queue<ImageQueueRecord>& images = *IMAGEQUEUE;
  for (size_t n = 1; n <= images.Records(); ++n) {
    images.Get(n);
    ImageQueueRecord& image = images.buffer;
    FieldId control = 0;
    if (WINDOWRESTYLED != 0 && n <= made.Records()) {
      // Its earlier size goes with NoWidth and NoHeight below.
      control = made.entry(n).IMAGEEQUATE;
    } else {
      control = window.Create(0, platform::ui::ControlType::kImage);
      if (control != 0) {
        made.ClearBuffer();
        made.buffer.IMAGEEQUATE = control;
        made.buffer.FIXED = image.FIXED;
        made.Add();
      }
    }
    if (control == 0) {
      image.IMAGEEQUATE = 0;
      images.Put();
      continue;
    }
    window.Set(control, Prop::Tiled, Flag(image.STYLE != kStretched && image.STYLE != kCentered));
    window.Set(control, Prop::Centered, Flag(image.STYLE == kCentered));
    int32_t x = image.XPOS;
    int32_t y = image.YPOS;
    switch (image.MOVEFROM) {
      case kFromTopRight:
        x = w - image.XPOS;
        break;
      case kFromBottomLeft:
        // Only this corner counts the room the image itself asks for below the window.
        y = h + image.SHIFTYPOS - image.YPOS;
        break;
      case kFromBottomRight:
        x = w - image.XPOS;
        y = h - image.YPOS;
        break;
      default:  // the top-left corner, also for values the image editor does not offer
        break;
    }
    window.Set(control, Prop::Xpos, std::to_string(x));
    window.Set(control, Prop::Ypos, std::to_string(y));
    // An unset dimension shows the picture's own size, on a new control as on a reused one.
    window.Set(control, Prop::NoWidth, Flag(image.WIDTH == 0));
    window.Set(control, Prop::NoHeight, Flag(image.HEIGHT == 0));
    if (image.WIDTH != 0) {
      window.Set(control, Prop::Width,
                 std::to_string(Extent(image.WIDTH, image.WIDTHINPERCENTAGE != 0, w, x)));
    }
    if (image.HEIGHT != 0) {
      window.Set(control, Prop::Height,
                 std::to_string(Extent(image.HEIGHT, image.HEIGHTINPERCENTAGE != 0, h, y)));
    }
    window.Set(control, Prop::Text, image.IMAGEFILE.view());
    window.Set(control, Prop::Hide, "");
    image.IMAGEEQUATE = control;
    images.Put();
  }
  window.Set(0, Prop::Pixels, pixels);
}

}  // namespace restyle
