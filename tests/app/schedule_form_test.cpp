// The schedule dialog's rules without a window: descriptions (stored files use them as
// section names), the Days bits, the day check, and what the result leaves of the
// entry's other values.
#include "app/schedule_form.h"

#include <gtest/gtest.h>

namespace {

using app::ScheduleForm;
constexpr platform::LocalTime kNow{2026, 3, 2, 2, 5, 41, 1};

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
    ScheduleEntry e;
    ASSERT_TRUE(form.Apply(e)) << c.description;
    EXPECT_EQ(e.name, c.description);
    EXPECT_EQ(static_cast<int>(e.Mode), c.position + 1);
    EXPECT_EQ(e.Days, c.days) << c.description;
    EXPECT_EQ(e.Date, c.date) << c.description;
    EXPECT_EQ(e.Once, c.onceValue) << c.description;
    EXPECT_EQ(e.Time, platform::FromLocalTime({2026, 3, 2, 2, 5, 0}).value());  // seconds 0
  }
}

TEST(ScheduleFormTest, ApplyNeedsAModeAWeekdayEveryWeekAndAValidDayOnlyEveryMonth) {
  ScheduleForm form(ScheduleEntry{}, kNow);
  EXPECT_FALSE(form.CanApply());
  form.SelectMode(1);
  EXPECT_FALSE(form.CanApply());
  form.SelectMode(2);
  ScheduleEntry untouched;
  for (const char* bad : {"0", "32", "", "1a", "-1", "100000000000"}) {
    form.SetDayText(bad);
    EXPECT_FALSE(form.Apply(untouched)) << bad;
    // The description keeps the last day that was valid.
    EXPECT_EQ(form.Description(), "В 02:05, 1 числа каждого месяца");
  }
  EXPECT_EQ(untouched, ScheduleEntry{});
  // A day the daily mode does not use is not checked.
  form.SelectMode(0);
  EXPECT_TRUE(form.Apply(untouched));
}

// Ticks kept across modes: the dialog tests. A daily schedule opens with clear weekday
// boxes whatever its Days, and applying one mode keeps the other modes' values; values no
// dialog writes open as they are.
TEST(ScheduleFormTest, StoredValuesOpenAsTheyAre) {
  ScheduleEntry daily{.Days = 0x41, .Mode = ScheduleMode::Daily, .Once = 1};
  ScheduleForm form(daily, kNow);
  form.SelectMode(1);
  EXPECT_FALSE(form.CanApply());
  form.SelectMode(2);
  ASSERT_TRUE(form.Apply(daily));
  EXPECT_EQ(daily.Days, 0x41);
  EXPECT_EQ(daily.Once, 1);

  // Read without "Time": the form starts from now.
  ScheduleEntry monthly{.Mode = ScheduleMode::Monthly, .Time = kNoScheduleTime, .Date = 45};
  ScheduleForm odd(monthly, kNow);
  EXPECT_EQ(odd.DayText(), "45");
  EXPECT_FALSE(odd.DayValid());
  odd.SetDayText("15");
  ASSERT_TRUE(odd.Apply(monthly));
  EXPECT_EQ(monthly.name, "В 02:05, 15 числа каждого месяца");

  monthly.Mode = static_cast<ScheduleMode>(7);
  EXPECT_EQ(ScheduleForm(monthly, kNow).Mode(), ScheduleMode::Placeholder);
}

}  // namespace
