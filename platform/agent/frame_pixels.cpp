#include "platform/agent/frame_pixels.h"

#include <cstdint>
#include <span>

#include "platform/core/error_codes.h"
#include "platform/image/picture.h"

namespace platform::agent {

Result<FramePixels> DecodeFrame(const Frame& frame) {
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(frame.png.data()),
                                            frame.png.size());
  if (image::SniffFormat(bytes) != image::Format::kPng) {
    return Status::Error(kInvalidDataFile, {}, "frame " + frame.name + " is no PNG");
  }
  std::optional<image::Picture> picture = image::DecodePicture(bytes);
  if (!picture || picture->width != frame.width || picture->height != frame.height) {
    return Status::Error(kInvalidDataFile, {}, "frame " + frame.name + " does not decode");
  }
  return FramePixels{picture->width, picture->height, std::move(picture->rgba)};
}

}  // namespace platform::agent
