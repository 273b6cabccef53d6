// Numbered archive copies and the same-day rule, on real files. Every rotation first
// removes the spare copy an interrupted one left, whatever it then decides.
#include <gtest/gtest.h>

#include "runner/archive_names.h"
#include "runner/archive_rotation.h"
#include "tests/runner/run_helpers.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

const std::string kName = "Торговля архив";

class Rotation : public testing::Test {
 protected:
  std::string Copy(int n) { return ArchiveCopyPath(scratch.path(), kName, n, ".zip"); }
  std::string Archive() { return scratch / (kName + ".zip"); }
  void Put(const std::string& path, const std::string& bytes, int daysAgo) {
    Write(path, bytes);
    ASSERT_TRUE(fs::SetLastWriteTime(path, DaysAgo(daysAgo)));
  }
  // Rotates and returns the skip flag.
  bool Rotate(uint32_t copyCount, int32_t saveMode) {
    values.copyCount = copyCount;
    values.saveMode = saveMode;
    std::string path = Archive();
    const std::string spare = ArchiveCopyPath(scratch.path(), kName, 3, ".zip") + ".tmp";
    Write(spare, "half of a copy");
    bool skip = false;
    RotateArchiveCopies(kName, path, scratch.path(), skip, ".zip", values, run.control);
    EXPECT_EQ(path, "\"" + Archive() + "\"");
    EXPECT_FALSE(fs::FileExists(spare)) << copyCount << " " << saveMode;
    return skip;
  }

  ScratchFolder scratch;
  JournalledRun run{scratch};
  RunValues values;
};

TEST_F(Rotation, ShiftsCopiesKeepingTheirTimes) {
  Put(Archive(), "yesterday", 1);
  Put(Copy(1), "two days", 2);
  Put(Copy(2), "three days", 3);
  Put(Copy(3), "the oldest copy, longer than the archive", 4);  // its space is reused
  Put(Copy(4), "beyond the count", 9);
  EXPECT_FALSE(Rotate(3, 1));
  EXPECT_EQ(Read(Archive()), "yesterday");  // stays until the new one replaces it
  EXPECT_EQ(Read(Copy(1)), "yesterday");
  EXPECT_EQ(Read(Copy(2)), "two days");
  EXPECT_EQ(Read(Copy(3)), "three days");
  EXPECT_EQ(Read(Copy(4)), "beyond the count");
  EXPECT_TRUE(fs::GetLastWriteTime(Copy(1))->SameDay(DaysAgo(1)));
  EXPECT_TRUE(fs::GetLastWriteTime(Copy(3))->SameDay(DaysAgo(3)));
  EXPECT_EQ(run.Text(), "");
}

TEST_F(Rotation, MissingCopyIsPassedOver) {
  Put(Archive(), "archive", 1);
  Put(Copy(1), "one", 2);
  Put(Copy(3), "three", 5);
  Rotate(3, 0);
  EXPECT_EQ(Read(Copy(1)), "archive");
  EXPECT_EQ(Read(Copy(2)), "one");
  EXPECT_EQ(Read(Copy(3)), "three");
}

TEST_F(Rotation, WithoutCopiesOnlyKeepModeRetainsTheArchive) {
  EXPECT_FALSE(Rotate(3, 1));  // no archive yet: nothing to keep, no copies
  EXPECT_FALSE(fs::FileExists(Copy(1)));
  EXPECT_EQ(run.Text(), "");
  Put(Archive(), "old", 30);
  EXPECT_TRUE(Rotate(0, 1));
  EXPECT_FALSE(Rotate(0, 0));
  EXPECT_EQ(Read(Archive()), "old");
  EXPECT_FALSE(fs::FileExists(Copy(1)));
}

}  // namespace
