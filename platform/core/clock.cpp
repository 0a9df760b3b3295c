#include "platform/core/clock.h"

#include <chrono>
#include <ctime>
#include <mutex>
#include <utility>

namespace platform {
namespace {

// Days from 1 March of year 0 (proleptic Gregorian), the usual civil-calendar reckoning:
// counting from March puts the leap day at the end of the counted year.
constexpr int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

Ymd CivilFromDays(int64_t z) {
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2);
  return Ymd{static_cast<int32_t>(y), static_cast<int32_t>(m), static_cast<int32_t>(d)};
}

constexpr int64_t kDayZero = DaysFromCivil(1800, 12, 28);

std::mutex& SourceMutex() {
  static std::mutex mutex;
  return mutex;
}

NowSource& Source() {
  static NowSource source;
  return source;
}

MonotonicSource& Monotonic() {
  static MonotonicSource source;
  return source;
}

LocalNow SystemNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto since_second = now - std::chrono::time_point_cast<std::chrono::seconds>(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  LocalNow out;
  out.date = Ymd{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  // A leap second (tm_sec 60) is shown as the last second of its minute.
  out.time =
      Hms{local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
          static_cast<int32_t>(
              std::chrono::duration_cast<std::chrono::milliseconds>(since_second).count() / 10)};
  return out;
}

LocalNow Now() {
  NowSource source;
  {
    std::lock_guard<std::mutex> lock(SourceMutex());
    source = Source();
  }
  // Called outside the lock, so a source may itself read the clock functions.
  return source ? source() : SystemNow();
}

}  // namespace

int32_t DateFromYmd(int32_t year, int32_t month, int32_t day) {
  // Carry the month into the year first, then count the day from the first of that month.
  int64_t m0 = static_cast<int64_t>(month) - 1;
  int64_t y = static_cast<int64_t>(year) + (m0 >= 0 ? m0 / 12 : (m0 - 11) / 12);
  m0 -= (y - year) * 12;
  const int64_t date = DaysFromCivil(y, m0 + 1, 1) + (static_cast<int64_t>(day) - 1) - kDayZero;
  if (date < 1 || date > kLastDate) return 0;
  return static_cast<int32_t>(date);
}

Ymd YmdFromDate(int32_t date) {
  if (date < 1 || date > kLastDate) return Ymd{};
  return CivilFromDays(kDayZero + date);
}

int32_t TimeFromHms(int32_t hour, int32_t minute, int32_t second, int32_t hundredths) {
  const int64_t time = int64_t{hour} * kTimePerHour + int64_t{minute} * 6000 +
                       int64_t{second} * 100 + hundredths + 1;
  return static_cast<int32_t>(time);
}

Hms HmsFromTime(int32_t time) {
  if (time < 1) return Hms{};
  const int32_t t = time - 1;
  return Hms{t / kTimePerHour, t / 6000 % 60, t / 100 % 60, t % 100};
}

NowSource SetNowSource(NowSource source) {
  std::lock_guard<std::mutex> lock(SourceMutex());
  return std::exchange(Source(), std::move(source));
}

int32_t Today() {
  const Ymd d = Now().date;
  return DateFromYmd(d.year, d.month, d.day);
}

int32_t Clock() {
  const Hms t = Now().time;
  return TimeFromHms(t.hour, t.minute, t.second, t.hundredths);
}

MonotonicSource SetMonotonicSource(MonotonicSource source) {
  std::lock_guard<std::mutex> lock(SourceMutex());
  return std::exchange(Monotonic(), std::move(source));
}

int64_t MonotonicMs() {
  MonotonicSource source;
  {
    std::lock_guard<std::mutex> lock(SourceMutex());
    source = Monotonic();
  }
  if (source) return source();
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace platform
