// A replace that fails after the system has set the target aside must not cost the target.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/fs.h"
#include "tests/support/scratch.h"

namespace {

// Wine renames the target to the backup name first and then fails to move a replacement
// that lies on another Unix file system (tmpfs), ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the
// state a swap that fails midway leaves.
TEST(ReplaceDurably, AFailedSwapLeavesTheTargetWithItsContentAndNothingBeside) {
  testsupport::ScratchFolder dir;
  const std::string target = dir / "nightly.cfg";
  const std::string elsewhere = "Z:\\dev\\shm\\zv_replace_" + std::to_string(GetCurrentProcessId());
  testsupport::Write(target, "old");
  testsupport::Write(elsewhere, "new");
  unsigned long error = 0;
  const bool replaced = platform::fs::ReplaceDurably(elsewhere, target, 0, &error);
  platform::fs::RemoveFile(elsewhere);
  if (replaced) GTEST_SKIP() << "/dev/shm is on the same file system here";
  EXPECT_EQ(testsupport::Read(target), "old");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"nightly.cfg"});
}

}  // namespace
