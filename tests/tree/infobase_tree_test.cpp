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
  int mark;
  bool operator==(const Shown&) const = default;
};

class InfobaseTreeTest : public ::testing::Test {
 protected:
  InfobaseTreeTest()
      : tree([](const std::string&, std::vector<std::string>&) { return false; }, [] {}) {}

  std::vector<Shown> Children(ItemHandle parent) const {
    std::vector<Shown> shown;
    for (ItemHandle h : tree.Items().Children(parent)) {
      const TreeItem* it = tree.Item(h);
      shown.push_back({it->kind, it->text, it->image, tree.GetMark(h)});
    }
    return shown;
  }

  ItemHandle ItemOf(const std::string& path) const {
    for (const InfobaseEntry& e : tree.InfobaseEntries()) {
      if (e.path == path) return e.item;
    }
    return kNoItem;
  }

  platform::MemoryRegistry registry;
  InfobaseTree tree;
};

TEST_F(InfobaseTreeTest, DiscoveryGroupsInOrderMetThenFixedItems) {
  fixture::RegisterInfobases(registry, {{"\\\\srv\\share\\Acc", "Бухгалтерия"},
                                        {"C:\\Trade", "Торговля"},
                                        {"D:\\Data\\\\Odd", "Склад"},  // two backslashes: network
                                        {std::string(256, 'p'), "too long"},
                                        {"E:\\Long", std::string(256, 't')}});
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
  const ItemHandle tasks = tree.Items().Children(kNoItem).back();
  EXPECT_EQ(Children(tasks),
            (std::vector<Shown>{{ItemKind::PreTaskItem, "<Не задано ...>", 15, -1},
                                {ItemKind::PostTaskItem, "<Не задано ...>", 17, -1}}));

  InfobaseEntry expected;
  expected.item = ItemOf("C:\\Trade");
  expected.BaseName = "Торговля";
  expected.path = "C:\\Trade";
  EXPECT_EQ(tree.FindInfobase(expected.item), expected);
  EXPECT_EQ(tree.InfobaseEntries().size(), 3u);
  ASSERT_EQ(tree.ScheduleEntries().size(), 1u);
  EXPECT_EQ(tree.ScheduleEntries()[0].Mode, 0);
}

TEST_F(InfobaseTreeTest, WithoutTitlesKeyOnlyFixedItems) {
  tree.RebuildFromRegistry(registry);
  EXPECT_EQ(tree.Items().Children(kNoItem).size(), 3u);
  EXPECT_EQ(tree.LocalGroup(), kNoItem);
  EXPECT_EQ(tree.NetworkGroup(), kNoItem);
}

TEST_F(InfobaseTreeTest, RebuildDropsRecordsOfInfobasesNoLongerRegistered) {
  fixture::RegisterInfobases(registry, {{"C:\\Trade", "Торговля"}});
  tree.RebuildFromRegistry(registry);
  const ItemHandle before = ItemOf("C:\\Trade");
  tree.RebuildFromRegistry(registry);
  EXPECT_NE(ItemOf("C:\\Trade"), before);  // handles are not reused
  EXPECT_EQ(tree.Item(before), nullptr);

  InfobaseRecord gone;
  gone.entry.path = "C:\\Gone";
  gone.entry.SaveData = 1;
  gone.hasState = true;
  gone.State = 1;
  tree.ApplyInfobaseRecord(gone);
  InfobaseRecord trade;
  trade.entry.path = "C:\\trade";  // paths compare byte for byte
  trade.hasState = true;
  trade.State = 1;
  tree.ApplyInfobaseRecord(trade);
  EXPECT_EQ(tree.InfobaseEntries().size(), 1u);
  EXPECT_EQ(tree.GetMark(ItemOf("C:\\Trade")), 0);
}

