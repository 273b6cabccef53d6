// Building the tree: discovery, fixed items, applying a configuration, sorting and
// the entry lists.
#include <gtest/gtest.h>

#include "tests/config/config_fixture.h"
#include "tree/infobase_tree.h"


namespace {

struct Shown {
  ItemKind kind;
  std::string text;
  int image;
  int mark;  // the number the tree control shows
  bool operator==(const Shown&) const = default;
};

class InfobaseTreeTest : public ::testing::Test {
 protected:
  InfobaseTreeTest() : tree(fixture::NoUsers(), [] {}) {}

  std::vector<Shown> Children(ItemHandle parent) const {
    std::vector<Shown> shown;
    for (ItemHandle h : tree.Items().Children(parent)) {
      const TreeItem* it = tree.Item(h);
      shown.push_back({it->kind, it->text, it->image, static_cast<int>(tree.GetMark(h))});
    }
    return shown;
  }

  ItemHandle ItemOf(const std::string& path) const { return fixture::ItemOf(tree, path); }

  platform::MemoryRegistry registry;
  InfobaseTree tree;
};

TEST_F(InfobaseTreeTest, DiscoveryGroupsInOrderMetThenFixedItems) {
  fixture::RegisterInfobases(registry, {{"\\\\srv\\share\\Acc", "Бухгалтерия"},
                                        {"C:\\Changed", "unreadable: costs only itself"},
                                        {"C:\\Trade", "Торговля"},
                                        {"D:\\Data\\\\Odd", "Склад"},  // two backslashes: network
                                        {std::string(256, 'p'), "too long"},
                                        {"E:\\Long", std::string(256, 't')}});
  registry.SetUnreadable(platform::RegRoot::CurrentUser, fixture::kTitlesKey, "C:\\Changed");
  tree.RebuildFromRegistry(registry);
  EXPECT_EQ(Children(kNoItem), (std::vector<Shown>{
                                   {ItemKind::BaseGroup, "Сетевые", 3, 0},
                                   {ItemKind::BaseGroup, "Локальные", 4, 0},
                                   {ItemKind::UnregisteredGroup, "Незарегистрированные", 3, -1},
                                   {ItemKind::ScheduleRoot, "Расписание", 10, -1},
                                   {ItemKind::TasksRoot, "Дополнительные задачи", 14, -1}}));
  EXPECT_EQ(Children(tree.NetworkGroup()),
            (std::vector<Shown>{{ItemKind::InfobaseItem, "Бухгалтерия", 0, 0},
                                {ItemKind::InfobaseItem, "Склад", 0, 0}}));
  EXPECT_EQ(Children(tree.LocalGroup()),
            (std::vector<Shown>{{ItemKind::InfobaseItem, "Торговля", 1, 0}}));
  EXPECT_EQ(Children(ItemOf("C:\\Trade")),
            (std::vector<Shown>{{ItemKind::UserItem, "Пользователь: <...>", 5, -1},
                                {ItemKind::PasswordItem, "Пароль: <...>", 7, -1},
                                {ItemKind::ParametersItem, "Параметры", 8, -1}}));
  EXPECT_EQ(Children(tree.ScheduleRoot()),
            (std::vector<Shown>{{ItemKind::ScheduleItem, "Новое расписание", 12, -1}}));

  EXPECT_EQ(tree.FindInfobase(ItemOf("C:\\Trade")),
            (InfobaseEntry{
                .item = ItemOf("C:\\Trade"), .BaseName = "Торговля", .path = "C:\\Trade"}));
  EXPECT_EQ(tree.InfobaseEntries().size(), 3u);
}

TEST_F(InfobaseTreeTest, RebuildDropsRecordsOfInfobasesNoLongerRegistered) {
  tree.RebuildFromRegistry(registry);  // without the titles key: only fixed items
  EXPECT_EQ(tree.Items().Children(kNoItem).size(), 3u);
  EXPECT_EQ(tree.LocalGroup(), kNoItem);
  fixture::RegisterInfobases(registry, {{"C:\\Trade", "Торговля"}});
  tree.RebuildFromRegistry(registry);
  const ItemHandle before = ItemOf("C:\\Trade");
  tree.RebuildFromRegistry(registry);
  EXPECT_NE(ItemOf("C:\\Trade"), before);  // handles are not reused
  EXPECT_EQ(tree.Item(before), nullptr);

  tree.ApplyInfobaseRecord(
      {.entry = {.path = "C:\\Gone", .SaveData = 1}, .hasState = true, .State = 1});
  // Paths compare byte for byte.
  tree.ApplyInfobaseRecord({.entry = {.path = "C:\\trade"}, .hasState = true, .State = 1});
  EXPECT_EQ(tree.InfobaseEntries().size(), 1u);
  EXPECT_EQ(tree.GetMark(ItemOf("C:\\Trade")), Mark::Unmarked);
}

TEST_F(InfobaseTreeTest, AppliedRecordsFillItemsAndMarks) {
  fixture::RegisterInfobases(registry, {{"C:\\Trade", "Торговля"}, {"C:\\Shop", "Магазин"}});
  tree.RebuildFromRegistry(registry);
  tree.ApplyInfobaseRecord(
      {.entry = {.path = "C:\\Trade", .UserName = "Иванов", .Pswd = "тайна", .SaveData = 1},
       .hasState = true, .State = 1});
  // No "State": parameters taken, mark stays 0.
  tree.ApplyInfobaseRecord({.entry = {.path = "C:\\Shop", .UserName = "Петров", .Pack = 1}});

  const ItemHandle t = ItemOf("C:\\Trade");
  EXPECT_EQ(Children(t), (std::vector<Shown>{{ItemKind::UserItem, "Пользователь: <Иванов>", 6, -1},
                                             {ItemKind::PasswordItem, "Пароль: <*****>", 7, -1},
                                             {ItemKind::ParametersItem, "Параметры", 9, -1}}));
  EXPECT_EQ(tree.GetMark(t), Mark::Marked);
  EXPECT_EQ(tree.FindInfobase(t)->BaseName, "Торговля");
  const ItemHandle s = ItemOf("C:\\Shop");
  EXPECT_EQ(tree.GetMark(s), Mark::Unmarked);
  EXPECT_EQ(tree.FindInfobase(s)->Pack, 1);
  EXPECT_EQ(tree.GetMark(tree.LocalGroup()), Mark::Mixed);

  // Hand-added without a job: marked, blocked, parameters unchosen.
  tree.ApplyInfobaseRecord(
      {.entry = {.BaseName = "Пустая", .path = "F:\\Idle", .Type = InfobaseType::AddedByHand}});
  const ItemHandle i = ItemOf("F:\\Idle");
  EXPECT_EQ(Children(i), (std::vector<Shown>{{ItemKind::ParametersItem, "Параметры", 8, -1}}));
  EXPECT_EQ(tree.GetMark(i), Mark::Blocked);
  EXPECT_EQ(tree.GetMark(tree.UnregisteredGroup()), Mark::Blocked);
}

// Tasks and schedules as a file gives them (editing them: the placement and window tests).
TEST_F(InfobaseTreeTest, TasksAndSchedulesFromAConfiguration) {
  tree.RebuildFromRegistry(registry);
  tree.ApplyAdditionalTasks({"C:\\pre.exe", "", "/x", "/y"});
  EXPECT_EQ(tree.Item(tree.PreTaskItem())->text, "C:\\pre.exe /x");
  EXPECT_EQ(tree.Item(tree.PreTaskItem())->image, tree_image::kPreTaskSet);
  tree.ApplySchedule({.name = "A", .Mode = ScheduleMode::Weekly});
  tree.ApplySchedule({.name = "C"});  // mode 0 is no schedule
  EXPECT_EQ(tree.ScheduleEntries().size(), 2u);  // and the placeholder
}

TEST_F(InfobaseTreeTest, SortOrdersGroupsCaseInsensitivelyInCyrillicOrder) {
  const std::vector<std::string> titles = {"яблоко", "Ель", "ёж", "Жук", "есть", "apple",
                                           "Zebra",  "123", "_x", "ЕЛЬ", "Ђак", "Іва"};
  std::vector<std::pair<std::string, std::string>> bases;
  for (size_t i = 0; i < titles.size(); ++i)
    bases.push_back({"C:\\b" + std::to_string(i), titles[i]});
  fixture::RegisterInfobases(registry, bases);
  tree.RebuildFromRegistry(registry);
  tree.SortGroups();
  std::vector<std::string> sorted;
  for (const Shown& s : Children(tree.LocalGroup())) sorted.push_back(s.text);
  EXPECT_EQ(sorted, (std::vector<std::string>{"_x", "123", "apple", "Zebra", "Ђак", "Ель",
                                              "ЕЛЬ", "есть", "ёж", "Жук", "Іва", "яблоко"}));
  EXPECT_EQ(tree.Items().Children(kNoItem).size(), 4u);  // root items stay where they were
}

}  // namespace
