// Local time with the time zone's rules for the year of the date being converted, so a
// date in another year (or before a rule change) converts as the clock showed it then.
#include "platform/local_time.h"

#include <windows.h>

#include <cwchar>
#include <iterator>

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

bool UtcToLocal(const wchar_t* zoneKey, const SYSTEMTIME& utc, int year, SYSTEMTIME& local) {
  TIME_ZONE_INFORMATION tzi{};
  return ZoneForYear(zoneKey, year, tzi) && SystemTimeToTzSpecificLocalTime(&tzi, &utc, &local);
}

}  // namespace

std::optional<LocalTime> ToLocalTime(int64_t secondsUtc) {
  return ToLocalTimeInZone(nullptr, secondsUtc);
}

std::optional<int64_t> FromLocalTime(const LocalTime& local) {
  return FromLocalTimeInZone(nullptr, local);
}

std::optional<LocalTime> ToLocalTimeInZone(const wchar_t* zoneKey, int64_t secondsUtc) {
  if (secondsUtc < -kEpochDifference) return std::nullopt;
  uint64_t ticks = static_cast<uint64_t>(secondsUtc + kEpochDifference) * kTicksPerSecond;
  FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{}, local{};
  if (!FileTimeToSystemTime(&ft, &utc) || !UtcToLocal(zoneKey, utc, utc.wYear, local))
    return std::nullopt;
  // Around New Year the local date may lie in the other year: use that year's rules.
  if (local.wYear != utc.wYear && !UtcToLocal(zoneKey, utc, local.wYear, local))
    return std::nullopt;
  return FromSystemTime(local);
}

std::optional<int64_t> FromLocalTimeInZone(const wchar_t* zoneKey, const LocalTime& t) {
  if (!HasValidFields(t)) return std::nullopt;
  SYSTEMTIME local = ToSystemTime(t);
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
