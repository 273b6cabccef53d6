// Infobase jobs in external-archiver mode with the stand-in archiver.
#include <windows.h>

#include "runner/external_archiver.h"
#include "tests/runner/job_fixture.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

class ArchiverJobTest : public JobTest {
 protected:
  ArchiverJobTest() {
    entry.UseExternalArchiver = 1;
    entry.ExternalArchiverName = "\"" + BinFolder() + "archiver_standin.exe\"";
    entry.ExternalArchiverParameters = "-a";
    entry.FileList = {"1cv7.md", "*.dbf", "Мои документы.txt"};
    entry.DuplicateDirectory = Duplicate();
    Write(Infobase() + "Мои документы.txt", "документы");
  }
  std::string ArchiverCall(int n) {
    return Read(Infobase() + "archiver-call" + std::to_string(n) + ".args");
  }
  std::string CopiedLine(const std::string& ext = ".zip") {
    return "Файл Торговля архив" + ext + " скопирован в папку " + DuplicateFolder();
  }
};

TEST_F(ArchiverJobTest, ArchivesTheListedFilesThenStartsEnterpriseOnlyToCheck) {
  entry.ExternalArchiveExtention = "rar";
  ASSERT_TRUE(Run());
  EXPECT_EQ(entry.SaveData, 1);
  std::string archive = Archive(" архив", ".rar");
  EXPECT_EQ(ArchiverCall(1), entry.ExternalArchiverName + " -a \"" + archive +
                                 "\" 1cv7.md *.dbf \"Мои документы.txt\"");
  std::string zip = Read(archive);
  EXPECT_EQ(zip.rfind("PK\x03\x04", 0), 0u);
  EXPECT_NE(zip.find("Мои документы.txt"), std::string::npos);
  EXPECT_NE(zip.find("data.dbf"), std::string::npos);
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(Read(DuplicateFolder() + "\\Торговля архив.rar"), zip);
  EXPECT_EQ(run.Text(), Lines({"Имя архива \"" + archive + "\"", CopiedLine(".rar")}));

  entry.Reindex = 1;
  ASSERT_TRUE(RunAgain("check.txt"));
  EXPECT_EQ(Call(1, "batch").rfind("[General]\nQuit=Y\nCheckAndRepair=Y\n[CheckAndRepair]\n", 0),
            0u);
}

TEST_F(ArchiverJobTest, ArchiverNotFound) {
  entry.ExternalArchiverName = scratch / "нет\\arch.exe";
  entry.FileList = {"1cv7.md"};
  entry.Reindex = 1;
  EXPECT_FALSE(Run());
  EXPECT_FALSE(Started(1));
  std::string text = run.Text();
  std::string first = "Имя архива \"" + Archive() + "\"\r\n";
  ASSERT_EQ(text.rfind(first, 0), 0u);
  EXPECT_EQ(text.substr(text.find("  -  ")),
            "  -  " + entry.ExternalArchiverName + " -a \"" + Archive() + "\" 1cv7.md\r\n");
  EXPECT_GT(text.find("  -  "), first.size());  // the system error text comes first
}

TEST_F(ArchiverJobTest, TimeOutFailsTheStepAndCopiesNothing) {
  fs::CreateFolder(values.destination);
  fs::CreateFolder(ArchiveFolder());
  Write(Archive(), "earlier archive");
  fs::SetLastWriteTime(Archive(), DaysAgo(1));
  entry.ExternalArchiverParameters = "-sleep=3000";
  values.timeoutMs = 300;
  values.terminateAfterTimeOut = true;
  EXPECT_FALSE(Run());
  EXPECT_FALSE(fs::GetAttributes(DuplicateFolder()).exists);
  EXPECT_EQ(run.Text(), Lines({"Имя архива \"" + Archive() + "\"",
                               "Истекло время ожидания завершения задания", "Задание снято",
                               "Архив не создан: \"" + Archive() + "\""}));
}

}  // namespace
