// PNG through libpng, read from the bytes through a read function. libpng reports errors by
// longjmp; the frames it jumps over (its own and the read function) hold nothing with a
// destructor, and what outlives the jump lives in the caller's frame.
#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

#include "platform/image/formats.h"

namespace platform::image::detail {

namespace {

constexpr std::size_t kSignatureSize = 8;
// No ancillary chunk we keep needs more; a text chunk claiming gigabytes is refused.
constexpr png_alloc_size_t kChunkMallocMax = 8 * 1024 * 1024;
constexpr png_uint_32 kChunkCacheMax = 256;

struct Source {
  Bytes bytes;
  std::size_t pos = 0;
};

void ReadBytes(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (count > source->bytes.size() - source->pos) png_error(png, "truncated");
  std::memcpy(out, source->bytes.data() + source->pos, count);
  source->pos += count;
}

[[noreturn]] void OnError(png_structp png, png_const_charp /*message*/) { png_longjmp(png, 1); }
void OnWarning(png_structp /*png*/, png_const_charp /*message*/) {}

std::uint32_t BigEndian32(Bytes b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
         (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

class ReadStruct {
 public:
  ReadStruct() : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning)) {
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
  }
  ~ReadStruct() {
    if (png_ != nullptr)
      png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr);
  }
  ReadStruct(const ReadStruct&) = delete;
  ReadStruct& operator=(const ReadStruct&) = delete;

  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Reads the picture into `out`; false on any error. `rows` and `out` belong to the caller so
// that nothing with a destructor lives in this frame past setjmp.
bool ReadInto(png_structp png, png_infop info, Source* source, Picture* out,
              std::vector<png_bytep>* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, source, ReadBytes);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_set_chunk_malloc_max(png, kChunkMallocMax);
  png_set_chunk_cache_max(png, kChunkCacheMax);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (!SizeAllowed(width, height)) return false;

  const int colour_type = png_get_color_type(png, info);
  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_scale_16(png);
  if (colour_type == PNG_COLOR_TYPE_GRAY || colour_type == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != std::size_t{width} * 4) return false;

  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->rgba.assign(std::size_t{width} * height * 4, 0);
  rows->resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    (*rows)[y] = out->rgba.data() + std::size_t{y} * width * 4;
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

std::optional<PictureSize> ProbePng(Bytes bytes) {
  constexpr unsigned char kIhdr[] = {'I', 'H', 'D', 'R'};
  if (bytes.size() < kSignatureSize + 16 || BigEndian32(bytes, kSignatureSize) != 13 ||
      std::memcmp(bytes.data() + kSignatureSize + 4, kIhdr, 4) != 0)
    return std::nullopt;
  const std::uint32_t width = BigEndian32(bytes, kSignatureSize + 8);
  const std::uint32_t height = BigEndian32(bytes, kSignatureSize + 12);
  if (!SizeAllowed(width, height)) return std::nullopt;
  return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<Picture> DecodePng(Bytes bytes) {
  if (!ProbePng(bytes)) return std::nullopt;
  ReadStruct read;
  if (read.png() == nullptr || read.info() == nullptr) return std::nullopt;
  Source source{bytes};
  Picture picture;
  std::vector<png_bytep> rows;
  if (!ReadInto(read.png(), read.info(), &source, &picture, &rows)) return std::nullopt;
  return picture;
}

}  // namespace platform::image::detail
