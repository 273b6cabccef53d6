// Parameters of infobases that do not run survive a save and a load: unmarked and blocked
// infobases, infobases added by hand and then unmarked, and records of infobases that are
// not registered at the moment. The run's section holds only what runs.
#include <gtest/gtest.h>

#include "config/inactive_records.h"
#include "store/settings_file.h"
#include "tests/config/config_fixture.h"

namespace {

class InactiveTest : public ::testing::Test {
 protected:
  InactiveTest() {
    fixture::RegisterInfobases(registry, {{"C:\\A\\", "A"}, {"C:\\B\\", "B"}, {"C:\\C\\", "C"}});
  }

  std::unique_ptr<InfobaseTree> Load() {
    auto tree = std::make_unique<InfobaseTree>(fixture::NoUsers(), [] {});
    Configuration config;
    LoadConfiguration(path, config, *tree, seams);
    return tree;
  }
  void Save(const InfobaseTree& tree) {
    ASSERT_GE(SaveConfiguration(SaveTarget::CurrentFile, path, Configuration{}, tree, seams), 0);
  }
  static void SetJobs(InfobaseTree& tree, const std::string& path, const std::string& user) {
    InfobaseEntry e = *tree.FindInfobase(fixture::ItemOf(tree, path));
    e.SaveData = 1;
    e.UserName = user;
    e.Pswd = "secret";
    e.ArchiveName = "arc";
    tree.StoreInfobase(e);
  }
  // Names of the children of a section under "Zorvan".
  std::vector<std::string> Section(const char* name) {
    CSettingsFile file(path, SF_MODE_READ, platform::SilentFileErrorReporter());
    EXPECT_TRUE(file.Open());
    const int32_t id = file.OpenSection(file.OpenSectionPath("Zorvan"), name);
    std::vector<std::string> names = id == 0 ? std::vector<std::string>{}
                                             : ReadChildNames(file, id);
    file.Close();
    return names;
  }

  testsupport::ScratchFolder dir;
  std::string path = dir / "kept.cfg";
  platform::MemoryRegistry registry;
  ConfigurationSeams seams{registry, platform::SilentFileErrorReporter()};
};

TEST_F(InactiveTest, UnmarkedInfobasesKeepTheirParametersAcrossSaveAndLoad) {
  {
    auto tree = Load();
    SetJobs(*tree, "C:\\A\\", "Admin");  // marked, then unmarked again
    tree->ToggleMark(fixture::ItemOf(*tree, "C:\\A\\"));
    tree->ToggleMark(fixture::ItemOf(*tree, "C:\\A\\"));
    SetJobs(*tree, "C:\\B\\", "Кассир");  // marked and runs
    tree->ToggleMark(fixture::ItemOf(*tree, "C:\\B\\"));
    InfobaseEntry byHand;
    byHand.Type = InfobaseType::AddedByHand;
    byHand.BaseName = "Ручная";
    byHand.path = "F:\\Manual\\";
    byHand.UseExternalArchiver = 1;
    tree->ToggleMark(tree->AddUnregistered(byHand, Mark::Marked));  // unticked
    Save(*tree);
  }
  EXPECT_EQ(Section("Parameters"), std::vector<std::string>{"C:\\B\\"});
  EXPECT_EQ(Section(kInactiveSection), (std::vector<std::string>{"C:\\A\\", "F:\\Manual\\"}));

  auto tree = Load();
  const ItemHandle a = fixture::ItemOf(*tree, "C:\\A\\");
  EXPECT_EQ(tree->GetMark(a), Mark::Unmarked);
  const InfobaseEntry back = *tree->FindInfobase(a);
  EXPECT_EQ(back.UserName, "Admin");
  EXPECT_EQ(back.Pswd, "secret");
  EXPECT_EQ(back.ArchiveName, "arc");
  EXPECT_EQ(tree->Item(tree->Items().FirstChild(a, ItemKind::UserItem))->text,
            "Пользователь: <Admin>");
  tree->ToggleMark(a);  // marked again: the jobs are back and it runs
  EXPECT_EQ(tree->GetMark(a), Mark::Marked);
  const ItemHandle manual = fixture::ItemOf(*tree, "F:\\Manual\\");
  ASSERT_NE(manual, kNoItem);
  EXPECT_EQ(tree->GetMark(manual), Mark::Unmarked);
  EXPECT_EQ(tree->Item(manual)->text, "Ручная");
  EXPECT_EQ(tree->GetMark(fixture::ItemOf(*tree, "C:\\B\\")), Mark::Marked);
}

TEST_F(InactiveTest, RecordsOfUnregisteredInfobasesAreKeptUntilTheyAreRegisteredAgain) {
  {
    auto tree = Load();
    SetJobs(*tree, "C:\\C\\", "Admin");
    tree->ToggleMark(fixture::ItemOf(*tree, "C:\\C\\"));
    Save(*tree);  // an older version's file: the record runs
  }
  registry.DeleteValue(platform::RegRoot::CurrentUser, fixture::kTitlesKey, "C:\\C\\");
  {
    auto tree = Load();
    EXPECT_EQ(fixture::ItemOf(*tree, "C:\\C\\"), kNoItem);
    Save(*tree);
  }
  EXPECT_TRUE(Section("Parameters").empty());
  EXPECT_EQ(Section(kInactiveSection), std::vector<std::string>{"C:\\C\\"});
  Save(*Load());  // still not registered: the record stays
  fixture::RegisterInfobases(registry, {{"C:\\C\\", "C"}});
  auto tree = Load();
  const ItemHandle c = fixture::ItemOf(*tree, "C:\\C\\");
  EXPECT_EQ(tree->GetMark(c), Mark::Unmarked);
  EXPECT_EQ(tree->FindInfobase(c)->UserName, "Admin");
  EXPECT_EQ(tree->FindInfobase(c)->SaveData, 1);
}

}  // namespace
