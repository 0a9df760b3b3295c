// Pictures decoded from the bytes of a file: 32-bit RGBA pixels with their natural size, or
// no picture at all. Every reader checks every length, offset and count against the data and
// keeps within fixed limits, because pictures are files the user chooses.
//
//   std::optional<Picture> p = DecodePicture(bytes);       // the largest icon entry
//   std::optional<PictureSize> s = ProbePicture(bytes);    // reads no more than a header
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::image {

// No picture is larger than this on a side, nor than this in all (256 MiB of RGBA).
inline constexpr int kMaxSide = 16384;
inline constexpr std::int64_t kMaxPixels = std::int64_t{64} * 1024 * 1024;

// True when a picture of `width` x `height` pixels is within the limits above.
bool SizeAllowed(std::int64_t width, std::int64_t height);

enum class Format { kUnknown, kPng, kJpeg, kGif, kBmp, kIco, kCur, kPcx, kWmf };

// The format the first bytes announce; kUnknown when none does. PCX is known by its
// manufacturer byte and version, WMF by its placeable key or its header's type and size.
Format SniffFormat(std::span<const std::uint8_t> bytes);

struct PictureSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

struct HotSpot {
  int x = 0;
  int y = 0;
  friend bool operator==(const HotSpot&, const HotSpot&) = default;
};

struct Picture {
  int width = 0;
  int height = 0;
  // width * height * 4 bytes: R, G, B, A for each pixel, rows from the top, alpha not
  // premultiplied.
  std::vector<std::uint8_t> rgba;
  // A cursor's hot spot, within the picture.
  std::optional<HotSpot> hot_spot;

  PictureSize size() const { return {width, height}; }
};

// The picture in `bytes`, or nullopt when they hold none this module reads, or a damaged or
// too large one. For an icon or cursor, the entry whose side is nearest `want_side` (the
// largest when 0). A metafile has no pixels here: ProbePicture gives its size.
std::optional<Picture> DecodePicture(std::span<const std::uint8_t> bytes, int want_side = 0);

// A device-independent bitmap without its file header, as metafile records hold them.
std::optional<Picture> DecodeBitmapInfo(std::span<const std::uint8_t> bytes);

// The natural size of the picture in `bytes` from its header alone, or nullopt. Where both
// succeed it equals the size DecodePicture gives (with the same `want_side`).
std::optional<PictureSize> ProbePicture(std::span<const std::uint8_t> bytes, int want_side = 0);

}  // namespace platform::image
