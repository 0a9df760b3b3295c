// Runs every seed of fuzz_corpus/ through the fuzz target's checks, so the corpus of damaged
// archives and manifests is exercised in every build.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace platform::agent {
namespace {

TEST(CharacterFileFuzz, SeedCorpusPassesTheFuzzChecks) {
  size_t seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(PEX_AGENT_CORPUS_DIR)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string seed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().filename().string());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
    ++seeds;
  }
  EXPECT_GT(seeds, 20u);
}

}  // namespace
}  // namespace platform::agent
