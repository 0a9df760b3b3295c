#include "platform/core/number.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(ParseNumber, ReadsOnlyWholeNumbers) {
  struct Case {
    std::string_view text;
    std::optional<double> value;
  };
  const Case kCases[] = {
      {"12", 12},  {" 12 ", 12}, {"-3.5", -3.5}, {"+7", 7},     {".5", 0.5},
      {"5.", 5},   {"", {}},     {"  ", {}},     {"abc", {}},   {"12abc", {}},
      {"1e5", {}}, {"-", {}},    {".", {}},      {"1.2.3", {}}, {"0x10", {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseNumber(c.text), c.value);
  }
  EXPECT_EQ(TextToNumber("abc"), 0);
}

TEST(NumberToText, WritesAsTheRuntimeDoes) {
  struct Case {
    double value;
    std::string_view text;
  };
  const Case kCases[] = {
      {0, "0"},
      {-0.0, "0"},
      {42, "42"},
      {-42, "-42"},
      {0.5, "0.5"},
      {1.25, "1.25"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {123456789012.5, "123456789012.5"},
      {1e14, "100000000000000"},
      {0.1 + 0.2, "0.3"},
      {-2.5, "-2.5"},
      // Past 15 digits only the first 15 are significant; the rest of the number is zeros.
      {1e15, "1000000000000000"},
      {1e25, "10000000000000000000000000"},
      {9223372036854775808.0, "9223372036854780000"},
      {-1234567890123456789.0, "-1234567890123460000"},
      {9999999999999999.0, "10000000000000000"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(NumberToText(c.value), c.text);
  }
}

}  // namespace
}  // namespace platform
