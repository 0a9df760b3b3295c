#include "platform/core/packed_record.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/core/fixed_string.h"

namespace platform {
namespace {

struct Mixed {
  CString<300> LONG;
  uint8_t BYTE = 0;
  int16_t SHORT = 0;
  uint16_t USHORT = 0;
  int32_t LONGNUM = 0;
  uint32_t ULONG = 0;
  double REAL = 0;
  Decimal DEC;
  FixedString<10> NAME;
  static const RecordLayout& Layout() {
    static const RecordLayout layout =
        MakeLayout<Mixed>("MIX", Field<&Mixed::LONG>("LONG"), Field<&Mixed::BYTE>("BYTE"),
                          Field<&Mixed::SHORT>("SHORT"), Field<&Mixed::USHORT>("USHORT"),
                          Field<&Mixed::LONGNUM>("LONGNUM"), Field<&Mixed::ULONG>("ULONG"),
                          Field<&Mixed::REAL>("REAL"), DecimalField<&Mixed::DEC>("DEC", 7, 2),
                          Field<&Mixed::NAME>("NAME"));
    return layout;
  }
};

Mixed Sample(std::string_view text) {
  Mixed m;
  m.LONG = text;
  m.BYTE = 255;
  m.SHORT = -32768;
  m.USHORT = 65535;
  m.LONGNUM = -2147483647;
  m.ULONG = 4294967295u;
  m.REAL = -0.125;
  m.DEC.value = 12345.67;
  m.NAME = "tail";
  return m;
}

TEST(PackedRecord, EveryFieldRoundTripsWhateverTheTextLength) {
  // One length byte holds 0..127; 128 is the first length of two bytes, 299 the field's most.
  for (size_t length : {0u, 1u, 127u, 128u, 255u, 256u, 299u}) {
    SCOPED_TRACE(length);
    const std::string text(length, 'x');
    const Mixed m = Sample(text);
    const PackedRecord p = PackedRecord::Pack(Mixed::Layout(), &m);
    Mixed back;
    p.Unpack(Mixed::Layout(), &back);
    EXPECT_EQ(back.LONG.str(), text);
    EXPECT_EQ(back.BYTE, 255);
    EXPECT_EQ(back.SHORT, -32768);
    EXPECT_EQ(back.USHORT, 65535);
    EXPECT_EQ(back.LONGNUM, -2147483647);
    EXPECT_EQ(back.ULONG, 4294967295u);
    EXPECT_EQ(back.REAL, -0.125);
    EXPECT_EQ(back.DEC.value, 12345.67);
    EXPECT_EQ(back.NAME.str(), "tail");
    // A field behind the long text is found where it was packed.
    EXPECT_EQ(p.Text(Mixed::Layout(), 9), "tail");
  }
}

TEST(PackedRecord, FieldsReadAsTheRecordsFieldTableReadsThem) {
  const Mixed m = Sample("12.5");
  const PackedRecord p = PackedRecord::Pack(Mixed::Layout(), &m);
  const RecordLayout& layout = Mixed::Layout();
  for (size_t n = 1; n <= layout.FieldCount(); ++n) {
    SCOPED_TRACE(layout.field(n).name);
    EXPECT_EQ(p.Text(layout, n), GetFieldText(layout.field(n), &m));
    EXPECT_EQ(p.Number(layout, n), GetFieldNumber(layout.field(n), &m));
  }
}

TEST(PackedRecord, ComparesFieldsAsCompareFieldDoes) {
  struct Case {
    std::string_view a, b;
    int32_t x, y;
  };
  // Trailing blanks do not count; numbers compare by value, not as text.
  constexpr Case kCases[] = {{"abc", "abc  ", 9, 10}, {"ab", "abc", -1, -2}, {"b", "a", 5, 5}};
  const RecordLayout& layout = Mixed::Layout();
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.a) + "|" + std::string(c.b));
    Mixed a = Sample(c.a), b = Sample(c.b);
    a.LONGNUM = c.x;
    b.LONGNUM = c.y;
    const PackedRecord pa = PackedRecord::Pack(layout, &a);
    const PackedRecord pb = PackedRecord::Pack(layout, &b);
    for (size_t n : {1u, 5u}) {
      EXPECT_EQ(PackedRecord::CompareField(layout, n, pa, pb),
                CompareField(layout.field(n), &a, &b));
      EXPECT_EQ(PackedRecord::CompareField(layout, n, pb, pa),
                CompareField(layout.field(n), &b, &a));
    }
  }
}

}  // namespace
}  // namespace platform
