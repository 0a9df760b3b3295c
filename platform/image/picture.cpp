#include "platform/image/picture.h"

#include <algorithm>

#include "platform/image/formats.h"
#include "platform/image/metafile.h"

namespace platform::image {

namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> magic) {
  return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

// The reader of each format; the side asked matters to icons only. A metafile has no
// pixels here.
struct Reader {
  Format format;
  std::optional<Picture> (*decode)(detail::Bytes, int want_side);
  std::optional<PictureSize> (*probe)(detail::Bytes, int want_side);
};

template <auto kRead>
auto AnySide(detail::Bytes bytes, int /*want_side*/) {
  return kRead(bytes);
}

constexpr Reader kReaders[] = {
    {Format::kPng, AnySide<detail::DecodePng>, AnySide<detail::ProbePng>},
    {Format::kJpeg, AnySide<detail::DecodeJpeg>, AnySide<detail::ProbeJpeg>},
    {Format::kGif, AnySide<detail::DecodeGif>, AnySide<detail::ProbeGif>},
    {Format::kBmp, AnySide<detail::DecodeBmp>, AnySide<detail::ProbeBmp>},
    {Format::kIco, detail::DecodeIcon, detail::ProbeIcon},
    {Format::kCur, detail::DecodeIcon, detail::ProbeIcon},
    {Format::kPcx, AnySide<detail::DecodePcx>, AnySide<detail::ProbePcx>},
    {Format::kWmf, nullptr, AnySide<ProbeMetafile>},
};

const Reader* ReaderOf(Format format) {
  for (const Reader& r : kReaders)
    if (r.format == format) return &r;
  return nullptr;
}

}  // namespace

bool SizeAllowed(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         width * height <= kMaxPixels;
}

Format SniffFormat(std::span<const std::uint8_t> bytes) {
  if (StartsWith(bytes, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return Format::kPng;
  if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) return Format::kJpeg;
  if (StartsWith(bytes, {'G', 'I', 'F', '8', '7', 'a'}) ||
      StartsWith(bytes, {'G', 'I', 'F', '8', '9', 'a'}))
    return Format::kGif;
  if (StartsWith(bytes, {'B', 'M'})) return Format::kBmp;
  if (StartsWith(bytes, {0, 0, 1, 0})) return Format::kIco;
  if (StartsWith(bytes, {0, 0, 2, 0})) return Format::kCur;
  if (bytes.size() >= 3 && bytes[0] == 0x0A && bytes[1] <= 5 && bytes[1] != 1 && bytes[2] <= 1)
    return Format::kPcx;
  if (LooksLikeMetafile(bytes)) return Format::kWmf;
  return Format::kUnknown;
}

std::optional<Picture> DecodePicture(std::span<const std::uint8_t> bytes, int want_side) {
  const Reader* reader = ReaderOf(SniffFormat(bytes));
  if (reader == nullptr || reader->decode == nullptr) return std::nullopt;
  return reader->decode(bytes, want_side);
}

std::optional<PictureSize> ProbePicture(std::span<const std::uint8_t> bytes, int want_side) {
  const Reader* reader = ReaderOf(SniffFormat(bytes));
  if (reader == nullptr) return std::nullopt;
  return reader->probe(bytes, want_side);
}

std::optional<Picture> DecodeBitmapInfo(std::span<const std::uint8_t> bytes) {
  return detail::DecodeDib(bytes, /*icon_mask=*/false);
}

namespace detail {

std::optional<Picture> BlankPicture(std::int64_t width, std::int64_t height) {
  if (!SizeAllowed(width, height)) return std::nullopt;
  Picture picture;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.rgba.assign(static_cast<std::size_t>(width * height * 4), 0);
  return picture;
}

}  // namespace detail

}  // namespace platform::image
