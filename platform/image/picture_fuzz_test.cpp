// Runs every seed of each reader's corpus through the fuzz checks, so the corpus is
// exercised in every build, not only by scripts/fuzz.
#include "platform/image/picture_fuzz.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace platform::image {
namespace {

TEST(PictureFuzz, EverySeedPassesTheFuzzChecks) {
  for (const ReaderName& r : kReaders) {
    SCOPED_TRACE(r.name);
    const std::filesystem::path dir = std::filesystem::path(PEX_IMAGE_CORPUS_DIR) / r.name;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      SCOPED_TRACE(entry.path().filename().string());
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                            std::istreambuf_iterator<char>()};
      FuzzReader(r.reader, bytes);
      ++seeds;
    }
    EXPECT_GT(seeds, 10);
  }
}

}  // namespace
}  // namespace platform::image
