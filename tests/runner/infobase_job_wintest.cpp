// The job step of one infobase with the stand-in 1C:Enterprise and the stand-in archiver:
// what each child is given, what the step leaves behind, and the branches that start nothing.
#include <windows.h>

#include <optional>

#include "config/enterprise.h"
#include "platform/system_error.h"
#include "tests/runner/job_fixture.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;
using platform::RegRoot;
using platform::RegValue;

class InfobaseJobTest : public JobTest {
 protected:
  // Turns on the start-up tip of the infobase's configuration.
  void ShowTip() {
    registry.CreateKey(RegRoot::CurrentUser, tipKey);
    registry.WriteValue(RegRoot::CurrentUser, tipKey, "ShowInStart", RegValue::Dword(1));
  }
  std::optional<RegValue> Tip() {
    return registry.ReadValue(RegRoot::CurrentUser, tipKey, "ShowInStart");
  }

  const std::string tipKey = enterprise::TipOfTheDayKey("Торговля");
};

TEST_F(InfobaseJobTest, SaveAndUnloadWithDuplicateCopies) {
  entry.SaveData = entry.UnloadData = 1;
  entry.UserName = "Иванов";
  entry.Pswd = "пароль";
  entry.DuplicateDirectory = Duplicate();
  ShowTip();
  ASSERT_TRUE(Run());
  EXPECT_EQ(Call(1, "args"), "\"" + values.enterprisePath + "\" CONFIG /D\"" + Infobase() +
                                 "\" /NИванов /Pпароль /@\"" + values.batchFilePath + "\"");
  EXPECT_EQ(Call(1, "batch"),
            "[General]\nQuit=Y\nSaveData=Y\nUnloadData=Y\n[SaveData]\n"
            "SaveToFile=\"" +
                Archive() +
                "\"\n[UnloadData]\n"
                "UnloadToFile=\"" +
                Archive(" выгрузка") + "\"\n" + std::string(5, '\0'));
  EXPECT_EQ(Call(1, "cwd") + "\\", BinFolder());
  EXPECT_EQ(Read(DuplicateFolder() + "\\Торговля архив.zip"), Read(Archive()));
  EXPECT_FALSE(fs::FileExists(values.batchFilePath));  // it held the password
  EXPECT_EQ(Tip(), RegValue::Dword(0));
  EXPECT_FALSE(fs::FileExists(BackupPath()));  // no event log: none set aside
}

// Archive and duplicate folder rotate alike; an archive of today is kept in keep mode.
TEST_F(InfobaseJobTest, CopiesRotateAcrossDaysAndKeepModeSkipsToday) {
  entry.SaveData = 1;
  entry.DuplicateDirectory = Duplicate();
  values.copyCount = 1;
  const std::string dup = DuplicateFolder() + "\\Торговля архив";
  for (int day = 1; day <= 3; ++day) {
    Write(Infobase() + "data.dbf", "day " + std::to_string(day));
    ASSERT_TRUE(RunAgain("j" + std::to_string(day) + ".txt")) << day;
    fs::SetLastWriteTime(Archive(), DaysAgo(1));
    fs::SetLastWriteTime(dup + ".zip", DaysAgo(1));
  }
  auto holds = [](const std::string& zip, int day) {
    return Read(zip).find("day " + std::to_string(day)) != std::string::npos;
  };
  for (const std::string& archive : {Archive(" архив", ""), dup}) {
    EXPECT_TRUE(holds(archive + ".zip", 3)) << archive;
    EXPECT_TRUE(holds(archive + "(1).zip", 2)) << archive;
    EXPECT_FALSE(fs::FileExists(archive + "(2).zip")) << archive;
  }

  // Of today: kept in keep mode, else overwritten without a copy.
  fs::SetLastWriteTime(Archive(), fs::NowLocal());
  values.saveMode = 1;
  EXPECT_TRUE(Run());
  EXPECT_FALSE(Started(4));
  values.saveMode = 0;
  EXPECT_TRUE(RunAgain("today.txt"));
  EXPECT_TRUE(Started(4));
  EXPECT_TRUE(holds(Archive(" архив(1)"), 2));
}

