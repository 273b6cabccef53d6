#include "platform/local_time.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "platform/win32/local_time_zone.h"
#else
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

// Berlin: local fields to an instant by the rules of their date (the other way: the due
// rule's tests); unsigned 32-bit stamps reach 2106.
TEST(LocalTime, UsesTheDaylightSavingRulesOfTheDate) {
  testsupport::TimeZoneScope berlin("Europe/Berlin");
  EXPECT_EQ(FromLocalTime({2024, 1, 15, 12, 0, 0}), 1705316400);  // 11:00 UTC
  EXPECT_EQ(FromLocalTime({2024, 7, 15, 12, 0, 0}), 1721037600);  // 10:00 UTC
  EXPECT_EQ(ToLocalTime(4294967295), (LocalTime{2106, 2, 7, 7, 28, 15, 0}));
}

#else

// The Windows conversion in a zone with daylight saving, named explicitly (the test
// computer's own zone may have none).
constexpr wchar_t kBerlin[] = L"W. Europe Standard Time";

TEST(Win32LocalTime, UsesTheRulesOfEachDateInADaylightSavingZone) {
  const struct {
    int64_t utc;
    LocalTime local;
  } table[] = {
      {1711846799, {2024, 3, 31, 1, 59, 59, 0}},  // last second of winter time
      {1711846800, {2024, 3, 31, 3, 0, 0, 0}},    // clocks forward
      {1729989000, {2024, 10, 27, 2, 30, 0, 0}},  // 02:30 summer time
      {1729992600, {2024, 10, 27, 2, 30, 0, 0}},  // 02:30 again, winter time
      {1721030400, {2024, 7, 15, 10, 0, 0, 1}},
      {1704063600, {2024, 1, 1, 0, 0, 0, 1}},   // New Year locally, still 2023 in UTC
      {1111885200, {2005, 3, 27, 3, 0, 0, 0}},  // an older year's change
  };
  for (const auto& c : table)
    EXPECT_EQ(platform::ToLocalTimeInZone(kBerlin, c.utc), c.local) << c.utc;
  EXPECT_EQ(platform::FromLocalTimeInZone(kBerlin, {2024, 1, 15, 12, 0, 0}), 1705316400);
  EXPECT_EQ(platform::FromLocalTimeInZone(kBerlin, {2024, 7, 15, 12, 0, 0}), 1721037600);
  EXPECT_FALSE(platform::ToLocalTimeInZone(L"No Such Zone", 0));
}

// The batch keeps each year's rules: it must convert as the one-off conversion does,
// whatever order the years come in.
TEST(Win32LocalTime, BatchConvertsAsSingleConversions) {
  platform::BatchLocalTime batch;
  for (int64_t utc : {1711846800LL, 1104537599LL, 1729989000LL, 1104537600LL, 1711846799LL,
                      1704063600LL, 1111885200LL})
    EXPECT_EQ(batch.ToLocal(utc), platform::ToLocalTime(utc)) << utc;
}

#endif

}  // namespace
