#include "platform/core/format.h"

#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "platform/core/clock.h"

namespace platform {
namespace {

struct Case {
  std::string_view value;
  std::string_view picture;
  std::string_view text;
};

void ExpectFormats(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "FORMAT(" << c.value << ", " << c.picture << ")");
    EXPECT_EQ(Format(c.value, c.picture), c.text);
  }
}

void ExpectDeformats(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "DEFORMAT(" << c.text << ", " << c.picture << ")");
    EXPECT_EQ(Deformat(c.text, c.picture), c.value);
  }
}

// Fixes "now" at 5 January 2026 for the two-digit years DEFORMAT reads.
class FixedNow {
 public:
  FixedNow() : previous_(SetNowSource([] { return LocalNow{{2026, 1, 5}, {12, 0, 0, 0}}; })) {}
  ~FixedNow() { SetNowSource(std::move(previous_)); }

 private:
  NowSource previous_;
};

TEST(FormatString, CutsOnACharacterAndPads) {
  ExpectFormats({
      {"abc", "@s5", "abc  "},
      {"abc", "@s3", "abc"},
      {"abcd", "@s3", "abc"},
      {"abc", "@S2", "ab"},
      {"abc", "@s0", ""},
      {"", "@s2", "  "},
      {"a\xC3\xA9", "@s2", "a "},  // é does not fit whole: cut before it
      {"a\xC3\xA9", "@s3", "a\xC3\xA9"},
      {"a\xC3\xA9", "@s4", "a\xC3\xA9 "},
      {"abc", "s2", "ab"},  // the "@" is optional
  });
}

TEST(FormatNumber, WidthDecimalsAndGrouping) {
  ExpectFormats({
      {"1234.5", "@n10.2", "  1,234.50"},
      {"4550000", "@n9", "4,550,000"},
      {"4550000", "@N9", "4,550,000"},
      {"4550000", "@n_9", "  4550000"},
      {"4550", "@n09", "000004550"},
      {"45000", "@n*9", "***45,000"},
      {"4550000", "@n9_", "4 550 000"},
      {"4550000", "@n9.", "4.550.000"},
      {"4550.75", "@n_9'2", "  4550,75"},
      {"4550000.75", "@n12.'2", "4.550.000,75"},
      {"4550000.75", "@n14-.2", "  4-550-000.75"},
      {"12.34", "@n6v2", "  1234"},
      {"0.5", "@n5.2", " 0.50"},
      {"0", "@n5", "    0"},
      {"7", "N5", "    7"},
      {"abc", "@n5", "    0"},  // not a number counts as 0
      {"123456789012345678", "@n25", "  123,456,789,012,345,678"},
  });
}

TEST(FormatNumber, SignsAndCurrency) {
  ExpectFormats({
      {"-4550.75", "@n-9.2", "-4,550.75"},
      {"-3", "@n-5", "   -3"},
      {"-3", "@n5", "   -3"},  // no sign in the picture: the minus is still shown
      {"-4550.75", "@n9.2-", "4,550.75-"},
      {"4550.75", "@n9.2-", "4,550.75 "},  // blank in the sign's place
      {"-4550.75", "@n(10.2)", "(4,550.75)"},
      {"4550.75", "@n(10.2)", " 4,550.75 "},
      {"-3", "@n05", "-0003"},
      {"42", "@n05", "00042"},
      {"-45", "@n*6", "***-45"},
      {"4550.75", "@n$9.2", "$4,550.75"},
      {"-4.5", "@n$-7.2", " $-4.50"},
      {"-4.5", "@n-$7.2", " -$4.50"},
      {"4550.75", "@n~EUR ~12.2", "EUR 4,550.75"},
      {"4550.75", "@n13.2~ EUR~", " 4,550.75 EUR"},
  });
}

TEST(FormatNumber, RoundsHalfAwayFromZero) {
  ExpectFormats({
      {"2.675", "@n4.2", "2.68"},  // on the decimal digits, not the binary value
      {"2.674", "@n4.2", "2.67"},
      {"-0.05", "@n5.1", " -0.1"},
      {"-0.04", "@n5.1", "  0.0"},  // rounds to zero: no "-0.0"
      {"9.5", "@n5", "   10"},
      {"0.95", "@n3.1", "1.0"},
      {"99.995", "@n6.2", "100.00"},
      {"0.001", "@n5.2b", "     "},  // blank when the rounded value is zero
      {"0", "@n5B", "     "},
      {"1", "@n5b", "    1"},
  });
}

