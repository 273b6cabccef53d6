// The day rule of clock schedules and the start-up rule with its stamp, over local
// calendars. When in the minute a clock schedule starts, across clock changes too: the
// poll's tests. The tables hold in any zone; the zone case sets TZ and runs natively only.
#include "config/schedule_due.h"

#include <gtest/gtest.h>

#include "launcher/occurrence.h"
#include "platform/local_time.h"
#include "tests/launcher/poll_fixture.h"

#ifndef _WIN32
#include "tests/platform/time_zone_scope.h"
#endif

using platform::RegRoot;
using platform::RegValue;
using polltest::At;

namespace {

bool Matches(int mode, uint8_t days, uint8_t date, int64_t now) {
  return MatchesScheduleDay({.Days = days, .Mode = static_cast<ScheduleMode>(mode), .Date = date},
                            *platform::ToLocalTime(now));
}

TEST(ScheduleDay, AClockScheduleIsDueForTheWholeMinuteOnly) {
  const auto start = platform::ToLocalTime(At(2020, 6, 15, 10, 0, 42));  // only 10:00 counts
  const struct {
    int h, m, s;
    bool due;
  } table[] = {{10, 0, 0, true},  {10, 0, 59, true}, {9, 59, 59, false},
               {10, 1, 0, false}, {22, 0, 0, false}, {11, 0, 0, false}};
  for (const auto& c : table)
    EXPECT_EQ(launcher::IsClockDue({.Mode = ScheduleMode::Daily}, *start,
                                   *platform::ToLocalTime(At(2024, 11, 20, c.h, c.m, c.s))),
              c.due)
        << c.h << ":" << c.m << ":" << c.s;
}

TEST(ScheduleDay, WeeklyFollowsTheWeekdayMask) {
  const struct {
    uint8_t days;
    const char* dueOn;  // Sunday .. Saturday
  } table[] = {{0x41, "1000001"}, {0x02, "0100000"}, {0x7F, "1111111"}, {0x80, "0000000"}};
  for (const auto& c : table)
    for (int wd = 0; wd < 7; ++wd) {  // 2024-06-02 is a Sunday
      const int64_t now = At(2024, 6, 2 + wd, 7, 45, 30);
      ASSERT_EQ(platform::ToLocalTime(now)->weekday, wd);
      EXPECT_EQ(Matches(2, c.days, 1, now), c.dueOn[wd] == '1')
          << "days " << int(c.days) << " weekday " << wd;
    }
}

TEST(ScheduleDay, MonthlyIsDueOnlyOnItsDayWithoutShifting) {
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
        due += Matches(3, 0, c.date, At(c.year, month, day, 23, 59, 59));
    EXPECT_EQ(due, c.dueDays) << "date " << int(c.date) << " in " << c.year;
  }
}

TEST(ScheduleDay, OtherModesAndMissingStartTimeAreNeverClockSchedules) {
  const int64_t now = At(2024, 5, 5, 12, 0);
  EXPECT_TRUE(Matches(1, 0, 1, now));
  for (int mode : {0, 4, 5, 255}) {
    EXPECT_FALSE(Matches(mode, 0x7F, 5, now)) << mode;
    EXPECT_FALSE(launcher::IsClockSchedule({{.Mode = static_cast<ScheduleMode>(mode)}, true}));
    EXPECT_EQ(IsStartUpDue({.Mode = static_cast<ScheduleMode>(mode)}, true, false), mode == 4);
  }
  for (int mode : {1, 2, 3}) {
    const ScheduleEntry e{.Mode = static_cast<ScheduleMode>(mode)};
    EXPECT_TRUE(launcher::IsClockSchedule({e, true})) << mode;
    EXPECT_FALSE(launcher::IsClockSchedule({e, false})) << mode;
    EXPECT_FALSE(IsStartUpDue(e, true, false)) << mode;
  }
}

TEST(StartUp, DueOnlyInThePassAndWithOnceNotAgainOnTheSameLocalDay) {
  platform::MemoryRegistry registry;
  const int64_t now = At(2024, 3, 10, 8, 15);
  const ScheduleEntry always{.Mode = ScheduleMode::AtStartUp},
      once{.Mode = ScheduleMode::AtStartUp, .Once = 1};
  auto due = [&](const ScheduleEntry& s, bool pass) {
    platform::BatchLocalTime zone;
    return IsStartUpDue(s, pass, StartedUpOn(registry, *zone.ToLocal(now), zone));
  };
  EXPECT_FALSE(due(always, false));
  EXPECT_FALSE(due(once, false));
  EXPECT_TRUE(due(always, true));
  EXPECT_TRUE(due(once, true)) << "no program key";
  EXPECT_FALSE(WriteLastStartUp(registry, now)) << "creates no key";
  ASSERT_TRUE(registry.CreateKey(RegRoot::CurrentUser, cfg::kProgramKey));
  EXPECT_TRUE(due(once, true)) << "no stamp";

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
    ASSERT_TRUE(WriteLastStartUp(registry, c.stamp));
    EXPECT_EQ(due(once, true), c.due) << c.what;
    EXPECT_TRUE(due(always, true)) << c.what;
  }
  auto stamp = registry.ReadValue(RegRoot::CurrentUser, cfg::kProgramKey, cfg::kLastStartUpValue);
  EXPECT_EQ(stamp, RegValue::Binary(RegValue::Dword(static_cast<uint32_t>(table[4].stamp)).data));
  registry.WriteValue(RegRoot::CurrentUser, cfg::kProgramKey, cfg::kLastStartUpValue,
                      RegValue::Binary(std::string(3, '\0')));
  EXPECT_TRUE(due(once, true)) << "unreadable stamp";
}

#ifndef _WIN32
TEST(StartUp, OnceComparesLocalDatesNotUtcDates) {
  testsupport::TimeZoneScope moscow("Europe/Moscow");  // UTC+3 all year
  platform::MemoryRegistry registry;
  ASSERT_TRUE(registry.CreateKey(RegRoot::CurrentUser, cfg::kProgramKey));
  ASSERT_TRUE(WriteLastStartUp(registry, 1714590000));  // 2024-05-01 20:00 UTC, 23:00 local
  platform::BatchLocalTime zone;
  EXPECT_FALSE(StartedUpOn(registry, *zone.ToLocal(1714602600), zone));  // 2 May locally
  EXPECT_TRUE(StartedUpOn(registry, *zone.ToLocal(1714591800), zone));
}
#endif

}  // namespace
