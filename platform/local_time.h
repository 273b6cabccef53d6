// Seconds since 1970-01-01 00:00 UTC <-> the local calendar of this computer, with the
// daylight-saving rules in force on the date converted (Windows: the time zone's rules
// for that year; elsewhere: the C library's, so tests can set TZ).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

struct LocalTime {
  int year = 1970;
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int hour = 0;     // 0..23
  int minute = 0;   // 0..59
  int second = 0;   // 0..59
  int weekday = 4;  // 0 Sunday .. 6 Saturday; ignored by FromLocalTime

  bool SameDay(const LocalTime& o) const {
    return year == o.year && month == o.month && day == o.day;
  }
  bool operator==(const LocalTime&) const = default;
};

inline bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

inline int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// True when every field but weekday lies in its range (1601..30827 for the year).
inline bool HasValidFields(const LocalTime& t) {
  return t.year >= 1601 && t.year <= 30827 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
         t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

// The local calendar fields of an instant; nullopt when the platform cannot convert it.
std::optional<LocalTime> ToLocalTime(int64_t secondsUtc);

// The instant at which the local clock shows these fields. A time that occurs twice (when
// the clock is turned back) or never (when it is turned forward) gives one nearby instant,
// as the platform chooses. nullopt for invalid fields.
std::optional<int64_t> FromLocalTime(const LocalTime& local);

// Converts many instants in a row: the zone's rules of each year are looked up once
// (the lookup is slow on some systems). Rules the system changes later are not seen:
// keep one no longer than the results it feeds.
class BatchLocalTime {
 public:
  BatchLocalTime();
  ~BatchLocalTime();
  BatchLocalTime(BatchLocalTime&&) noexcept;
  BatchLocalTime& operator=(BatchLocalTime&&) noexcept;

  // As ToLocalTime.
  std::optional<LocalTime> ToLocal(int64_t secondsUtc);

 private:
  struct Years;
  std::unique_ptr<Years> years_;
};

}  // namespace platform
