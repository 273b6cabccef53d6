// The job step's guards of a new archive: the read-back check, its verdict and the journal
// line of each case; and the disk-space rule against the platform's free-space figure with
// a test's cap, where a folder not made yet counts with its nearest existing parent's volume.
#include "runner/archive_check.h"

#include <gtest/gtest.h>

#include "platform/disk_space.h"
#include "runner/space_guard.h"
#include "tests/runner/run_helpers.h"
#include "tools/shared/zip_writer.h"

namespace {

using testrunner::Lines;

TEST(ArchiveCheck, VerdictAndJournalOfEachCase) {
  const std::vector<zip::ZipEntry> entries = {{"1Cv7.txt", std::string(4000, 'x'), {}},
                                              {"a\nb", "line break in a name", {}}};
  const std::string sound = zip::BuildZip(entries, {true, "", false});
  const std::string locked = zip::BuildZip(entries, {true, "Пароль", false});
  std::string crc = zip::BuildZip(entries);
  crc[zip::BuildZip({entries[0]}).find("xxxx")] = 'y';  // a data byte of the first entry
  std::string badName = zip::BuildZip(entries);
  badName[badName.rfind("a\nb") - ziparc::kCentralSize + 16] ^= 1;  // CRC of the second
  const struct {
    const char* name;
    std::string bytes;
    std::string password;
    ArchiveVerdict verdict;
    std::string line;  // after the quoted path; "" for none
  } cases[] = {
      {"sound", sound, "", ArchiveVerdict::Sound, ""},
      {"password", locked, "Пароль", ArchiveVerdict::Sound, ""},
      {"no password", locked, "", ArchiveVerdict::Sound, "не задан пароль архива"},
      {"wrong password", locked, "другой", ArchiveVerdict::Sound, "пароль архива не подходит"},
      {"cut short", sound.substr(0, sound.size() - 1), "", ArchiveVerdict::Damaged,
       "нет конца архива (архив обрезан)"},
      {"data", crc, "", ArchiveVerdict::Damaged, "не совпадает контрольная сумма CRC-32: 1Cv7.txt"},
      {"name", badName, "", ArchiveVerdict::Damaged,
       "заголовок файла не совпадает с оглавлением: a?b"},
      {"empty file", "", "", ArchiveVerdict::Damaged, "нет конца архива (архив обрезан)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testrunner::ScratchFolder scratch;
    testrunner::JournalledRun run(scratch);
    const std::string path = scratch / "Торговля архив.ZIP";
    testrunner::Write(path, c.bytes);
    EXPECT_EQ(VerifyZipArchive(path, c.password, run.control), c.verdict);
    std::string expected;
    if (c.verdict == ArchiveVerdict::Damaged)
      expected = Lines({"Архив поврежден: \"" + path + "\" - " + c.line});
    else if (!c.line.empty())
      expected = Lines({"Проверена только структура архива: \"" + path + "\" - " + c.line});
    EXPECT_EQ(run.Text(), expected);
  }
}

TEST(ArchiveCheck, OnlyZipExtensionsAreReadBack) {
  EXPECT_TRUE(IsZipArchivePath("D:\\Arch\\Торговля архив.zip"));
  EXPECT_TRUE(IsZipArchivePath("a.ZiP"));
  EXPECT_FALSE(IsZipArchivePath("D:\\Arch\\Торговля архив.rar"));
  EXPECT_FALSE(IsZipArchivePath("zip"));
  EXPECT_FALSE(IsZipArchivePath("archive.zip.7z"));
}

TEST(ArchiveCheck, AbortStopsTheCheckWithoutALine) {
  testrunner::ScratchFolder scratch;
  testrunner::JournalledRun run(scratch);
  const std::string path = scratch / "a.zip";
  testrunner::Write(path, zip::BuildZip({{"a", std::string(3 << 20, 'a'), {}}}));
  run.control.Abort("");
  EXPECT_EQ(VerifyZipArchive(path, "", run.control), ArchiveVerdict::Aborted);
}

constexpr uint64_t kMiB = 1 << 20;

class SpaceGuardTest : public testing::Test {
 protected:
  ~SpaceGuardTest() override { platform::fs::SetFreeSpaceLimit(std::nullopt); }
  testrunner::ScratchFolder scratch;
};

TEST_F(SpaceGuardTest, NeededRoomAndShortageAgainstACappedVolume) {
  const struct {
    uint64_t previous, limit;
    bool refused;
  } cases[] = {
      {0, 0, true},  // even an empty archive needs its blocks
      {0, kMiB, false},
      {100 * kMiB, 106 * kMiB - 1, true},  // 100 + 5 + 1 MiB needed
      {100 * kMiB, 106 * kMiB, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.previous);
    platform::fs::SetFreeSpaceLimit(c.limit);
    EXPECT_EQ(FindSpaceShortage(scratch.path(), c.previous).has_value(), c.refused);
  }
  EXPECT_EQ(SpaceNeeded(UINT64_MAX - 5), UINT64_MAX);  // no overflow past the largest value
  // No previous archive: nothing to compare with, even on a volume with no room.
  platform::fs::SetFreeSpaceLimit(0);
  EXPECT_FALSE(FindSpaceShortage(scratch.path(), std::nullopt));
  const auto s = FindSpaceShortage(scratch / "новая\\папка", 3 * kMiB / 2);
  ASSERT_TRUE(s);
  EXPECT_EQ(SpaceShortageLine(*s), "Недостаточно места на диске: \"" + scratch / "новая\\папка" +
                                       "\" - свободно 0 МБ, нужно 3 МБ");
}

}  // namespace
