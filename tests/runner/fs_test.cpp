// The file operations the job steps rely on, where the system's behaviour matters:
// replacing moves keep file times, plain renames refuse a target, appends need a file.
#include <gtest/gtest.h>

#include "tests/runner/scratch.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

TEST(FileOperations, MovesRenamesAppendsAndTemporaryFiles) {
  ScratchFolder scratch;
  const std::string a = scratch / "а.zip", b = scratch / "б.zip";
  Write(a, "first");
  Write(b, "second");
  ASSERT_TRUE(fs::SetLastWriteTime(a, DaysAgo(2)));
  unsigned long error = 0;
  EXPECT_FALSE(fs::Rename(a, b, &error));
  EXPECT_NE(error, 0u);
  EXPECT_TRUE(fs::MoveReplace(a, b, &error));
  EXPECT_EQ(error, 0u);
  EXPECT_FALSE(fs::FileExists(a));
  EXPECT_EQ(Read(b), "first");
  EXPECT_TRUE(fs::GetLastWriteTime(b)->SameDay(DaysAgo(2)));

  EXPECT_FALSE(fs::AppendFile(a, "x"));  // never creates
  EXPECT_TRUE(fs::AppendFile(b, " more"));
  EXPECT_TRUE(fs::SetFileLength(b, 5));
  EXPECT_EQ(Read(b), "first");
  EXPECT_EQ(fs::FileSize(b), 5u);

  std::optional<std::string> temp = fs::CreateTempFile(scratch.path(), "~pak");
  ASSERT_TRUE(temp);
  EXPECT_EQ(temp->find(scratch.path()), 0u);
  EXPECT_NE(temp->find("~pa"), std::string::npos);
  EXPECT_EQ(Read(*temp), "");
  fs::Attributes folder = fs::GetAttributes(scratch.path());
  EXPECT_TRUE(folder.exists && folder.folder && !folder.readOnly);
  EXPECT_FALSE(fs::GetAttributes(scratch / "нет").exists);
}

}  // namespace
