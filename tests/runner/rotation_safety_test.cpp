// What an interrupted rotation leaves behind is cleaned up on every path.
#include <gtest/gtest.h>

#include "runner/archive_names.h"
#include "runner/archive_rotation.h"
#include "tests/runner/scratch.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

TEST(RotationSafety, LeftoverSpareCopiesAreRemovedOnEveryPath) {
  const std::string name = "Торговля архив";
  const struct {
    const char* what;
    int archiveDaysAgo;  // -1: no archive
    uint32_t copyCount;
    int32_t saveMode;
  } cases[] = {{"shift", 1, 3, 0},          {"today overwritten", 0, 3, 0},
               {"today retained", 0, 3, 1}, {"no archive", -1, 3, 0},
               {"no copies", 1, 0, 0},      {"count lowered since", 1, 2, 0}};
  for (const auto& c : cases) {
    ScratchFolder scratch;
    JournalledRun run{scratch};
    std::string archive = scratch / (name + ".zip");
    if (c.archiveDaysAgo >= 0) {
      Write(archive, "archive");
      fs::SetLastWriteTime(archive, DaysAgo(c.archiveDaysAgo));
    }
    const std::string spare = ArchiveCopyPath(scratch.path(), name, 3, ".zip") + ".tmp";
    Write(spare, "half of a copy");
    RunValues values;
    values.copyCount = c.copyCount;
    values.saveMode = c.saveMode;
    bool skip = false;
    RotateArchiveCopies(name, archive, scratch.path(), skip, ".zip", values, run.control);
    EXPECT_FALSE(fs::FileExists(spare)) << c.what;
  }
}

}  // namespace
