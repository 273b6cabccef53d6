// When a clock schedule (daily, weekly, monthly) occurs, seen from the launcher's polls:
// the memory of what was started today, the start time that a spring-forward change
// skips, and the next start for the tray tip. Times are compared in local time.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "config/schedule_record.h"
#include "platform/local_time.h"

namespace launcher {

// Daily, weekly and monthly: the schedule starts at its local hour and minute on matching days.
bool IsClockSchedule(const ScheduleRecord& schedule);

// What the launcher started, per file and schedule section, by local date. A clock
// schedule starts at most once per local calendar day, so a run that ends within its
// minute, or the repeated hour of an autumn clock change, does not start it again.
class StartMemory {
 public:
  bool StartedOn(const std::string& path, const std::string& schedule,
                 const platform::LocalTime& date) const;
  void Remember(const std::string& path, const std::string& schedule,
                const platform::LocalTime& date);
  // Drops everything started before date.
  void ForgetBefore(const platform::LocalTime& date);
  size_t Size() const { return started_.size(); }

 private:
  std::map<std::string, int32_t> started_;  // path '\0' schedule -> yyyymmdd
};

// The local hour and minute of each stored start time, converted once (conversions are
// slow on some systems and a poll needs one per schedule) and anew after the offset from
// UTC has changed, since the time zone may have been changed.
class StartTimes {
 public:
  // now and its local fields, as zone converted them: a different offset than before
  // empties the cache, which then converts with zone (the rules it has looked up so far).
  void Check(int64_t now, const platform::LocalTime& local, platform::BatchLocalTime zone);
  std::optional<platform::LocalTime> Of(uint32_t time);

 private:
  std::optional<int64_t> offset_;
  std::map<uint32_t, std::optional<platform::LocalTime>> times_;
  platform::BatchLocalTime zone_;
};

// Due in the minute now shows: hour and minute equal start's, on a matching day.
bool IsClockDue(const ScheduleEntry& entry, const platform::LocalTime& start,
                const platform::LocalTime& now);

// The longest time between two polls over which a skipped start is still made up.
inline constexpr int64_t kMaxPollGapSeconds = 600;

// True when the start time (start's hour and minute) does not exist on a matching local
// date between the two polls, shown as before and after: the clock jumped over it.
bool SkippedBetween(const ScheduleEntry& entry, const platform::LocalTime& start,
                    const platform::LocalTime& before, const platform::LocalTime& after);

// The local date and time of the first start from now's minute on; today is left out when
// it has started today already. nullopt when none lies within 63 days.
std::optional<platform::LocalTime> NextClockStart(const ScheduleEntry& entry,
                                                  const platform::LocalTime& start,
                                                  const platform::LocalTime& now,
                                                  bool startedToday);

}  // namespace launcher
