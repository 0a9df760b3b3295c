#include "platform/qt/metafile_painter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QColor>
#include <gtest/gtest.h>

namespace platform::qt {
namespace {

std::optional<image::Metafile> FixtureMetafile(const std::string& name) {
  std::ifstream in(std::string(PEX_IMAGE_TESTDATA_DIR) + "/" + name, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  return image::ReadMetafile(bytes);
}

// The fixture's drawing, in its 390 x 330 frame: a rectangle (30,30)-(360,300), an ellipse
// (90,80)-(300,250) and a triangle (60,300) (195,40) (330,300), filled with 6030C0h (red 60h,
// green 30h, blue C0h) and outlined by a black pen 20 units wide.
TEST(DrawMetafile, DrawsTheRecordsToFillTheImage) {
  for (const std::string name : {"wmf_placeable.wmf", "wmf_window_extent.wmf"}) {
    SCOPED_TRACE(name);
    const std::optional<image::Metafile> meta = FixtureMetafile(name);
    ASSERT_TRUE(meta.has_value());
    // At twice the frame's size, so one unit is two pixels.
    const QImage image = DrawMetafile(*meta, QSize(780, 660));
    ASSERT_EQ(image.size(), QSize(780, 660));
    const QColor fill(0x60, 0x30, 0xC0);
    EXPECT_EQ(image.pixelColor(20, 20).alpha(), 0);           // outside everything
    EXPECT_EQ(image.pixelColor(200, 120), fill);              // in the rectangle only
    EXPECT_EQ(image.pixelColor(390, 330), fill);              // where all three overlap
    EXPECT_EQ(image.pixelColor(60, 300), QColor(Qt::black));  // the rectangle's left edge
    EXPECT_EQ(image.pixelColor(770, 650).alpha(), 0);
  }
}

// A hostile file: the longest record walk the reader allows, each record filling the whole
// picture. The painter stops once the records have touched many times the picture's pixels.
TEST(DrawMetafile, ThePaintingWorkIsBounded) {
  image::Metafile meta;
  meta.size = {100, 100};
  meta.width = meta.height = 100;
  meta.records.push_back({0x02FC, {0, 0x00FF, 0x0000, 0}});  // a red brush
  meta.records.push_back({0x012D, {0}});
  meta.records.resize(image::kMaxMetaRecords, {0x041B, {100, 100, 0, 0}});
  const QImage image = DrawMetafile(meta, QSize(100, 100));
  ASSERT_EQ(image.size(), QSize(100, 100));
  EXPECT_EQ(image.pixelColor(50, 50), QColor(Qt::red));
}

// Every seed of the metafile reader's fuzz corpus that reads is drawn without a fault.
TEST(DrawMetafile, EveryReadableSeedDraws) {
  int drawn = 0;
  for (const auto& entry : std::filesystem::directory_iterator(PEX_IMAGE_CORPUS_DIR "/wmf")) {
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    const std::optional<image::Metafile> meta = image::ReadMetafile(bytes);
    if (!meta) continue;
    const QSize size(std::min(meta->size.width, 64), std::min(meta->size.height, 64));
    EXPECT_EQ(DrawMetafile(*meta, size).size(), size);
    ++drawn;
  }
  EXPECT_GT(drawn, 10);
}

TEST(DrawMetafile, AnEmptyOrTooLargeSizeGivesNoImage) {
  const std::optional<image::Metafile> meta = FixtureMetafile("wmf_placeable.wmf");
  ASSERT_TRUE(meta.has_value());
  EXPECT_TRUE(DrawMetafile(*meta, QSize(0, 10)).isNull());
  EXPECT_TRUE(DrawMetafile(*meta, QSize(16385, 1)).isNull());
}

}  // namespace
}  // namespace platform::qt
