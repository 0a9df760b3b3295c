#include "platform/qt/picture_image.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/image/metafile.h"
#include "platform/image/picture_name.h"
#include "platform/qt/metafile_painter.h"

namespace platform::qt {

QImage ImageFromPicture(const image::Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  QImage image(picture.width, picture.height, QImage::Format_RGBA8888);
  if (image.isNull()) return {};
  const std::size_t row_bytes = static_cast<std::size_t>(picture.width) * 4;
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(image.scanLine(y), picture.rgba.data() + row_bytes * y, row_bytes);
  return image;
}

QImage LoadPictureImage(std::string_view name) {
  const std::optional<std::string> path = image::ResolvePictureName(name);
  if (!path) return {};
  const std::optional<std::vector<std::uint8_t>> bytes = image::ReadPictureFile(*path);
  if (!bytes) return {};
  if (image::SniffFormat(*bytes) == image::Format::kWmf) {
    const std::optional<image::Metafile> meta = image::ReadMetafile(*bytes);
    if (!meta) return {};
    return DrawMetafile(*meta, QSize(meta->size.width, meta->size.height));
  }
  const std::optional<image::Picture> picture = image::DecodePicture(*bytes);
  if (!picture) return {};
  return ImageFromPicture(*picture);
}

}  // namespace platform::qt
