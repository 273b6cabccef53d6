// Local time in a named Windows time zone (its key under the registry's Time Zones list,
// e.g. L"W. Europe Standard Time"); nullptr is the computer's current zone.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/local_time.h"

namespace platform {

std::optional<LocalTime> ToLocalTimeInZone(const wchar_t* zoneKey, int64_t secondsUtc);
std::optional<int64_t> FromLocalTimeInZone(const wchar_t* zoneKey, const LocalTime& local);

}  // namespace platform
