#include "platform/local_time.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "tests/platform/time_zone_scope.h"
#endif

using platform::FromLocalTime;
using platform::LocalTime;
using platform::ToLocalTime;

namespace {

// Whatever the zone: converting an instant to local fields and back gives the instant,
// except where the clock shows that local time twice (then one hour apart at most).
TEST(LocalTime, RoundTripsThroughTheLocalCalendar) {
  for (int64_t t = 1704067200; t < 1704067200 + 366 * 86400; t += 7 * 3600 + 13 * 60 + 7) {
    auto local = ToLocalTime(t);
    ASSERT_TRUE(local) << t;
    EXPECT_TRUE(platform::HasValidFields(*local)) << t;
    auto back = FromLocalTime(*local);
    ASSERT_TRUE(back) << t;
    EXPECT_TRUE(*back == t || *back == t - 3600 || *back == t + 3600) << t;
  }
}

TEST(LocalTime, RefusesFieldsOutsideTheCalendar) {
  const LocalTime bad[] = {{2023, 2, 29, 0, 0, 0}, {2024, 2, 30, 0, 0, 0},
                           {2024, 13, 1, 0, 0, 0}, {2024, 4, 31, 0, 0, 0},
                           {2024, 1, 1, 24, 0, 0}, {2024, 1, 1, 0, 60, 0}};
  for (const auto& t : bad) EXPECT_FALSE(FromLocalTime(t)) << t.month << "/" << t.day;
  EXPECT_TRUE(FromLocalTime({2024, 2, 29, 23, 59, 59}));
}

#ifndef _WIN32

TEST(LocalTime, FollowsUtcWeekdaysAndLeapYears) {
  testsupport::TimeZoneScope utc("UTC");
  EXPECT_EQ(ToLocalTime(0), (LocalTime{1970, 1, 1, 0, 0, 0, 4}));
  EXPECT_EQ(ToLocalTime(951782400), (LocalTime{2000, 2, 29, 0, 0, 0, 2}));
  EXPECT_EQ(ToLocalTime(4294967295), (LocalTime{2106, 2, 7, 6, 28, 15, 0}));
  EXPECT_EQ(FromLocalTime({2000, 2, 29, 0, 0, 0}), 951782400);
}

// Berlin turns its clocks forward at 01:00 UTC on 2024-03-31 and back at 01:00 UTC on
// 2024-10-27.
TEST(LocalTime, UsesTheDaylightSavingRulesOfTheDate) {
  testsupport::TimeZoneScope berlin("Europe/Berlin");
  const int64_t springUtc = 1711846800;  // 2024-03-31 01:00:00 UTC
  EXPECT_EQ(ToLocalTime(springUtc - 1), (LocalTime{2024, 3, 31, 1, 59, 59, 0}));
  EXPECT_EQ(ToLocalTime(springUtc), (LocalTime{2024, 3, 31, 3, 0, 0, 0}));

  const int64_t autumnUtc = 1729990800;  // 2024-10-27 01:00:00 UTC
  EXPECT_EQ(ToLocalTime(autumnUtc - 1800), (LocalTime{2024, 10, 27, 2, 30, 0, 0}));
  EXPECT_EQ(ToLocalTime(autumnUtc + 1800), (LocalTime{2024, 10, 27, 2, 30, 0, 0}));

  EXPECT_EQ(FromLocalTime({2024, 1, 15, 12, 0, 0}), 1705316400);  // 11:00 UTC in winter
  EXPECT_EQ(FromLocalTime({2024, 7, 15, 12, 0, 0}), 1721037600);  // 10:00 UTC in summer
}

#endif

}  // namespace
