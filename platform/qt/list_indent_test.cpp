#include "platform/qt/list_indent.h"

#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace platform::qt {
namespace {

TEST(ListIndent, EachColumnTakesTheIndentAfterItsWidth) {
  struct Case {
    std::string_view format;
    std::vector<int32_t> indents;
  };
  const Case kCases[] = {
      {"", {}},
      {"80L", {0}},
      {"80L(2)|M~Owner~@s40@", {2}},
      {"60L(2)|M~Owner~@s40@80L(12)|M~Table~@s60@40R(2)~Rows~@n9@0L~Id~@n5@", {2, 12, 2, 0}},
      {"1020L(2)@s255@?", {2}},
      // Digits inside headers, pictures and field numbers start no column.
      {"40L(1)~Col 2~@n10.2@#3#30R", {1, 0}},
      {"[50L(3)40C]", {3, 0}},
      {"20L(4", {4}},  // an unclosed indent still counts
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(ColumnIndents(c.format), c.indents);
  }
}

}  // namespace
}  // namespace platform::qt
