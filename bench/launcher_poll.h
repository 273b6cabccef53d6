// A launcher's polls over 100 listed configuration files with four schedules each (daily,
// weekly, monthly, at start-up), at a minute when the daily and weekly ones are due, so
// every file is opened and every schedule read and tested. Each round times a new
// launcher's start (its poller starts the reader threads), its first poll (which reads
// every file and converts every start time to local time), the poll 50 s later (same
// minute: nothing read again, nothing started twice), and the first poll of a launcher
// started at log-on, whose start-up pass also starts every start-up schedule. The files are
// real, and so is the registry where there is one (Windows): the list is read value by
// value as the launcher does, under a scratch key, since the real HKCU list belongs to the
// user. Prints the medians and the slowest of the rounds.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/config_schema.h"
#include "config/schedule_record.h"
#include "launcher/launcher_names.h"
#include "launcher/schedule_poll.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "store/settings_file.h"

namespace pollbench {

constexpr int kFiles = 100;
using platform::RegRoot;

// Every key of the current user lies under a scratch key of inner.
class ScratchRegistry : public platform::Registry {
 public:
  static constexpr char kScratch[] = "SOFTWARE\\Zorvan poll bench";
  explicit ScratchRegistry(platform::Registry& inner) : inner_(inner) {}
  ~ScratchRegistry() override {
    for (const char* key : {launcher::kListKey, cfg::kProgramKey, "SOFTWARE", ""})
      inner_.DeleteKey(RegRoot::CurrentUser, In(RegRoot::CurrentUser, key));
  }
  bool KeyExists(RegRoot root, const std::string& path) override {
    return inner_.KeyExists(root, In(root, path));
  }
  bool CreateKey(RegRoot root, const std::string& path) override {
    return inner_.CreateKey(root, In(root, path));
  }
  bool DeleteKey(RegRoot root, const std::string& path) override {
    return inner_.DeleteKey(root, In(root, path));
  }
  std::optional<platform::RegValue> ReadValue(RegRoot root, const std::string& path,
                                              const std::string& name) override {
    return inner_.ReadValue(root, In(root, path), name);
  }
  bool WriteValue(RegRoot root, const std::string& path, const std::string& name,
                  const platform::RegValue& value) override {
    return inner_.WriteValue(root, In(root, path), name, value);
  }
  bool DeleteValue(RegRoot root, const std::string& path, const std::string& name) override {
    return inner_.DeleteValue(root, In(root, path), name);
  }
  std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root,
                                                      const std::string& path) override {
    return inner_.EnumSubkeys(root, In(root, path));
  }
  std::optional<std::vector<platform::RegNamedValue>> EnumValues(
      RegRoot root, const std::string& path) override {
    return inner_.EnumValues(root, In(root, path));
  }
  std::optional<platform::RegValuesStamp> ValuesStamp(RegRoot root,
                                                      const std::string& path) override {
    return inner_.ValuesStamp(root, In(root, path));
  }
  std::unique_ptr<platform::RegValueList> OpenValues(RegRoot root,
                                                     const std::string& path) override {
    return inner_.OpenValues(root, In(root, path));
  }

 private:
  static std::string In(RegRoot root, const std::string& path) {
    if (root != RegRoot::CurrentUser) return path;
    return path.empty() ? kScratch : std::string(kScratch) + "\\" + path;
  }
  platform::Registry& inner_;
};

// Start times as the schedule dialog stores them: the day of the edit at the chosen time,
// so every file has time values of its own.
inline uint32_t LocalStamp(int n, int hour, int minute) {
  return static_cast<uint32_t>(
      platform::FromLocalTime({2026, 1 + n % 12, 1 + n % 28, hour, minute, 0}).value_or(0));
}

inline std::string WriteConfig(const std::string& folder, int n) {
  const std::string path = folder + "config " + std::to_string(n) + ".cfg";
  CSettingsFile file(path, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
  std::vector<ScheduleEntry> list = {
      {"Каждый день в 02:30", "", kNoItem, 0, ScheduleMode::Daily, LocalStamp(n, 2, 30), 1, 0},
      {"Каждую неделю в 02:30", "", kNoItem, 0x7F, ScheduleMode::Weekly, LocalStamp(n, 2, 30), 1,
       0},
      {"Каждый месяц в 04:00", "", kNoItem, 0, ScheduleMode::Monthly, LocalStamp(n, 4, 0), 9, 0},
      {"При включении компьютера", "", kNoItem, 0, ScheduleMode::AtStartUp, LocalStamp(n, 0, 0), 1,
       1}};
  WriteSchedules(file, file.CreateSection(cfg::kRootSection, 0), list);
  file.Close();
  return path;
}

inline int Run(int rounds) {
  const std::string temp = platform::fs::TempPath();
  const std::string folder = temp + "zv_poll_bench" + temp.back();
  platform::fs::CreateFolder(folder);
  platform::MemoryRegistry memory;
  const std::unique_ptr<platform::Registry> real = platform::MakeWin32Registry();
  ScratchRegistry registry(real ? *real : memory);
  registry.CreateKey(platform::RegRoot::CurrentUser, launcher::kListKey);
  std::vector<std::string> paths;
  for (int n = 0; n < kFiles; ++n) {
    paths.push_back(WriteConfig(folder, n));
    registry.WriteValue(platform::RegRoot::CurrentUser, launcher::kListKey, paths.back(),
                        platform::RegValue::String(launcher::kListValueData));
  }
  const int64_t now = platform::FromLocalTime({2026, 12, 7, 2, 30, 10}).value_or(0);
  std::vector<double> start, first, next, logOn;
  size_t starts = 0, again = 0, startUp = 0;
  auto timed = [](launcher::SchedulePoller& poller, size_t& count) {
    const auto from = std::chrono::steady_clock::now();
    count = poller.Poll().size();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from)
        .count();
  };
  for (int r = 0; r < rounds; ++r) {
    int64_t clock = now;
    auto launcher = [&](bool startupPass) {
      return launcher::SchedulePoller({&registry, [&clock] { return clock; }, [] { return false; },
                                       [](const std::string&) {}},
                                      startupPass);
    };
    auto from = std::chrono::steady_clock::now();
    launcher::SchedulePoller poller = launcher(false);
    start.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count());
    first.push_back(timed(poller, starts));
    clock += 50;
    next.push_back(timed(poller, again));
    // A log-on later the same minute: the start-up pass of the day has not run yet.
    clock = now;
    registry.DeleteValue(platform::RegRoot::CurrentUser, cfg::kProgramKey,
                         cfg::kLastStartUpValue);
    launcher::SchedulePoller atLogOn = launcher(true);
    logOn.push_back(timed(atLogOn, startUp));
  }
  for (const std::string& p : paths) platform::fs::RemoveFile(p);
  platform::fs::RemoveFolder(folder);
  std::printf("poll over %d files x 4 schedules, %d rounds:\n", kFiles, rounds);
  auto print = [](const char* what, size_t count, std::vector<double>& ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("  %-22s (%3zu starts): median %.2f ms, slowest %.2f ms\n", what, count,
                ms[ms.size() / 2], ms.back());
  };
  print("launcher start", 0, start);
  print("first poll", starts, first);
  print("next poll", again, next);
  print("first poll at log-on", startUp, logOn);
  return starts == 2 * kFiles && again == 0 && startUp == 3 * kFiles ? 0 : 1;
}

}  // namespace pollbench
