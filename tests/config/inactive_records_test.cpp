// Records of infobases that are not registered at the moment survive saves and loads until
// they are registered again. (Unmarked infobases keep their parameters: the golden file.)
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

TEST_F(InactiveTest, RecordsOfUnregisteredInfobasesAreKeptUntilTheyAreRegisteredAgain) {
  {
    auto tree = Load();
    InfobaseEntry e = *tree->FindInfobase(fixture::ItemOf(*tree, "C:\\C\\"));
    e.SaveData = 1;
    e.UserName = "Admin";
    tree->StoreInfobase(e);
    tree->ToggleMark(e.item);
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
