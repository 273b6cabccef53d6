// A poller over a memory registry, a fake clock and real configuration files.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/config_schema.h"
#include "config/schedule_due.h"
#include "config/schedule_record.h"
#include "launcher/launcher_names.h"
#include "launcher/schedule_poll.h"
#include "store/settings_file.h"
#include "tests/config/config_fixture.h"
#include "tests/support/scratch.h"

namespace polltest {

using platform::RegRoot;

inline int64_t At(int y, int mo, int d, int h, int mi, int s = 0) {
  return platform::FromLocalTime({y, mo, d, h, mi, s}).value_or(-1);
}

// mode 1 daily, 2 weekly on days, 3 monthly on date, 4 at start-up (once).
inline ScheduleEntry Schedule(const std::string& name, int mode, int hour, int minute,
                              uint8_t days = 0, uint8_t date = 1, uint8_t once = 0) {
  const auto time = static_cast<uint32_t>(At(2026, 1, 15, hour, minute));
  return {name, "", kNoItem, days, static_cast<ScheduleMode>(mode), time, date, once};
}

class PollTest : public testing::Test {
 protected:
  PollTest() {
    registry.CreateKey(RegRoot::CurrentUser, cfg::kProgramKey);
    registry.CreateKey(RegRoot::CurrentUser, launcher::kListKey);
    Restart(false);
  }

  void Restart(bool startupPass) {
    poller.emplace(
        launcher::PollSeams{&registry, [this] { return now; }, [this] { return mainRunning; },
                            [this](const std::string& a) { started.push_back(a); }},
        startupPass);
  }

  // Writes a configuration file with these schedules and lists it for the launcher.
  std::string Config(const std::string& name, const std::vector<ScheduleEntry>& schedules) {
    const std::string path = dir / name;
    CSettingsFile file(path, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
    EXPECT_TRUE(WriteSchedules(file, file.CreateSection(cfg::kRootSection, 0), schedules));
    file.Close();
    List(path);
    return path;
  }
  void List(const std::string& path) {
    registry.WriteValue(RegRoot::CurrentUser, launcher::kListKey, path,
                        platform::RegValue::String(launcher::kListValueData));
  }

  std::vector<std::string> PollAt(int64_t t) {
    now = t;
    return poller->Poll();
  }
  static std::string Run(const std::string& path) { return launcher::ScheduledRunArguments(path); }

  testsupport::ScratchFolder dir{"poll"};
  platform::MemoryRegistry registry;
  int64_t now = 0;
  bool mainRunning = false;
  std::vector<std::string> started;
  std::optional<launcher::SchedulePoller> poller;
};

}  // namespace polltest
