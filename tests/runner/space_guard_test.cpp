// The disk-space guard's rule against the platform's free-space figure with a test's cap;
// a folder not made yet counts with the volume of its nearest existing parent.
#include "runner/space_guard.h"

#include <gtest/gtest.h>

#include "platform/disk_space.h"
#include "tests/runner/run_helpers.h"

namespace {

constexpr uint64_t kMiB = 1 << 20;

class SpaceGuardTest : public testing::Test {
 protected:
  ~SpaceGuardTest() override { platform::fs::SetFreeSpaceLimit(std::nullopt); }
  testrunner::ScratchFolder scratch;
};

TEST_F(SpaceGuardTest, NeededRoomAndShortageAgainstACappedVolume) {
  const struct {
    uint64_t previous, limit;
    bool refused;
  } cases[] = {
      {0, 0, true},  // even an empty archive needs its blocks
      {0, kMiB, false},
      {100 * kMiB, 106 * kMiB - 1, true},  // 100 + 5 + 1 MiB needed
      {100 * kMiB, 106 * kMiB, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.previous);
    platform::fs::SetFreeSpaceLimit(c.limit);
    EXPECT_EQ(FindSpaceShortage(scratch.path(), c.previous).has_value(), c.refused);
  }
  EXPECT_EQ(SpaceNeeded(UINT64_MAX - 5), UINT64_MAX);  // no overflow past the largest value
  // No previous archive: nothing to compare with, even on a volume with no room.
  platform::fs::SetFreeSpaceLimit(0);
  EXPECT_FALSE(FindSpaceShortage(scratch.path(), std::nullopt));
  const auto s = FindSpaceShortage(scratch / "новая\\папка", 3 * kMiB / 2);
  ASSERT_TRUE(s);
  EXPECT_EQ(SpaceShortageLine(*s), "Недостаточно места на диске: \"" + scratch / "новая\\папка" +
                                       "\" - свободно 0 МБ, нужно 3 МБ");
}

}  // namespace
