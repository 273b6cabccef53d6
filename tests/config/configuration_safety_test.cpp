// A load never costs a configuration: it tells a missing or empty file from one it
// could not read, and a schedule read without a start time is saved without one.
#include <gtest/gtest.h>

#include "config/configuration.h"
#include "config/schedule_record.h"
#include "store/settings_file.h"
#include "tests/config/config_fixture.h"
#include "tree/infobase_tree.h"

namespace {

class ConfigurationSafetyTest : public ::testing::Test {
 protected:
  ConfigurationSafetyTest() : tree(fixture::NoUsers(), [] {}) {}
  LoadResult Load() { return LoadConfiguration(path, config, tree, seams); }

  fixture::TempDir dir;
  std::string path = dir.Path("safety.cfg");
  platform::MemoryRegistry registry;
  InfobaseTree tree;
  Configuration config;
  ConfigurationSeams seams{registry, platform::SilentFileErrorReporter()};
};

TEST_F(ConfigurationSafetyTest, MissingAndEmptyFilesAreEmptyConfigurations) {
  EXPECT_EQ(Load(), LoadResult::Empty);
  fixture::WriteAll(path, "");
  EXPECT_EQ(Load(), LoadResult::Empty);
  config.options.CopyCount = 4;
  ASSERT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams), 0);
  config.options.CopyCount = 0;
  EXPECT_EQ(Load(), LoadResult::Loaded);
  EXPECT_EQ(config.options.CopyCount, 4u);
}

// Schedules with and without "Time", as another tool may write them, survive a load and
// a save unchanged: the one without stays never due.
TEST_F(ConfigurationSafetyTest, ScheduleWithoutTimeStaysWithoutOne) {
  {
    CSettingsFile file(path, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
    const int32_t schedules =
        file.CreateSection(cfg::kScheduleSection, file.CreateSection(cfg::kRootSection, 0));
    const char daily = 1;
    const char time[4] = {0x10, 0x0E, 0, 0};
    file.WriteBinary(file.CreateSection("без времени", schedules), cfg::kMode, &daily, 1);
    const int32_t timed = file.CreateSection("со временем", schedules);
    file.WriteBinary(timed, cfg::kMode, &daily, 1);
    file.WriteBinary(timed, cfg::kTime, time, 4);
  }
  ASSERT_EQ(Load(), LoadResult::Loaded);
  ASSERT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams), 0);
  const auto saved = ReadConfigSchedules(path, platform::SilentFileErrorReporter());
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->size(), 2u);
  for (const ScheduleRecord& r : *saved) {
    const bool timed = r.entry.name == "со временем";
    EXPECT_EQ(r.hasTime, timed) << r.entry.name;
    EXPECT_EQ(r.entry.Time, timed ? 0x0E10u : 0u) << r.entry.name;
  }
}

}  // namespace
