// The Windows conversion in a zone with daylight saving, named explicitly (the test
// computer's own zone may have none).
#include <gtest/gtest.h>

#include "platform/win32/local_time_zone.h"

using platform::LocalTime;

namespace {

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

}  // namespace
