// The save against the real file system: a configuration file that the launcher holds
// open during its poll, and names in Windows-1251.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <thread>

#include "config/configuration.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "tests/config/config_fixture.h"
#include "tree/infobase_tree.h"

namespace {

class SaveWinTest : public ::testing::Test {
 protected:
  SaveWinTest() : tree(fixture::NoUsers(), [] {}) {
    tree.RebuildFromRegistry(registry);
    config.options.DestinationDirectory = "E:\\Новый";
  }

  fixture::TempDir dir;
  platform::MemoryRegistry registry;
  InfobaseTree tree;
  Configuration config;
  ConfigurationSeams seams{registry,
                           [this](const platform::FileError& e) { fileErrors.push_back(e); }};
  std::vector<platform::FileError> fileErrors;
};

TEST_F(SaveWinTest, TargetHeldOpenThroughoutKeepsTheOldFile) {
  const std::string path = dir.Path("held.cfg");
  fixture::WriteAll(path, "old configuration");
  platform::File held;  // held without sharing, as the launcher does while it polls
  ASSERT_TRUE(held.Open(path, 0));
  const DWORD start = GetTickCount();
  EXPECT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams), 0);
  EXPECT_GE(GetTickCount() - start, 1500u);  // it waited for the holder before giving up
  held.Close();
  EXPECT_EQ(fixture::ReadAll(path), "old configuration");
  ASSERT_EQ(fileErrors.size(), 1u);
  EXPECT_EQ(fileErrors[0].path, path);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"held.cfg"});
}

TEST_F(SaveWinTest, TargetReleasedDuringTheRetryIsReplaced) {
  const std::string path = dir.Path("poll.cfg");
  fixture::WriteAll(path, "old configuration");
  platform::File held;
  ASSERT_TRUE(held.Open(path, 0));
  std::thread release([&] {
    Sleep(300);
    held.Close();
  });
  EXPECT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams), 0);
  release.join();
  EXPECT_TRUE(fileErrors.empty());
  GeneralOptions back;
  RestoreArchiveFolder(path, back);
  EXPECT_EQ(back.DestinationDirectory, "E:\\Новый");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"poll.cfg"});
}

TEST_F(SaveWinTest, CyrillicFileNameRoundTrips) {
  const std::string path = dir.Path("") + "Ночная копия.cfg";
  SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams);
  EXPECT_TRUE(platform::fs::FileExists(path));
  EXPECT_TRUE(GetFileAttributesW((platform::Widen(dir.Path("")) + L"Ночная копия.cfg").c_str()) !=
              INVALID_FILE_ATTRIBUTES);
  Configuration back;
  LoadConfiguration(path, back, tree, seams);
  EXPECT_EQ(back.options.DestinationDirectory, "E:\\Новый");
}

TEST(FileLookupWinTest, ReportsTheSystemError) {
  fixture::TempDir dir;
  unsigned long error = 0;
  EXPECT_FALSE(platform::fs::FileExists(dir.Path("none.exe"), &error));
  EXPECT_EQ(error, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(platform::fs::FileExists(dir.Path("none\\x.exe"), &error));
  EXPECT_EQ(error, static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
}

TEST(DiscoveryWinTest, RegisteredInfobasesComeFromTheUsersRegistry) {
  std::unique_ptr<platform::Registry> registry = platform::MakeWin32Registry();
  const std::string local = "C:\\ZvTest\\Торговля";
  const std::string network = "\\\\srv\\ZvTest\\Склад";
  fixture::RegisterInfobases(*registry, {{local, "Торговля ZvTest"}, {network, "Склад ZvTest"}});
  InfobaseTree tree(fixture::NoUsers(), [] {});
  tree.RebuildFromRegistry(*registry);
  registry->DeleteValue(platform::RegRoot::CurrentUser, fixture::kTitlesKey, local);
  registry->DeleteValue(platform::RegRoot::CurrentUser, fixture::kTitlesKey, network);
  std::map<std::string, ItemHandle> parents;
  for (const InfobaseEntry& e : tree.InfobaseEntries()) parents[e.path] = tree.Item(e.item)->parent;
  ASSERT_EQ(parents.count(local), 1u);
  ASSERT_EQ(parents.count(network), 1u);
  EXPECT_EQ(parents[local], tree.LocalGroup());
  EXPECT_EQ(parents[network], tree.NetworkGroup());
}

}  // namespace
