// A load that meets the file held by another program (the launcher's poll).
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "config/configuration.h"
#include "platform/file.h"
#include "tests/config/config_fixture.h"
#include "tree/infobase_tree.h"

namespace {

class HeldLoadTest : public ::testing::Test {
 protected:
  HeldLoadTest() : tree(fixture::NoUsers(), [] {}) {
    config.options.DestinationDirectory = "E:\\Архивы";
    config.options.CopyCount = 5;
    EXPECT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams), 0);
    saved = fixture::ReadAll(path);
  }
  LoadResult Load(Configuration& into) { return LoadConfiguration(path, into, tree, seams); }

  fixture::TempDir dir;
  std::string path = dir.Path("held.cfg");
  platform::MemoryRegistry registry;
  InfobaseTree tree;
  Configuration config;
  ConfigurationSeams seams{registry, platform::SilentFileErrorReporter()};
  std::string saved;
};

TEST_F(HeldLoadTest, HeldThroughoutIsUnreadableNotEmpty) {
  platform::File held;  // without sharing, as the launcher's poll holds it
  ASSERT_TRUE(held.Open(path, 0));
  Configuration loaded;
  EXPECT_EQ(Load(loaded), LoadResult::Unreadable);
  held.Close();
  EXPECT_EQ(fixture::ReadAll(path), saved);
}

TEST_F(HeldLoadTest, ReleasedDuringTheRetryLoadsAndASaveKeepsTheContent) {
  platform::File held;
  ASSERT_TRUE(held.Open(path, 0));
  std::thread release([&] {
    Sleep(300);
    held.Close();
  });
  Configuration loaded;
  LoadResult result = Load(loaded);
  release.join();
  ASSERT_EQ(result, LoadResult::Loaded);
  EXPECT_EQ(loaded.options.DestinationDirectory, "E:\\Архивы");
  EXPECT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, loaded, tree, seams), 0);
  EXPECT_EQ(fixture::ReadAll(path), saved);
}

}  // namespace
