// Damaged files: the damage is found and refused, never read past or written behind. (That
// no byte pattern crashes, hangs or overruns is the fuzz target's part.)
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "store/settings_file.h"
#include "tests/config/layout_writer.h"
#include "tests/support/scratch.h"

using testsupport::Read;
using testsupport::Write;

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
  return Read(path);
}

std::string Put(std::string bytes, size_t offset, int32_t value) {
  bytes.replace(offset, 4, layout::Le(static_cast<uint32_t>(value), 4));
  return bytes;
}

class DamagedFileTest : public testing::Test {
 protected:
  void SetUp() override { good_ = MakeReference(Path()); }
  std::string Path() const { return dir_ / "d.cfg"; }
  testsupport::ScratchFolder dir_;
  std::string good_;
};

// Offsets in the reference file.
constexpr size_t kRoot = 8;
constexpr size_t kRootValues = kRoot + 20 + 4;

TEST_F(DamagedFileTest, BadSectionSizesEndTheScanAsFailure) {
  const size_t totalSize = kRoot + 16, nameLength = kRoot + 12;
  for (auto [offset, value] : {std::pair{totalSize, 0}, {totalSize, -8}, {totalSize, 10},
                               {totalSize, 1 << 24}, {nameLength, 1 << 24}, {nameLength, -1}}) {
    Write(Path(), Put(good_, offset, value));
    CSettingsFile f(Path(), SF_MODE_READ, platform::SilentFileErrorReporter());
    EXPECT_EQ(f.OpenSectionPath("other"), 0) << offset << " " << value;
    // A write cannot append behind damage it cannot see past.
    EXPECT_EQ(f.CreateSection("other", 0), 0);
  }
}

TEST_F(DamagedFileTest, ValueOverrunningItsSectionIsNeitherReadNorDuplicated) {
  // "Name" is the first value of root: make its record claim more than the section holds.
  std::string bad = Put(Put(good_, kRootValues + 4, 20 + 4 + 500), kRootValues + 12, 500);
  Write(Path(), bad);
  CSettingsFile f(Path(), SF_MODE_READ, platform::SilentFileErrorReporter());
  std::string out;
  EXPECT_FALSE(f.ReadBytes(1, "Flag", out));
  EXPECT_FALSE(f.WriteString(1, "Name", "x"));
  EXPECT_TRUE(f.ReadBytes(2, "Data", out));  // other sections stay readable
  f.Close();
  EXPECT_EQ(Read(Path()), bad);
  // A dataSize that disagrees with totalSize is refused too.
  Write(Path(), Put(good_, kRootValues + 12, 4));
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
    Write(Path(), Put(good_, c.offset, c.value));
    CSettingsFile f(Path(), SF_MODE_READ, platform::SilentFileErrorReporter());
    EXPECT_EQ(f.OpenSectionPath("root"), c.rootId) << c.offset << " " << c.value;
    EXPECT_EQ(f.CreateSection("new", 0), c.newId) << c.offset << " " << c.value;
    f.Close();
    EXPECT_EQ(Read(Path()), Put(good_, c.offset, c.value));  // left as it was
  }
  // A short header is not an empty file.
  Write(Path(), std::string("\x01\x00\x00", 3));
  CSettingsFile f(Path(), SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
  EXPECT_EQ(f.CreateSection("s", 0), 0);
  f.Close();
  EXPECT_EQ(Read(Path()).size(), 3u);
}

}  // namespace
