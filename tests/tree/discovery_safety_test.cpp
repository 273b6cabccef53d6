// Discovery from "Titles": a value that cannot be read costs only itself.
#include <gtest/gtest.h>

#include "tests/config/config_fixture.h"
#include "tree/infobase_tree.h"

namespace {

TEST(DiscoverySafety, UnreadableTitleKeepsTheOthers) {
  platform::MemoryRegistry registry;
  fixture::RegisterInfobases(
      registry,
      {{"C:\\Trade", "Торговля"}, {"C:\\Changed", "Меняется"}, {"\\\\server\\Salary", "Зарплата"}});
  registry.SetUnreadable(platform::RegRoot::CurrentUser, fixture::kTitlesKey, "C:\\Changed");
  InfobaseTree tree(fixture::NoUsers(), [] {});
  tree.RebuildFromRegistry(registry);
  std::vector<std::string> paths;
  for (const InfobaseEntry& e : tree.InfobaseEntries()) paths.push_back(e.path);
  EXPECT_EQ(paths, (std::vector<std::string>{"C:\\Trade", "\\\\server\\Salary"}));
}

}  // namespace