// Neither the metadata file nor the destination folder: nothing starts.
TEST_F(InfobaseJobTest, MissingMetadataOrDestinationStartsNothing) {
  entry.SaveData = 1;
  fs::RemoveFile(Infobase() + "1cv7.md");
  EXPECT_FALSE(RunAgain("md.txt"));
  EXPECT_FALSE(Started(1));
  EXPECT_FALSE(fs::GetAttributes(ArchiveFolder()).exists);  // created by the call, removed

  Write(scratch / "файл", "x");
  values.destination = scratch / "файл\\Архивы";
  unsigned long error = 0;
  ASSERT_FALSE(fs::CreateFolder(values.destination, &error));
  entry.Type = InfobaseType::AddedByHand;  // by hand: no metadata check, no tip switch
  ShowTip();
  EXPECT_FALSE(Run());
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(run.Text(), Lines({"Нет доступа к папке: \"" + values.destination + "\"",
                               platform::GetSystemErrorText(error)}));
  values.destination = scratch / "Архивы";
  EXPECT_TRUE(RunAgain("typed.txt"));
  EXPECT_EQ(Tip(), RegValue::Dword(1));
}

// A child that cannot start is journalled with its command line, the password hidden;
// nothing is made and the event log is left as it was.
TEST_F(InfobaseJobTest, FailedStartHidesThePasswordAndKeepsTheLog) {
  entry.UserName = "Иванов";
  entry.Pswd = "секрет";
  entry.Reindex = 1;
  WriteLog("old\r\n");
  const std::string missing = scratch / "нет\\1cv7.exe";
  const struct {
    bool archiver;
    std::string tail;
  } cases[] = {
      {false, "\"" + missing + "\" CONFIG /D\"" + Infobase() + "\" /NИванов /P***** /@\"" +
                  values.batchFilePath + "\""},
      {true, missing + " -a \"" + Archive() + "\" 1cv7.md"},
  };
  for (const auto& c : cases) {
    RunControl control;
    ScratchFolder journal;
    control.SetJournal(std::make_unique<CJournalFile>(journal / "j.txt", true));
    values.enterprisePath = c.archiver ? BinFolder() + "enterprise_standin.exe" : missing;
    values.destination = c.archiver ? scratch / "Архивы" : scratch / "никогда";
    entry.UseExternalArchiver = c.archiver;
    entry.ExternalArchiverName = missing;
    entry.ExternalArchiverParameters = "-a";
    entry.FileList = {"1cv7.md"};
    EXPECT_FALSE(RunInfobaseJob(entry, values, control, registry));
    control.ReleaseJournal();
    const std::string text = Read(journal / "j.txt");
    EXPECT_EQ(text.substr(text.find("  -  ")), "  -  " + c.tail + "\r\n") << text;
    EXPECT_EQ(text.find("секрет"), std::string::npos);
    EXPECT_FALSE(Started(1));
    EXPECT_EQ(Read(EventLogPath()), "old\r\n");
    EXPECT_FALSE(fs::FileExists(BackupPath()));
  }
  EXPECT_FALSE(fs::GetAttributes(scratch / "никогда").exists);
}

TEST_F(InfobaseJobTest, ArchiverArchivesTheListedFilesThenEnterpriseOnlyChecks) {
  entry.UseExternalArchiver = 1;
  entry.ExternalArchiverName = "\"" + BinFolder() + "archiver_standin.exe\"";
  entry.ExternalArchiverParameters = "-a";
  entry.FileList = {"1cv7.md", "*.dbf", "Мои документы.txt"};
  entry.DuplicateDirectory = Duplicate();
  entry.ExternalArchiveExtention = "rar";
  Write(Infobase() + "Мои документы.txt", "документы");
  ASSERT_TRUE(Run());
  EXPECT_EQ(entry.SaveData, 1);
  const std::string archive = Archive(" архив", ".rar");
  EXPECT_EQ(
      Read(Infobase() + "archiver-call1.args"),
      entry.ExternalArchiverName + " -a \"" + archive + "\" 1cv7.md *.dbf \"Мои документы.txt\"");
  const std::string zip = Read(archive);
  EXPECT_NE(zip.find("Мои документы.txt"), std::string::npos);
  EXPECT_NE(zip.find("data.dbf"), std::string::npos);
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(Read(DuplicateFolder() + "\\Торговля архив.rar"), zip);

  entry.Reindex = 1;
  ASSERT_TRUE(RunAgain("check.txt"));
  EXPECT_EQ(Call(1, "batch").rfind("[General]\nQuit=Y\nCheckAndRepair=Y\n[CheckAndRepair]\n", 0),
            0u);
}

}  // namespace