TEST(FormatNumber, TooWideIsHashes) {
  ExpectFormats({
      {"99999", "@n5", "#####"},  // 99,999 needs 6
      {"9999", "@n5", "9,999"},
      {"99999", "@n_5", "99999"},
      {"999.5", "@n3", "###"},  // rounds to 1,000
      {"-999", "@n4", "-999"},
      {"-9999", "@n_4", "####"},
      {"1", "@n0", ""},
      {"-4550.75", "@n(9.2)", "#########"},
  });
}

TEST(FormatDate, Layouts) {
  // 5 January 2026 is date 82188; 31 October 1959 is 58015.
  ExpectFormats({
      {"82188", "@d1", "1/05/26"},         {"82188", "@d01", "01/05/26"},
      {"82188", "@d2", "1/05/2026"},       {"82188", "@D02", "01/05/2026"},
      {"82188", "@d3", "JAN 5,2026"},      {"82188", "@d03", "JAN 05,2026"},
      {"82188", "@d4", "January 5, 2026"}, {"82188", "@d5", "5/01/26"},
      {"82188", "@d6", "5/01/2026"},       {"82188", "@d06", "05/01/2026"},
      {"82188", "@d7", "5 JAN 26"},        {"82188", "@d8", "5 JAN 2026"},
      {"82188", "@d9", "26/01/05"},        {"82188", "@d10", "2026/01/05"},
      {"82188", "@d11", "260105"},         {"82188", "@d12", "20260105"},
      {"82188", "@d13", "1/26"},           {"82188", "@d14", "1/2026"},
      {"82188", "@d15", "26/01"},          {"82188", "@d16", "2026/01"},
      {"82188", "@d17", "1/05/2026"},      {"82188", "@d18", "January 5, 2026"},
      {"82188", "D18", "January 5, 2026"}, {"58015", "@d2", "10/31/1959"},
      {"58015", "@d3", "OCT 31,1959"},     {"58015", "@d4", "October 31, 1959"},
  });
}

TEST(FormatDate, SeparatorsEdgesAndNoDate) {
  ExpectFormats({
      {"82188", "@d6.", "5.01.2026"},  {"82188", "@d06-", "05-01-2026"},
      {"82188", "@d2_", "1 05 2026"},  {"82188", "@d1'", "1,05,26"},
      {"82188", "@d2>", "1/05/2026"},  {"82188", "@d2<80B", "1/05/2026"},
      {"82188.9", "@d12", "20260105"},                                 // the whole days count
      {"1", "@d12", "18001229"},                                       // the first date
      {"4", "@d2", "1/01/1801"},       {"72746", "@d12", "20000229"},  // leap day
      {"36222", "@d12", "19000301"},                                   // 1900 has no 29 February
      {"2994626", "@d12", "99991231"}, {"0", "@d2", "          "},
      {"", "@d2", "          "},       {"0", "@d4", "                  "},
      {"2994627", "@d12", "        "}, {"-1", "@d1", "        "},
      {"82188", "@d19", "82188"},  // unknown layouts keep the value
      {"82188", "@d0", "82188"},       {"82188", "@d2x", "82188"},
  });
}

