#include "platform/core/fixed_string.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace platform {

std::string_view CutUtf8(std::string_view text, size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  size_t end = max_bytes;
  // Step back over continuation bytes (10xxxxxx) so the cut lands before a lead byte.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::string_view ClipView(std::string_view text) {
  // Declared-size records are mostly padding, so the blanks are skipped eight at a time.
  constexpr uint64_t kEightBlanks = 0x2020202020202020ULL;
  size_t n = text.size();
  while (n >= 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + n - 8, sizeof word);
    if (word != kEightBlanks) break;
    n -= 8;
  }
  while (n > 0 && text[n - 1] == ' ') --n;
  return text.substr(0, n);
}

int CompareText(std::string_view a, std::string_view b) {
  a = ClipView(a);
  b = ClipView(b);
  const size_t n = std::min(a.size(), b.size());
  if (n > 0) {
    const int c = std::memcmp(a.data(), b.data(), n);
    if (c != 0) return c < 0 ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace platform
