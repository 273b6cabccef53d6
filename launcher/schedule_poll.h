// The launcher's poll, run at every tick of its 50-second timer: reads the schedules of
// every configuration file in the registry list (anew only when a file changed); while
// the main program is not running, starts it with "/@<file> /BEGIN" for each due one,
// ends the start-up pass ("LastStartUp") and drops list entries of files that no longer
// exist; while it runs, only notes the due schedules it skips.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "launcher/occurrence.h"
#include "launcher/run_notices.h"
#include "launcher/schedule_files.h"
#include "platform/registry.h"

namespace launcher {

struct PollSeams {
  platform::Registry* registry = nullptr;
  std::function<int64_t()> now;              // seconds since 1970 UTC
  std::function<bool()> mainProgramRunning;  // its mutex exists
  std::function<void(const std::string& arguments)> startProgram;
};

// The next scheduled start, for the tray tip.
struct NextStart {
  platform::LocalTime when;  // local date, hour and minute
  std::string path;          // configuration file
  bool operator==(const NextStart&) const = default;
};

class SchedulePoller {
 public:
  SchedulePoller(PollSeams seams, bool startupPass);

  // One timer tick. Returns the argument texts the main program was started with.
  // While the main program runs nothing is started, changed or pruned, but the schedules
  // are read: a clock schedule due then is noted as skipped, once a day. If the program
  // closes while the minute lasts, a later poll still starts it.
  std::vector<std::string> Poll();
  // The schedules the last poll skipped.
  const std::vector<SkippedSchedule>& Skipped() const { return skipped_; }

  bool StartupPassPending() const { return startupPass_; }
  // As found by the last poll that read the files; nullopt when nothing is scheduled.
  const std::optional<NextStart>& Next() const { return next_; }

 private:
  struct Tick;
  void PollFile(const std::string& path, const std::vector<ScheduleRecord>& schedules,
                Tick& tick);
  void NoteSkipped(const std::string& path, const ScheduleRecord& schedule, const Tick& tick);
  bool IsDue(const std::string& path, const ScheduleRecord& schedule, const Tick& tick);
  bool IsClockStartDue(const std::string& path, const ScheduleRecord& schedule, const Tick& tick);
  void NoteNextStart(const std::string& path, const ScheduleRecord& schedule, Tick& tick);
  void ScanList(Tick& tick);
  bool ListUnchanged();

  PollSeams seams_;
  bool startupPass_;
  StartMemory memory_;
  StartMemory skipNotes_;  // skipped schedules already noted, by day
  StartTimes startTimes_;
  ScheduleFiles files_;
  std::optional<platform::RegValuesStamp> listStamp_;  // of the list as last read
  std::vector<std::string> listed_;                    // its file names
  int listReuses_ = 0;                                 // polls that took listed_ since
  std::optional<int64_t> previousPoll_;
  std::optional<NextStart> next_;
  std::vector<SkippedSchedule> skipped_;
};

// The main program's arguments for a scheduled run of the configuration at path.
std::string ScheduledRunArguments(const std::string& path);

inline constexpr size_t kTrayTipLimit = 127;

// "Zorvan launcher" alone, or with the day, time and file name of the next start; at most
// 127 characters (the tray's limit).
std::string TrayTip(const std::optional<NextStart>& next);

}  // namespace launcher
