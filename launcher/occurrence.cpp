#include "launcher/occurrence.h"

#include <tuple>
#include <utility>

#include "config/schedule_due.h"

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

// date with the start's hour and minute.
LocalTime StartOn(const LocalTime& start, LocalTime date) {
  date.hour = start.hour;
  date.minute = start.minute;
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

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysSinceEpoch(int year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

}  // namespace

bool IsClockSchedule(const ScheduleRecord& schedule) {
  const ScheduleMode mode = schedule.entry.Mode;
  return schedule.hasTime && (mode == ScheduleMode::Daily || mode == ScheduleMode::Weekly ||
                              mode == ScheduleMode::Monthly);
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

void StartTimes::Check(int64_t now, const LocalTime& local, platform::BatchLocalTime zone) {
  const int64_t offset = DaysSinceEpoch(local.year, local.month, local.day) * 86400 +
                         local.hour * 3600 + local.minute * 60 + local.second - now;
  if (offset_ != offset) {
    times_.clear();
    zone_ = std::move(zone);
  }
  offset_ = offset;
}

std::optional<LocalTime> StartTimes::Of(uint32_t time) {
  auto it = times_.find(time);
  if (it == times_.end()) it = times_.emplace(time, zone_.ToLocal(time)).first;
  return it->second;
}

bool IsClockDue(const ScheduleEntry& entry, const LocalTime& start, const LocalTime& now) {
  return start.hour == now.hour && start.minute == now.minute && MatchesScheduleDay(entry, now);
}

bool SkippedBetween(const ScheduleEntry& entry, const LocalTime& start, const LocalTime& before,
                    const LocalTime& after) {
  for (const LocalTime& date : {before, after}) {
    const LocalTime at = StartOn(start, date);
    if (MatchesScheduleDay(entry, date) && MinuteOrder(before) < MinuteOrder(at) &&
        MinuteOrder(at) <= MinuteOrder(after) && IsSkipped(at))
      return true;
  }
  return false;
}

std::optional<LocalTime> NextClockStart(const ScheduleEntry& entry, const LocalTime& start,
                                        const LocalTime& now, bool startedToday) {
  LocalTime date = now;
  for (int day = 0; day < 63; ++day, AdvanceDay(date)) {
    if ((day == 0 && startedToday) || !MatchesScheduleDay(entry, date)) continue;
    const LocalTime at = StartOn(start, date);
    if (day > 0 || MinuteOrder(at) >= MinuteOrder(now)) return at;
  }
  return std::nullopt;
}

}  // namespace launcher
