// The pixels of a character's frame, for a display that draws it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/agent/character.h"
#include "platform/core/status.h"
#include "platform/region/region.h"

namespace platform::agent {

// Straight (not premultiplied) RGBA, 4 bytes a pixel, row after row from the top.
struct FramePixels {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgba;
};

// The pixels of `frame`, decoded from its PNG; an error for a PNG that does not decode.
// The loader has checked the PNG's size against the limits, so decoding allocates no more.
Result<FramePixels> DecodeFrame(const Frame& frame);

// A frame's pixels of alpha kMinOpaqueAlpha or more: the character's shape in that frame, so
// a click beside the figure reaches what lies below.
inline constexpr uint8_t kMinOpaqueAlpha = 128;
region::Region OpaqueRegion(const FramePixels& pixels);

}  // namespace platform::agent
