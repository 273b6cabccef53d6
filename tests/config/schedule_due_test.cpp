// The due rule over local calendars. Times are built from local fields, so the tables
// hold in any zone; the daylight-saving cases set TZ and run natively only.
#include "config/schedule_due.h"

#include <gtest/gtest.h>

#include "platform/local_time.h"

#ifndef _WIN32
#include "tests/platform/time_zone_scope.h"
#endif

using platform::RegRoot;
using platform::RegValue;

namespace {

int64_t At(int y, int mo, int d, int h, int mi, int s = 0) {
  auto t = platform::FromLocalTime({y, mo, d, h, mi, s});
  EXPECT_TRUE(t);
  return t.value_or(0);
}

ScheduleRecord Make(int mode, int64_t time, uint8_t days = 0, uint8_t date = 1, uint8_t once = 0) {
  ScheduleRecord r;
  r.entry.name = "s";
  r.entry.Mode = mode;
  r.entry.Time = static_cast<uint32_t>(time);
  r.entry.Days = days;
  r.entry.Date = date;
  r.entry.Once = once;
  r.hasTime = true;
  return r;
}

class ScheduleDue : public testing::Test {
 protected:
  bool Due(const ScheduleRecord& r, int64_t now, bool startup = false) {
    return IsScheduleDue(r, now, startup, registry_);
  }
  // Minutes in [from, to) at which r is due, checked at the start of each minute.
  int DueMinutes(const ScheduleRecord& r, int64_t from, int64_t to) {
    int n = 0;
    for (int64_t t = from; t < to; t += 60) n += Due(r, t);
    return n;
  }
  platform::MemoryRegistry registry_;
};

TEST_F(ScheduleDue, ClockModesAreDueForTheWholeMinuteOnly) {
  const int64_t time = At(2020, 6, 15, 10, 0);  // the date part of Time never counts
  const auto daily = Make(1, time);
  const struct {
    int h, m, s;
    bool due;
  } table[] = {{10, 0, 0, true},  {10, 0, 59, true}, {9, 59, 59, false},
               {10, 1, 0, false}, {22, 0, 0, false}, {11, 0, 0, false}};
  for (const auto& c : table)
    EXPECT_EQ(Due(daily, At(2024, 11, 20, c.h, c.m, c.s)), c.due) << c.h << ":" << c.m << ":" << c.s;
  // Seconds stored in Time by another tool are ignored too.
  EXPECT_TRUE(Due(Make(1, time + 42), At(2024, 11, 20, 10, 0, 1)));
}

TEST_F(ScheduleDue, WeeklyFollowsTheWeekdayMask) {
  const int64_t time = At(2020, 1, 1, 7, 45);
  const struct {
    uint8_t days;
    const char* dueOn;  // Sunday .. Saturday
  } table[] = {{0x41, "1000001"}, {0x02, "0100000"}, {0x7F, "1111111"}, {0x00, "0000000"},
               {0x80, "0000000"}};
  for (const auto& c : table)
    for (int wd = 0; wd < 7; ++wd) {  // 2024-06-02 is a Sunday
      const int64_t now = At(2024, 6, 2 + wd, 7, 45, 30);
      ASSERT_EQ(platform::ToLocalTime(now)->weekday, wd);
      EXPECT_EQ(Due(Make(2, time, c.days), now), c.dueOn[wd] == '1')
          << "days " << int(c.days) << " weekday " << wd;
      EXPECT_FALSE(Due(Make(2, time, c.days), now + 60));
    }
}

TEST_F(ScheduleDue, MonthlyIsDueOnlyOnItsDayWithoutShifting) {
  const int64_t time = At(2020, 1, 1, 23, 59);
  const struct {
    uint8_t date;
    int year;
    int dueDays;  // days of that year on which it is due
  } table[] = {{31, 2023, 7}, {30, 2023, 11}, {29, 2023, 11}, {29, 2024, 12},
               {1, 2023, 12},  {0, 2024, 0},   {32, 2024, 0}};
  for (const auto& c : table) {
    int due = 0;
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= platform::DaysInMonth(c.year, month); ++day)
        due += Due(Make(3, time, 0, c.date), At(c.year, month, day, 23, 59, 59));
    EXPECT_EQ(due, c.dueDays) << "date " << int(c.date) << " in " << c.year;
  }
}

TEST_F(ScheduleDue, OtherModesAndMissingStartTimeAreNeverDue) {
  const int64_t now = At(2024, 5, 5, 12, 0);
  for (int mode : {0, 5, 6, 255, -1}) {
    EXPECT_FALSE(Due(Make(mode, now), now)) << mode;
    EXPECT_FALSE(Due(Make(mode, now), now, true)) << mode;
  }
  for (int mode : {1, 2, 3}) {
    auto r = Make(mode, now, 0x7F, 5);
    EXPECT_TRUE(Due(r, now)) << mode;
    r.hasTime = false;
    EXPECT_FALSE(Due(r, now)) << mode;
  }
}

