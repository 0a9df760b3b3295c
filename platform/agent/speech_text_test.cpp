#include "platform/agent/speech_text.h"

#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace platform::agent {
namespace {

TEST(ReadSpeechText, TakesTheTagsOutAndTimesTheRest) {
  struct Case {
    std::string_view text;
    int32_t speed;
    std::string_view shown;
    int64_t duration_ms;
    int32_t speed_after;
    bool spoken;
  };
  // A character takes 10000/speed milliseconds: 66.67 at the default 150.
  const Case kCases[] = {
      {"Hello", 150, "Hello", 333, 150, true},
      {"Hello", 250, "Hello", 200, 250, true},
      // The load sequence: no text, only the speed for what follows.
      {"\\Rst\\", 200, "", 0, 150, true},
      {"\\Rst\\\\spd=120\\", 200, "", 0, 120, true},
      {"\\spd=250\\abc", 150, "abc", 120, 250, true},
      {"\\SPD=10\\x", 150, "x", 200, 50, true},   // clamped to 50
      {"\\Spd=900\\x", 150, "x", 40, 250, true},  // and to 250
      {"x", 0, "x", 200, 50, true},               // a speed left over is clamped too
      // A pause at a line break adds its milliseconds; the break shows as a new line.
      {"A\\Pau=20\\\rB", 150, "A\nB", 219, 150, true},
      {"A\r\nB", 150, "A\nB", 199, 150, true},
      // The text-only form: heard not at all, shown from its text on.
      {"\\Vol=1\\\rText", 150, "Text", 333, 150, false},
      {"\\vol=0\\Text", 150, "Text", 266, 150, false},
      {"\\Vol=2\\Text", 150, "Text", 266, 150, true},
      {"\\Vol=1\\\\Rst\\Text", 150, "Text", 266, 150, true},
      // Malformed tags and tags cut at the end are dropped, never spoken.
      {"\\Pau=abc\\Hi", 150, "Hi", 133, 150, true},
      {"\\Pau=\\Hi", 150, "Hi", 133, 150, true},
      {"\\Rst5\\Hi", 150, "Hi", 133, 150, true},
      {"\\Pau=9999999999\\Hi", 150, "Hi", 133, 150, true},
      {"Hi\\Pau=2", 150, "Hi", 133, 150, true},
      {"Hi\\Pa", 150, "Hi", 133, 150, true},
      {"Hi\\PAU", 150, "Hi", 133, 150, true},
      {"Hi\\", 150, "Hi", 133, 150, true},
      // A backslash that starts no tag, and a double quote, are text.
      {"C:\\dir\\file", 150, "C:\\dir\\file", 733, 150, true},
      {"Say \"x\") \\ ok", 150, "Say \"x\") \\ ok", 866, 150, true},
      // A character is timed once, however many bytes it takes.
      {"\xC3\xA9\xC3\xA9n", 150, "\xC3\xA9\xC3\xA9n", 199, 150, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const SpeechText s = ReadSpeechText(c.text, c.speed);
    EXPECT_EQ(s.shown, c.shown);
    EXPECT_EQ(s.duration_ms, c.duration_ms);
    EXPECT_EQ(s.speed, c.speed_after);
    EXPECT_EQ(s.spoken, c.spoken);
  }
}

TEST(ReadSpeechText, SplitsWhatIsHeardIntoTextsAndPauses) {
  struct Case {
    std::string_view text;
    std::vector<SpeechPart> parts;
    int32_t volume;
  };
  const Case kCases[] = {
      {"Hello", {{"Hello", 0}}, 65535},
      {"A\\Pau=20\\\rB", {{"A", 0}, {"", 20}, {"\nB", 0}}, 65535},
      {"\\Pau=5\\\\Pau=7\\x", {{"", 5}, {"", 7}, {"x", 0}}, 65535},
      {"\\Vol=32768\\Hi", {{"Hi", 0}}, 32768},
      {"\\Vol=99999\\Hi", {{"Hi", 0}}, 65535},
      {"\\Vol=100\\\\Rst\\Hi", {{"Hi", 0}}, 65535},
      {"\\Rst\\", {}, 65535},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const SpeechText s = ReadSpeechText(c.text, 150);
    EXPECT_EQ(s.parts, c.parts);
    EXPECT_EQ(s.volume, c.volume);
  }
}

}  // namespace
}  // namespace platform::agent
