// Local time in a named Windows time zone (its key under the registry's Time Zones list,
// e.g. L"W. Europe Standard Time"); nullptr is the computer's current zone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "platform/local_time.h"

namespace platform {

std::optional<LocalTime> ToLocalTimeInZone(const wchar_t* zoneKey, int64_t secondsUtc);
std::optional<int64_t> FromLocalTimeInZone(const wchar_t* zoneKey, const LocalTime& local);

// The calendar fields of a SYSTEMTIME and back (milliseconds left out).
inline LocalTime FromSystemTime(const SYSTEMTIME& t) {
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wDayOfWeek};
}
inline SYSTEMTIME ToSystemTime(const LocalTime& t) {
  SYSTEMTIME s{};
  s.wYear = static_cast<WORD>(t.year);
  s.wMonth = static_cast<WORD>(t.month);
  s.wDay = static_cast<WORD>(t.day);
  s.wHour = static_cast<WORD>(t.hour);
  s.wMinute = static_cast<WORD>(t.minute);
  s.wSecond = static_cast<WORD>(t.second);
  return s;
}

}  // namespace platform
