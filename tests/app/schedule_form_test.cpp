// The schedule dialog's rules without a window: descriptions (stored files use them as
// section names), the Days bits, which controls apply, the day check, and what the
// result leaves of the entry's other values.
#include "app/schedule_form.h"

#include <gtest/gtest.h>

namespace {

using app::ScheduleForm;
constexpr platform::LocalTime kNow{2026, 3, 2, 2, 5, 41, 1};

ScheduleEntry Applied(ScheduleForm& form) {
  ScheduleEntry entry;
  EXPECT_TRUE(form.Apply(entry));
  return entry;
}

TEST(ScheduleFormTest, DescriptionsAndTheValuesEachModeSets) {
  struct Case {
    int position;
    std::vector<int> weekdays;
    std::string day;
    bool once;
    std::string description;
    uint8_t days, date, onceValue;
  } cases[] = {
      {0, {}, "1", false, "В 02:05,  каждый день", 0, 1, 0},
      {1, {0, 1}, "1", false, "В 02:05,  каждую неделю по Вс, Пн", 3, 1, 0},
      // Ticked in another order: the description still runs Sunday to Saturday.
      {1, {6, 3}, "1", false, "В 02:05,  каждую неделю по Ср, Сб", 0x48, 1, 0},
      {2, {}, " 31", false, "В 02:05, 31 числа каждого месяца", 0, 31, 0},
      {3, {}, "1", false, "При включении компьютера", 0, 1, 0},
      {3, {}, "1", true, "При включении компьютера один раз в день", 0, 1, 1},
  };
  for (const Case& c : cases) {
    ScheduleForm form(ScheduleEntry{}, kNow);
    EXPECT_EQ(form.Description(), "Новое расписание");
    form.SelectMode(c.position);
    for (int d : c.weekdays) form.SetWeekday(d, true);
    form.SetDayText(c.day);
    form.SetOnce(c.once);
    const ScheduleEntry e = Applied(form);
    EXPECT_EQ(e.name, c.description);
    EXPECT_EQ(static_cast<int>(e.Mode), c.position + 1);
    EXPECT_EQ(e.Days, c.days) << c.description;
    EXPECT_EQ(e.Date, c.date) << c.description;
    EXPECT_EQ(e.Once, c.onceValue) << c.description;
    // The picker's time with the seconds of opening cleared.
    platform::LocalTime at = kNow;
    at.second = 0;
    EXPECT_EQ(e.Time, platform::FromLocalTime(at).value());
  }
}

TEST(ScheduleFormTest, ApplyNeedsAModeAWeekdayEveryWeekAndAValidDayEveryMonth) {
  ScheduleForm form(ScheduleEntry{}, kNow);
  EXPECT_FALSE(form.CanApply());
  form.SelectMode(1);
  EXPECT_FALSE(form.CanApply());
  form.SetWeekday(5, true);
  EXPECT_TRUE(form.CanApply());
  form.SetWeekday(5, false);
  ScheduleEntry untouched;
  EXPECT_FALSE(form.Apply(untouched));
  EXPECT_EQ(untouched, ScheduleEntry{});

  form.SelectMode(2);
  for (const char* bad : {"0", "32", "", " ", "1a", "-1", "100000000000"}) {
    form.SetDayText(bad);
    EXPECT_FALSE(form.DayValid()) << bad;
    EXPECT_FALSE(form.Apply(untouched)) << bad;
    // The description keeps the last day that was valid.
    EXPECT_EQ(form.Description(), "В 02:05, 1 числа каждого месяца");
  }
  // A day the daily mode does not use is not checked.
  form.SelectMode(0);
  EXPECT_TRUE(form.DayValid());
  EXPECT_EQ(Applied(form).Date, 1);
}

TEST(ScheduleFormTest, OpeningShowsTheEntryAndKeepsWeekdayBoxesAcrossModes) {
  ScheduleEntry weekly;
  weekly.Mode = ScheduleMode::Weekly;
  weekly.Days = 0x41;
  weekly.Date = 9;
  weekly.Once = 1;
  weekly.Time = static_cast<uint32_t>(platform::FromLocalTime({2025, 7, 1, 23, 59, 0}).value());
  ScheduleForm form(weekly, kNow);
  EXPECT_EQ(form.Description(), "В 23:59,  каждую неделю по Вс, Сб");
  EXPECT_TRUE(form.WeekdaysShown() && form.TimeEnabled());
  EXPECT_FALSE(form.DayShown() || form.OnceShown());
  // Out to the daily mode and back: the boxes are as they were ticked.
  form.SelectMode(0);
  EXPECT_FALSE(form.WeekdaysShown());
  form.SelectMode(1);
  EXPECT_TRUE(form.Weekday(0) && form.Weekday(6) && !form.Weekday(1));
  // Into the monthly mode: its day starts at 1, the other modes' values stay in the entry.
  form.SelectMode(2);
  EXPECT_EQ(form.DayText(), "1");
  ScheduleEntry e = weekly;
  ASSERT_TRUE(form.Apply(e));
  EXPECT_EQ(e.name, "В 23:59, 1 числа каждого месяца");
  EXPECT_EQ(e.Days, 0x41);
  EXPECT_EQ(e.Once, 1);
  EXPECT_EQ(e.Time, weekly.Time);
  form.SelectMode(3);
  EXPECT_FALSE(form.TimeEnabled());
  EXPECT_TRUE(form.OnceShown());
  EXPECT_FALSE(form.Once());  // the box starts clear outside mode 4

  // A daily schedule opens with clear weekday boxes whatever its Days.
  ScheduleEntry daily = weekly;
  daily.Mode = ScheduleMode::Daily;
  ScheduleForm dailyForm(daily, kNow);
  dailyForm.SelectMode(1);
  EXPECT_FALSE(dailyForm.CanApply());
}

TEST(ScheduleFormTest, StoredValuesNoDialogWritesOpenAsSuch) {
  ScheduleEntry monthly;
  monthly.Mode = ScheduleMode::Monthly;
  monthly.Date = 45;
  monthly.Time = kNoScheduleTime;  // read without "Time": the form starts from now
  ScheduleForm form(monthly, kNow);
  EXPECT_EQ(form.DayText(), "45");
  EXPECT_FALSE(form.DayValid());
  EXPECT_EQ(form.Description(), "В 02:05, 1 числа каждого месяца");
  form.SetDayText("15");
  EXPECT_NE(Applied(form).Time, kNoScheduleTime);

  ScheduleEntry unknown;
  unknown.Mode = static_cast<ScheduleMode>(7);
  EXPECT_EQ(ScheduleForm(unknown, kNow).Mode(), ScheduleMode::Placeholder);
}

}  // namespace
