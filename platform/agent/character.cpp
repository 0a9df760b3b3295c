#include "platform/agent/character.h"

#include <cctype>

namespace platform::agent {

int64_t Animation::duration_ms() const {
  int64_t total = 0;
  for (const FrameStep& s : steps) total += s.ms;
  return total;
}

const Animation* Character::Find(std::string_view name) const {
  for (const Played& p : played) {
    if (EqualsNoCase(p.name, name)) return &animations[p.animation];
  }
  return nullptr;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace platform::agent
