#include "platform/agent/speech_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace platform::agent {
namespace {

// A character takes this long at a speed of one word per minute, in microseconds: a word is
// six characters with its blank.
constexpr int64_t kCharacterMicrosAtOneWpm = 60'000'000 / 6;
constexpr int32_t kMaxTagDigits = 9;

enum class Tag { kRst, kSpd, kVol, kPau };
struct TagName {
  std::string_view name;  // as written after the backslash, in lower case
  Tag tag;
  bool takes_number;
};
constexpr std::array<TagName, 4> kTags = {{
    {"rst", Tag::kRst, false},
    {"spd=", Tag::kSpd, true},
    {"vol=", Tag::kVol, true},
    {"pau=", Tag::kPau, true},
}};

// True when `text` begins with `lower_prefix`, `text` read in any case.
bool StartsWithNoCase(std::string_view text, std::string_view lower_prefix) {
  if (text.size() < lower_prefix.size()) return false;
  for (size_t i = 0; i < lower_prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != lower_prefix[i]) return false;
  }
  return true;
}

// True when `text` (after a backslash, running to the end) is the beginning of a tag name:
// a tag cut off by the end of the text.
bool IsCutTag(std::string_view text) {
  for (const TagName& t : kTags) {
    if (text.size() < t.name.size() && StartsWithNoCase(text, t.name.substr(0, text.size()))) {
      return true;
    }
  }
  return false;
}

std::optional<int64_t> TagNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > kMaxTagDigits) return std::nullopt;
  int64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

SpeechText ReadSpeechText(std::string_view text, int32_t speed) {
  SpeechText out;
  out.speed = std::clamp(speed, kMinSpeed, kMaxSpeed);
  int64_t micros = 0;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\\') {
      const std::string_view rest = text.substr(i + 1);
      const TagName* tag = nullptr;
      for (const TagName& t : kTags) {
        if (StartsWithNoCase(rest, t.name)) tag = &t;
      }
      if (tag == nullptr && IsCutTag(rest)) break;
      if (tag != nullptr) {
        const size_t close = rest.find('\\');
        if (close == std::string_view::npos) break;  // cut off: dropped
        i += close + 2;
        const std::string_view arg = rest.substr(tag->name.size(), close - tag->name.size());
        const std::optional<int64_t> n = TagNumber(arg);
        const bool well_formed = tag->takes_number ? n.has_value() : arg.empty();
        if (!well_formed) continue;  // dropped
        switch (tag->tag) {
          case Tag::kRst:
            out.speed = kDefaultSpeed;
            out.spoken = true;
            out.volume = kDefaultVolume;
            break;
          case Tag::kSpd:
            out.speed = static_cast<int32_t>(std::clamp<int64_t>(*n, kMinSpeed, kMaxSpeed));
            break;
          case Tag::kVol:
            out.spoken = *n > 1;
            out.volume = static_cast<int32_t>(std::min<int64_t>(*n, kDefaultVolume));
            break;
          case Tag::kPau:
            micros += *n * 1000;
            out.parts.push_back(SpeechPart{{}, *n});
            break;
        }
        continue;
      }
    }
    // A pause part has no text, so text after one starts a new part.
    if (out.parts.empty() || out.parts.back().text.empty()) out.parts.emplace_back();
    if (c == '\r') {
      out.shown += '\n';
      out.parts.back().text += '\n';
      i += i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    } else {
      out.shown += c;
      out.parts.back().text += c;
      ++i;
    }
    // One step of time per character, not per byte of it.
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
      micros += kCharacterMicrosAtOneWpm / out.speed;
  }
  // The text-only form puts a line break after its volume tag; the balloon starts at the text.
  out.shown.erase(0, out.shown.find_first_not_of('\n') == std::string::npos
                         ? out.shown.size()
                         : out.shown.find_first_not_of('\n'));
  out.duration_ms = micros / 1000;
  return out;
}

}  // namespace platform::agent
