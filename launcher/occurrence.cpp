#include "launcher/occurrence.h"

#include <tuple>

namespace launcher {
namespace {

using platform::LocalTime;

int32_t DateKey(const LocalTime& t) { return t.year * 10000 + t.month * 100 + t.day; }

std::string MemoryKey(const std::string& path, const std::string& schedule) {
  return path + '\0' + schedule;
}

auto MinuteOrder(const LocalTime& t) {
  return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute);
}

// The same date one day later, weekday included.
void AdvanceDay(LocalTime& t) {
  t.weekday = (t.weekday + 1) % 7;
  if (++t.day <= platform::DaysInMonth(t.year, t.month)) return;
  t.day = 1;
  if (++t.month <= 12) return;
  t.month = 1;
  ++t.year;
}

// date with the schedule's start hour and minute.
std::optional<LocalTime> StartOn(const ScheduleEntry& entry, LocalTime date) {
  auto start = platform::ToLocalTime(entry.Time);
  if (!start) return std::nullopt;
  date.hour = start->hour;
  date.minute = start->minute;
  date.second = 0;
  return date;
}

// A local time that the clock never shows: converted there and back it comes out different.
bool IsSkipped(const LocalTime& t) {
  auto instant = platform::FromLocalTime(t);
  if (!instant) return false;
  auto back = platform::ToLocalTime(*instant);
  return back && MinuteOrder(*back) != MinuteOrder(t);
}

}  // namespace

bool IsClockSchedule(const ScheduleRecord& schedule) {
  return schedule.hasTime && schedule.entry.Mode >= 1 && schedule.entry.Mode <= 3;
}

bool MatchesDay(const ScheduleEntry& entry, const LocalTime& date) {
  switch (entry.Mode) {
    case 1:
      return true;
    case 2:
      return (entry.Days >> date.weekday) & 1;
    case 3:
      return date.day == entry.Date;
    default:
      return false;
  }
}

bool StartMemory::StartedOn(const std::string& path, const std::string& schedule,
                            const LocalTime& date) const {
  auto it = started_.find(MemoryKey(path, schedule));
  return it != started_.end() && it->second == DateKey(date);
}

void StartMemory::Remember(const std::string& path, const std::string& schedule,
                           const LocalTime& date) {
  started_[MemoryKey(path, schedule)] = DateKey(date);
}

void StartMemory::ForgetBefore(const LocalTime& date) {
  std::erase_if(started_, [&](const auto& item) { return item.second < DateKey(date); });
}

bool SkippedBetween(const ScheduleRecord& schedule, int64_t previousPoll, int64_t now) {
  if (!IsClockSchedule(schedule) || now <= previousPoll || now - previousPoll > kMaxPollGapSeconds)
    return false;
  auto before = platform::ToLocalTime(previousPoll);
  auto after = platform::ToLocalTime(now);
  if (!before || !after) return false;
  for (const LocalTime& date : {*before, *after}) {
    auto start = StartOn(schedule.entry, date);
    if (start && MatchesDay(schedule.entry, date) && MinuteOrder(*before) < MinuteOrder(*start) &&
        MinuteOrder(*start) <= MinuteOrder(*after) && IsSkipped(*start))
      return true;
  }
  return false;
}

std::optional<int64_t> NextClockStart(const ScheduleRecord& schedule, int64_t now,
                                      bool startedToday) {
  auto today = platform::ToLocalTime(now);
  if (!IsClockSchedule(schedule) || !today) return std::nullopt;
  LocalTime date = *today;
  for (int day = 0; day < 63; ++day, AdvanceDay(date)) {
    if ((day == 0 && startedToday) || !MatchesDay(schedule.entry, date)) continue;
    auto start = StartOn(schedule.entry, date);
    if (!start || (day == 0 && MinuteOrder(*start) < MinuteOrder(*today))) continue;
    if (auto instant = platform::FromLocalTime(*start)) return *instant;
  }
  return std::nullopt;
}

}  // namespace launcher
