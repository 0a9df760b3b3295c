#include "platform/core/fixed_string.h"

#include <string>

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(FixedString, AssignmentCutsToDeclaredSizeOnCharacterBoundary) {
  struct Case {
    std::string_view in;
    std::string_view string5;   // FixedString<5>
    std::string_view cstring5;  // CString<5>: four bytes
  };
  const Case kCases[] = {
      {"", "", ""},
      {"abc", "abc", "abc"},
      {"abcde", "abcde", "abcd"},
      {"abcdefgh", "abcde", "abcd"},
      {"abc  ", "abc", "abc "},                // a STRING never keeps trailing blanks
      {"  a", "  a", "  a"},                   // leading blanks stay
      {"abc\xC3\xA9x", "abc\xC3\xA9", "abc"},  // é is two bytes: CString<5> cannot take it whole
      {"ab\xE2\x82\xAC", "ab\xE2\x82\xAC", "ab"},  // € is three bytes
      {"ab\xF0\x9F\x98\x80", "ab", "ab"},  // a four-byte character past the size is dropped whole
      {"a\xF0\x9F\x98\x80z", "a\xF0\x9F\x98\x80", "a"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.in);
    FixedString<5> s = c.in;
    CString<5> cs = c.in;
    EXPECT_EQ(s.str(), c.string5);
    EXPECT_EQ(cs.str(), c.cstring5);
  }
}

TEST(FixedString, PaddedGivesTheDeclaredSize) {
  FixedString<6> s = "ab";
  EXPECT_EQ(s.Padded(), "ab    ");
}

TEST(FixedString, ComparesWithEveryKindOfTextIgnoringTrailingBlanks) {
  const FixedString<10> s = "abc";
  const CString<20> c = "abc  ";
  const std::string text = "abc ";
  EXPECT_TRUE(s == text);
  EXPECT_TRUE(text == s);
  EXPECT_FALSE(s == std::string("ABC"));
  EXPECT_TRUE(s == std::string_view("abc   "));
  EXPECT_TRUE(s == c);  // declared sizes differ
  EXPECT_TRUE(c == s);
  EXPECT_TRUE(s != "abd");
}

TEST(CompareText, IgnoresTrailingBlanksAndIsCaseSensitive) {
  struct Case {
    std::string_view a, b;
    int result;
  };
  const Case kCases[] = {
      {"ABC", "ABC   ", 0}, {"abc", "ABC", 1},   {"ab", "abc", -1}, {"", "   ", 0},
      {" a", "a", -1},      {"a\tb", "a b", -1}, {"B", "AZZ", 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.a) + "|" + std::string(c.b));
    EXPECT_EQ(CompareText(c.a, c.b), c.result);
    EXPECT_EQ(CompareText(c.b, c.a), -c.result);
  }
  CString<10> x = "abc  ";
  EXPECT_TRUE(x == "abc");
}

TEST(ClipView, RemovesTrailingBlanksOnly) {
  struct Case {
    std::string text;
    std::string clipped;
  };
  const Case kCases[] = {
      {"", ""},
      {" ", ""},
      {std::string(7, ' '), ""},
      {std::string(8, ' '), ""},
      {std::string(9, ' '), ""},
      {"a" + std::string(16, ' '), "a"},
      {"a" + std::string(15, ' '), "a"},
      {"ab c" + std::string(2047, ' '), "ab c"},
      {"  x  y", "  x  y"},
      {"x\t", "x\t"},
      {"12345678" + std::string(8, ' '), "12345678"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text.size());
    EXPECT_EQ(ClipView(c.text), c.clipped);
  }
}

}  // namespace
}  // namespace platform
