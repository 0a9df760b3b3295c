#include "platform/core/record.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

struct Sample {
  FixedString<10> NAME;
  CString<6> CODE;
  uint8_t FLAG = 0;
  int16_t SMALL = 0;
  int32_t COUNT = 0;
  double RATIO = 0;
  Decimal AMOUNT;
  static const RecordLayout& Layout() {
    static const RecordLayout layout =
        MakeLayout<Sample>("SMP", Field<&Sample::NAME>("NAME"), Field<&Sample::CODE>("CODE"),
                           Field<&Sample::FLAG>("FLAG"), Field<&Sample::SMALL>("SMALL"),
                           Field<&Sample::COUNT>("COUNT"), Field<&Sample::RATIO>("RATIO"),
                           DecimalField<&Sample::AMOUNT>("AMOUNT", 9, 2));
    return layout;
  }
};

TEST(RecordLayout, FieldTableFollowsTheStruct) {
  const RecordLayout& l = Sample::Layout();
  ASSERT_EQ(l.FieldCount(), 7u);
  EXPECT_EQ(l.field(1).type, FieldType::kString);
  EXPECT_EQ(l.field(1).size, 10u);
  EXPECT_EQ(l.field(2).type, FieldType::kCString);
  EXPECT_EQ(l.field(2).size, 6u);
  EXPECT_EQ(l.field(5).type, FieldType::kLong);
  EXPECT_EQ(l.Who(5), "SMP:COUNT");
  EXPECT_EQ(l.Who(8), "");
  EXPECT_EQ(l.Find("count"), 5u);
  EXPECT_EQ(l.Find("SMP:Ratio"), 6u);
  EXPECT_EQ(l.Find("NOPE"), 0u);
  Sample s;
  EXPECT_EQ(l.FindAddress(&s, &s.CODE), 2u);
  EXPECT_EQ(l.FindAddress(&s, &s.AMOUNT), 7u);
}

TEST(RecordLayout, AssignmentFollowsTheFieldType) {
  const RecordLayout& l = Sample::Layout();
  Sample s;
  struct Case {
    size_t field;
    std::string_view in;
    std::string_view out;
  };
  const Case kCases[] = {
      {1, "Customers and more", "Customers"},  // cut to 10, trailing blank dropped
      {2, "ABCDEFG", "ABCDE"},                 // CSTRING(6) holds five
      {3, "300", "44"},                        // BYTE wraps
      {3, "12.9", "12"},                       // fraction truncated
      {4, "-5", "-5"},
      {5, "abc", "0"},                    // not a number
      {5, "99999999999999999999", "-1"},  // past int64_t: its largest value, then wrapped
      {5, "-99999999999999999999", "0"},  // below: its smallest value, then wrapped
      {5, "9223372036854775808", "-1"},   // 2^63, the first double past int64_t
      {5, " 17 ", "17"},
      {6, "0.25", "0.25"},
      {7, "3.14159", "3.14"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.in);
    SetFieldText(l.field(c.field), &s, c.in);
    EXPECT_EQ(GetFieldText(l.field(c.field), &s), c.out);
  }
  EXPECT_EQ(s.NAME.str(), "Customers");
  EXPECT_EQ(s.COUNT, 17);
  SetFieldNumber(l.field(1), &s, 2.5);
  EXPECT_EQ(s.NAME.str(), "2.5");
}

TEST(RecordLayout, ClearBlanksTextsAndZeroesNumbers) {
  Sample s;
  s.NAME = "x";
  s.CODE = "y";
  s.FLAG = 1;
  s.COUNT = 9;
  s.RATIO = 1.5;
  s.AMOUNT.value = 2;
  ClearRecord(Sample::Layout(), &s);
  EXPECT_TRUE(s.NAME.empty());
  EXPECT_TRUE(s.CODE.empty());
  EXPECT_EQ(s.FLAG, 0);
  EXPECT_EQ(s.COUNT, 0);
  EXPECT_EQ(s.RATIO, 0);
  EXPECT_EQ(s.AMOUNT.value, 0);
}

TEST(RecordLayout, CompareFieldUsesTextOrNumberOrder) {
  const RecordLayout& l = Sample::Layout();
  Sample a, b;
  a.NAME = "10";
  b.NAME = "9";
  a.COUNT = 10;
  b.COUNT = 9;
  EXPECT_LT(CompareField(l.field(1), &a, &b), 0);  // texts: "10" before "9"
  EXPECT_GT(CompareField(l.field(5), &a, &b), 0);  // numbers: 10 after 9
  b.NAME = "10  ";
  EXPECT_EQ(CompareField(l.field(1), &a, &b), 0);
}

}  // namespace
}  // namespace platform
