#include "platform/agent/frame_pixels.h"

#include <cstdint>
#include <span>
#include <vector>

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

region::Region OpaqueRegion(const FramePixels& pixels) {
  region::RegionBuilder builder;
  std::vector<int32_t> xs;
  for (int32_t y = 0; y < pixels.height; ++y) {
    xs.clear();
    const uint8_t* row = pixels.rgba.data() + static_cast<size_t>(y) * pixels.width * 4;
    bool inside = false;
    for (int32_t x = 0; x < pixels.width; ++x) {
      const bool opaque = row[x * 4 + 3] >= kMinOpaqueAlpha;
      if (opaque != inside) xs.push_back(x);
      inside = opaque;
    }
    if (inside) xs.push_back(pixels.width);
    builder.AddRows(y, y + 1, xs);
  }
  return builder.Finish();
}

}  // namespace platform::agent
