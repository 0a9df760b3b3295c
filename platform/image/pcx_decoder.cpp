// PCX: 1 bit (black and white), 1 bit in 4 planes and 4 bits (the header's 16 colours),
// 8 bits (the 256 colours after the data), 24 bits in 3 planes; run-length or plain data,
// decoded a scan line at a time.
#include <algorithm>
#include <vector>

#include "platform/image/byte_reader.h"
#include "platform/image/formats.h"

namespace platform::image::detail {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kHeaderPaletteOffset = 16;
constexpr std::uint8_t kPaletteMark = 0x0C;
constexpr std::size_t kPaletteSize = 768;
// A scan line may be padded, but not beyond this, so a row never needs much memory.
constexpr std::int64_t kMaxLinePadding = 16;

struct Header {
  bool run_length = false;
  int bits = 0;
  int planes = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::size_t bytes_per_line = 0;
};

std::optional<Header> ReadHeader(Bytes bytes) {
  ByteReader in(bytes);
  const std::uint8_t maker = in.U8();
  in.U8();  // version
  const std::uint8_t encoding = in.U8();
  Header h;
  h.bits = in.U8();
  const int x_min = in.U16(), y_min = in.U16(), x_max = in.U16(), y_max = in.U16();
  in.Seek(65);
  h.planes = in.U8();
  h.bytes_per_line = in.U16();
  if (!in.ok() || bytes.size() < kHeaderSize || maker != 0x0A || encoding > 1) return std::nullopt;
  h.run_length = encoding == 1;
  h.width = std::int64_t{x_max} - x_min + 1;
  h.height = std::int64_t{y_max} - y_min + 1;
  const bool known = (h.bits == 1 && (h.planes == 1 || h.planes == 4)) ||
                     (h.bits == 4 && h.planes == 1) ||
                     (h.bits == 8 && (h.planes == 1 || h.planes == 3));
  if (!known || !SizeAllowed(h.width, h.height)) return std::nullopt;
  const std::int64_t needed = (h.width * h.bits + 7) / 8;
  if (static_cast<std::int64_t>(h.bytes_per_line) < needed ||
      static_cast<std::int64_t>(h.bytes_per_line) > needed + kMaxLinePadding)
    return std::nullopt;
  return h;
}

// Fills `line` from the data; false when the data ends first. A run may go on into the next
// line, as some writers do.
class LineReader {
 public:
  LineReader(Bytes data, bool run_length) : in_(data), run_length_(run_length) {}
  bool Read(std::vector<std::uint8_t>& line) {
    for (std::uint8_t& b : line) {
      // Each turn takes a byte or fails, so the loop ends with the data.
      while (run_left_ == 0) {
        const std::uint8_t v = in_.U8();
        if (!in_.ok()) return false;
        if (run_length_ && (v & 0xC0) == 0xC0) {
          run_left_ = v & 0x3F;  // an empty run writes nothing
          run_value_ = in_.U8();
          if (!in_.ok()) return false;
        } else {
          run_left_ = 1;
          run_value_ = v;
        }
      }
      b = run_value_;
      --run_left_;
    }
    return true;
  }

 private:
  ByteReader in_;
  bool run_length_;
  int run_left_ = 0;
  std::uint8_t run_value_ = 0;
};

}  // namespace

std::optional<PictureSize> ProbePcx(Bytes bytes) {
  const std::optional<Header> h = ReadHeader(bytes);
  if (!h) return std::nullopt;
  return PictureSize{static_cast<int>(h->width), static_cast<int>(h->height)};
}

std::optional<Picture> DecodePcx(Bytes bytes) {
  const std::optional<Header> h = ReadHeader(bytes);
  if (!h) return std::nullopt;
  // The palette: black and white, the header's 16 colours, or 256 after the data.
  std::uint8_t palette[256 * 3] = {};
  Bytes data = bytes.subspan(kHeaderSize);
  if (h->bits == 1 && h->planes == 1) {
    palette[3] = palette[4] = palette[5] = 0xFF;
  } else if (h->planes == 1 && h->bits == 8) {
    if (data.size() < kPaletteSize + 1 || data[data.size() - kPaletteSize - 1] != kPaletteMark)
      return std::nullopt;
    std::copy(data.end() - kPaletteSize, data.end(), palette);
    data = data.first(data.size() - kPaletteSize - 1);
  } else if (h->planes != 3) {
    std::copy_n(bytes.begin() + kHeaderPaletteOffset, 48, palette);
  }
  // A run byte gives at most 63 bytes: data too short for the picture is refused before its
  // pixels are allocated.
  const std::uint64_t line_bytes = std::uint64_t{h->bytes_per_line} * h->planes;
  if (std::uint64_t{data.size()} * 63 < line_bytes * static_cast<std::uint64_t>(h->height))
    return std::nullopt;
  std::optional<Picture> picture = BlankPicture(h->width, h->height);
  if (!picture) return std::nullopt;
  std::vector<std::uint8_t> line(h->bytes_per_line * h->planes);
  LineReader reader(data, h->run_length);
  const std::size_t bpl = h->bytes_per_line;
  for (std::int64_t y = 0; y < h->height; ++y) {
    if (!reader.Read(line)) return std::nullopt;
    std::uint8_t* out = picture->rgba.data() + static_cast<std::size_t>(y * h->width * 4);
    for (std::int64_t x = 0; x < h->width; ++x, out += 4) {
      out[3] = 0xFF;
      if (h->planes == 3) {
        for (int c = 0; c < 3; ++c) out[c] = line[c * bpl + x];
        continue;
      }
      int index = 0;
      if (h->bits == 8) {
        index = line[x];
      } else if (h->bits == 4) {
        index = (line[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F;
      } else {
        for (int p = 0; p < h->planes; ++p)
          index |= ((line[p * bpl + x / 8] >> (7 - x % 8)) & 1) << p;
      }
      for (int c = 0; c < 3; ++c) out[c] = palette[index * 3 + c];
    }
  }
  return picture;
}

}  // namespace platform::image::detail
