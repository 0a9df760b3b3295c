// BMP files and the device-independent bitmaps inside icons: core and info headers (up to
// the fifth version), 1, 4, 8, 16, 24 and 32 bits, RLE4 and RLE8, bit fields, bottom-up and
// top-down. Every offset and count is checked against the bytes there are.
#include <bit>
#include <vector>

#include "platform/image/byte_reader.h"
#include "platform/image/formats.h"

namespace platform::image::detail {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMaxHeaderSize = 124;

enum Compression : std::uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,
  kAlphaBitFields = 6
};

struct Header {
  std::uint32_t header_size = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // of the picture: half the stored height in an icon
  bool top_down = false;
  int bits = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colours_used = 0;
  std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  std::size_t palette_offset = 0;         // from the start of the header
  int palette_entry_size = 4;
};

std::optional<Header> ReadHeader(Bytes dib, bool icon_mask) {
  ByteReader in(dib);
  Header h;
  h.header_size = in.U32();
  if (!in.ok()) return std::nullopt;
  std::int64_t stored_height = 0;
  if (h.header_size == kCoreHeaderSize) {
    h.width = in.U16();
    stored_height = in.U16();
    in.U16();  // planes
    h.bits = in.U16();
    h.palette_entry_size = 3;
  } else if (h.header_size >= kInfoHeaderSize && h.header_size <= kMaxHeaderSize) {
    h.width = in.S32();
    stored_height = in.S32();
    in.U16();  // planes
    h.bits = in.U16();
    h.compression = in.U32();
    in.Skip(12);  // image size, resolution
    h.colours_used = in.U32();
    in.U32();  // colours important
    if (h.header_size >= 52 || h.compression == kBitFields || h.compression == kAlphaBitFields) {
      // The masks follow a 40-byte header, or belong to a longer one.
      const int count = h.header_size >= 56 || h.compression == kAlphaBitFields ? 4 : 3;
      for (int i = 0; i < count; ++i) h.masks[i] = in.U32();
    }
  } else {
    return std::nullopt;
  }
  if (!in.ok()) return std::nullopt;
  h.palette_offset = h.header_size;
  if (h.header_size == kInfoHeaderSize &&
      (h.compression == kBitFields || h.compression == kAlphaBitFields))
    h.palette_offset += h.compression == kAlphaBitFields ? 16 : 12;
  if (stored_height < 0) {
    h.top_down = true;
    stored_height = -stored_height;
  }
  h.height = icon_mask ? stored_height / 2 : stored_height;
  switch (h.compression) {
    case kRgb:
      if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        return std::nullopt;
      break;
    case kRle8:
      if (h.bits != 8) return std::nullopt;
      break;
    case kRle4:
      if (h.bits != 4) return std::nullopt;
      break;
    case kBitFields:
    case kAlphaBitFields:
      if (h.bits != 16 && h.bits != 32) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }
  if (h.compression == kRgb && h.bits == 16) {
    h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F, h.masks[3] = 0;
  }
  if (!SizeAllowed(h.width, h.height)) return std::nullopt;
  return h;
}

// One channel of a bit-field pixel scaled to 8 bits; 0 for an empty mask.
std::uint8_t Channel(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t max = mask >> shift;
  const std::uint64_t v = (value & mask) >> shift;
  return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
}

std::size_t Stride(std::int64_t width, int bits) {
  return static_cast<std::size_t>((width * bits + 31) / 32 * 4);
}

struct Palette {
  std::vector<std::uint8_t> rgba;  // 4 bytes an entry
  int size() const { return static_cast<int>(rgba.size() / 4); }
  void Put(int index, std::uint8_t* pixel) const {
    if (index < size()) {
      pixel[0] = rgba[index * 4];
      pixel[1] = rgba[index * 4 + 1];
      pixel[2] = rgba[index * 4 + 2];
    } else {
      pixel[0] = pixel[1] = pixel[2] = 0;
    }
    pixel[3] = 0xFF;
  }
};

// The palette's entries: as many as the header says, at most one per pixel value.
std::uint32_t PaletteCount(const Header& h) {
  if (h.bits > 8) return 0;
  const std::uint32_t all = 1u << h.bits;
  return h.colours_used != 0 && h.colours_used < all ? h.colours_used : all;
}

