// Image controls (type 3): the picture named by their Text, shown stretched, centred or tiled
// (picture_mode.h). With NoWidth or NoHeight the control is as wide or as high as its picture:
// Width and Height answer the picture's natural size in dialog units of the window's font.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/image/picture.h"
#include "platform/ui/control.h"

namespace platform::ui {

class ImageControl final : public Control {
 public:
  ImageControl(Window& window, FieldId field, ControlType type, std::string equate, FieldId parent);

  // Width and Height: with NoWidth (NoHeight) the picture's natural width (height) in dialog
  // units, rounded up so the whole picture shows; the stored value when the picture cannot be
  // read. Requires the runtime lock.
  std::string Get(Prop p, int32_t index = 0) const override;

 private:
  // The natural size of the picture in Text, probed once per name; nullopt when unreadable.
  std::optional<image::PictureSize> NaturalSize() const;

  mutable std::string probed_name_;
  mutable std::optional<image::PictureSize> probed_;
};

std::unique_ptr<Control> MakeImageControl(Window& window, FieldId field, ControlType type,
                                          std::string equate, FieldId parent);

}  // namespace platform::ui
