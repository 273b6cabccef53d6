#include "launcher/schedule_poll.h"

#include <cstdio>
#include <tuple>
#include <utility>

#include "config/schedule_due.h"
#include "launcher/launcher_names.h"
#include "platform/fs.h"

namespace launcher {

using platform::RegRoot;

struct SchedulePoller::Tick {
  int64_t now = 0;
  platform::LocalTime today;
  // The poll before, when it was recent: a start the clock skipped since then is due.
  std::optional<platform::LocalTime> before;
  std::vector<std::string> missing;
  std::vector<std::string> launches;
  std::optional<NextStart> next;
};

SchedulePoller::SchedulePoller(PollSeams seams, bool startupPass)
    : seams_(std::move(seams)), startupPass_(startupPass) {}

std::vector<std::string> SchedulePoller::Poll() {
  Tick tick;
  tick.now = seams_.now();
  // Ticks while the main program runs count as polls too: what the clock skipped then
  // is not made up later, as a minute that passed then is not.
  auto previous = std::exchange(previousPoll_, tick.now);
  if (seams_.mainProgramRunning()) return {};
  auto today = platform::ToLocalTime(tick.now);
  if (!today) return {};
  tick.today = *today;
  if (previous && tick.now > *previous && tick.now - *previous <= kMaxPollGapSeconds)
    tick.before = platform::ToLocalTime(*previous);
  startTimes_.Check(tick.now, tick.today);
  memory_.ForgetBefore(tick.today);
  ScanList(tick);
  next_ = tick.next;
  for (const std::string& arguments : tick.launches) seams_.startProgram(arguments);
  if (startupPass_) {
    WriteLastStartUp(*seams_.registry, tick.now);
    startupPass_ = false;
  }
  return tick.launches;
}

void SchedulePoller::ScanList(Tick& tick) {
  auto values = seams_.registry->EnumValues(RegRoot::CurrentUser, kListKey);
  if (!values) return;
  for (const platform::RegNamedValue& value : *values) {
    if (value.name.empty()) continue;
    const platform::fs::Attributes file = platform::fs::GetAttributes(value.name);
    if (!file.exists || file.folder) {
      tick.missing.push_back(value.name);
      continue;
    }
    PollFile(value.name, file, tick);
  }
  files_.ForgetUnused();
  for (const std::string& name : tick.missing)
    seams_.registry->DeleteValue(RegRoot::CurrentUser, kListKey, name);
}

void SchedulePoller::PollFile(const std::string& path, const platform::fs::Attributes& file,
                              Tick& tick) {
  const std::vector<ScheduleRecord>* schedules = files_.Of(path, file);
  if (schedules == nullptr) return;
  for (const ScheduleRecord& schedule : *schedules) {
    if (IsDue(path, schedule, tick)) {
      tick.launches.push_back(ScheduledRunArguments(path));
      if (IsClockSchedule(schedule)) memory_.Remember(path, schedule.entry.name, tick.today);
    }
    NoteNextStart(path, schedule, tick);
  }
}

bool SchedulePoller::IsDue(const std::string& path, const ScheduleRecord& schedule,
                           const Tick& tick) {
  if (IsClockSchedule(schedule)) return IsClockStartDue(path, schedule, tick);
  // Only start-up schedules are left, due during the start-up pass alone.
  return startupPass_ && IsScheduleDue(schedule, tick.now, true, *seams_.registry);
}

// The due rule of daily, weekly and monthly schedules, with two additions: one start per
// local day, and a start time that the spring clock change skipped is due at the first
// poll after the change.
bool SchedulePoller::IsClockStartDue(const std::string& path, const ScheduleRecord& schedule,
                                     const Tick& tick) {
  auto start = startTimes_.Of(schedule.entry.Time);
  if (!start || memory_.StartedOn(path, schedule.entry.name, tick.today)) return false;
  return IsClockDue(schedule.entry, *start, tick.today) ||
         (tick.before && SkippedBetween(schedule.entry, *start, *tick.before, tick.today));
}

void SchedulePoller::NoteNextStart(const std::string& path, const ScheduleRecord& schedule,
                                   Tick& tick) {
  auto start = IsClockSchedule(schedule) ? startTimes_.Of(schedule.entry.Time) : std::nullopt;
  if (!start) return;
  const bool startedToday = memory_.StartedOn(path, schedule.entry.name, tick.today);
  auto when = NextClockStart(schedule.entry, *start, tick.today, startedToday);
  auto order = [](const platform::LocalTime& t) {
    return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute);
  };
  if (when && (!tick.next || order(*when) < order(tick.next->when)))
    tick.next = NextStart{*when, path};
}

std::string ScheduledRunArguments(const std::string& path) {
  return "/@" + path + " /" + kBeginSwitch;
}

std::string TrayTip(const std::optional<NextStart>& next) {
  std::string tip = kLauncherName;
  if (!next) return tip;
  const platform::LocalTime& when = next->when;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d.%02d %02d:%02d", when.day, when.month, when.hour,
                when.minute);
  const size_t slash = next->path.find_last_of("\\/");
  tip += " — следующий запуск: " + std::string(stamp) + ", " +
         next->path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (tip.size() > kTrayTipLimit) tip.resize(kTrayTipLimit);
  return tip;
}

}  // namespace launcher
