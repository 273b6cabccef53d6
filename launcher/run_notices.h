// What the launcher tells the operator about runs nobody watched: a failed or aborted
// unattended run and a schedule skipped because the main program was open. At each poll
// it compares the run records with what it has already announced (kept in
// HKEY_CURRENT_USER\SOFTWARE\Zorvan\Notices, so a log-on does not repeat them) and turns
// each new event into one balloon; the tray keeps its warning picture until the operator
// opens "Последние запуски…".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/run_record.h"

namespace platform {
class Registry;
}

namespace launcher {

inline constexpr char kNoticesKey[] = "SOFTWARE\\Zorvan\\Notices";
inline constexpr char kNoticesValue[] = "State";
inline constexpr size_t kSkippedKept = 20;

// A due schedule the poll did not start because the main program was open.
struct SkippedSchedule {
  std::string configPath;
  std::string schedule;  // the schedule's description, e.g. "В 02:30,  каждый день"
  int64_t when = 0;      // seconds since 1970 UTC
  bool operator==(const SkippedSchedule&) const = default;
};

struct SeenRuns {
  std::string configPath;
  uint32_t sequence = 0;  // the highest record sequence already looked at
  bool operator==(const SeenRuns&) const = default;
};

struct NoticeState {
  std::vector<SeenRuns> seen;
  std::vector<SkippedSchedule> skipped;  // the last kSkippedKept, listed with the runs
  bool warning = false;                  // until "Последние запуски…" is opened
  bool operator==(const NoticeState&) const = default;
};

std::string SerializeNotices(const NoticeState& state);
std::optional<NoticeState> ParseNotices(const std::string& bytes);
NoticeState ReadNotices(platform::Registry& registry);
bool WriteNotices(platform::Registry& registry, const NoticeState& state);

struct Notice {
  std::string title;
  std::string text;
  bool operator==(const Notice&) const = default;
};

// The events among the records and the skipped schedules of this poll that were not
// announced yet, one notice each; updates state (and raises its warning for any notice).
// Runs the operator started are looked at but never announced. A configuration whose
// records restarted (fewer than seen: the records were removed) is looked at anew.
std::vector<Notice> TakeNewNotices(const std::vector<runs::ConfigurationRuns>& all,
                                   const std::vector<SkippedSchedule>& skippedNow,
                                   NoticeState& state);

// The balloon texts.
std::string RunNoticeText(const std::string& configPath, const runs::RunRecord& record);
std::string SkippedNoticeText(const SkippedSchedule& skipped);

// One line of "Последние запуски…", newest first.
struct RecentRunRow {
  int64_t started = 0;
  std::string configuration;  // file name
  std::string start;          // "06.12.2026 02:30"
  std::string duration;       // "0:12:05"; empty for a skipped schedule
  std::string result;
  std::string failed;       // names of the failed infobases, comma separated
  std::string journalPath;  // empty: no journal to open
};
std::vector<RecentRunRow> RecentRunRows(const std::vector<runs::ConfigurationRuns>& all,
                                        const std::vector<SkippedSchedule>& skipped);

}  // namespace launcher
