// Files too large to hold in memory are read and written directly, with the same result.
#include <gtest/gtest.h>

#include "store/record_storage.h"
#include "store/settings_file.h"
#include "tests/support/scratch.h"

namespace {

constexpr uint32_t kBig = static_cast<uint32_t>(store::RecordStorage::kImageLimit) + 1000;

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
  return s;
}

TEST(LargeFileTest, SettingsFileWorksBeyondTheImageLimit) {
  testsupport::ScratchFolder dir;
  std::string path = dir / "big.cfg";
  std::string big = Pattern(kBig);
  {
    CSettingsFile f(path, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
    int32_t first = f.CreateSection("first", 0);
    int32_t middle = f.CreateSection("middle", 0);
    ASSERT_TRUE(f.WriteBinary(middle, "blob", big.data(), kBig));
    int32_t last = f.CreateSection("last", 0);
    ASSERT_TRUE(f.WriteString(last, "v", "end"));
    ASSERT_NE(first, 0);
  }
  CSettingsFile f(path, SF_MODE_READWRITE, platform::SilentFileErrorReporter());
  ASSERT_TRUE(f.WriteString(1, "grown", "moves everything after it"));
  std::string out;
  ASSERT_TRUE(f.ReadBytes(3, "v", out));
  EXPECT_EQ(out, "end");
  ASSERT_TRUE(f.ReadBytes(2, "blob", out, kBig));
  EXPECT_TRUE(out == big);
  EXPECT_TRUE(f.DeleteSection(2));
  EXPECT_EQ(f.OpenSectionPath("last"), 3);
}

}  // namespace
