// A new archive read back by the job step: its verdict and the journal line of each case.
#include "runner/archive_check.h"

#include <gtest/gtest.h>

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

}  // namespace
