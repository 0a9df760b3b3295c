#include "platform/agent/speech.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/agent/speech_language.h"

namespace platform::agent {
namespace {

TEST(SpeechLanguageCode, FollowsTheLanguageTableAndFallsBackToDutch) {
  struct Case {
    int32_t id;
    std::string_view code;
  };
  constexpr Case kCases[] = {
      {0x401, "ar"},
      {0x42D, "eu"},
      {0x804, "cmn"},
      {0x404, "cmn"},
      {0x41A, "hr"},
      {0x405, "cs"},
      {0x406, "da"},
      {0x413, "nl"},
      {0x809, "en-gb"},
      {0x409, "en-us"},
      {0x40B, "fi"},
      {0x40C, "fr"},
      {0x407, "de"},
      {0x408, "el"},
      {0x40D, "he"},
      {0x40E, "hu"},
      {0x410, "it"},
      {0x411, "ja"},
      {0x412, "ko"},
      {0x414, "nb"},
      {0x415, "pl"},
      {0x816, "pt"},
      {0x416, "pt-br"},
      {0x418, "ro"},
      {0x419, "ru"},
      {0x41B, "sk"},
      {0x424, "sl"},
      {0xC0A, "es"},
      {0x41D, "sv"},
      {0x41E, "th"},
      {0x41F, "tr"},
      // Not in the table: a character never given a language, and one the table lacks.
      {0, "nl"},
      {0x813, "nl"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(SpeechLanguageCode(c.id), c.code);
  }
  std::set<int32_t> ids;
  for (const SpeechLanguage& l : SpeechLanguages()) ids.insert(l.language_id);
  EXPECT_EQ(ids.size(), 31u);
}

TEST(SpeechMarkup, EscapesTheTextAndWritesPausesAsBreaks) {
  struct Case {
    std::vector<SpeechPart> parts;
    std::string_view markup;
  };
  const Case kCases[] = {
      {{{"Klik op <Enter> nu", 0}}, "Klik op &lt;Enter&gt; nu"},
      {{{"A & B", 0}}, "A &amp; B"},
      {{{"A", 0}, {"", 500}, {"\nB", 0}}, "A<break time=\"500ms\"/>\nB"},
      {{{"", 0}}, "<break time=\"0ms\"/>"},
      {{}, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.markup);
    EXPECT_EQ(SpeechMarkup(c.parts), c.markup);
  }
}

TEST(SpeechFor, TurnsTheVolumeTagIntoPercent) {
  struct Case {
    int32_t volume;
    int32_t percent;
  };
  constexpr Case kCases[] = {{65535, 100}, {32768, 50}, {2, 0}, {70000, 100}, {-5, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.volume);
    EXPECT_EQ(SpeechFor(1, {}, 0x409, 150, c.volume).volume, c.percent);
  }
  const SpeechRequest r = SpeechFor(9, {{"Hi", 0}}, 0x409, 120, 65535);
  EXPECT_EQ(r.id, 9u);
  EXPECT_EQ(r.language, "en-us");
  EXPECT_EQ(r.rate, 120);
  EXPECT_EQ(r.parts, (std::vector<SpeechPart>{{"Hi", 0}}));
}

}  // namespace
}  // namespace platform::agent