std::optional<Palette> ReadPalette(Bytes dib, const Header& h) {
  Palette palette;
  const std::uint32_t count = PaletteCount(h);
  ByteReader in(dib);
  in.Seek(h.palette_offset);
  Bytes entries = in.Bytes(std::size_t{count} * h.palette_entry_size);
  if (!in.ok()) return std::nullopt;
  palette.rgba.resize(std::size_t{count} * 4);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* e = entries.data() + i * h.palette_entry_size;
    palette.rgba[i * 4] = e[2];
    palette.rgba[i * 4 + 1] = e[1];
    palette.rgba[i * 4 + 2] = e[0];
    palette.rgba[i * 4 + 3] = 0xFF;
  }
  return palette;
}

std::uint8_t* PixelAt(Picture& p, const Header& h, std::int64_t x, std::int64_t stored_row) {
  const std::int64_t y = h.top_down ? stored_row : h.height - 1 - stored_row;
  return p.rgba.data() + static_cast<std::size_t>((y * p.width + x) * 4);
}

bool ReadUncompressed(Bytes pixels, const Header& h, const Palette& palette, Picture& p) {
  const std::size_t stride = Stride(h.width, h.bits);
  if (stride * static_cast<std::size_t>(h.height) > pixels.size()) return false;
  bool any_alpha = false;
  for (std::int64_t row = 0; row < h.height; ++row) {
    const std::uint8_t* in = pixels.data() + stride * static_cast<std::size_t>(row);
    for (std::int64_t x = 0; x < h.width; ++x) {
      std::uint8_t* out = PixelAt(p, h, x, row);
      switch (h.bits) {
        case 1:
        case 4:
        case 8: {
          const std::int64_t bit = x * h.bits;
          const int shift = 8 - h.bits - static_cast<int>(bit % 8);
          palette.Put((in[bit / 8] >> shift) & ((1 << h.bits) - 1), out);
          break;
        }
        case 24:
          out[0] = in[x * 3 + 2], out[1] = in[x * 3 + 1], out[2] = in[x * 3], out[3] = 0xFF;
          break;
        case 16:
        case 32: {
          std::uint32_t v = in[x * (h.bits / 8)] | (in[x * (h.bits / 8) + 1] << 8);
          if (h.bits == 32) {
            v |= (std::uint32_t{in[x * 4 + 2]} << 16) | (std::uint32_t{in[x * 4 + 3]} << 24);
          }
          if (h.bits == 32 && h.compression == kRgb) {
            out[0] = in[x * 4 + 2], out[1] = in[x * 4 + 1], out[2] = in[x * 4];
            out[3] = in[x * 4 + 3];
            any_alpha = any_alpha || out[3] != 0;
          } else {
            out[0] = Channel(v, h.masks[0]), out[1] = Channel(v, h.masks[1]);
            out[2] = Channel(v, h.masks[2]);
            out[3] = h.masks[3] != 0 ? Channel(v, h.masks[3]) : 0xFF;
          }
          break;
        }
      }
    }
  }
  // 32 bits without alpha leave the fourth byte zero: such pictures are opaque.
  if (h.bits == 32 && h.compression == kRgb && !any_alpha) {
    for (std::size_t i = 3; i < p.rgba.size(); i += 4) p.rgba[i] = 0xFF;
  }
  return true;
}

// RLE8 and RLE4. Pixels the data skips stay transparent. Every step takes at least two
// bytes, so the walk ends with the data.
bool ReadRunLength(Bytes pixels, const Header& h, const Palette& palette, Picture& p) {
  ByteReader in(pixels);
  const bool four = h.compression == kRle4;
  std::int64_t x = 0;
  std::int64_t row = 0;
  auto put = [&](int index) {
    if (x < h.width && row < h.height) palette.Put(index, PixelAt(p, h, x, row));
    ++x;
  };
  while (in.remaining() >= 2) {
    const std::uint8_t count = in.U8();
    const std::uint8_t value = in.U8();
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of picture
      return true;
    } else if (value == 2) {  // delta
      x += in.U8();
      row += in.U8();
    } else {  // absolute run of `value` pixels, padded to a word
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      Bytes run = in.Bytes(bytes);
      if (!in.ok()) return false;
      for (int i = 0; i < value; ++i)
        put(four ? (i % 2 == 0 ? run[i / 2] >> 4 : run[i / 2] & 0x0F) : run[i]);
      if (bytes % 2 == 1) in.Skip(1);
    }
    if (!in.ok()) return false;
    if (row >= h.height) return true;
  }
  return false;  // the end-of-picture mark is missing
}

