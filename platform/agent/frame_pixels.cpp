#include "platform/agent/frame_pixels.h"

#include "platform/core/error_codes.h"

namespace platform::agent {

Result<FramePixels> DecodeFrame(const Frame& frame) {
  // TODO(decode the PNG through platform/image's reader once it is there; until then no
  // display draws the frames).
  return Status::Error(kInvalidDataFile, {}, "frame " + frame.name + ": PNG decoding missing");
}

}  // namespace platform::agent
