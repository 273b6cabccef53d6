#include "launcher/schedule_poll.h"

#include <cstdio>
#include <memory>
#include <tuple>
#include <utility>

#include "config/schedule_due.h"
#include "launcher/launcher_names.h"

namespace launcher {

using platform::RegRoot;

struct SchedulePoller::Tick {
  int64_t now = 0;
  platform::LocalTime today;
  // The poll before, when it was recent: a start the clock skipped since then is due.
  std::optional<platform::LocalTime> before;
  bool readOnly = false;        // the main program runs: note due schedules, start nothing
  bool startedUpToday = false;  // during the start-up pass: "LastStartUp" lies on today
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
  skipped_.clear();
  tick.readOnly = seams_.mainProgramRunning();
  platform::BatchLocalTime zone;  // the rules as this poll finds them
  auto today = zone.ToLocal(tick.now);
  if (!today) return {};
  tick.today = *today;
  if (previous && tick.now > *previous && tick.now - *previous <= kMaxPollGapSeconds)
    tick.before = zone.ToLocal(*previous);
  // Asked once a poll, not per start-up schedule: it reads the registry and converts
  // a time to local time (slow on some systems).
  if (startupPass_ && !tick.readOnly)
    tick.startedUpToday = StartedUpOn(*seams_.registry, tick.today, zone);
  startTimes_.Check(tick.now, tick.today, std::move(zone));
  memory_.ForgetBefore(tick.today);
  skipNotes_.ForgetBefore(tick.today);
  ScanList(tick);
  if (tick.readOnly) return {};
  next_ = tick.next;
  for (const std::string& arguments : tick.launches) seams_.startProgram(arguments);
  if (startupPass_) {
    WriteLastStartUp(*seams_.registry, tick.now);
    startupPass_ = false;
  }
  return tick.launches;
}

void SchedulePoller::ScanList(Tick& tick) {
  ScheduleFiles::Pass pass(files_);
  std::unique_ptr<platform::RegValueList> list;
  if (ListUnchanged()) {
    for (const std::string& path : listed_) pass.Add(path);
  } else {
    listStamp_.reset();
    list = seams_.registry->OpenValues(RegRoot::CurrentUser, kListKey);
    if (!list) return;
    pass.AddListed(*list);
  }
  const std::vector<ScheduleFiles::Found> found = pass.Finish();
  if (list) {
    // Taken before the reading: a change meanwhile makes the next poll read the list again.
    listStamp_ = list->Stamp();
    listReuses_ = 0;
    listed_.clear();
  }
  for (const ScheduleFiles::Found& file : found) {
    if (list) listed_.push_back(file.path);
    if (file.missing) tick.missing.push_back(file.path);
    if (file.schedules) PollFile(file.path, *file.schedules, tick);
  }
  if (tick.readOnly) return;
  for (const std::string& name : tick.missing)
    seams_.registry->DeleteValue(RegRoot::CurrentUser, kListKey, name);
}

// While the list key is as at the last reading, its names are taken from then: one question
// instead of one per name. The stamp cannot tell a name added and another removed within one
// tick of the key's clock, so the list is read in full every so often all the same.
bool SchedulePoller::ListUnchanged() {
  constexpr int kPollsBetweenFullReadings = 12;  // about ten minutes
  if (!listStamp_) return false;
  return seams_.registry->ValuesStamp(RegRoot::CurrentUser, kListKey) == listStamp_ &&
         ++listReuses_ < kPollsBetweenFullReadings;
}

void SchedulePoller::PollFile(const std::string& path,
                              const std::vector<ScheduleRecord>& schedules, Tick& tick) {
  for (const ScheduleRecord& schedule : schedules) {
    if (tick.readOnly && IsDue(path, schedule, tick)) {
      NoteSkipped(path, schedule, tick);
    } else if (IsDue(path, schedule, tick)) {
      tick.launches.push_back(ScheduledRunArguments(path));
      if (IsClockSchedule(schedule)) memory_.Remember(path, schedule.entry.name, tick.today);
    }
    NoteNextStart(path, schedule, tick);
  }
}

void SchedulePoller::NoteSkipped(const std::string& path, const ScheduleRecord& schedule,
                                 const Tick& tick) {
  if (skipNotes_.StartedOn(path, schedule.entry.name, tick.today)) return;
  skipNotes_.Remember(path, schedule.entry.name, tick.today);
  skipped_.push_back({path, schedule.entry.name, tick.now});
}

bool SchedulePoller::IsDue(const std::string& path, const ScheduleRecord& schedule,
                           const Tick& tick) {
  if (IsClockSchedule(schedule)) return IsClockStartDue(path, schedule, tick);
  // Only start-up schedules are left; their pass waits while the main program runs.
  return !tick.readOnly && IsStartUpDue(schedule.entry, startupPass_, tick.startedUpToday);
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
