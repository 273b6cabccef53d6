// Damaged and hostile files: every operation must fail cleanly, never read or write
// outside a buffer, hang or grow without bound.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "store/settings_file.h"
#include "tests/store/store_test_util.h"

using storetest::FieldAt;
using storetest::Le32;
using storetest::ReadAll;
using storetest::WriteAll;

namespace {

// root(1) { Name, Flag } > child(2) { Data }; other(3) top-level { Text }.
std::string MakeReference(const std::string& path) {
  {
    CSettingsFile f(path, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
    int32_t root = f.CreateSection("root", 0);
    f.WriteString(root, "Name", "value");
    f.WriteDword(root, "Flag", 1);
    int32_t child = f.CreateSection("child", root);
    f.WriteBinary(child, "Data", "\x01\x02\x03\x04\x05", 5);
    int32_t other = f.CreateSection("other", 0);
    f.WriteString(other, "Text", "more");
  }
  return ReadAll(path);
}

std::string Put(std::string bytes, size_t offset, int32_t value) {
  bytes.replace(offset, 4, Le32(value));
  return bytes;
}

// Runs every operation on the file; only crashes, hangs and sanitizer reports matter here.
void ExerciseAll(const std::string& path) {
  CSettingsFile f(path, SF_MODE_READ, platform::SilentFileErrorReporter());
  std::string name, out;
  for (int32_t id = 0; id < 5; ++id) {
    for (int32_t i = 0; i < 3; ++i) f.EnumSection(id, i, name);
    for (const char* v : {"Name", "Flag", "Data", "Text"}) {
      char buf[8];
      int32_t type = 0;
      uint32_t size = sizeof buf;
      f.ReadValue(id, v, type, size, buf);
      f.ReadBytes(id, v, out);
    }
  }
  f.OpenSectionPath("root\\child");
  f.OpenSection(1, "child");
  f.WriteString(1, "Name", "rewritten");
  f.WriteDword(2, "New", 7);
  f.CreateSection("fresh", 1);
  f.DeleteSection(2);
  f.DeleteSection(3);
}

class DamagedFileTest : public testing::Test {
 protected:
  void SetUp() override { good_ = MakeReference(Path()); }
  std::string Path() const { return dir_.File("d.cfg"); }
  storetest::ScratchDir dir_;
  std::string good_;
};

// Offsets in the reference file.
constexpr size_t kRoot = 8;
constexpr size_t kRootValues = kRoot + 20 + 4;

TEST_F(DamagedFileTest, EveryTruncationFailsCleanly) {
  for (size_t length = 0; length < good_.size(); ++length) {
    WriteAll(Path(), good_.substr(0, length));
    ExerciseAll(Path());
  }
}

TEST_F(DamagedFileTest, EveryHostileFieldValueFailsCleanly) {
  const int32_t hostile[] = {0, -1, -20, 1, 19, 21, 0x7FFFFFFF, INT32_MIN, 1 << 20};
  for (size_t offset = 0; offset + 4 <= good_.size(); ++offset) {
    for (int32_t v : hostile) {
      WriteAll(Path(), Put(good_, offset, v));
      ExerciseAll(Path());
    }
  }
}

TEST_F(DamagedFileTest, BadSectionSizesEndTheScanAsFailure) {
  const size_t totalSize = kRoot + 16, nameLength = kRoot + 12;
  for (auto [offset, value] : {std::pair{totalSize, 0}, {totalSize, -8}, {totalSize, 10},
                               {totalSize, 1 << 24}, {nameLength, 1 << 24}, {nameLength, -1}}) {
    WriteAll(Path(), Put(good_, offset, value));
    CSettingsFile f(Path(), SF_MODE_READ, platform::SilentFileErrorReporter());
    EXPECT_EQ(f.OpenSectionPath("other"), 0) << offset << " " << value;
    // A write cannot append behind damage it cannot see past.
    EXPECT_EQ(f.CreateSection("other", 0), 0);
  }
}

TEST_F(DamagedFileTest, ValueOverrunningItsSectionIsNeitherReadNorDuplicated) {
  // "Name" is the first value of root: make its record claim more than the section holds.
  std::string bad = Put(Put(good_, kRootValues + 4, 20 + 4 + 500), kRootValues + 12, 500);
  WriteAll(Path(), bad);
  CSettingsFile f(Path(), SF_MODE_READ, platform::SilentFileErrorReporter());
  std::string out;
  EXPECT_FALSE(f.ReadBytes(1, "Flag", out));
  EXPECT_FALSE(f.WriteString(1, "Name", "x"));
  EXPECT_TRUE(f.ReadBytes(2, "Data", out));  // other sections stay readable
  f.Close();
  EXPECT_EQ(ReadAll(Path()), bad);
  // A dataSize that disagrees with totalSize is refused too.
  WriteAll(Path(), Put(good_, kRootValues + 12, 4));
  CSettingsFile g(Path(), SF_MODE_READ, platform::SilentFileErrorReporter());
  EXPECT_FALSE(g.ReadBytes(1, "Name", out));
}

TEST_F(DamagedFileTest, HeaderCountsAreBoundedByTheFile) {
  const struct {
    size_t offset;
    int32_t value;
    int32_t rootId, newId;  // what finding "root" and creating "new" give
  } table[] = {{0, 0x7FFFFFFF, 1, 0},   // huge sectionCount: only the records there
               {0, -5, 0, 0},           // negative count: no records, nothing counted in
               {4, 0x7FFFFFFF, 1, 0}};  // exhausted lastId: no new ids
  for (const auto& c : table) {
    WriteAll(Path(), Put(good_, c.offset, c.value));
    CSettingsFile f(Path(), SF_MODE_READ, platform::SilentFileErrorReporter());
    EXPECT_EQ(f.OpenSectionPath("root"), c.rootId) << c.offset << " " << c.value;
    EXPECT_EQ(f.CreateSection("new", 0), c.newId) << c.offset << " " << c.value;
    f.Close();
    EXPECT_EQ(FieldAt(ReadAll(Path()), c.offset), c.value);
  }
  // A short header is not an empty file.
  WriteAll(Path(), std::string("\x01\x00\x00", 3));
  CSettingsFile f(Path(), SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
  EXPECT_EQ(f.CreateSection("s", 0), 0);
  f.Close();
  EXPECT_EQ(ReadAll(Path()).size(), 3u);
}

}  // namespace
