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
  return platform::FromLocalTime({y, mo, d, h, mi, s}).value_or(-1);
}

ScheduleRecord Make(int mode, int64_t time, uint8_t days = 0, uint8_t date = 1, uint8_t once = 0) {
  return {{"s", "", kNoItem, days, static_cast<ScheduleMode>(mode), static_cast<uint32_t>(time),
           date, once},
          true};
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
  const auto daily = Make(1, At(2020, 6, 15, 10, 0));  // the date part of Time never counts
  const struct {
    int h, m, s;
    bool due;
  } table[] = {{10, 0, 0, true},  {10, 0, 59, true}, {9, 59, 59, false},
               {10, 1, 0, false}, {22, 0, 0, false}, {11, 0, 0, false}};
  for (const auto& c : table)
    EXPECT_EQ(Due(daily, At(2024, 11, 20, c.h, c.m, c.s)), c.due)
        << c.h << ":" << c.m << ":" << c.s;
  EXPECT_TRUE(Due(Make(1, At(2020, 6, 15, 10, 0, 42)), At(2024, 11, 20, 10, 0, 1))) << "seconds";
}

TEST_F(ScheduleDue, WeeklyFollowsTheWeekdayMask) {
  const struct {
    uint8_t days;
    const char* dueOn;  // Sunday .. Saturday
  } table[] = {{0x41, "1000001"}, {0x02, "0100000"}, {0x7F, "1111111"}, {0x80, "0000000"}};
  for (const auto& c : table)
    for (int wd = 0; wd < 7; ++wd) {  // 2024-06-02 is a Sunday
      const int64_t now = At(2024, 6, 2 + wd, 7, 45, 30);
      ASSERT_EQ(platform::ToLocalTime(now)->weekday, wd);
      EXPECT_EQ(Due(Make(2, At(2020, 1, 1, 7, 45), c.days), now), c.dueOn[wd] == '1')
          << "days " << int(c.days) << " weekday " << wd;
    }
}

TEST_F(ScheduleDue, MonthlyIsDueOnlyOnItsDayWithoutShifting) {
  const struct {
    uint8_t date;
    int year;
    int dueDays;  // days of that year on which it is due
  } table[] = {{31, 2023, 7}, {30, 2023, 11}, {29, 2023, 11}, {29, 2024, 12},
               {1, 2023, 12}, {0, 2024, 0},   {32, 2024, 0}};
  for (const auto& c : table) {
    int due = 0;
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= platform::DaysInMonth(c.year, month); ++day)
        due += Due(Make(3, At(2020, 1, 1, 23, 59), 0, c.date), At(c.year, month, day, 23, 59, 59));
    EXPECT_EQ(due, c.dueDays) << "date " << int(c.date) << " in " << c.year;
  }
}

TEST_F(ScheduleDue, OtherModesAndMissingStartTimeAreNeverDue) {
  const int64_t now = At(2024, 5, 5, 12, 0);
  for (int mode : {0, 5, 255, -1}) EXPECT_FALSE(Due(Make(mode, now), now, true)) << mode;
  for (int mode : {1, 2, 3}) {
    auto r = Make(mode, now, 0x7F, 5);
    EXPECT_TRUE(Due(r, now)) << mode;
    r.hasTime = false;
    EXPECT_FALSE(Due(r, now)) << mode;
  }
}

