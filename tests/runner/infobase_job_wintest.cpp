// The whole job step of one infobase with the stand-in 1C:Enterprise: what it is given,
// what it leaves behind, and the journal of every branch.
#include <windows.h>


#include "platform/system_error.h"
#include "config/enterprise.h"
#include "tests/runner/job_fixture.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;
using platform::RegRoot;

// Turns on the start-up tip of the infobase's configuration; returns its key.
std::string ShowTip(platform::MemoryRegistry& registry) {
  std::string key = enterprise::TipOfTheDayKey("Торговля");
  registry.CreateKey(RegRoot::CurrentUser, key);
  registry.WriteValue(RegRoot::CurrentUser, key, "ShowInStart", platform::RegValue::Dword(1));
  return key;
}

TEST_F(JobTest, SaveAndUnloadWithDuplicateCopies) {
  entry.SaveData = entry.UnloadData = 1;
  entry.UserName = "Иванов";
  entry.Pswd = "пароль";
  entry.DuplicateDirectory = Duplicate();
  const std::string tipKey = ShowTip(registry);
  ASSERT_TRUE(Run());
  EXPECT_EQ(Call(1, "args"), "\"" + values.enterprisePath + "\" CONFIG /D\"" + Infobase() +
                                 "\" /NИванов /Pпароль /@\"" + values.batchFilePath + "\"");
  EXPECT_EQ(Call(1, "batch"), "[General]\nQuit=Y\nSaveData=Y\nUnloadData=Y\n[SaveData]\n"
                              "SaveToFile=\"" + Archive() + "\"\n[UnloadData]\n"
                              "UnloadToFile=\"" + Archive(" выгрузка") + "\"\n" +
                              std::string(5, '\0'));
  EXPECT_EQ(Call(1, "cwd") + "\\", BinFolder());
  const std::string dupFolder = DuplicateFolder();
  EXPECT_EQ(Read(dupFolder + "\\Торговля архив.zip"), Read(Archive()));
  EXPECT_FALSE(fs::FileExists(values.batchFilePath));  // it held the password
  EXPECT_EQ(registry.ReadValue(RegRoot::CurrentUser, tipKey, "ShowInStart"),
            platform::RegValue::Dword(0));
  // No event log before the run: none set aside, no block, no backup.
  EXPECT_FALSE(fs::FileExists(BackupPath()));
  EXPECT_EQ(run.Text(), Lines({"Имя архива \"" + Archive() + "\"",
                               "Имя архива \"" + Archive(" выгрузка") + "\"",
                               "Файл Торговля архив.zip скопирован в папку " + dupFolder,
                               "Файл Торговля выгрузка.zip скопирован в папку " + dupFolder}));
}

TEST_F(JobTest, RotatesOverThreeCopiesAcrossDays) {
  entry.SaveData = 1;
  entry.DuplicateDirectory = Duplicate();
  values.copyCount = 3;
  const std::string dup = Duplicate() + "\\Торговля\\Торговля архив";
  for (int day = 1; day <= 5; ++day) {
    Write(Infobase() + "data.dbf", "day " + std::to_string(day));
    ASSERT_TRUE(RunAgain("j" + std::to_string(day) + ".txt")) << day;
    fs::SetLastWriteTime(Archive(), DaysAgo(1));
    fs::SetLastWriteTime(dup + ".zip", DaysAgo(1));
  }
  // Archive = day 5, copies 1..3 = days 4, 3, 2, in both folders.
  auto holds = [](const std::string& zip, int day) {
    return Read(zip).find("day " + std::to_string(day)) != std::string::npos;
  };
  EXPECT_TRUE(holds(Archive(), 5));
  for (int n = 1; n <= 3; ++n) {
    std::string suffix = " архив(" + std::to_string(n) + ")";
    EXPECT_TRUE(holds(Archive(suffix), 5 - n)) << n;
    EXPECT_TRUE(holds(dup + "(" + std::to_string(n) + ").zip", 5 - n)) << n;
  }
  EXPECT_FALSE(fs::FileExists(Archive(" архив(4)")));
}

TEST_F(JobTest, ArchiveOfTodayRetainedOrOverwritten) {
  entry.SaveData = 1;
  ASSERT_TRUE(RunAgain("first.txt"));
  std::string first = Read(Archive());
  values.saveMode = 1;
  EXPECT_TRUE(Run());
  EXPECT_FALSE(Started(2));
  EXPECT_EQ(run.Text(), Lines({"Имя архива \"" + Archive() + "\"",
                               "    Копия архива уже существует",
                               "Архив за сегодня оставлен без изменений, обработка пропущена"}));
  values.saveMode = 0;
  Write(Infobase() + "data.dbf", "changed");
  EXPECT_TRUE(RunAgain("third.txt"));
  EXPECT_TRUE(Started(2));
  EXPECT_NE(Read(Archive()), first);
  EXPECT_FALSE(fs::FileExists(Archive(" архив(1)")));
}

