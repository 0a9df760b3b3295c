// The runtime's date and time numbers, the source of "now", and a monotonic clock.
//   A date is the number of days elapsed since 28 December 1800: 4 is 1 January 1801, the
//   last date is 2994626 (31 December 9999). 0 means "no date".
//   A time is hundredths of a second since midnight plus 1: 1 is midnight, 8640000 is
//   23:59:59.99. 0 means "no time".
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

inline constexpr int32_t kLastDate = 2994626;    // 31 December 9999
inline constexpr int32_t kLastTime = 8640000;    // 23:59:59.99
inline constexpr int32_t kTimePerHour = 360000;  // hundredths

struct Ymd {
  int32_t year = 0;  // 0 for "no date"
  int32_t month = 0;
  int32_t day = 0;
  friend bool operator==(const Ymd&, const Ymd&) = default;
};

struct Hms {
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  int32_t hundredths = 0;
  friend bool operator==(const Hms&, const Hms&) = default;
};

// The date of `year`, `month`, `day`. Months and days outside their range carry over, as
// date arithmetic expects: month 13 is January of the next year, day 0 the last day of the
// month before, day 32 of January is 1 February. 0 when the result lies outside
// 1..kLastDate (years are taken as written: 59 is the year 59, not 1959).
int32_t DateFromYmd(int32_t year, int32_t month, int32_t day);

// The calendar day of `date`; all zero when `date` is outside 1..kLastDate.
Ymd YmdFromDate(int32_t date);

// The time of `hour`:`minute`:`second`.`hundredths` (hour*360000 + ... + 1). Values outside
// their range are added as they are (an hour of 25 gives a time past midnight).
int32_t TimeFromHms(int32_t hour, int32_t minute, int32_t second, int32_t hundredths = 0);

// The parts of `time`; all zero for a time below 1. Hours are not wrapped at 24, so a
// duration past midnight keeps its hours.
Hms HmsFromTime(int32_t time);

// The local date and time as the clock source reports them.
struct LocalNow {
  Ymd date;
  Hms time;
};

// Where "now" comes from. An empty function means the system's local time.
using NowSource = std::function<LocalNow()>;

// Replaces the source of "now" for every thread and answers the one it replaces, so a test
// can put it back. Any thread.
NowSource SetNowSource(NowSource source);

// TODAY: the current local date. Any thread.
int32_t Today();

// CLOCK: the current local time of day (1..kLastTime). Any thread.
int32_t Clock();

// Where the monotonic clock comes from: milliseconds that never go back. An empty function
// means the system's steady clock.
using MonotonicSource = std::function<int64_t()>;

// Replaces the source of the monotonic clock for every thread and answers the one it
// replaces, so a test can put it back. Any thread.
MonotonicSource SetMonotonicSource(MonotonicSource source);

// Milliseconds of a clock that never wraps and never goes back, for durations and bounded
// waits (CLOCK wraps at midnight). Only differences between two readings mean anything.
// Any thread.
int64_t MonotonicMs();

}  // namespace platform
