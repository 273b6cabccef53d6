#include "config/schedule_due.h"

#include "config/config_schema.h"
#include "platform/local_time.h"

using platform::LocalTime;

namespace {

bool SameDate(const LocalTime& a, const LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

}  // namespace

bool MatchesScheduleDay(const ScheduleEntry& s, const LocalTime& date) {
  switch (s.Mode) {
    case ScheduleMode::Daily:
      return true;
    case ScheduleMode::Weekly:
      return (s.Days >> date.weekday) & 1;
    case ScheduleMode::Monthly:
      return date.day == s.Date;
    default:
      return false;
  }
}

bool StartedUpOn(platform::Registry& registry, const LocalTime& today,
                 platform::BatchLocalTime& zone) {
  auto stamp =
      registry.ReadValue(platform::RegRoot::CurrentUser, cfg::kProgramKey, cfg::kLastStartUpValue);
  if (!stamp || stamp->data.size() != 4) return false;
  auto last = zone.ToLocal(stamp->AsDword());
  return last && SameDate(*last, today);
}

bool IsStartUpDue(const ScheduleEntry& s, bool startupPass, bool startedUpToday) {
  return s.Mode == ScheduleMode::AtStartUp && startupPass && (s.Once == 0 || !startedUpToday);
}

bool WriteLastStartUp(platform::Registry& registry, int64_t now) {
  uint32_t stamp = static_cast<uint32_t>(now);
  return registry.WriteValue(platform::RegRoot::CurrentUser, cfg::kProgramKey,
                             cfg::kLastStartUpValue,
                             platform::RegValue::Binary(platform::RegValue::Dword(stamp).data));
}
