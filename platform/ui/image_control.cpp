#include "platform/ui/image_control.h"

#include "platform/image/picture_name.h"
#include "platform/ui/internal/thread_state.h"

namespace platform::ui {
namespace {

// Pixels to dialog units, rounded up: converted back to pixels the control holds the whole
// picture.
int64_t UnitsCovering(int32_t px, int32_t units_per_char, int32_t char_px) {
  if (char_px <= 0) return 0;
  return (int64_t{px} * units_per_char + char_px - 1) / char_px;
}

}  // namespace

ImageControl::ImageControl(Window& window, FieldId field, ControlType type, std::string equate,
                           FieldId parent)
    : Control(window, field, type, std::move(equate), parent) {}

std::string ImageControl::Get(Prop p, int32_t index) const {
  const bool natural = (p == Prop::Width && !Control::Get(Prop::NoWidth).empty()) ||
                       (p == Prop::Height && !Control::Get(Prop::NoHeight).empty());
  if (!natural) return Control::Get(p, index);
  const std::optional<image::PictureSize> size = NaturalSize();
  if (!size) return Control::Get(p, index);
  const TextMetrics m = detail::Backend().Metrics();
  return std::to_string(p == Prop::Width ? UnitsCovering(size->width, 4, m.average_char_width_px)
                                         : UnitsCovering(size->height, 8, m.char_height_px));
}

std::optional<image::PictureSize> ImageControl::NaturalSize() const {
  const std::string name = text();
  if (name != probed_name_ || !probed_) {
    probed_name_ = name;
    // A failure is not kept: the file may be there the next time.
    probed_ = image::ProbeNamedPicture(name);
  }
  return probed_;
}

std::unique_ptr<Control> MakeImageControl(Window& window, FieldId field, ControlType type,
                                          std::string equate, FieldId parent) {
  return std::make_unique<ImageControl>(window, field, type, std::move(equate), parent);
}

}  // namespace platform::ui
