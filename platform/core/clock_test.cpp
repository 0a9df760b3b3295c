#include "platform/core/clock.h"

#include <utility>

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Date, MatchesTheCalendar) {
  struct Case {
    Ymd ymd;
    int32_t date;
  };
  const Case kCases[] = {
      {{1800, 12, 29}, 1},        // the first date
      {{1801, 1, 1}, 4},          //
      {{1900, 2, 28}, 36221},     // 1900 is no leap year
      {{1900, 3, 1}, 36222},      //
      {{2000, 1, 1}, 72687},      //
      {{2000, 2, 29}, 72746},     // 2000 is one
      {{2000, 3, 1}, 72747},      //
      {{2024, 2, 29}, 81512},     //
      {{9999, 12, 31}, 2994626},  // the last date
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.ymd.year << "-" << c.ymd.month << "-" << c.ymd.day);
    EXPECT_EQ(DateFromYmd(c.ymd.year, c.ymd.month, c.ymd.day), c.date);
    EXPECT_EQ(YmdFromDate(c.date), c.ymd);
  }
}

TEST(Date, CarriesMonthsAndDays) {
  EXPECT_EQ(DateFromYmd(1999, 13, 1), DateFromYmd(2000, 1, 1));
  EXPECT_EQ(DateFromYmd(2000, 0, 1), DateFromYmd(1999, 12, 1));
  EXPECT_EQ(DateFromYmd(2000, -11, 1), DateFromYmd(1999, 1, 1));
  EXPECT_EQ(DateFromYmd(2000, 3, 0), DateFromYmd(2000, 2, 29));
  EXPECT_EQ(DateFromYmd(1900, 3, 0), DateFromYmd(1900, 2, 28));
  EXPECT_EQ(DateFromYmd(2000, 1, 32), DateFromYmd(2000, 2, 1));
}

TEST(Date, OutsideTheRangeIsNoDate) {
  EXPECT_EQ(DateFromYmd(1800, 12, 28), 0);
  EXPECT_EQ(DateFromYmd(10000, 1, 1), 0);
  EXPECT_EQ(DateFromYmd(59, 10, 31), 0);  // years are taken as written
  EXPECT_EQ(YmdFromDate(0), Ymd{});
  EXPECT_EQ(YmdFromDate(-5), Ymd{});
  EXPECT_EQ(YmdFromDate(2994627), Ymd{});
}

TEST(Time, CountsHundredthsFromOne) {
  EXPECT_EQ(TimeFromHms(0, 0, 0, 0), 1);
  EXPECT_EQ(TimeFromHms(23, 59, 59, 99), kLastTime);
  EXPECT_EQ(TimeFromHms(17, 30, 5, 25), 17 * 360000 + 30 * 6000 + 5 * 100 + 25 + 1);
  EXPECT_EQ(HmsFromTime(1), (Hms{0, 0, 0, 0}));
  EXPECT_EQ(HmsFromTime(kLastTime), (Hms{23, 59, 59, 99}));
  EXPECT_EQ(HmsFromTime(TimeFromHms(25, 1, 2, 3)), (Hms{25, 1, 2, 3}));  // not wrapped
  EXPECT_EQ(HmsFromTime(0), Hms{});
}

TEST(Now, ComesFromTheSettableSource) {
  NowSource previous = SetNowSource([] { return LocalNow{{2024, 2, 29}, {13, 5, 7, 42}}; });
  EXPECT_EQ(Today(), 81512);
  EXPECT_EQ(Clock(), TimeFromHms(13, 5, 7, 42));
  SetNowSource(std::move(previous));
}

TEST(Now, SystemClockGivesAValidDateAndTime) {
  NowSource previous = SetNowSource(nullptr);
  const int32_t today = Today();
  EXPECT_NE(YmdFromDate(today), Ymd{});
  EXPECT_GE(YmdFromDate(today).year, 2020);
  const int32_t clock = Clock();
  EXPECT_GE(clock, 1);
  EXPECT_LE(clock, kLastTime);
  SetNowSource(std::move(previous));
}

TEST(Monotonic, ComesFromTheSettableSourceAndElseNeverGoesBack) {
  int64_t fake = 86'400'000 * 3;  // three days: past any time of day
  MonotonicSource previous = SetMonotonicSource([&fake] { return fake; });
  EXPECT_EQ(MonotonicMs(), 86'400'000 * 3);
  fake += 1;
  EXPECT_EQ(MonotonicMs(), 86'400'000 * 3 + 1);
  SetMonotonicSource(nullptr);
  int64_t last = MonotonicMs();
  for (int i = 0; i < 1000; ++i) {
    const int64_t now = MonotonicMs();
    EXPECT_GE(now, last);
    last = now;
  }
  SetMonotonicSource(std::move(previous));
}

}  // namespace
}  // namespace platform
