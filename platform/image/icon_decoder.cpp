// ICO and CUR: the directory, the entry nearest the size asked, its AND mask or its PNG
// data, and a cursor's hot spot.
#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "platform/image/byte_reader.h"
#include "platform/image/formats.h"

namespace platform::image::detail {

namespace {

constexpr std::size_t kDirectoryHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint16_t kCursorType = 2;
constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

struct Entry {
  int width = 0;  // as the directory says: 0 stands for 256
  int height = 0;
  int bits = 0;
  HotSpot hot_spot;
  Bytes data;
};

bool IsPng(Bytes data) {
  return data.size() >= sizeof kPngSignature &&
         std::equal(std::begin(kPngSignature), std::end(kPngSignature), data.begin());
}

// Smaller ranks first: the distance of the side from `want_side` (none when 0), then the
// larger side, then the more bits.
std::tuple<int, int, int> Rank(const Entry& e, int want_side) {
  const int side = std::max(e.width, e.height);
  return {want_side > 0 ? std::abs(side - want_side) : 0, -side, -e.bits};
}

// The entry to show: the side nearest `want_side`, else the largest; then the most bits.
// An entry whose data lies outside the file makes the directory damaged: no picture.
std::optional<Entry> ChooseEntry(Bytes bytes, int want_side, bool* cursor) {
  ByteReader in(bytes);
  const std::uint16_t reserved = in.U16();
  const std::uint16_t type = in.U16();
  const std::uint16_t count = in.U16();
  if (!in.ok() || reserved != 0 || (type != 1 && type != kCursorType)) return std::nullopt;
  *cursor = type == kCursorType;
  if (count == 0 || std::size_t{count} * kEntrySize > bytes.size() - kDirectoryHeaderSize)
    return std::nullopt;
  std::optional<Entry> best;
  for (int i = 0; i < count; ++i) {
    Entry e;
    e.width = in.U8();
    e.height = in.U8();
    if (e.width == 0) e.width = 256;
    if (e.height == 0) e.height = 256;
    in.U8();  // colours
    in.U8();  // reserved
    const std::uint16_t planes_or_x = in.U16();
    const std::uint16_t bits_or_y = in.U16();
    const std::uint32_t size = in.U32();
    const std::uint32_t offset = in.U32();
    if (!in.ok()) return std::nullopt;
    if (offset > bytes.size() || size > bytes.size() - offset || size == 0) return std::nullopt;
    e.data = bytes.subspan(offset, size);
    if (*cursor) {
      e.hot_spot = {planes_or_x, bits_or_y};
    } else {
      e.bits = bits_or_y;
    }
    if (!best || Rank(e, want_side) < Rank(*best, want_side)) best = e;
  }
  return best;
}

HotSpot Within(HotSpot spot, const PictureSize& size) {
  return {std::clamp(spot.x, 0, size.width - 1), std::clamp(spot.y, 0, size.height - 1)};
}

}  // namespace

std::optional<Picture> DecodeIcon(Bytes bytes, int want_side) {
  bool cursor = false;
  const std::optional<Entry> entry = ChooseEntry(bytes, want_side, &cursor);
  if (!entry) return std::nullopt;
  std::optional<Picture> picture =
      IsPng(entry->data) ? DecodePng(entry->data) : DecodeDib(entry->data, /*icon_mask=*/true);
  if (picture && cursor) picture->hot_spot = Within(entry->hot_spot, picture->size());
  return picture;
}

std::optional<PictureSize> ProbeIcon(Bytes bytes, int want_side) {
  bool cursor = false;
  const std::optional<Entry> entry = ChooseEntry(bytes, want_side, &cursor);
  if (!entry) return std::nullopt;
  if (IsPng(entry->data)) return ProbePng(entry->data);
  return ProbeDib(entry->data, /*icon_mask=*/true);
}

}  // namespace platform::image::detail
