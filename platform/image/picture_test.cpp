#include "platform/image/picture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/image/metafile.h"

namespace platform::image {
namespace {

std::vector<std::uint8_t> Fixture(std::string_view name) {
  std::ifstream in(std::string(PEX_IMAGE_TESTDATA_DIR) + "/" + std::string(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A reference picture as the fixture script wrote it: PAM with RGB_ALPHA tuples.
Picture Reference(std::string_view name) {
  const std::vector<std::uint8_t> bytes = Fixture(std::string(name) + ".pam");
  const std::string text(bytes.begin(), bytes.end());
  const std::size_t end = text.find("ENDHDR\n");
  std::istringstream header(text.substr(0, end));
  Picture p;
  for (std::string word; header >> word;) {
    if (word == "WIDTH") header >> p.width;
    if (word == "HEIGHT") header >> p.height;
  }
  p.rgba.assign(bytes.begin() + static_cast<std::ptrdiff_t>(end + 7), bytes.end());
  return p;
}

// Pixels equal within `tolerance` on each channel; fully transparent pixels are equal
// whatever their colour.
::testing::AssertionResult SamePixels(const Picture& got, const Picture& want, int tolerance) {
  if (got.size() != want.size() || got.rgba.size() != want.rgba.size())
    return ::testing::AssertionFailure() << "size " << got.width << "x" << got.height << ", want "
                                         << want.width << "x" << want.height;
  for (std::size_t i = 0; i < got.rgba.size(); i += 4) {
    if (got.rgba[i + 3] == 0 && want.rgba[i + 3] == 0) continue;
    for (std::size_t c = 0; c < 4; ++c) {
      if (std::abs(got.rgba[i + c] - want.rgba[i + c]) > tolerance)
        return ::testing::AssertionFailure()
               << "pixel (" << (i / 4) % got.width << "," << (i / 4) / got.width << ") channel "
               << c << ": " << int{got.rgba[i + c]} << ", want " << int{want.rgba[i + c]};
    }
  }
  return ::testing::AssertionSuccess();
}

struct Golden {
  std::string_view file;
  std::string_view reference;
  int tolerance = 0;
  int want_side = 0;
};
constexpr Golden kGoldens[] = {
    {"png_rgb.png", "colour"},
    {"png_rgba.png", "alpha"},
    {"png_rgba_16.png", "alpha"},
    {"png_rgba_interlaced.png", "alpha"},
    {"png_palette_4.png", "pal16"},
    {"png_palette_trns.png", "trn"},
    {"png_grey.png", "grey"},
    {"png_grey_1.png", "pal2"},
    {"png_grey_alpha.png", "greyalpha"},
    {"png_rgba_2x.png", "alpha2x"},
    {"jpeg_baseline.jpg", "smooth", 6},
    {"jpeg_progressive.jpg", "smooth", 6},
    {"jpeg_grey.jpg", "grey", 6},
    {"jpeg_cmyk.jpg", "smooth", 8},
    {"jpeg_ycck.jpg", "smooth", 8},
    {"gif_87a.gif", "pal16"},
    {"gif_transparent.gif", "trn"},
    {"gif_interlaced.gif", "pal16"},
    {"gif_local_palette.gif", "pal16"},
    {"gif_part.gif", "gifpart"},
    {"bmp_1.bmp", "pal2"},
    {"bmp_4.bmp", "pal16"},
    {"bmp_8.bmp", "pal16"},
    {"bmp_24.bmp", "colour"},
    {"bmp_24_top_down.bmp", "colour"},
    {"bmp_32.bmp", "colour"},
    {"bmp_32_alpha.bmp", "alpha"},
    {"bmp_16_555.bmp", "rgb555"},
    {"bmp_16_565.bmp", "rgb565"},
    {"bmp_rle8.bmp", "pal16"},
    {"bmp_rle4.bmp", "pal16"},
    {"bmp_core_24.bmp", "colour"},
    {"bmp_core_8.bmp", "pal16"},
    {"ico_mask_and_png.ico", "alpha2x"},     // the largest entry: stored as PNG
    {"ico_mask_and_png.ico", "trn", 0, 16},  // the nearest to 16: its AND mask
    {"ico_32_alpha.ico", "alpha"},
    {"cur_hot_spot.cur", "trn"},
    {"pcx_1.pcx", "pal2"},
    {"pcx_1x4_planes.pcx", "pal16"},
    {"pcx_4.pcx", "pal16"},
    {"pcx_8.pcx", "pal16"},
    {"pcx_8_plain.pcx", "pal16"},
    {"pcx_24.pcx", "colour"},
};

TEST(DecodePicture, EveryFixtureGivesItsReferenceAndTheProbeItsSize) {
  for (const Golden& g : kGoldens) {
    SCOPED_TRACE(g.file);
    const std::vector<std::uint8_t> bytes = Fixture(g.file);
    ASSERT_FALSE(bytes.empty());
    const std::optional<Picture> picture = DecodePicture(bytes, g.want_side);
    ASSERT_TRUE(picture.has_value());
    EXPECT_TRUE(SamePixels(*picture, Reference(g.reference), g.tolerance));
    EXPECT_EQ(ProbePicture(bytes, g.want_side), picture->size());
  }
}

TEST(DecodePicture, ACutFileGivesNoPictureOrTheWholeOne) {
  for (const Golden& g : kGoldens) {
    SCOPED_TRACE(g.file);
    const std::vector<std::uint8_t> bytes = Fixture(g.file);
    const std::optional<Picture> whole = DecodePicture(bytes, g.want_side);
    ASSERT_TRUE(whole.has_value());
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
      const std::optional<Picture> part = DecodePicture(std::span(bytes).first(cut), g.want_side);
      if (part) {
        SCOPED_TRACE(cut);
        EXPECT_TRUE(SamePixels(*part, *whole, 0));
      }
    }
  }
}

TEST(DecodePicture, OnlyACursorHasAHotSpot) {
  const std::optional<Picture> cursor = DecodePicture(Fixture("cur_hot_spot.cur"));
  ASSERT_TRUE(cursor.has_value());
  EXPECT_EQ(cursor->hot_spot, (HotSpot{5, 3}));
  const std::optional<Picture> icon = DecodePicture(Fixture("ico_32_alpha.ico"));
  ASSERT_TRUE(icon.has_value());
  EXPECT_FALSE(icon->hot_spot.has_value());
}

// A BMP header alone, claiming `width` x `height`: the probe reads the size from it.
std::vector<std::uint8_t> BmpHeader(std::int32_t width, std::int32_t height) {
  std::vector<std::uint8_t> b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0};
  for (const std::int32_t v : {width, height}) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  b.insert(b.end(), {1, 0, 24, 0});
  b.resize(54, 0);
  return b;
}

TEST(ProbePicture, SizesBeyondTheLimitsAreNoPicture) {
  struct Case {
    std::int32_t width;
    std::int32_t height;
    bool allowed;
  };
  constexpr Case kCases[] = {
      {16384, 1, true},  {16385, 1, false},   {1, 16384, true},      {1, -16384, true},
      {1, 16385, false}, {16384, 4096, true}, {16384, 4097, false},  {0, 1, false},
      {1, 0, false},     {-1, 1, false},      {1, INT32_MIN, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    const std::vector<std::uint8_t> header = BmpHeader(c.width, c.height);
    EXPECT_EQ(ProbePicture(header).has_value(), c.allowed);
    // No pixels follow: nothing is decoded, whatever the header claims.
    EXPECT_FALSE(DecodePicture(header).has_value());
  }
}

TEST(ReadMetafile, SizeFromThePlaceableHeaderElseTheWindowExtent) {
  struct Case {
    std::string_view file;
    PictureSize size;
  };
  // 390 x 330 units at 1440 an inch is 26 x 22 pixels at 96 an inch.
  constexpr Case kCases[] = {{"wmf_placeable.wmf", {26, 22}},
                             {"wmf_window_extent.wmf", {390, 330}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const std::vector<std::uint8_t> bytes = Fixture(c.file);
    const std::optional<Metafile> meta = ReadMetafile(bytes);
    ASSERT_TRUE(meta.has_value());
    EXPECT_EQ(meta->size, c.size);
    EXPECT_EQ(meta->width, 390);
    EXPECT_EQ(meta->height, 330);
    EXPECT_EQ(meta->object_count, 2);
    ASSERT_EQ(meta->records.size(), 10u);
    EXPECT_EQ(meta->records[6].function, 0x041B);  // the rectangle
    EXPECT_EQ(meta->records[6].params, (std::vector<std::uint16_t>{300, 360, 30, 30}));
    EXPECT_EQ(ProbePicture(bytes), c.size);
    EXPECT_EQ(SniffFormat(bytes), Format::kWmf);
    // No pixels here: the display backend draws the records.
    EXPECT_FALSE(DecodePicture(bytes).has_value());
  }
}

TEST(SniffFormat, UnknownBytesAreNoPicture) {
  for (const std::string_view text : {"", "hello", "BM", "\x89PNG", "GIF88a"}) {
    SCOPED_TRACE(text);
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    EXPECT_FALSE(DecodePicture(bytes).has_value());
    EXPECT_FALSE(ProbePicture(bytes).has_value());
  }
}

}  // namespace
}  // namespace platform::image
