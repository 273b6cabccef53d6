#include "platform/file.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/support/scratch.h"

namespace {

TEST(FileTest, OpenCreatesOnlyWhenAskedNeverTruncatesAndMovesTheHandle) {
  testsupport::ScratchFolder dir;
  std::string path = dir / "f.bin";
  platform::File f;
  EXPECT_FALSE(f.Open(path, 2));
  EXPECT_FALSE(testsupport::Exists(path));

  ASSERT_TRUE(f.Open(path, 0x3002));
  ASSERT_TRUE(f.Write("abcdef", 6));
  ASSERT_TRUE(f.Seek(2));
  ASSERT_TRUE(f.Write("XY", 2));
  EXPECT_EQ(f.GetLength(), 6);
  EXPECT_EQ(f.Position(), 4);  // the length query does not move the position
  ASSERT_TRUE(f.SetLength(5));
  ASSERT_TRUE(f.Open(path, 0x3002));  // reopening closes first
  EXPECT_EQ(f.GetLength(), 5);

  platform::File moved(std::move(f));
  EXPECT_FALSE(f.IsOpen());
  platform::File other;
  EXPECT_FALSE(other.Open(path, 0));  // held exclusively, by the moved-to object
  moved.Close();
  ASSERT_TRUE(other.Open(path, 0));
  EXPECT_FALSE(other.Write("x", 1));
  char buf[8] = {};
  EXPECT_EQ(other.Read(buf, sizeof buf), 5);
  EXPECT_EQ(std::string(buf, 5), "abXYe");
  EXPECT_EQ(other.ReadAt(1, buf, sizeof buf), 4);  // wherever the position is
  EXPECT_EQ(std::string(buf, 4), "bXYe");
  EXPECT_EQ(other.ReadAt(5, buf, 1), 0);
}

}  // namespace
