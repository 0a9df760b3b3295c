#include "platform/core/text.h"

#include <array>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Clip, DropsOnlyTrailingBlanks) {
  EXPECT_EQ(Clip("  ab c  "), "  ab c");
  EXPECT_EQ(Clip("   "), "");
  EXPECT_EQ(Clip(""), "");
  EXPECT_EQ(Clip("a\t"), "a\t");
}

TEST(Sub, CutsTheRangeToTheText) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  struct Case {
    std::string_view text;
    int64_t start;
    int64_t length;
    std::string_view sub;
  };
  const Case kCases[] = {
      {"ABCDE", 1, 2, "AB"},
      {"ABCDE", 2, 3, "BCD"},
      {"ABCDE", 5, 1, "E"},
      {"ABCDE", 4, 9, "DE"},
      {"ABCDE", 6, 1, ""},
      {"ABCDE", 1, 0, ""},
      {"ABCDE", 2, -1, ""},
      {"ABCDE", 0, 2, "A"},
      {"ABCDE", 0, 1, ""},
      {"ABCDE", -1, 1, "E"},
      {"ABCDE", -2, 2, "DE"},
      {"ABCDE", -3, 2, "CD"},
      {"ABCDE", -5, 1, "A"},
      {"ABCDE", -7, 3, "A"},
      {"ABCDE", -7, 2, ""},
      {"", 1, 1, ""},
      {"ABCDE", kMax, kMax, ""},
      {"ABCDE", 1, kMax, "ABCDE"},
      // The most negative start counts from the end: the range ends before byte 5.
      {"ABCDE", kMin, kMax, "ABCD"},
      {"ABCDE", 3, kMax, "CDE"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.text << "," << c.start << "," << c.length);
    EXPECT_EQ(Sub(c.text, c.start, c.length), c.sub);
  }
}

TEST(Left, MovesLeadingBlanksToTheEnd) {
  struct Case {
    std::string_view text;
    int64_t length;
    std::string_view left;
  };
  const Case kCases[] = {
      {"  ab", -1, "ab  "},
      {"ab", -1, "ab"},
      {"    ", -1, "    "},
      {"", -1, ""},
      {"  ab", 6, "ab    "},
      {"  abcd", 3, "abc"},
      {"ab", 0, ""},
      {" \xC3\xA9x", 1, " "},  // é would be cut in half: blank instead
      {" \xC3\xA9x", 2, "\xC3\xA9"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "'" << c.text << "'," << c.length);
    EXPECT_EQ(Left(c.text, c.length), c.left);
  }
}

TEST(All, RepeatsUpToTheLength) {
  EXPECT_EQ(All("-", 5), "-----");
  EXPECT_EQ(All("ab", 5), "ababa");
  EXPECT_EQ(All("ab", 4), "abab");
  EXPECT_EQ(All("ab", 0), "");
  EXPECT_EQ(All("", 5), "");
  // "é" is two bytes: the third copy does not fit in 5 bytes and is left out whole.
  EXPECT_EQ(All("\xC3\xA9", 5), "\xC3\xA9\xC3\xA9");
}

TEST(InString, AnswersTheStepNumberOfTheMatch) {
  struct Case {
    std::string_view sub;
    std::string_view text;
    int64_t step;
    int64_t start;
    int64_t found;
  };
  const Case kCases[] = {
      {"DEF", "ABCDEFGHIJ", 1, 1, 4},  // step 1: the byte position
      {"DEF", "ABCDEFGHIJ", 3, 1, 2},  // slots ABC|DEF: the second
      {"EFG", "ABCDEFGHIJ", 3, 1, 0},  // EFG straddles two slots
      {"EFG", "ABCDEFGHIJ", 2, 1, 3},  // positions 1, 3, 5: the third step
      {"A", "ABCABC", 1, 2, 4},        // from byte 2: the next A, still counted from byte 1
      {"C", "ABCABC", 3, 3, 1},        // positions 3, 6; (3-1)/3+1
      {"C", "ABCABC", 3, 6, 2},
      {"J", "ABCDEFGHIJ", 1, 1, 10},   // the last byte
      {"IJK", "ABCDEFGHIJ", 1, 1, 0},  // runs past the end
      {"N", "P", 1, 1, 0},
      {"P", "P", 1, 1, 1},
      {"", "ABC", 1, 1, 0},
      {"A", "", 1, 1, 0},
      {"A", "ABC", 0, 1, 0},  // no step: nothing is searched
      {"A", "ABC", -1, 1, 0},
      {"A", "ABC", 1, 0, 1},  // a start below 1 searches from byte 1
      {"A", "ABC", 1, 4, 0},  // a start past the end finds nothing
      {"a", "ABC", 1, 1, 0},  // case counts
      {"B ", "AB", 1, 1, 0},  // blanks count
      {"B", "ABCB", std::numeric_limits<int64_t>::max(), 2, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message()
                 << c.sub << " in " << c.text << " step " << c.step << " from " << c.start);
    EXPECT_EQ(InString(c.sub, c.text, c.step, c.start), c.found);
  }
  EXPECT_EQ(InString("C", "ABC"), 3);  // step 1 and start 1 by default
}

TEST(UpperLower, ChangeOnlyAsciiLetters) {
  EXPECT_EQ(Upper("abc XYZ 09 \xC3\xA9"), "ABC XYZ 09 \xC3\xA9");
  EXPECT_EQ(Lower("ABC xyz 09 \xC3\x89"), "abc xyz 09 \xC3\x89");
}

TEST(Len, CountsBytes) {
  EXPECT_EQ(Len(""), 0);
  EXPECT_EQ(Len("ab  "), 4);
  EXPECT_EQ(Len("\xC3\xA9"), 2);
}

TEST(Numeric, FollowsParseNumber) {
  struct Case {
    std::string_view text;
    bool numeric;
  };
  const Case kCases[] = {{"12", true},   {" -3.5 ", true}, {".5", true}, {"", false},
                         {"1e5", false}, {"12a", false},   {"-", false}, {"1,000", false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Numeric(c.text), c.numeric);
  }
}

TEST(InList, ComparesAsTheRuntimeDoes) {
  EXPECT_EQ(InList("b", {"a", "b", "b"}), 2);
  EXPECT_EQ(InList("b  ", {"a", "b"}), 2);  // trailing blanks ignored on both sides
  EXPECT_EQ(InList("b", {"a", "b   "}), 2);
  EXPECT_EQ(InList("B", {"a", "b"}), 0);  // case counts
  EXPECT_EQ(InList(" b", {"b"}), 0);      // leading blanks count
  EXPECT_EQ(InList("", {"x", ""}), 2);
  EXPECT_EQ(InList("a", {}), 0);
  const std::array<std::string_view, 3> list = {"x", "y", "z"};
  EXPECT_EQ(InList("z", list), 3);
}

TEST(Chr, GivesTheCharacterOfTheSingleByteSetOrOfUnicode) {
  struct Case {
    int64_t code;
    std::string_view text;
  };
  constexpr Case kCases[] = {
      {65, "A"},          {171, "\u00AB"},         {187, "\u00BB"},  {255, "\u00FF"},
      {0x80, "\u20AC"},   {149, "\u2022"},         {0x9F, "\u0178"}, {0x81, ""},
      {0x263A, "\u263A"}, {0x1F600, "\U0001F600"}, {-1, ""},         {0xD800, ""},
      {0x110000, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(Chr(c.code), c.text);
  }
  EXPECT_EQ(Chr(0), std::string(1, '\0'));
}

}  // namespace
}  // namespace platform