TEST(FormatTime, Layouts) {
  // 17:30:05.25 is 6300526; 08:05 is 2910001; 1 is midnight; 4320001 is noon.
  ExpectFormats({
      {"6300526", "@t1", "17:30"},
      {"6300526", "@t2", "1730"},
      {"6300526", "@t3", "5:30PM"},
      {"6300526", "@t03", "05:30PM"},
      {"6300526", "@t4", "17:30:05"},
      {"6300526", "@t5", "173005"},
      {"6300526", "@t6", "5:30:05PM"},
      {"6300526", "@t7", "17:30"},
      {"6300526", "@T8", "17:30:05"},
      {"6300526", "T8", "17:30:05"},
      {"2910001", "@t1", "8:05"},
      {"2910001", "@t01", "08:05"},
      {"2910001", "@t04", "08:05:00"},
      {"2910001", "@t2", "0805"},
      {"2910001", "@t3", "8:05AM"},
      {"1", "@t1", "0:00"},
      {"1", "@t01", "00:00"},
      {"1", "@t3", "12:00AM"},
      {"4320001", "@t3", "12:00PM"},
      {"8640000", "@t6", "11:59:59PM"},
      {"6300526", "@t4.", "17.30.05"},
      {"9000001", "@t4", "25:00:00"},  // a duration keeps its hours
      {"0", "@t1", "     "},
      {"0", "@t6", "          "},
      {"6300526", "@t9", "6300526"},
  });
}

TEST(FormatUnknown, KeepsTheValue) {
  ExpectFormats({
      {"abc", "", "abc"},
      {"abc", "@", "abc"},
      {"abc", "@s", "abc"},
      {"12", "@n", "12"},
      {"12", "@nx", "12"},
      {"12", "@n5q", "12"},
      {"12", "@n~EUR5", "12"},
      {"12", "@e12.2", "12"},
      {"12", "@s999999999", "12"},  // an absurd width is no picture
  });
}

TEST(Deformat, NumbersDropTheirDecoration) {
  ExpectDeformats({
      {"1234.5", "@n10.2", "  1,234.50"},
      {"-4550.75", "@n(10.2)", "(4,550.75)"},
      {"-4550.75", "@n9.2-", "4,550.75-"},
      {"4550000.75", "@n12.'2", "4.550.000,75"},
      {"12.34", "@n6v2", "  1234"},
      {"0.05", "@n6v2", "5"},
      {"4550.75", "@n$9.2", "$4,550.75"},
      {"0", "@n5", ""},
      {"abc ", "@s5", "abc "},
      {"abc", "@x", "abc"},
  });
}

TEST(Deformat, DatesAndTimes) {
  FixedNow now;
  ExpectDeformats({
      {"82188", "@d1", "1/05/26"},
      {"82188", "@d02", "01/05/2026"},
      {"82188", "@d3", "JAN 5,2026"},
      {"82188", "@d4", "january 5, 2026"},
      {"82188", "@d12", "20260105"},
      {"82188", "@d11", "260105"},
      {"82188", "@d6.", "5.01.2026"},
      {"72746", "@d6", "29/02/2000"},
      {"0", "@d2", "2/30/2026"},  // no such day
      {"0", "@d2", "13/01/2026"},
      {"0", "@d2", ""},
      {"0", "@d3", "XYZ 5,2026"},
      {std::to_string(DateFromYmd(2046, 1, 1)), "@d1", "1/01/46"},  // twenty years ahead
      {std::to_string(DateFromYmd(1947, 1, 1)), "@d1", "1/01/47"},
      {"6300001", "@t1", "17:30"},
      {"6300001", "@t3", "5:30PM"},
      {"1", "@t3", "12:00AM"},
      {"4320001", "@t3", "12:00PM"},
      {"6300501", "@t5", "173005"},
      {"6300501", "@t4", "17:30:05"},
      {"0", "@t1", "24:00"},
      {"0", "@t1", ""},
  });
}

TEST(Deformat, ReadsBackWhatFormatWrites) {
  FixedNow now;
  for (int32_t date : {4, 58015, 72746, 82188, 2994626}) {
    for (int layout = 1; layout <= 18; ++layout) {
      if (layout >= 13 && layout <= 16) continue;  // month layouts drop the day
      const std::string picture = "@d" + std::to_string(layout);
      const Ymd ymd = YmdFromDate(date);
      const bool two_digit_year = picture == "@d1" || picture == "@d5" || picture == "@d7" ||
                                  picture == "@d9" || picture == "@d11";
      if (two_digit_year && (ymd.year < 1947 || ymd.year > 2046)) continue;
      SCOPED_TRACE(testing::Message() << date << " " << picture);
      EXPECT_EQ(Deformat(Format(std::to_string(date), picture), picture), std::to_string(date));
    }
  }
}

}  // namespace
}  // namespace platform
