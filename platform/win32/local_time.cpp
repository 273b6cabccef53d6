// Local time with the time zone's rules for the year of the date being converted, so a
// date in another year (or before a rule change) converts as the clock showed it then.
#include "platform/local_time.h"

#include <windows.h>

#include <cwchar>
#include <functional>
#include <iterator>
#include <map>

#include "platform/win32/local_time_zone.h"

namespace platform {
namespace {

constexpr int64_t kEpochDifference = 11644473600;  // seconds from 1601 to 1970
constexpr int64_t kTicksPerSecond = 10000000;

bool ZoneForYear(const wchar_t* zoneKey, int year, TIME_ZONE_INFORMATION& tzi) {
  DYNAMIC_TIME_ZONE_INFORMATION named{};
  if (zoneKey) {
    if (wcslen(zoneKey) >= std::size(named.TimeZoneKeyName)) return false;
    wcscpy(named.TimeZoneKeyName, zoneKey);
  }
  return GetTimeZoneInformationForYear(static_cast<USHORT>(year), zoneKey ? &named : nullptr,
                                       &tzi) != FALSE;
}

using ZoneFor = std::function<const TIME_ZONE_INFORMATION*(int year)>;

bool UtcToLocal(const ZoneFor& zoneFor, const SYSTEMTIME& utc, int year, SYSTEMTIME& local) {
  const TIME_ZONE_INFORMATION* tzi = zoneFor(year);
  return tzi != nullptr && SystemTimeToTzSpecificLocalTime(tzi, &utc, &local);
}

std::optional<LocalTime> ToLocalWith(const ZoneFor& zoneFor, int64_t secondsUtc) {
  if (secondsUtc < -kEpochDifference) return std::nullopt;
  uint64_t ticks = static_cast<uint64_t>(secondsUtc + kEpochDifference) * kTicksPerSecond;
  FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{}, local{};
  if (!FileTimeToSystemTime(&ft, &utc) || !UtcToLocal(zoneFor, utc, utc.wYear, local))
    return std::nullopt;
  // Around New Year the local date may lie in the other year: use that year's rules.
  if (local.wYear != utc.wYear && !UtcToLocal(zoneFor, utc, local.wYear, local))
    return std::nullopt;
  return LocalTime{local.wYear,   local.wMonth,  local.wDay,      local.wHour,
                   local.wMinute, local.wSecond, local.wDayOfWeek};
}

}  // namespace

struct BatchLocalTime::Years {
  std::map<int, std::optional<TIME_ZONE_INFORMATION>> rules;
};

BatchLocalTime::BatchLocalTime() : years_(std::make_unique<Years>()) {}
BatchLocalTime::~BatchLocalTime() = default;
BatchLocalTime::BatchLocalTime(BatchLocalTime&&) noexcept = default;
BatchLocalTime& BatchLocalTime::operator=(BatchLocalTime&&) noexcept = default;

std::optional<LocalTime> BatchLocalTime::ToLocal(int64_t secondsUtc) {
  if (!years_) years_ = std::make_unique<Years>();
  return ToLocalWith(
      [this](int year) -> const TIME_ZONE_INFORMATION* {
        auto it = years_->rules.find(year);
        if (it == years_->rules.end()) {
          TIME_ZONE_INFORMATION tzi{};
          it = years_->rules.emplace(year, std::nullopt).first;
          if (ZoneForYear(nullptr, year, tzi)) it->second = tzi;
        }
        return it->second ? &*it->second : nullptr;
      },
      secondsUtc);
}

std::optional<LocalTime> ToLocalTime(int64_t secondsUtc) {
  return ToLocalTimeInZone(nullptr, secondsUtc);
}

std::optional<int64_t> FromLocalTime(const LocalTime& local) {
  return FromLocalTimeInZone(nullptr, local);
}

std::optional<LocalTime> ToLocalTimeInZone(const wchar_t* zoneKey, int64_t secondsUtc) {
  TIME_ZONE_INFORMATION tzi{};
  return ToLocalWith(
      [&](int year) { return ZoneForYear(zoneKey, year, tzi) ? &tzi : nullptr; }, secondsUtc);
}

std::optional<int64_t> FromLocalTimeInZone(const wchar_t* zoneKey, const LocalTime& t) {
  if (!HasValidFields(t)) return std::nullopt;
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(t.year);
  local.wMonth = static_cast<WORD>(t.month);
  local.wDay = static_cast<WORD>(t.day);
  local.wHour = static_cast<WORD>(t.hour);
  local.wMinute = static_cast<WORD>(t.minute);
  local.wSecond = static_cast<WORD>(t.second);
  TIME_ZONE_INFORMATION tzi{};
  SYSTEMTIME utc{};
  FILETIME ft{};
  if (!ZoneForYear(zoneKey, t.year, tzi) || !TzSpecificLocalTimeToSystemTime(&tzi, &local, &utc) ||
      !SystemTimeToFileTime(&utc, &ft))
    return std::nullopt;
  uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<int64_t>(ticks / kTicksPerSecond) - kEpochDifference;
}

}  // namespace platform
