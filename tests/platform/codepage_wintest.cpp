#include <gtest/gtest.h>

#include "platform/codepage.h"

TEST(Codepage, RoundTripsEveryByteOf1251) {
  std::string all;
  for (int c = 1; c < 256; ++c)
    if (c != 0x98) all.push_back(static_cast<char>(c));  // 0x98 is unassigned in 1251
  EXPECT_EQ(platform::Narrow(platform::Widen(all)), all);
  EXPECT_EQ(platform::Widen("Журнал"), L"\u0416\u0443\u0440\u043d\u0430\u043b");
  EXPECT_EQ(platform::Narrow(L"\u4e2d"), "?");
}