TEST_F(JobTest, MissingMetadataFileStartsNothing) {
  entry.SaveData = 1;
  fs::RemoveFile(Infobase() + "1cv7.md");
  EXPECT_FALSE(Run());
  EXPECT_FALSE(Started(1));
  EXPECT_FALSE(fs::GetAttributes(ArchiveFolder()).exists);  // created by the call, removed
  EXPECT_EQ(run.Text(), Lines({"Имя архива \"" + Archive() + "\"", "Нет доступа к БД"}));
  entry.Type =
      InfobaseType::AddedByHand;  // added by hand: neither the check nor the start-up tip switch
  const std::string tipKey = ShowTip(registry);
  EXPECT_TRUE(RunAgain("typed.txt"));
  EXPECT_EQ(registry.ReadValue(RegRoot::CurrentUser, tipKey, "ShowInStart"),
            platform::RegValue::Dword(1));
}

TEST_F(JobTest, DestinationThatCannotBeCreated) {
  entry.SaveData = 1;
  Write(scratch / "файл", "x");
  values.destination = scratch / "файл\\Архивы";
  unsigned long error = 0;
  ASSERT_FALSE(fs::CreateFolder(values.destination, &error));
  EXPECT_FALSE(Run());
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(run.Text(), Lines({"Нет доступа к папке: \"" + values.destination + "\"",
                               platform::GetSystemErrorText(error)}));
}

TEST_F(JobTest, TimeOutLeavesTheLogSetAsideUntilTheChildIsEnded) {
  entry.SaveData = 1;
  entry.DuplicateDirectory = Duplicate();
  WriteLog("old\r\n");
  Control("sleep_ms=4000\n");
  values.timeoutMs = 300;
  EXPECT_FALSE(Run());
  // Still running: its log stays set aside for the next run to merge.
  EXPECT_TRUE(fs::FileExists(BackupPath()));
  EXPECT_FALSE(fs::GetAttributes(DuplicateFolder()).exists);
  EXPECT_EQ(run.Text(), Lines({"Имя архива \"" + Archive() + "\"",
                               "Истекло время ожидания завершения задания"}));

  // Ended after its time-out: the log it set aside is merged back.
  values.terminateAfterTimeOut = true;
  Control("sleep_ms=4000\nlog_lines=1\n");
  EXPECT_FALSE(RunAgain("second.txt"));
  EXPECT_FALSE(fs::FileExists(BackupPath()));
  EXPECT_EQ(Read(EventLogPath()), "old\r\n");
  EXPECT_FALSE(fs::GetAttributes(ArchiveFolder()).exists);  // empty, created by the call
}

TEST_F(JobTest, StaleOrMissingArchiveFailsTheStep) {
  entry.SaveData = 1;
  entry.DuplicateDirectory = Duplicate();
  fs::CreateFolder(values.destination);
  fs::CreateFolder(ArchiveFolder());
  Write(Archive(), "yesterday's archive");
  fs::SetLastWriteTime(Archive(), DaysAgo(1));
  Control("no_archive=1\n");
  EXPECT_FALSE(Run());
  EXPECT_FALSE(fs::GetAttributes(DuplicateFolder()).exists);
  EXPECT_EQ(run.Text(), Lines({"Имя архива \"" + Archive() + "\"",
                               "Архив не создан: \"" + Archive() + "\""}));
  Control("exit_code=5\n");  // a non-zero exit code alone is no failure
  EXPECT_TRUE(RunAgain("exit.txt"));
}

// A check-and-repair job whose start fails: no destination made, no password shown.
TEST_F(JobTest, FailedStartHidesThePasswordAndKeepsTheLog) {
  entry.Reindex = 1;
  entry.UserName = "Иванов";
  entry.Pswd = "секрет";
  WriteLog("old\r\n");
  values.enterprisePath = scratch / "нет\\1cv7.exe";
  values.destination = scratch / "никогда";
  EXPECT_FALSE(Run());
  EXPECT_FALSE(fs::GetAttributes(values.destination).exists);
  std::string text = run.Text();
  EXPECT_EQ(text.substr(text.find("  -  ")),
            "  -  \"" + values.enterprisePath + "\" CONFIG /D\"" + Infobase() +
                "\" /NИванов /P***** /@\"" + values.batchFilePath + "\"\r\n");
  EXPECT_EQ(text.find("секрет"), std::string::npos);
  EXPECT_EQ(Read(EventLogPath()), "old\r\n");
  EXPECT_FALSE(fs::FileExists(BackupPath()));
}

}  // namespace
