#include "platform/image/metafile.h"

#include <cstdlib>

#include "platform/image/byte_reader.h"

namespace platform::image {

namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::uint16_t kHeaderWords = 9;
constexpr std::uint16_t kEndRecord = 0x0000;
constexpr std::uint16_t kSetWindowOrg = 0x020B;
constexpr std::uint16_t kSetWindowExt = 0x020C;
constexpr int kScreenDpi = 96;
// Units per inch of a placeable header that leaves it empty.
constexpr int kDefaultUnitsPerInch = 1440;

struct Placeable {
  int left = 0, top = 0, right = 0, bottom = 0;
  int units_per_inch = kDefaultUnitsPerInch;
};

std::optional<Placeable> ReadPlaceable(detail::ByteReader& in) {
  Placeable p;
  in.U16();  // handle
  p.left = in.S16();
  p.top = in.S16();
  p.right = in.S16();
  p.bottom = in.S16();
  const std::uint16_t inch = in.U16();
  in.Skip(6);  // reserved, checksum
  if (!in.ok()) return std::nullopt;
  if (inch != 0) p.units_per_inch = inch;
  return p;
}

bool HasPlaceableKey(std::span<const std::uint8_t> bytes) {
  detail::ByteReader in(bytes);
  return in.U32() == kPlaceableKey && in.ok();
}

std::optional<PictureSize> SizeOf(const Placeable& p) {
  const std::int64_t width =
      std::abs(std::int64_t{p.right} - p.left) * kScreenDpi / p.units_per_inch;
  const std::int64_t height =
      std::abs(std::int64_t{p.bottom} - p.top) * kScreenDpi / p.units_per_inch;
  if (!SizeAllowed(width, height)) return std::nullopt;
  return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace

bool LooksLikeMetafile(std::span<const std::uint8_t> bytes) {
  if (HasPlaceableKey(bytes)) return true;
  detail::ByteReader in(bytes);
  const std::uint16_t type = in.U16();
  const std::uint16_t header_words = in.U16();
  const std::uint16_t version = in.U16();
  return in.ok() && (type == 1 || type == 2) && header_words == kHeaderWords &&
         (version == 0x0100 || version == 0x0300);
}

std::optional<Metafile> ReadMetafile(std::span<const std::uint8_t> bytes) {
  detail::ByteReader in(bytes);
  std::optional<Placeable> placeable;
  if (HasPlaceableKey(bytes)) {
    in.U32();
    placeable = ReadPlaceable(in);
    if (!placeable) return std::nullopt;
  }
  const std::size_t header_start = in.position();
  in.U16();  // type
  const std::uint16_t header_words = in.U16();
  in.Skip(6);  // version, size in words
  Metafile meta;
  meta.object_count = in.U16();
  in.Skip(6);  // largest record, parameter count
  if (!in.ok() || header_words != kHeaderWords) return std::nullopt;
  in.Seek(header_start + std::size_t{header_words} * 2);

  bool have_org = false, have_ext = false;
  int org_x = 0, org_y = 0, ext_x = 0, ext_y = 0;
  for (;;) {
    if (meta.records.size() >= kMaxMetaRecords) return std::nullopt;
    const std::uint32_t words = in.U32();
    const std::uint16_t function = in.U16();
    if (!in.ok()) return std::nullopt;
    if (function == kEndRecord) break;
    if (words < 3 || (std::uint64_t{words} - 3) * 2 > in.remaining()) return std::nullopt;
    MetaRecord record;
    record.function = function;
    record.params.resize(words - 3);
    for (std::uint16_t& p : record.params) p = in.U16();
    if (function == kSetWindowOrg && record.params.size() >= 2 && !have_org) {
      org_y = static_cast<std::int16_t>(record.params[0]);
      org_x = static_cast<std::int16_t>(record.params[1]);
      have_org = true;
    } else if (function == kSetWindowExt && record.params.size() >= 2 && !have_ext) {
      ext_y = static_cast<std::int16_t>(record.params[0]);
      ext_x = static_cast<std::int16_t>(record.params[1]);
      have_ext = true;
    }
    meta.records.push_back(std::move(record));
  }

  if (placeable) {
    const std::optional<PictureSize> size = SizeOf(*placeable);
    if (!size) return std::nullopt;
    meta.size = *size;
    meta.left = placeable->left;
    meta.top = placeable->top;
    meta.width = placeable->right - placeable->left;
    meta.height = placeable->bottom - placeable->top;
  } else {
    if (!have_ext || !SizeAllowed(std::abs(ext_x), std::abs(ext_y))) return std::nullopt;
    meta.size = {std::abs(ext_x), std::abs(ext_y)};
    meta.left = have_org ? org_x : 0;
    meta.top = have_org ? org_y : 0;
    meta.width = ext_x;
    meta.height = ext_y;
  }
  return meta;
}

std::optional<PictureSize> ProbeMetafile(std::span<const std::uint8_t> bytes) {
  if (HasPlaceableKey(bytes)) {
    detail::ByteReader in(bytes);
    in.U32();
    const std::optional<Placeable> placeable = ReadPlaceable(in);
    if (!placeable || bytes.size() < kPlaceableSize) return std::nullopt;
    return SizeOf(*placeable);
  }
  const std::optional<Metafile> meta = ReadMetafile(bytes);
  if (!meta) return std::nullopt;
  return meta->size;
}

}  // namespace platform::image
