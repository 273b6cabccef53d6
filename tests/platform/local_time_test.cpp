#include "platform/local_time.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "tests/platform/time_zone_scope.h"
#endif

using platform::FromLocalTime;
using platform::LocalTime;
using platform::ToLocalTime;

namespace {

// In any zone an instant converts to valid fields and back, except where the clock shows
// that local time twice (then the other of the two, an hour away).
TEST(LocalTime, RoundTripsThroughTheLocalCalendar) {
  for (int64_t t = 1704067200; t < 1704067200 + 366 * 86400; t += 7 * 3600 + 13 * 60 + 7) {
    auto local = ToLocalTime(t);
    ASSERT_TRUE(local && platform::HasValidFields(*local)) << t;
    auto back = FromLocalTime(*local);
    ASSERT_TRUE(back) << t;
    EXPECT_TRUE(*back == t || *back == t - 3600 || *back == t + 3600) << t;
  }
  EXPECT_FALSE(FromLocalTime({2023, 2, 29, 0, 0, 0}));
  EXPECT_FALSE(FromLocalTime({2024, 4, 31, 0, 0, 0}));
  EXPECT_FALSE(FromLocalTime({2024, 1, 1, 24, 0, 0}));
}

#ifndef _WIN32

// Berlin, 2024: forward at 01:00 UTC on 31 March, back at 01:00 UTC on 27 October.
TEST(LocalTime, UsesTheDaylightSavingRulesOfTheDate) {
  testsupport::TimeZoneScope berlin("Europe/Berlin");
  EXPECT_EQ(ToLocalTime(1711846799), (LocalTime{2024, 3, 31, 1, 59, 59, 0}));
  EXPECT_EQ(ToLocalTime(1711846800), (LocalTime{2024, 3, 31, 3, 0, 0, 0}));
  EXPECT_EQ(ToLocalTime(1729989000), (LocalTime{2024, 10, 27, 2, 30, 0, 0}));
  EXPECT_EQ(ToLocalTime(1729992600), (LocalTime{2024, 10, 27, 2, 30, 0, 0}));
  EXPECT_EQ(FromLocalTime({2024, 1, 15, 12, 0, 0}), 1705316400);  // 11:00 UTC
  EXPECT_EQ(FromLocalTime({2024, 7, 15, 12, 0, 0}), 1721037600);  // 10:00 UTC
  // Unsigned 32-bit stamps reach 2106.
  EXPECT_EQ(ToLocalTime(4294967295), (LocalTime{2106, 2, 7, 7, 28, 15, 0}));
}

#endif

}  // namespace
