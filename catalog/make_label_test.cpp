#include "catalog/make_label.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace catalog {
namespace {

TEST(MakeLabel, EveryCharacterALabelCannotHoldBecomesAnUnderscore) {
  struct Case {
    std::string_view name;
    std::string_view label;
  };
  // A label holds ASCII letters, digits and underscores, and starts with no digit.
  const Case kCases[] = {
      {"order-lines", "order_lines"},
      {"O'Brien$", "O_Brien_"},
      {"a b,c\\d/e", "a_b_c_d_e"},
      {"Order Details   ", "Order_Details"},  // clipped first
      {"  lead", "__lead"},                   // leading blanks are replaced, not dropped
      {"x.y#z{1}<2>%", "x_y_z_1__2__"},
      {"a:b", "a_b"},
      {"Grüße-Tabelle", "Gr__e_Tabelle"},  // one underscore per character, not per byte
      {"\xF0\x9F\x98\x80"
       "abc",
       "_abc"},  // a leading emoji
      {"bad\xFF\xC3"
       "byte",
       "bad__byte"},  // bytes of no UTF-8 character, one each
      {"1ta", "_1ta"},
      {"2024", "_2024"},
      {"_1", "_1"},
      {"line\nbreak", "line_break"},
      {"cr\r\nlf\r", "cr__lf_"},
      {"tab\there", "tab_here"},
      {"", ""},
      {"   ", ""},
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
      {"line\r\nbreak", "line<13><10>break"},
      {"tab\tdel\x7F", "tab<9>del<127>"},
      {"Grüße", "Grüße"},
      {"bad\xFF"
       "byte\xC3",
       "bad<255>byte<195>"},
      {"\xE0\x80\x80", "<224><128><128>"},  // an overlong form is no character
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
