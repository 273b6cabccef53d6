#include "store/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/system_error.h"
#include "store/record_storage.h"
#include "store/text_helpers.h"
#include "tests/support/scratch.h"

using testsupport::Read;

namespace {

// A reporter that counts the reports it gets.
struct CountingReporter {
  int count = 0;
  platform::FileError last;
  platform::FileErrorReporter Get() {
    return [this](const platform::FileError& e) {
      ++count;
      last = e;
    };
  }
};

// The file's bytes; closes f first because an open settings file is held exclusively.
std::string Snapshot(CSettingsFile& f) {
  f.Close();
  return Read(f.Path());
}

class SettingsFileTest : public testing::Test {
 protected:
  std::string Path() const { return dir_ / "a.cfg"; }
  testsupport::ScratchFolder dir_;
  CountingReporter reporter_;
};

// Finding or appending a section is the model test's part.
TEST_F(SettingsFileTest, PathsMatchExactly) {
  CSettingsFile f(Path(), SF_MODE_CREATE_READWRITE, reporter_.Get());
  int32_t root = f.CreateSection("Zorvan", 0);
  int32_t child = f.CreateSection("Zorvan", root);  // same name, other parent
  EXPECT_EQ(f.CreateSection("", root), 0);          // could never be found again
  EXPECT_EQ(f.OpenSectionPath("Zorvan\\Zorvan"), child);
  for (const char* bad : {"", "\\Zorvan", "Zorvan\\", "Zorvan\\\\Zorvan", "zorvan", "Other"})
    EXPECT_EQ(f.OpenSectionPath(bad), 0) << bad;
  // Path names over 255 bytes are refused rather than cut to a prefix that might match.
  std::string name255(255, 'n');
  int32_t id = f.CreateSection(name255, 0);
  EXPECT_EQ(f.OpenSectionPath(name255), id);
  EXPECT_EQ(f.OpenSectionPath(name255 + "x"), 0);
}

TEST_F(SettingsFileTest, InvalidWritesChangeNothing) {
  CSettingsFile f(Path(), SF_MODE_CREATE_READWRITE, reporter_.Get());
  int32_t s = f.CreateSection("s", 0);
  ASSERT_TRUE(f.WriteBinary(s, "b", "xy", 2));
  std::string before = Snapshot(f);
  uint32_t v = 1;
  EXPECT_FALSE(f.WriteValue(s, "b", 3, 4, &v));
  EXPECT_FALSE(f.WriteValue(s, "b", SF_BINARY, 0, &v));  // must not remove the old value
  EXPECT_FALSE(f.WriteValue(s, "", SF_DWORD, 4, &v));
  EXPECT_FALSE(f.WriteValue(99, "b", SF_DWORD, 4, &v));
  EXPECT_FALSE(f.WriteBinary(s, "b", nullptr, 5));
  EXPECT_EQ(Snapshot(f), before);
}

TEST_F(SettingsFileTest, ReadValueNeverWritesPastCapacity) {
  CSettingsFile f(Path(), SF_MODE_CREATE_READWRITE, reporter_.Get());
  int32_t s = f.CreateSection("s", 0);
  ASSERT_TRUE(f.WriteString(s, "ten", "0123456789"));
  char buf[16];
  int32_t type = 0;
  uint32_t size = 10;
  std::memset(buf, '#', sizeof buf);
  ASSERT_TRUE(f.ReadValue(s, "ten", type, size, buf));
  EXPECT_EQ(std::string(buf, 11), "0123456789#");  // no room, no terminator
  size = 11;
  ASSERT_TRUE(f.ReadValue(s, "ten", type, size, buf));
  EXPECT_EQ(buf[10], '\0');

  std::memset(buf, '#', sizeof buf);
  for (uint32_t capacity : {9u, 0u}) {
    size = capacity;
    EXPECT_FALSE(f.ReadValue(s, "ten", type, size, buf));
    EXPECT_EQ(size, capacity);
    EXPECT_EQ(buf[0], '#');
  }
  std::string out = "old";
  EXPECT_TRUE(f.ReadBytes(s, "ten", out, 4));
  EXPECT_EQ(out, "0123");
}

// Cutting back, kept ids and the exact layout after deletes are the model test's part.
TEST_F(SettingsFileTest, DeleteNeedsWritingAndClearStartsAfresh) {
  CSettingsFile f(Path(), SF_MODE_CREATE_READWRITE, reporter_.Get());
  const int32_t gone = f.CreateSection("Schedule", 0);
  ASSERT_TRUE(f.WriteDword(f.CreateSection("1", gone), "Time", 5));
  const std::string withGone = Snapshot(f);
  CSettingsFile r(Path(), SF_MODE_READ, reporter_.Get());
  EXPECT_FALSE(r.DeleteSection(gone));
  EXPECT_EQ(Snapshot(r), withGone);
  EXPECT_TRUE(f.Clear());
  EXPECT_EQ(f.CreateSection("t", 0), 1);
  EXPECT_EQ(Snapshot(f).size(), 8u + 20 + 1);
}

TEST_F(SettingsFileTest, OpenFailureIsReportedOncePerObject) {
  CSettingsFile f(Path(), SF_MODE_READ, reporter_.Get());
  EXPECT_EQ(f.OpenSectionPath("Zorvan"), 0);
  std::string out;
  EXPECT_FALSE(f.ReadBytes(1, "x", out));
  EXPECT_EQ(reporter_.count, 1);
  EXPECT_EQ(reporter_.last.path, Path());
  EXPECT_FALSE(testsupport::Exists(Path()));
  // Explicit Open fills the caller's error and reports nothing.
  platform::FileError error;
  EXPECT_FALSE(f.Open(&error));
  EXPECT_NE(error.osError, -1);
  EXPECT_EQ(reporter_.count, 1);
  // A writing operation switches to read-write-create for good.
  EXPECT_EQ(f.CreateSection("Zorvan", 0), 1);
  EXPECT_EQ(f.OpenFlags(), static_cast<uint32_t>(SF_MODE_CREATE_READWRITE));

  // A second object cannot open the file while the first holds it.
  CountingReporter second_reporter;
  CSettingsFile second(Path(), SF_MODE_READ, second_reporter.Get());
  EXPECT_EQ(second.CreateSection("x", 0), 0);
  EXPECT_EQ(second_reporter.count, 1);
  f.Close();
  EXPECT_NE(second.CreateSection("x", 0), 0);
  EXPECT_EQ(second_reporter.count, 1);
}

// Files too large to hold in memory are read and written directly, with the same result.
TEST_F(SettingsFileTest, WorksBeyondTheImageLimit) {
  constexpr uint32_t kBig = static_cast<uint32_t>(store::RecordStorage::kImageLimit) + 1000;
  std::string big(kBig, '\0');
  for (size_t i = 0; i < kBig; ++i) big[i] = static_cast<char>(i * 7 + i / 251);
  {
    CSettingsFile f(Path(), SF_MODE_CREATE_READWRITE, reporter_.Get());
    ASSERT_NE(f.CreateSection("first", 0), 0);
    ASSERT_TRUE(f.WriteBinary(f.CreateSection("middle", 0), "blob", big.data(), kBig));
    ASSERT_TRUE(f.WriteString(f.CreateSection("last", 0), "v", "end"));
  }
  CSettingsFile f(Path(), SF_MODE_READWRITE, reporter_.Get());
  ASSERT_TRUE(f.WriteString(1, "grown", "moves everything after it"));
  std::string out;
  ASSERT_TRUE(f.ReadBytes(3, "v", out));
  EXPECT_EQ(out, "end");
  ASSERT_TRUE(f.ReadBytes(2, "blob", out, kBig));
  EXPECT_TRUE(out == big);
  EXPECT_TRUE(f.DeleteSection(2));
  EXPECT_EQ(f.OpenSectionPath("last"), 3);
}

TEST(TextHelpersTest, SplitKeepsEmptyPiecesAndErrorTextLosesOnlyTheFinalLineBreak) {
  std::vector<std::string> list{"kept"};
  EXPECT_TRUE(SplitText("a\\bc\\\\", '\\', list));
  EXPECT_EQ(list, (std::vector<std::string>{"kept", "a", "bc", "", ""}));
  EXPECT_EQ(platform::CutFinalLineBreak("Not found.\r\n"), "Not found.");
  EXPECT_EQ(platform::CutFinalLineBreak("One.\r\n\r\n"), "One.\r\n");
  EXPECT_EQ(platform::CutFinalLineBreak("\n"), "\n");
  EXPECT_FALSE(platform::GetSystemErrorText(2).empty());
}

}  // namespace
