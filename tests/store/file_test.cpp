#include "platform/file.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/store/store_test_util.h"

namespace {

TEST(FileTest, OpenModesCreateOnlyWhenAskedAndNeverTruncate) {
  storetest::ScratchDir dir;
  std::string path = dir.File("f.bin");
  platform::File f;
  platform::FileError error;
  EXPECT_FALSE(f.Open(path, 0, &error));
  EXPECT_NE(error.osError, -1);
  EXPECT_EQ(error.path, path);
  EXPECT_FALSE(f.Open(path, 2));
  EXPECT_FALSE(storetest::Exists(path));

  ASSERT_TRUE(f.Open(path, 0x3002));
  ASSERT_TRUE(f.Write("abcdef", 6));
  ASSERT_TRUE(f.Seek(2));
  ASSERT_TRUE(f.Write("XY", 2));
  EXPECT_EQ(f.GetLength(), 6);
  EXPECT_EQ(f.Position(), 4);  // the length query does not move the position
  ASSERT_TRUE(f.SetLength(5));
  ASSERT_TRUE(f.Open(path, 0x3002));  // reopening closes first
  EXPECT_EQ(f.GetLength(), 5);

  ASSERT_TRUE(f.Open(path, 0));
  EXPECT_FALSE(f.Write("x", 1));
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, sizeof buf), 5);
  EXPECT_EQ(std::string(buf, 5), "abXYe");
  EXPECT_EQ(f.Read(buf, sizeof buf), 0);
}

TEST(FileTest, OpenIsExclusiveAndMovesWithTheObject) {
  storetest::ScratchDir dir;
  std::string path = dir.File("f.bin");
  platform::File first, second;
  ASSERT_TRUE(first.Open(path, 0x3002));
  platform::FileError error;
  EXPECT_FALSE(second.Open(path, 0, &error));
  EXPECT_NE(error.osError, -1);

  platform::File moved(std::move(first));
  EXPECT_FALSE(first.IsOpen());
  EXPECT_FALSE(second.Open(path, 2));
  platform::File assigned;
  assigned = std::move(moved);
  EXPECT_FALSE(second.Open(path, 0x3002));
  assigned.Close();
  EXPECT_TRUE(second.Open(path, 0));
}

}  // namespace
