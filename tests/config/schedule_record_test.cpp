#include "config/schedule_record.h"

#include <gtest/gtest.h>

#include "store/settings_file.h"
#include "tests/store/store_test_util.h"

void PrintTo(const ScheduleRecord& r, std::ostream* os) {
  *os << "{" << r.entry.name << " mode " << r.entry.Mode << " time " << r.entry.Time << " days "
      << int(r.entry.Days) << " date " << int(r.entry.Date) << " once " << int(r.entry.Once)
      << (r.hasTime ? "" : " no time") << "}";
}

namespace {

ScheduleEntry Entry(std::string name, int mode, uint32_t time, uint8_t days = 0, uint8_t date = 1,
                    uint8_t once = 0) {
  ScheduleEntry e;
  e.name = std::move(name);
  e.Mode = mode;
  e.Time = time;
  e.Days = days;
  e.Date = date;
  e.Once = once;
  return e;
}

ScheduleRecord Record(ScheduleEntry e, bool hasTime = true) { return {std::move(e), hasTime}; }

class ScheduleRecordFile : public testing::Test {
 protected:
  // A configuration file holding "Zorvan"\"Schedule"; returns the "Schedule" id.
  int32_t MakeScheduleSection(CSettingsFile& file) {
    int32_t root = file.CreateSection(kRootSection, 0);
    return file.CreateSection(kScheduleSection, root);
  }

  storetest::ScratchDir dir_;
  std::string path_ = dir_.File("test.cfg");
};

TEST_F(ScheduleRecordFile, WritesSchedulesWithModeAndReadsThemBackInOrder) {
  const std::vector<ScheduleEntry> list = {
      Entry("10:00 Каждый день", 1, 0x65A1B2C3),
      Entry("placeholder", 0, 0),
      Entry("07:45 Каждую неделю", 2, 1700000000, 0x41, 1, 0),
      Entry("23:59 Каждый месяц", 3, 0xFFFFFFFF, 0, 31),
      Entry("При включении", 4, 12345, 0, 1, 1),
  };
  {
    CSettingsFile file(path_, SF_MODE_CREATE_READWRITE);
    int32_t root = file.CreateSection(kRootSection, 0);
    ASSERT_TRUE(WriteSchedules(file, root, list));
  }
  auto read = ReadConfigSchedules(path_);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, (std::vector<ScheduleRecord>{Record(list[0]), Record(list[2]), Record(list[3]),
                                                Record(list[4])}));
}

TEST_F(ScheduleRecordFile, StoresFiveBinaryValuesInOrder) {
  {
    CSettingsFile file(path_, SF_MODE_CREATE_READWRITE);
    ASSERT_TRUE(WriteScheduleSection(file, MakeScheduleSection(file),
                                     Entry("s", 3, 0x04030201, 0x7F, 15, 1)));
  }
  const std::string bytes = storetest::ReadAll(path_);
  size_t last = 0;
  for (const char* name : {"Date", "Days", "Mode", "Time", "Once"}) {
    size_t at = bytes.find(name);
    ASSERT_NE(at, std::string::npos) << name;
    EXPECT_GT(at, last) << name << " out of order";
    last = at;
  }
  CSettingsFile file(path_, SF_MODE_READ);
  int32_t id =
      file.OpenSection(file.OpenSection(file.OpenSectionPath(kRootSection), kScheduleSection), "s");
  const struct {
    const char* name;
    std::string data;
  } table[] = {{"Date", "\x0F"},
               {"Days", "\x7F"},
               {"Mode", "\x03"},
               {"Time", "\x01\x02\x03\x04"},
               {"Once", "\x01"}};
  for (const auto& c : table) {
    char buffer[16] = {};
    int32_t type = 0;
    uint32_t size = sizeof buffer;
    ASSERT_TRUE(file.ReadValue(id, c.name, type, size, buffer)) << c.name;
    EXPECT_EQ(type, SF_BINARY) << c.name;
    EXPECT_EQ(std::string(buffer, size), c.data) << c.name;
  }
}

// Sections written by another tool: missing values take their defaults, a section
// without a usable "Mode" is skipped, one without a 4-byte "Time" has no start time.
TEST_F(ScheduleRecordFile, ReadsForeignSectionsWithDefaults) {
  {
    CSettingsFile file(path_, SF_MODE_CREATE_READWRITE);
    int32_t schedules = MakeScheduleSection(file);
    const uint8_t one = 1, zero = 0, shortTime[2] = {1, 2}, time[4] = {0x10, 0, 0, 0};
    const std::string longMode(300, '\x01');
    auto add = [&](const char* name) { return file.CreateSection(name, schedules); };
    int32_t id = add("only mode and time");
    file.WriteBinary(id, "Mode", &one, 1);
    file.WriteBinary(id, "Time", time, 4);
    file.WriteBinary(add("no mode"), "Time", time, 4);
    id = add("mode zero");
    file.WriteBinary(id, "Mode", &zero, 1);
    file.WriteBinary(id, "Time", time, 4);
    file.WriteBinary(add("no time"), "Mode", &one, 1);
    id = add("short time");
    file.WriteBinary(id, "Mode", &one, 1);
    file.WriteBinary(id, "Time", shortTime, 2);
    file.WriteDword(add("dword mode"), "Mode", 0x0102);
    file.WriteBinary(add("overlong mode"), "Mode", longMode.data(), 300);
  }
  auto read = ReadConfigSchedules(path_);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, (std::vector<ScheduleRecord>{
                       Record(Entry("only mode and time", 1, 0x10)),
                       Record(Entry("no time", 1, 0), false),
                       Record(Entry("short time", 1, 0), false),
                       Record(Entry("dword mode", 2, 0), false),
                   }));
}

TEST_F(ScheduleRecordFile, SameDescriptionSharesOneSectionAndTheLaterWins) {
  {
    CSettingsFile file(path_, SF_MODE_CREATE_READWRITE);
    int32_t root = file.CreateSection(kRootSection, 0);
    ASSERT_TRUE(WriteSchedules(file, root, {Entry("x", 1, 100), Entry("x", 3, 200, 0, 7)}));
  }
  auto read = ReadConfigSchedules(path_);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, std::vector<ScheduleRecord>{Record(Entry("x", 3, 200, 0, 7))});
}

TEST_F(ScheduleRecordFile, TellsAnUnreadableFileFromOneWithoutSchedules) {
  EXPECT_FALSE(ReadConfigSchedules(path_)) << "no file";
  {
    CSettingsFile file(path_, SF_MODE_CREATE_READWRITE);
    file.CreateSection("Other", 0);
  }
  EXPECT_FALSE(ReadConfigSchedules(path_)) << "no root";
  {
    CSettingsFile file(path_, SF_MODE_CREATE_READWRITE);
    file.CreateSection(kRootSection, 0);
  }
  EXPECT_EQ(ReadConfigSchedules(path_), std::vector<ScheduleRecord>{}) << "no Schedule section";
  {
    CSettingsFile file(path_, SF_MODE_CREATE_READWRITE);
    ASSERT_TRUE(WriteSchedules(file, file.OpenSectionPath(kRootSection), {}));
  }
  EXPECT_EQ(ReadConfigSchedules(path_), std::vector<ScheduleRecord>{}) << "empty Schedule";
}

}  // namespace
