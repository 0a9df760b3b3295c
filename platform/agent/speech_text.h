// The text of a Speak or Think request: the words it shows, how long it takes, and whether
// it is heard. The speech tags in it are read and taken out:
//   \Rst\     every setting back to its default
//   \Spd=n\   the speaking speed in words per minute (50..250), kept for later texts
//   \Vol=n\   the volume; 1 or less shows the text without speaking it (this text only)
//   \Pau=n\   a pause of n milliseconds
// Tag names are read in any case. A tag with a bad number, or cut off at the end of the
// text, is dropped; a backslash that starts no tag is text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::agent {

inline constexpr int32_t kDefaultSpeed = 150;  // words per minute
inline constexpr int32_t kMinSpeed = 50;
inline constexpr int32_t kMaxSpeed = 250;
inline constexpr int32_t kDefaultVolume = 65535;  // the loudest, as the volume tag counts

// A piece of what is heard: a text, or a pause.
struct SpeechPart {
  std::string text;      // without tags; line breaks as "\n"; empty for a pause
  int64_t pause_ms = 0;  // a pause tag's milliseconds
  friend bool operator==(const SpeechPart&, const SpeechPart&) = default;
};

struct SpeechText {
  std::string shown;  // without tags; line breaks as "\n"
  int64_t duration_ms = 0;
  int32_t speed = kDefaultSpeed;  // the speed in force at the end of the text
  bool spoken = true;
  int32_t volume = kDefaultVolume;  // the last volume tag's number
  std::vector<SpeechPart> parts;    // the texts and pauses, in order
};

// Reads `text` starting at the speed `speed` (the one the last text left).
SpeechText ReadSpeechText(std::string_view text, int32_t speed);

}  // namespace platform::agent
