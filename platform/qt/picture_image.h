// Pictures the program's readers decoded, as Qt images.
#pragma once

#include <string_view>

#include <QImage>

#include "platform/image/picture.h"

namespace platform::qt {

// A copy of `picture`'s pixels; a null image for an empty picture.
QImage ImageFromPicture(const image::Picture& picture);

// The picture `name` stands for (platform/image/picture_name.h) at its natural size: decoded
// by the program's readers, a metafile drawn by DrawMetafile. A null image when there is none
// or it cannot be read.
QImage LoadPictureImage(std::string_view name);

}  // namespace platform::qt
