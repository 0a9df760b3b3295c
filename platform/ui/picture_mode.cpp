#include "platform/ui/picture_mode.h"

#include "platform/ui/prop.h"

namespace platform::ui {
namespace {

bool FlagSet(const std::map<std::pair<int32_t, int32_t>, std::string>& properties, Prop p) {
  const auto it = properties.find({static_cast<int32_t>(p), 0});
  return it != properties.end() && !it->second.empty() && it->second != "0";
}

}  // namespace

PictureMode PictureModeOf(const std::map<std::pair<int32_t, int32_t>, std::string>& properties) {
  if (FlagSet(properties, Prop::Stretch)) return PictureMode::kStretched;
  if (FlagSet(properties, Prop::Tiled)) return PictureMode::kTiled;
  if (FlagSet(properties, Prop::Centered)) return PictureMode::kCentered;
  return PictureMode::kStretched;
}

std::string_view PictureModeName(PictureMode mode) {
  switch (mode) {
    case PictureMode::kCentered:
      return "centered";
    case PictureMode::kTiled:
      return "tiled";
    case PictureMode::kStretched:
      break;
  }
  return "stretched";
}

}  // namespace platform::ui
