#include "assistant/leading_integer.h"

#include <cstdint>
#include <string_view>

#include <gtest/gtest.h>

namespace assistant {
namespace {

TEST(LeadingInteger, ReadsTheLeadingDecimalInteger) {
  struct Case {
    std::string_view text;
    int64_t value;
  };
  constexpr Case kCases[] = {
      {"", 0},      {"abc", 0},   {"25", 25},    {"  300", 300},
      {"12.7", 12}, {"-3px", -3}, {"+4", 4},     {"-", 0},
      {"1 2", 1},   {".5", 0},    {"0413", 413}, {"99999999999999999999", INT64_MAX},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LeadingInteger(c.text), c.value);
  }
}

}  // namespace
}  // namespace assistant
