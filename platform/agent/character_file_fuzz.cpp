// The fuzz target of the character files: any bytes must give a character that keeps every
// promise of the loader, or the invalid-data-file error; never a crash, a hang or memory
// beyond the limits. The first byte says what the rest is: 'M' the manifest of a file whose
// frames are those of the tests' small character (so the fuzzer reaches the manifest
// without first building archives), anything else a whole character file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/agent/character_file.h"
#include "platform/agent/character_file_testing.h"
#include "platform/core/error_codes.h"

namespace {

using platform::agent::Character;
using platform::agent::FrameStep;

bool StepsHold(const Character& c, const std::vector<FrameStep>& steps) {
  if (steps.size() > platform::agent::kMaxSteps) return false;
  for (const FrameStep& s : steps) {
    if (s.frame >= c.frames.size() || s.ms < 1 || s.ms > platform::agent::kMaxStepMs) {
      return false;
    }
  }
  return true;
}

bool Holds(const Character& c) {
  using namespace platform::agent;
  if (c.width < 1 || c.width > kMaxSide || c.height < 1 || c.height > kMaxSide) return false;
  if (c.balloon_x < 0 || c.balloon_x > c.width || c.balloon_y < 0 || c.balloon_y > c.height) {
    return false;
  }
  if (c.frames.empty() || c.frames.size() > kMaxFrames) return false;
  if (int64_t{c.width} * c.height * static_cast<int64_t>(c.frames.size()) > kMaxFramePixels) {
    return false;
  }
  for (const Frame& f : c.frames) {
    if (f.width != c.width || f.height != c.height || f.png.size() > kMaxFileBytes) return false;
  }
  if (c.animations.size() > kMaxAnimations) return false;
  for (const Animation& a : c.animations) {
    if (a.steps.empty() || !StepsHold(c, a.steps)) return false;
  }
  if (!StepsHold(c, c.speaking)) return false;
  for (const std::string_view name : kAnimationNames) {
    if (c.Find(name) == nullptr) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string file;
  if (input.starts_with('M')) {
    file = platform::agent::SmallCharacterFile(std::string(input.substr(1)));
    input = file;
  } else if (!input.empty()) {
    input.remove_prefix(1);
  }
  const platform::Result<std::shared_ptr<const Character>> read =
      platform::agent::ReadCharacterFile(input);
  if (!read.ok()) {
    if (read.status().code() != platform::kInvalidDataFile) std::abort();
    return 0;
  }
  if (!Holds(*read.value())) std::abort();
  return 0;
}