TEST_F(ScheduleDue, StartUpModeDependsOnThePassAndTheLastStartUpDate) {
  const int64_t now = At(2024, 3, 10, 8, 15);
  const auto always = Make(4, 0), once = Make(4, 0, 0, 1, 1);
  EXPECT_FALSE(Due(always, now, false));
  EXPECT_FALSE(Due(once, now, false));
  EXPECT_TRUE(Due(always, now, true));
  EXPECT_TRUE(Due(once, now, true)) << "no program key";
  EXPECT_FALSE(WriteLastStartUp(registry_, now)) << "creates no key";
  ASSERT_TRUE(registry_.CreateKey(RegRoot::CurrentUser, cfg::kProgramKey));
  EXPECT_TRUE(Due(once, now, true)) << "no stamp";

  const struct {
    const char* what;
    int64_t stamp;
    bool due;
  } table[] = {{"earlier today", At(2024, 3, 10, 0, 0), false},
               {"later today", At(2024, 3, 10, 23, 59, 59), false},
               {"yesterday", At(2024, 3, 9, 23, 59, 59), true},
               {"a month ago", At(2024, 2, 10, 8, 0), true},
               {"a year ago", At(2023, 3, 10, 8, 0), true}};
  for (const auto& c : table) {
    ASSERT_TRUE(WriteLastStartUp(registry_, c.stamp));
    EXPECT_EQ(Due(once, now, true), c.due) << c.what;
    EXPECT_TRUE(Due(always, now, true)) << c.what;
  }
  auto stamp = registry_.ReadValue(RegRoot::CurrentUser, cfg::kProgramKey, cfg::kLastStartUpValue);
  EXPECT_EQ(stamp, RegValue::Binary(RegValue::Dword(static_cast<uint32_t>(table[4].stamp)).data));
  registry_.WriteValue(RegRoot::CurrentUser, cfg::kProgramKey, cfg::kLastStartUpValue,
                       RegValue::Binary(std::string(3, '\0')));
  EXPECT_TRUE(Due(once, now, true)) << "unreadable stamp";
}

#ifndef _WIN32

// Berlin, 2024: clocks go from 02:00 to 03:00 on 31 March and from 03:00 back to 02:00 on
// 27 October. Time converts with its own date's rules, now with today's: a 02:30 never
// shows on the spring day and shows twice on the autumn day.
TEST_F(ScheduleDue, FollowsLocalTimeAcrossDaylightSavingChanges) {
  testsupport::TimeZoneScope berlin("Europe/Berlin");
  const int64_t spring = 1711839600;  // 2024-03-31 00:00 local
  const int64_t autumn = 1729980000;  // 2024-10-27 00:00 local
  const auto daily0230 = Make(1, At(2024, 1, 10, 2, 30));
  EXPECT_EQ(DueMinutes(daily0230, spring - 86400, spring), 1);
  EXPECT_EQ(DueMinutes(daily0230, spring, spring + 23 * 3600), 0);
  EXPECT_EQ(DueMinutes(Make(1, At(2024, 1, 10, 3, 0)), spring, spring + 23 * 3600), 1);

  EXPECT_EQ(DueMinutes(daily0230, autumn, autumn + 25 * 3600), 2);
  EXPECT_TRUE(Due(daily0230, autumn + 2 * 3600 + 1800));  // 02:30 summer time
  EXPECT_TRUE(Due(daily0230, autumn + 3 * 3600 + 1800));  // 02:30 winter time

  const auto winter1000 = Make(1, At(2024, 1, 10, 10, 0));
  EXPECT_TRUE(Due(winter1000, 1721030400));   // 2024-07-15 08:00 UTC = 10:00 summer time
  EXPECT_FALSE(Due(winter1000, 1721034000));  // 09:00 UTC = 11:00
}

TEST_F(ScheduleDue, StartUpOnceComparesLocalDatesNotUtcDates) {
  testsupport::TimeZoneScope moscow("Europe/Moscow");  // UTC+3 all year
  ASSERT_TRUE(registry_.CreateKey(RegRoot::CurrentUser, cfg::kProgramKey));
  ASSERT_TRUE(WriteLastStartUp(registry_, 1714590000));     // 2024-05-01 20:00 UTC, 23:00 local
  EXPECT_TRUE(Due(Make(4, 0, 0, 1, 1), 1714602600, true));  // 23:30 UTC, 2 May locally
  EXPECT_FALSE(Due(Make(4, 0, 0, 1, 1), 1714591800, true));
}

#endif

}  // namespace
