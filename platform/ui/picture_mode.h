// How a picture fills the place it is shown in: an image control, or a window's or control's
// wallpaper. Both backends ask this of the stored properties, so they show the same.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace platform::ui {

enum class PictureMode : uint8_t {
  kStretched,  // scaled to fill the place
  kCentered,   // at its natural size in the middle
  kTiled,      // repeated at its natural size from the top-left corner
};

// The mode the stored properties ask for, by (number, index) as the views hold them:
// Stretch (an image's) first, then Tiled, then Centered; stretched when none is set.
PictureMode PictureModeOf(const std::map<std::pair<int32_t, int32_t>, std::string>& properties);

// "stretched", "centered" or "tiled", for what a test or a log shows.
std::string_view PictureModeName(PictureMode mode);

}  // namespace platform::ui
