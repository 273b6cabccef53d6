// When a schedule may start, for the launcher's polls: the day rule of the clock modes
// and the start-up rule, compared in local time.
#pragma once

#include <cstdint>

#include "config/schedule_record.h"
#include "platform/local_time.h"
#include "platform/registry.h"

// Whether a daily, weekly or monthly schedule may start on this local date: every day, on
// a weekday marked in Days, on day Date of the month. False for the other modes.
bool MatchesScheduleDay(const ScheduleEntry& schedule, const platform::LocalTime& date);

// The rule for mode 4 alone: due during the start-up pass, unless Once is set and the
// pass already ran today (startedUpToday, from StartedUpOn).
bool IsStartUpDue(const ScheduleEntry& schedule, bool startupPass, bool startedUpToday);

// True when "LastStartUp" lies on the local date of today; unreadable counts as not. zone
// converts it (the one that gave today spares a second look at the rules).
bool StartedUpOn(platform::Registry& registry, const platform::LocalTime& today,
                 platform::BatchLocalTime& zone);

// Stores now as "LastStartUp" if the program key exists (creating nothing).
bool WriteLastStartUp(platform::Registry& registry, int64_t now);
