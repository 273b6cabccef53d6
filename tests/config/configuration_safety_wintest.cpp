// A load that meets the file held by another program (the launcher's poll), files that
// are missing or empty, and what a save keeps of the file it replaces.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "config/configuration.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "tests/config/config_fixture.h"
#include "tree/infobase_tree.h"

namespace {

TEST(HeldLoad, UnreadableIsToldFromEmptyAndARetryThatGetsTheFileKeepsIt) {
  testsupport::ScratchFolder dir{"safety"};
  const std::string path = (dir / "held.cfg");
  platform::MemoryRegistry registry;
  InfobaseTree tree(fixture::NoUsers(), [] {});
  ConfigurationSeams seams{registry, platform::SilentFileErrorReporter()};
  Configuration config, loaded;
  EXPECT_EQ(LoadConfiguration(path, loaded, tree, seams), LoadResult::Empty);
  testsupport::Write(path, "");
  EXPECT_EQ(LoadConfiguration(path, loaded, tree, seams), LoadResult::Empty);
  config.options.DestinationDirectory = "E:\\Архивы";
  EXPECT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams), 0);
  const std::string saved = testsupport::Read(path);

  platform::File held;  // without sharing, as the launcher's poll holds it
  ASSERT_TRUE(held.Open(path, 0));
  EXPECT_EQ(LoadConfiguration(path, loaded, tree, seams), LoadResult::Unreadable);
  std::thread release([&] {
    Sleep(300);
    held.Close();
  });
  const LoadResult result = LoadConfiguration(path, loaded, tree, seams);
  release.join();
  ASSERT_EQ(result, LoadResult::Loaded);
  EXPECT_EQ(loaded.options.DestinationDirectory, "E:\\Архивы");
  EXPECT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, loaded, tree, seams), 0);
  EXPECT_EQ(testsupport::Read(path), saved);
}

// The operator's hidden (or otherwise marked) configuration stays so after a save, and
// nothing is left beside it.
TEST(AtomicSave, KeepsTheAttributesOfTheFileItReplaces) {
  testsupport::ScratchFolder dir{"attrs"};
  const std::string path = dir / "hidden.cfg";
  platform::MemoryRegistry registry;
  InfobaseTree tree(fixture::NoUsers(), [] {});
  ConfigurationSeams seams{registry, platform::SilentFileErrorReporter()};
  Configuration config;
  testsupport::Write(path, "old");
  const std::wstring wide = platform::Widen(path);
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams);
  EXPECT_NE(testsupport::Read(path), "old");
  EXPECT_TRUE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"hidden.cfg"});
}

}  // namespace
