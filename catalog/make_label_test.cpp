#include "catalog/make_label.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace catalog {
namespace {

TEST(MakeLabel, ReplacesTheSevenCharactersAndLineBreaksAndNothingElse) {
  struct Case {
    std::string_view name;
    std::string_view label;
  };
  // A label is one word of one line, so line breaks become underscores too.
  const Case kCases[] = {
      {"order-lines", "order_lines"},
      {"O'Brien$", "O_Brien_"},
      {"a b,c\\d/e", "a_b_c_d_e"},
      {"Order Details   ", "Order_Details"},  // clipped first
      {"  lead", "__lead"},                   // leading blanks are replaced, not dropped
      {"x.y#z{1}<2>", "x.y#z{1}<2>"},
      {"Grüße-Tabelle", "Grüße_Tabelle"},
      {"line\nbreak", "line_break"},
      {"cr\r\nlf\r", "cr__lf_"},
      {"", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MakeLabel(c.name), c.label);
    EXPECT_EQ(MakeLabel(MakeLabel(c.name)), c.label);
  }
}

TEST(MakeLabel, TakesAtMost4999Bytes) {
  EXPECT_EQ(MakeLabel(std::string(5000, 'a')).size(), 4999u);
  EXPECT_EQ(MakeLabel(std::string(4999, 'a')).size(), 4999u);
  // A two-byte character across the cut is left out whole.
  EXPECT_EQ(MakeLabel(std::string(4998, 'a') + "é"), std::string(4998, 'a'));
}

TEST(ColumnLabel, OracleRulesCutUpperCaseAndSetApartReservedWords) {
  struct Case {
    std::string_view name;
    bool oracle;
    std::string_view label;
  };
  const Case kCases[] = {
      {"Order Date", false, "Order_Date"},
      {"date", false, "date"},
      {"Order Date", true, "ORDER_DATE"},
      {"date", true, "DATE_"},
      {"DATE", true, "DATE_"},
      {"Time", true, "TIME_"},
      {"order", true, "ORDER_"},
      {"user", true, "USER_"},
      {"group", true, "GROUP_"},
      {"comment", true, "COMMENT_"},
      {"dates", true, "DATES"},
      {"a_column_name_of_forty_characters_long_x", true, "A_COLUMN_NAME_OF_FORTY_CHARACT"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ColumnLabel(c.name, c.oracle), c.label);
  }
}

TEST(TableLabel, OracleLabelIsThirtyUpperCaseBytes) {
  const std::string forty = "Customer Orders Of The Northern Region 1";
  ASSERT_EQ(forty.size(), 40u);
  EXPECT_EQ(TableLabel(forty, false), "Customer_Orders_Of_The_Northern_Region_1");
  EXPECT_EQ(TableLabel(forty, true), "CUSTOMER_ORDERS_OF_THE_NORTHER");
}

TEST(QuoteTxd, DoublesApostrophesBracesAndAngles) {
  struct Case {
    std::string_view text;
    std::string_view quoted;
  };
  const Case kCases[] = {
      {"O'Brien", "O''Brien"},
      {"DRIVER={SQLite3};DATABASE=x", "DRIVER={{SQLite3};DATABASE=x"},
      {"a<1>b", "a<<1>b"},
      {"''", "''''"},
      {"plain } and >", "plain } and >"},
      {"", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(QuoteTxd(c.text), c.quoted);
  }
}

TEST(IsOracleDriver, OnlyTheExactUpperCaseWord) {
  EXPECT_TRUE(IsOracleDriver("ORACLE"));
  EXPECT_TRUE(IsOracleDriver("ORACLE  "));
  EXPECT_FALSE(IsOracleDriver("Oracle"));
  EXPECT_FALSE(IsOracleDriver(" ORACLE"));
  EXPECT_FALSE(IsOracleDriver("ODBC"));
}

}  // namespace
}  // namespace catalog
