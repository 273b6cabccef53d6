#include "platform/local_time.h"

#include <ctime>

namespace platform {

std::optional<LocalTime> ToLocalTime(int64_t secondsUtc) {
  std::time_t t = static_cast<std::time_t>(secondsUtc);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return std::nullopt;
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

std::optional<int64_t> FromLocalTime(const LocalTime& local) {
  if (!HasValidFields(local)) return std::nullopt;
  std::tm tm{};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_isdst = -1;  // let the zone's rules for that date decide
  tm.tm_wday = -1;   // stays -1 only when mktime fails (-1 is also a valid time)
  std::time_t t = std::mktime(&tm);
  if (tm.tm_wday == -1) return std::nullopt;
  return static_cast<int64_t>(t);
}

// The C library keeps the zone's rules itself.
struct BatchLocalTime::Years {};
BatchLocalTime::BatchLocalTime() = default;
BatchLocalTime::~BatchLocalTime() = default;
BatchLocalTime::BatchLocalTime(BatchLocalTime&&) noexcept = default;
BatchLocalTime& BatchLocalTime::operator=(BatchLocalTime&&) noexcept = default;
std::optional<LocalTime> BatchLocalTime::ToLocal(int64_t secondsUtc) {
  return ToLocalTime(secondsUtc);
}

}  // namespace platform
