// The readers of each format, behind DecodePicture and ProbePicture; the fuzz targets call
// them one by one. Each answers nullopt for anything it cannot read whole.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/image/picture.h"

namespace platform::image::detail {

using Bytes = std::span<const std::uint8_t>;

// A blank picture of `size`, all pixels transparent black; nullopt beyond the limits.
std::optional<Picture> BlankPicture(std::int64_t width, std::int64_t height);

std::optional<Picture> DecodePng(Bytes bytes);
std::optional<PictureSize> ProbePng(Bytes bytes);

std::optional<Picture> DecodeJpeg(Bytes bytes);
std::optional<PictureSize> ProbeJpeg(Bytes bytes);

std::optional<Picture> DecodeGif(Bytes bytes);
std::optional<PictureSize> ProbeGif(Bytes bytes);

// A BMP file (with its file header).
std::optional<Picture> DecodeBmp(Bytes bytes);
std::optional<PictureSize> ProbeBmp(Bytes bytes);
// A device-independent bitmap without file header, as icons and metafiles hold them. With
// `icon_mask`, the stored height is twice the picture's and an AND mask follows the colours.
std::optional<Picture> DecodeDib(Bytes bytes, bool icon_mask);
std::optional<PictureSize> ProbeDib(Bytes bytes, bool icon_mask);

// ICO and CUR: the entry nearest `want_side` (the largest when 0).
std::optional<Picture> DecodeIcon(Bytes bytes, int want_side);
std::optional<PictureSize> ProbeIcon(Bytes bytes, int want_side);

std::optional<Picture> DecodePcx(Bytes bytes);
std::optional<PictureSize> ProbePcx(Bytes bytes);

}  // namespace platform::image::detail
