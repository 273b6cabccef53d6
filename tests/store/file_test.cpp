#include "platform/file.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/store/store_test_util.h"

using platform::File;

namespace {

class FileTest : public testing::Test {
 protected:
  std::string Path() const { return dir_.File("f.bin"); }
  storetest::ScratchDir dir_;
};

TEST_F(FileTest, OpenModesCreateOnlyWhenAskedAndNeverTruncate) {
  File f;
  platform::FileError error;
  EXPECT_FALSE(f.Open(Path(), 0, &error));
  EXPECT_NE(error.osError, -1);
  EXPECT_EQ(error.path, Path());
  EXPECT_FALSE(error.message.empty());
  EXPECT_FALSE(f.Open(Path(), 2));
  EXPECT_FALSE(storetest::Exists(Path()));

  ASSERT_TRUE(f.Open(Path(), 0x3002));
  ASSERT_TRUE(f.Write("hello", 5));
  f.Close();
  ASSERT_TRUE(f.Open(Path(), 0x3002));
  EXPECT_EQ(f.GetLength(), 5);
  f.Close();

  ASSERT_TRUE(f.Open(Path(), 0));
  EXPECT_FALSE(f.Write("x", 1));  // read only
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, sizeof buf), 5);
  EXPECT_EQ(std::string(buf, 5), "hello");
  EXPECT_EQ(f.Read(buf, sizeof buf), 0);
}

TEST_F(FileTest, SeekReadWriteAndLength) {
  File f;
  ASSERT_TRUE(f.Open(Path(), 0x3002));
  ASSERT_TRUE(f.Write("abcdef", 6));
  EXPECT_EQ(f.Position(), 6);
  ASSERT_TRUE(f.Seek(2));
  ASSERT_TRUE(f.Write("XY", 2));
  EXPECT_EQ(f.GetLength(), 6);
  EXPECT_EQ(f.Position(), 4);  // the length query does not move the position
  ASSERT_TRUE(f.SetLength(3));
  EXPECT_EQ(f.GetLength(), 3);
  ASSERT_TRUE(f.Seek(0));
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, sizeof buf), 3);
  EXPECT_EQ(std::string(buf, 3), "abX");
  ASSERT_TRUE(f.SetLength(10));
  EXPECT_EQ(f.GetLength(), 10);
  EXPECT_FALSE(f.Seek(-1));
}

TEST_F(FileTest, OpenIsExclusiveAndMovesWithTheObject) {
  File first;
  ASSERT_TRUE(first.Open(Path(), 0x3002));
  File second;
  platform::FileError error;
  EXPECT_FALSE(second.Open(Path(), 0, &error));
  EXPECT_NE(error.osError, -1);

  File moved(std::move(first));
  EXPECT_FALSE(first.IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  EXPECT_FALSE(second.Open(Path(), 2));
  File assigned;
  assigned = std::move(moved);
  EXPECT_FALSE(second.Open(Path(), 0x3002));
  assigned.Close();
  EXPECT_TRUE(second.Open(Path(), 0));
  EXPECT_EQ(first.Read(nullptr, 0), -1);  // a moved-from file is closed, not broken
}

}  // namespace