TEST_F(InfobaseTreeTest, AppliedRecordsFillItemsAndMarks) {
  fixture::RegisterInfobases(registry, {{"C:\\Trade", "Торговля"}, {"C:\\Shop", "Магазин"}});
  tree.RebuildFromRegistry(registry);
  InfobaseRecord trade;
  trade.entry.path = "C:\\Trade";
  trade.entry.UserName = "Иванов";
  trade.entry.Pswd = "тайна";
  trade.entry.SaveData = 1;
  trade.hasState = true;
  trade.State = 1;
  tree.ApplyInfobaseRecord(trade);
  InfobaseRecord shop;  // no "State": parameters taken, mark stays 0
  shop.entry.path = "C:\\Shop";
  shop.entry.UserName = "Петров";
  shop.entry.Pack = 1;
  tree.ApplyInfobaseRecord(shop);

  const ItemHandle t = ItemOf("C:\\Trade");
  EXPECT_EQ(Children(t), (std::vector<Shown>{{ItemKind::UserItem, "Пользователь: <Иванов>", 6, -1},
                                             {ItemKind::PasswordItem, "Пароль: <*****>", 7, -1},
                                             {ItemKind::ParametersItem, "Параметры", 9, -1}}));
  EXPECT_EQ(tree.GetMark(t), 1);
  EXPECT_EQ(tree.FindInfobase(t)->BaseName, "Торговля");
  const ItemHandle s = ItemOf("C:\\Shop");
  EXPECT_EQ(tree.GetMark(s), 0);
  EXPECT_EQ(tree.FindInfobase(s)->Pack, 1);
  EXPECT_EQ(tree.GetMark(tree.LocalGroup()), 2);

  InfobaseRecord idle;  // hand-added without a job: marked, blocked, parameters unchosen
  idle.entry.Type = 1;
  idle.entry.BaseName = "Пустая";
  idle.entry.path = "F:\\Idle";
  tree.ApplyInfobaseRecord(idle);
  const ItemHandle i = ItemOf("F:\\Idle");
  EXPECT_EQ(Children(i), (std::vector<Shown>{{ItemKind::ParametersItem, "Параметры", 8, -1}}));
  EXPECT_EQ(tree.GetMark(i), 3);
  EXPECT_EQ(tree.GetMark(tree.UnregisteredGroup()), 3);
}

TEST_F(InfobaseTreeTest, TasksAndSchedulesFromAConfiguration) {
  tree.RebuildFromRegistry(registry);
  tree.ApplyAdditionalTasks({"C:\\pre.exe", "", "/x", "/y"});
  EXPECT_EQ(tree.Item(tree.PreTaskItem())->text, "C:\\pre.exe /x");
  EXPECT_EQ(tree.Item(tree.PreTaskItem())->image, 16);
  EXPECT_EQ(tree.Item(tree.PostTaskItem())->text, "<Не задано ...>");
  EXPECT_EQ(tree.Item(tree.PostTaskItem())->image, 17);

  for (const char* name : {"A", "B"}) {
    ScheduleEntry s;
    s.name = name;
    s.Mode = 2;
    tree.ApplySchedule(s);
  }
  ScheduleEntry none;
  none.name = "C";
  tree.ApplySchedule(none);  // mode 0 is no schedule
  EXPECT_EQ(Children(tree.ScheduleRoot()),
            (std::vector<Shown>{{ItemKind::ScheduleItem, "B", 11, -1},
                                {ItemKind::ScheduleItem, "A", 11, -1},
                                {ItemKind::ScheduleItem, "Новое расписание", 12, -1}}));
  ASSERT_EQ(tree.ScheduleEntries().size(), 3u);
  EXPECT_EQ(tree.ScheduleEntries()[1].name, "A");

  const ItemHandle a = tree.ScheduleEntries()[1].item;
  tree.DeleteItem(a);  // a deleted schedule item takes its entry along
  EXPECT_EQ(tree.ScheduleEntries().size(), 2u);
  EXPECT_FALSE(tree.FindSchedule(a));
}

TEST_F(InfobaseTreeTest, StoreOverwritesOrAppendsByItem) {
  fixture::RegisterInfobases(registry, {{"C:\\Trade", "Торговля"}});
  tree.RebuildFromRegistry(registry);
  InfobaseEntry e = *tree.FindInfobase(ItemOf("C:\\Trade"));
  e.Pack = 1;
  tree.StoreInfobase(e);
  EXPECT_EQ(tree.InfobaseEntries(), std::vector<InfobaseEntry>{e});
  e.item = 9999;
  tree.StoreInfobase(e);
  EXPECT_EQ(tree.InfobaseEntries().size(), 2u);
  EXPECT_TRUE(tree.RemoveInfobase(9999));
  EXPECT_FALSE(tree.RemoveInfobase(9999));
}

TEST_F(InfobaseTreeTest, SortOrdersGroupsCaseInsensitivelyInCyrillicOrder) {
  const std::vector<std::string> titles = {"яблоко", "Ель", "ёж", "Жук", "есть", "apple",
                                           "Zebra",  "123", "_x", "ЕЛЬ", "Ђак", "Іва"};
  std::vector<std::pair<std::string, std::string>> bases;
  for (size_t i = 0; i < titles.size(); ++i) bases.push_back({"C:\\b" + std::to_string(i), titles[i]});
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
