// A schedule read without a start time (written by other means) is saved without one, so
// it stays never due; one with a time keeps it.
#include <gtest/gtest.h>

#include "config/configuration.h"
#include "config/schedule_record.h"
#include "store/settings_file.h"
#include "tests/config/config_fixture.h"
#include "tree/infobase_tree.h"

namespace {

TEST(ConfigurationSafety, ScheduleWithoutTimeStaysWithoutOne) {
  testsupport::ScratchFolder dir{"safety"};
  const std::string path = (dir / "safety.cfg");
  {
    CSettingsFile file(path, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
    const int32_t schedules =
        file.CreateSection(cfg::kScheduleSection, file.CreateSection(cfg::kRootSection, 0));
    const char daily = 1, time[4] = {0x10, 0x0E, 0, 0};
    file.WriteBinary(file.CreateSection("без времени", schedules), cfg::kMode, &daily, 1);
    const int32_t timed = file.CreateSection("со временем", schedules);
    file.WriteBinary(timed, cfg::kMode, &daily, 1);
    file.WriteBinary(timed, cfg::kTime, time, 4);
  }
  platform::MemoryRegistry registry;
  InfobaseTree tree(fixture::NoUsers(), [] {});
  ConfigurationSeams seams{registry, platform::SilentFileErrorReporter()};
  Configuration config;
  ASSERT_EQ(LoadConfiguration(path, config, tree, seams), LoadResult::Loaded);
  ASSERT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams), 0);
  const auto saved = ReadConfigSchedules(path, platform::SilentFileErrorReporter());
  ASSERT_TRUE(saved && saved->size() == 2u);
  for (const ScheduleRecord& r : *saved) {
    const bool timed = r.entry.name == "со временем";
    EXPECT_EQ(r.hasTime, timed) << r.entry.name;
    EXPECT_EQ(r.entry.Time, timed ? 0x0E10u : 0u) << r.entry.name;
  }
}

}  // namespace