// An icon's AND mask: a set bit makes the pixel transparent. Pictures with alpha of their own
// keep it.
bool ApplyMask(Bytes mask, const Header& h, Picture& p) {
  const std::size_t stride = Stride(h.width, 1);
  if (stride * static_cast<std::size_t>(h.height) > mask.size()) return false;
  if (h.bits == 32) {
    for (std::size_t i = 3; i < p.rgba.size(); i += 4)
      if (p.rgba[i] != 0xFF) return true;
  }
  for (std::int64_t row = 0; row < h.height; ++row) {
    const std::uint8_t* in = mask.data() + stride * static_cast<std::size_t>(row);
    for (std::int64_t x = 0; x < h.width; ++x) {
      if ((in[x / 8] >> (7 - x % 8)) & 1) {
        std::uint8_t* out = PixelAt(p, h, x, row);
        out[0] = out[1] = out[2] = out[3] = 0;
      }
    }
  }
  return true;
}

std::optional<Picture> DecodeWithPixels(Bytes dib, Bytes pixels, bool icon_mask) {
  const std::optional<Header> h = ReadHeader(dib, icon_mask);
  if (!h) return std::nullopt;
  const std::optional<Palette> palette = ReadPalette(dib, *h);
  if (!palette) return std::nullopt;
  const bool run_length = h->compression == kRle8 || h->compression == kRle4;
  // Uncompressed data too short for the picture is refused before its pixels are allocated.
  if (!run_length &&
      Stride(h->width, h->bits) * static_cast<std::size_t>(h->height) > pixels.size())
    return std::nullopt;
  std::optional<Picture> picture = BlankPicture(h->width, h->height);
  if (!picture) return std::nullopt;
  if (run_length) {
    if (!ReadRunLength(pixels, *h, *palette, *picture)) return std::nullopt;
    return picture;
  }
  if (!ReadUncompressed(pixels, *h, *palette, *picture)) return std::nullopt;
  if (icon_mask) {
    const std::size_t colour_bytes =
        Stride(h->width, h->bits) * static_cast<std::size_t>(h->height);
    if (!ApplyMask(pixels.subspan(colour_bytes), *h, *picture)) return std::nullopt;
  }
  return picture;
}

std::optional<Bytes> FileDib(Bytes bytes, std::size_t* pixel_offset) {
  ByteReader in(bytes);
  in.Skip(10);  // "BM", file size, reserved
  *pixel_offset = in.U32();
  if (!in.ok() || bytes.size() < kFileHeaderSize + 4) return std::nullopt;
  return bytes.subspan(kFileHeaderSize);
}

}  // namespace

std::optional<Picture> DecodeDib(Bytes bytes, bool icon_mask) {
  const std::optional<Header> h = ReadHeader(bytes, icon_mask);
  if (!h) return std::nullopt;
  const std::size_t pixels =
      h->palette_offset + std::size_t{PaletteCount(*h)} * h->palette_entry_size;
  if (pixels > bytes.size()) return std::nullopt;
  return DecodeWithPixels(bytes, bytes.subspan(pixels), icon_mask);
}

std::optional<Picture> DecodeBmp(Bytes bytes) {
  std::size_t pixel_offset = 0;
  const std::optional<Bytes> dib = FileDib(bytes, &pixel_offset);
  if (!dib || pixel_offset > bytes.size() || pixel_offset < kFileHeaderSize) return std::nullopt;
  return DecodeWithPixels(*dib, bytes.subspan(pixel_offset), /*icon_mask=*/false);
}

std::optional<PictureSize> ProbeDib(Bytes bytes, bool icon_mask) {
  const std::optional<Header> h = ReadHeader(bytes, icon_mask);
  if (!h) return std::nullopt;
  return PictureSize{static_cast<int>(h->width), static_cast<int>(h->height)};
}

std::optional<PictureSize> ProbeBmp(Bytes bytes) {
  std::size_t pixel_offset = 0;
  const std::optional<Bytes> dib = FileDib(bytes, &pixel_offset);
  if (!dib) return std::nullopt;
  return ProbeDib(*dib, /*icon_mask=*/false);
}

}  // namespace platform::image::detail
