// The save against a configuration file that the launcher holds open during its poll.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "config/configuration.h"
#include "platform/file.h"
#include "tests/config/config_fixture.h"
#include "tree/infobase_tree.h"

namespace {

class SaveWinTest : public ::testing::Test {
 protected:
  SaveWinTest() : tree(fixture::NoUsers(), [] {}) {
    tree.RebuildFromRegistry(registry);
    config.options.DestinationDirectory = "E:\\Новый";
  }

  testsupport::ScratchFolder dir;
  platform::MemoryRegistry registry;
  InfobaseTree tree;
  Configuration config;
  ConfigurationSeams seams{registry,
                           [this](const platform::FileError& e) { fileErrors.push_back(e); }};
  std::vector<platform::FileError> fileErrors;
};

TEST_F(SaveWinTest, TargetHeldOpenThroughoutKeepsTheOldFile) {
  const std::string path = dir / "held.cfg";
  testsupport::Write(path, "old configuration");
  platform::File held;  // held without sharing, as the launcher does while it polls
  ASSERT_TRUE(held.Open(path, 0));
  EXPECT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams), 0);
  held.Close();
  EXPECT_EQ(testsupport::Read(path), "old configuration");
  ASSERT_EQ(fileErrors.size(), 1u);
  EXPECT_EQ(fileErrors[0].path, path);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"held.cfg"});
}

TEST_F(SaveWinTest, TargetReleasedDuringTheRetryIsReplaced) {
  const std::string path = dir / "poll.cfg";
  testsupport::Write(path, "old configuration");
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

}  // namespace
