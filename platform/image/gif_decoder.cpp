// GIF through giflib, record by record from the bytes through DGifOpen's read function: the
// first image only, on the logical screen, with the transparent index of the graphics control
// extension before it. DGifSlurp is not used, because it holds every frame.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

#include "platform/image/formats.h"

namespace platform::image::detail {

namespace {

struct Source {
  Bytes bytes;
  std::size_t pos = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* out, int count) {
  auto* source = static_cast<Source*>(gif->UserData);
  if (count <= 0) return 0;
  const std::size_t n = std::min<std::size_t>(count, source->bytes.size() - source->pos);
  std::memcpy(out, source->bytes.data() + source->pos, n);
  source->pos += n;
  return static_cast<int>(n);
}

struct CloseGif {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);  // Ignoring errors on purpose: nothing is written.
  }
};
using GifFile = std::unique_ptr<GifFileType, CloseGif>;

GifFile Open(Source* source) {
  int error = 0;
  return GifFile(DGifOpen(source, ReadBytes, &error));
}

struct FirstImage {
  int transparent = -1;  // the transparent index, or -1
};

// Walks the records up to the first image's descriptor; false when there is none.
bool ReachFirstImage(GifFileType* gif, FirstImage* first) {
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
    if (type == TERMINATE_RECORD_TYPE) return false;
    if (type == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) != GIF_ERROR;
    if (type != EXTENSION_RECORD_TYPE) return false;
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4)
      first->transparent = (block[1] & 0x01) != 0 ? block[4] : -1;
    while (block != nullptr) {
      if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    }
  }
}

// The natural size: the logical screen, or where a file leaves that empty, the first image's
// extent.
std::optional<PictureSize> ScreenSize(const GifFileType* gif, bool image_read) {
  std::int64_t width = gif->SWidth;
  std::int64_t height = gif->SHeight;
  if (width == 0 || height == 0) {
    if (!image_read) return std::nullopt;
    width = std::int64_t{gif->Image.Left} + gif->Image.Width;
    height = std::int64_t{gif->Image.Top} + gif->Image.Height;
  }
  if (!SizeAllowed(width, height)) return std::nullopt;
  return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace

std::optional<PictureSize> ProbeGif(Bytes bytes) {
  Source source{bytes};
  GifFile gif = Open(&source);
  if (!gif) return std::nullopt;
  if (gif->SWidth != 0 && gif->SHeight != 0) return ScreenSize(gif.get(), false);
  FirstImage first;
  if (!ReachFirstImage(gif.get(), &first)) return std::nullopt;
  return ScreenSize(gif.get(), true);
}

std::optional<Picture> DecodeGif(Bytes bytes) {
  Source source{bytes};
  GifFile gif = Open(&source);
  if (!gif) return std::nullopt;
  FirstImage first;
  if (!ReachFirstImage(gif.get(), &first)) return std::nullopt;
  const std::optional<PictureSize> size = ScreenSize(gif.get(), true);
  if (!size) return std::nullopt;
  const GifImageDesc& image = gif->Image;
  const ColorMapObject* palette = image.ColorMap != nullptr ? image.ColorMap : gif->SColorMap;
  if (palette == nullptr || image.Width <= 0 || image.Height <= 0 ||
      !SizeAllowed(image.Width, image.Height))
    return std::nullopt;

  std::optional<Picture> picture = BlankPicture(size->width, size->height);
  if (!picture) return std::nullopt;
  // Rows in the order they are stored: interlaced files in four passes.
  std::vector<int> order;
  order.reserve(image.Height);
  if (image.Interlace) {
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = kStart[pass]; y < image.Height; y += kStep[pass]) order.push_back(y);
  } else {
    for (int y = 0; y < image.Height; ++y) order.push_back(y);
  }
  std::vector<GifPixelType> line(image.Width);
  for (const int y : order) {
    if (DGifGetLine(gif.get(), line.data(), image.Width) == GIF_ERROR) return std::nullopt;
    const std::int64_t row = std::int64_t{image.Top} + y;
    if (row >= picture->height) continue;
    for (int x = 0; x < image.Width; ++x) {
      const std::int64_t column = std::int64_t{image.Left} + x;
      if (column >= picture->width) break;
      const int index = line[x];
      if (index == first.transparent) continue;
      std::uint8_t* pixel =
          picture->rgba.data() + (static_cast<std::size_t>(row) * picture->width + column) * 4;
      if (index < palette->ColorCount) {
        const GifColorType& c = palette->Colors[index];
        pixel[0] = c.Red;
        pixel[1] = c.Green;
        pixel[2] = c.Blue;
      }
      pixel[3] = 0xFF;
    }
  }
  return picture;
}

}  // namespace platform::image::detail