TEST_F(ScheduleDue, StartUpModeDependsOnThePassAndTheLastStartUpDate) {
  const int64_t now = At(2024, 3, 10, 8, 15);
  auto always = Make(4, 0);
  always.hasTime = false;  // mode 4 ignores Time
  auto once = always;
  once.entry.Once = 1;
  EXPECT_FALSE(Due(always, now, false));
  EXPECT_FALSE(Due(once, now, false));
  EXPECT_TRUE(Due(always, now, true));
  EXPECT_TRUE(Due(once, now, true));  // no program key at all

  ASSERT_TRUE(registry_.CreateKey(RegRoot::CurrentUser, kProgramKey));
  EXPECT_TRUE(Due(once, now, true));  // key without stamp
  const struct {
    const char* what;
    RegValue stamp;
    bool due;
  } table[] = {
      {"earlier today", RegValue::Dword(static_cast<uint32_t>(At(2024, 3, 10, 0, 0))), false},
      {"later today", RegValue::Dword(static_cast<uint32_t>(At(2024, 3, 10, 23, 59, 59))), false},
      {"yesterday", RegValue::Dword(static_cast<uint32_t>(At(2024, 3, 9, 23, 59, 59))), true},
      {"a year ago", RegValue::Dword(static_cast<uint32_t>(At(2023, 3, 10, 8, 0))), true},
      {"a month ago", RegValue::Dword(static_cast<uint32_t>(At(2024, 2, 10, 8, 0))), true},
      {"three bytes", RegValue::Binary(std::string("\x01\x02\x03")), true},
  };
  for (const auto& c : table) {
    RegValue stamp = c.stamp;
    stamp.type = platform::RegType::Binary;
    ASSERT_TRUE(registry_.WriteValue(RegRoot::CurrentUser, kProgramKey, kLastStartUpValue, stamp));
    EXPECT_EQ(Due(once, now, true), c.due) << c.what;
    EXPECT_TRUE(Due(always, now, true)) << c.what;
  }
}

TEST_F(ScheduleDue, LastStartUpIsWrittenOnlyIntoAnExistingKey) {
  const int64_t now = At(2024, 3, 10, 8, 15);
  EXPECT_FALSE(WriteLastStartUp(registry_, now));
  EXPECT_FALSE(registry_.KeyExists(RegRoot::CurrentUser, kProgramKey));
  ASSERT_TRUE(registry_.CreateKey(RegRoot::CurrentUser, kProgramKey));
  ASSERT_TRUE(WriteLastStartUp(registry_, now));
  auto stamp = registry_.ReadValue(RegRoot::CurrentUser, kProgramKey, kLastStartUpValue);
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp->type, platform::RegType::Binary);
  EXPECT_EQ(stamp->AsDword(), static_cast<uint32_t>(now));
  auto once = Make(4, 0, 0, 1, 1);
  EXPECT_FALSE(Due(once, now + 3600, true));  // the stamp now lies on today's date
}

#ifndef _WIN32

// Berlin, 2024: clocks go from 02:00 to 03:00 on 31 March and from 03:00 back to 02:00 on
// 27 October. Local times compare as the platform converts them, Time with its own date's
// rules: a 02:30 never shows on the spring day and shows twice on the autumn day.
TEST_F(ScheduleDue, FollowsLocalTimeAcrossDaylightSavingChanges) {
  testsupport::TimeZoneScope berlin("Europe/Berlin");
  const int64_t spring = 1711839600;  // 2024-03-31 00:00 local (23:00 UTC the day before)
  const int64_t autumn = 1729980000;  // 2024-10-27 00:00 local (22:00 UTC the day before)
  const auto winter0230 = Make(1, At(2024, 1, 10, 2, 30));
  const auto summer0230 = Make(1, At(2024, 7, 1, 2, 30));
  const auto winter1000 = Make(1, At(2024, 1, 10, 10, 0));

  EXPECT_EQ(DueMinutes(winter0230, spring - 86400, spring), 1);
  EXPECT_EQ(DueMinutes(winter0230, spring, spring + 23 * 3600), 0);
  EXPECT_EQ(DueMinutes(Make(1, At(2024, 1, 10, 3, 0)), spring, spring + 23 * 3600), 1);

  EXPECT_EQ(DueMinutes(summer0230, autumn, autumn + 25 * 3600), 2);
  EXPECT_TRUE(Due(summer0230, autumn + 2 * 3600 + 1800));  // 02:30 summer time
  EXPECT_TRUE(Due(summer0230, autumn + 3 * 3600 + 1800));  // 02:30 winter time
  EXPECT_FALSE(Due(summer0230, autumn + 3 * 3600));        // 02:00 winter time

  // A time set in winter keeps its wall-clock hour in summer.
  EXPECT_TRUE(Due(winter1000, 1721030400));   // 2024-07-15 08:00 UTC = 10:00 summer time
  EXPECT_FALSE(Due(winter1000, 1721034000));  // 09:00 UTC = 11:00
}

TEST_F(ScheduleDue, StartUpOnceComparesLocalDatesNotUtcDates) {
  testsupport::TimeZoneScope moscow("Europe/Moscow");  // UTC+3 all year
  auto once = Make(4, 0, 0, 1, 1);
  ASSERT_TRUE(registry_.CreateKey(RegRoot::CurrentUser, kProgramKey));
  // 2024-05-01 22:30 UTC is already 2 May 01:30 in Moscow; the stamp is 1 May 23:00 local.
  ASSERT_TRUE(WriteLastStartUp(registry_, 1714590000));  // 2024-05-01 20:00 UTC
  EXPECT_TRUE(Due(once, 1714602600, true));
  EXPECT_FALSE(Due(once, 1714590000 + 1800, true));
}

#endif

}  // namespace
