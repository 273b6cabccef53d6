#include "config/schedule_record.h"

#include <gtest/gtest.h>

#include "store/settings_file.h"
#include "tests/support/scratch.h"

void PrintTo(const ScheduleRecord& r, std::ostream* os) {
  *os << "{" << r.entry.name << " mode " << int(r.entry.Mode) << " time " << r.entry.Time
      << " days " << int(r.entry.Days) << " date " << int(r.entry.Date) << " once "
      << int(r.entry.Once) << (r.hasTime ? "" : " no time") << "}";
}

namespace {

using Records = std::vector<ScheduleRecord>;

ScheduleEntry Entry(std::string name, int mode, uint32_t time, uint8_t days = 0, uint8_t date = 1,
                    uint8_t once = 0) {
  return {std::move(name), "", kNoItem, days, static_cast<ScheduleMode>(mode), time, date, once};
}

class ScheduleRecordFile : public testing::Test {
 protected:
  testsupport::ScratchFolder dir_;
  std::string path_ = dir_ / "test.cfg";
};

// Mode-0 entries are not written; an entry whose description repeats an earlier one
// reuses its section and its values win.
TEST_F(ScheduleRecordFile, WritesSchedulesWithModeAndReadsThemBackInOrder) {
  const std::vector<ScheduleEntry> list = {
      Entry("10:00 Каждый день", 1, 0x65A1B2C3),         Entry("Новое расписание", 0, 0),
      Entry("07:45 Каждую неделю", 2, 1700000000, 0x41), Entry("x", 1, 100),
      Entry("При включении", 4, 12345, 0, 1, 1),         Entry("x", 3, 0xFFFFFFFF, 0, 31)};
  {
    CSettingsFile file(path_, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
    ASSERT_TRUE(WriteSchedules(file, file.CreateSection(cfg::kRootSection, 0), list));
  }
  EXPECT_EQ(ReadConfigSchedules(path_, platform::SilentFileErrorReporter()),
            (Records{{list[0], true}, {list[2], true}, {list[5], true}, {list[4], true}}));
}

// Sections written by another tool: missing values take their defaults, a section
// without a usable "Mode" is skipped, one without a 4-byte "Time" has no start time.
TEST_F(ScheduleRecordFile, ReadsForeignSectionsWithDefaults) {
  {
    CSettingsFile file(path_, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
    int32_t schedules =
        file.CreateSection(cfg::kScheduleSection, file.CreateSection(cfg::kRootSection, 0));
    const std::string one("\x01"), zero(1, '\0'), time("\x10\0\0\0", 4), longMode(300, '\x01');
    const struct {
      const char* section;
      const char* value;
      std::string data;
    } writes[] = {{"mode and time", "Mode", one},     {"mode and time", "Time", time},
                  {"no mode", "Time", time},          {"mode zero", "Mode", zero},
                  {"no time", "Mode", one},           {"short time", "Mode", one},
                  {"short time", "Time", "\x01\x02"}, {"overlong mode", "Mode", longMode}};
    for (const auto& w : writes)
      file.WriteBinary(file.CreateSection(w.section, schedules), w.value, w.data.data(),
                       static_cast<uint32_t>(w.data.size()));
    file.WriteDword(file.CreateSection("dword mode", schedules), "Mode", 0x0102);
    file.WriteBinary(file.CreateSection(std::string(256, 'n'), schedules), "Mode", "\x01", 1);
  }
  EXPECT_EQ(ReadConfigSchedules(path_, platform::SilentFileErrorReporter()),
            (Records{{Entry("mode and time", 1, 0x10), true},
                     {Entry("no time", 1, 0), false},
                     {Entry("short time", 1, 0), false},
                     {Entry("dword mode", 2, 0), false}}));
}

TEST_F(ScheduleRecordFile, TellsAnUnreadableFileFromOneWithoutSchedules) {
  EXPECT_FALSE(ReadConfigSchedules(path_, platform::SilentFileErrorReporter())) << "no file";
  CSettingsFile(path_, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter())
      .CreateSection("Other", 0);
  EXPECT_FALSE(ReadConfigSchedules(path_, platform::SilentFileErrorReporter())) << "no root";
  CSettingsFile(path_, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter())
      .CreateSection(cfg::kRootSection, 0);
  EXPECT_EQ(ReadConfigSchedules(path_, platform::SilentFileErrorReporter()), Records{})
      << "no Schedule section";
}

}  // namespace
