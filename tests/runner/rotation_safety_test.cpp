// What an interrupted rotation leaves behind is cleaned up on every path.
#include <gtest/gtest.h>

#include "runner/archive_names.h"
#include "runner/archive_rotation.h"
#include "tests/runner/run_helpers.h"

namespace {

using namespace testrunner;

TEST(RotationSafety, LeftoverSpareCopiesAreRemovedOnEveryPath) {
  const std::string name = "Торговля архив";
  // Days back of the archive (-1: none), CopyCount, SaveMode.
  const int cases[][3] = {{1, 3, 0}, {0, 3, 0}, {0, 3, 1}, {-1, 3, 0}, {1, 0, 0}, {1, 2, 0}};
  for (const auto& c : cases) {
    ScratchFolder scratch;
    JournalledRun run{scratch};
    std::string archive = scratch / (name + ".zip");
    if (c[0] >= 0) Write(archive, "archive");
    if (c[0] >= 0) platform::fs::SetLastWriteTime(archive, DaysAgo(c[0]));
    const std::string spare = ArchiveCopyPath(scratch.path(), name, 3, ".zip") + ".tmp";
    Write(spare, "half of a copy");
    RunValues values;
    values.copyCount = static_cast<uint32_t>(c[1]);
    values.saveMode = c[2];
    bool skip = false;
    RotateArchiveCopies(name, archive, scratch.path(), skip, ".zip", values, run.control);
    EXPECT_FALSE(platform::fs::FileExists(spare)) << c[0] << " " << c[1] << " " << c[2];
  }
}

}  // namespace
