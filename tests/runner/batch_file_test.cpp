// The texts handed to 1C:Enterprise, compared byte for byte.
#include <gtest/gtest.h>

#include "config/enterprise.h"
#include "runner/archive_names.h"
#include "runner/batch_file.h"

namespace {

const std::string kZeros(5, '\0');

InfobaseEntry Trade() { return {.BaseName = "Торговля", .path = "C:\\Базы\\Торговля\\"}; }

std::string Batch(const InfobaseEntry& e, bool skipSave = false, bool skipUnload = false) {
  ArchivePlan plan = PlanArchives(e, "D:\\Arch");
  plan.skip[kSaveArchive] = skipSave;
  plan.skip[kUnloadArchive] = skipUnload;
  for (std::string& p : plan.path) p = Quote(p);
  return BuildBatchFile(e, plan);
}

TEST(ArchiveNames, BaseNameAndExtension) {
  InfobaseEntry e = Trade();
  e.ArchiveName = "Отчёт 1.1/2\\:*?<>|\"";
  EXPECT_EQ(ArchiveBaseName(e), "Отчёт 1_1_2________");
  e.ArchiveName.clear();
  EXPECT_EQ(ArchiveBaseName(e), "Торговля");

  e.ExternalArchiveExtention = ".7z";
  EXPECT_EQ(ArchiveExtension(e), ".zip");  // only in external-archiver mode
  e.UseExternalArchiver = 1;
  EXPECT_EQ(ArchiveExtension(e), ".7z");
}

TEST(BatchFile, SaveAndUnloadWithUserListAndPassword) {
  InfobaseEntry e = Trade();
  e.SaveData = 1;
  EXPECT_EQ(Batch(e),
            "[General]\nQuit=Y\nSaveData=Y\n[SaveData]\n"
            "SaveToFile=\"D:\\Arch\\Торговля\\Торговля архив.zip\"\n" + kZeros);
  EXPECT_EQ(Batch(e, true), "[General]\nQuit=Y\n" + kZeros);
  e.UnloadData = 1;
  EXPECT_EQ(Batch(e),
            "[General]\nQuit=Y\nSaveData=Y\nUnloadData=Y\n[SaveData]\n"
            "SaveToFile=\"D:\\Arch\\Торговля\\Торговля архив.zip\"\n[UnloadData]\n"
            "UnloadToFile=\"D:\\Arch\\Торговля\\Торговля выгрузка.zip\"\n" + kZeros);
  e.IncludeUserDef = 1;
  e.PswdZIP = "секрет";
  EXPECT_EQ(Batch(e, true),
            "[General]\nQuit=Y\nUnloadData=Y\n[UnloadData]\n"
            "UnloadToFile=\"D:\\Arch\\Торговля\\Торговля выгрузка.zip\"\n"
            "IncludeUserDef=Y\nPassword=секрет\n" + kZeros);
}

TEST(BatchFile, CheckAndRepairModes) {
  InfobaseEntry e = Trade();
  e.PhisicalIntegrity = e.Pack = 1;
  const std::string actions =
      "PhysicalIntegrity=Y\nReindex=N\nLogicalIntegrity=N\nRecalcSecondaries=N\n"
      "RecalcTotals=N\nPack=Y\n";
  const std::string head = "[General]\nQuit=Y\nCheckAndRepair=Y\n[CheckAndRepair]\n";
  e.CheckAndRepairMode = 1;  // test only
  EXPECT_EQ(Batch(e), head + "Repair=N\n" + actions + kZeros);
  e.CheckAndRepairMode = 0;
  const std::pair<int, int> modes[] = {{0, 0}, {1, 1}, {2, 0}, {2, 1}};
  const char* expected[] = {
      "SkipUnresolved=N\nCreateForUnresolved=Y\nReconstruct=N\n",
      "SkipUnresolved=N\nCreateForUnresolved=N\nReconstruct=Y\n",
      "SkipUnresolved=Y\nReconstruct=N\n",
      "SkipUnresolved=Y\nReconstruct=Y\n",
  };
  for (size_t i = 0; i < 4; ++i) {
    e.LinksCreatingMode = modes[i].first;
    e.ObjectsCreatingMode = modes[i].second;
    EXPECT_EQ(Batch(e), head + "Repair=Y\n" + expected[i] + actions + kZeros) << i;
  }
}

TEST(BatchFile, AutoExchangeWithAndWithoutMail) {
  InfobaseEntry e = Trade();
  e.AutoExchange = 1;
  e.ReadFrom = "\\\\srv\\in";
  e.ReceiveFrom = "in@example.org";
  e.SendTo = "out@example.org";
  const std::string head = "[General]\nQuit=Y\nAutoExchange=Y\n[AutoExchange]\nSharedMode=Y\n";
  EXPECT_EQ(Batch(e), head + "ReadFrom=\\\\srv\\in\n" + kZeros);  // empty WriteTo left out
  e.SendByEmail = 1;
  EXPECT_EQ(Batch(e), head + "ReadFrom=\\\\srv\\in\nReceiveFrom=in@example.org\n"
                             "SendTo=out@example.org\n" + kZeros);
}

// With user and password: the job tests. A password without a user is not passed; no
// password, nothing to mask.
TEST(CommandLines, EnterpriseWithoutAUserOrAPassword) {
  const std::string exe = "C:\\Program Files\\1Cv77\\BIN\\1cv7.exe";
  EXPECT_EQ(enterprise::BuildCommandLine(exe, "C:\\Б\\", "", "пароль", "C:\\b"),
            "\"" + exe + "\" CONFIG /D\"C:\\Б\\\" /@\"C:\\b\"");
  EXPECT_EQ(enterprise::BuildJournalCommandLine(exe, "C:\\Б\\", "Иванов", "", "C:\\b"),
            "\"" + exe + "\" CONFIG /D\"C:\\Б\\\" /NИванов /@\"C:\\b\"");
}

}  // namespace
