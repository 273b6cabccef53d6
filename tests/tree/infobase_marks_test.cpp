// Marks: validation against the user list and the chosen jobs, group marks derived
// from the children, and toggling infobases and groups.
#include <gtest/gtest.h>

#include <map>

#include "tests/config/config_fixture.h"
#include "tree/infobase_tree.h"

namespace {

class MarksTest : public ::testing::Test {
 protected:
  MarksTest()
      : tree(
            [this](const std::string& path, std::vector<std::string>& names) {
              ++reads;
              auto it = users.find(path);
              if (it == users.end()) return false;
              names = it->second;
              return true;
            },
            [this] { ++modified; }) {
    fixture::RegisterInfobases(registry, {{"C:\\A", "A"}, {"C:\\B", "B"}, {"C:\\C", "C"}});
    tree.RebuildFromRegistry(registry);
  }

  ItemHandle Item(const std::string& path) const { return fixture::ItemOf(tree, path); }

  void SetJobs(const std::string& path, const std::function<void(InfobaseEntry&)>& change) {
    InfobaseEntry e = *tree.FindInfobase(Item(path));
    change(e);
    tree.StoreInfobase(e);
  }

  int Image(ItemHandle infobase, ItemKind kind) const {
    return tree.Item(tree.Items().FirstChild(infobase, kind))->image;
  }

  platform::MemoryRegistry registry;
  std::map<std::string, std::vector<std::string>> users;
  int reads = 0;
  int modified = 0;
  InfobaseTree tree;
};

// Items without a box do not toggle; a group's mark follows its children.
TEST_F(MarksTest, GroupMarkFollowsItsChildren) {
  const ItemHandle a = Item("C:\\A");
  for (ItemHandle h : {tree.ScheduleRoot(), tree.Items().Children(tree.ScheduleRoot())[0],
                       tree.PreTaskItem(), tree.UnregisteredGroup(),
                       tree.Items().FirstChild(a, ItemKind::UserItem)}) {
    tree.ToggleMark(h);
    EXPECT_EQ(tree.GetMark(h), Mark::NoBox);
  }
  EXPECT_EQ(modified, 0);
  EXPECT_FALSE(tree.SetMark(a, static_cast<Mark>(5)));
  EXPECT_FALSE(tree.SetMark(a, Mark::NoBox));
  EXPECT_EQ(tree.GetMark(a), Mark::Unmarked);
  struct Case {
    std::vector<int> children;  // marks as the tree control shows them
    int group;
  };
  const std::vector<Case> cases = {{{1, 1, 1}, 1}, {{0, 0, 0}, 0}, {{3, 3, 3}, 3},
                                   {{1, 0, 0}, 2}, {{1, 1, 0}, 2}, {{1, 3, 1}, 4},
                                   {{0, 3, 0}, 4}, {{3, 1, 0}, 4}, {{3, 3, 1}, 4}};
  const std::vector<ItemHandle> items = {a, Item("C:\\B"), Item("C:\\C")};
  for (const Case& c : cases) {
    for (size_t i = 0; i < items.size(); ++i) tree.SetMark(items[i], MarkFromNumber(c.children[i]));
    tree.UpdateGroupMark(items[0]);
    EXPECT_EQ(tree.GetMark(tree.LocalGroup()), MarkFromNumber(c.group))
        << c.children[0] << c.children[1] << c.children[2];
  }
}

TEST_F(MarksTest, ValidationComparesTheUserNameExactly) {
  SetJobs("C:\\A", [](InfobaseEntry& e) {
    e.SaveData = 1;
    e.UserName = "Иванов";
  });
  const ItemHandle a = Item("C:\\A");
  tree.SetMark(a, Mark::Marked);

  users["C:\\A"] = {"Петров", "иванов"};
  EXPECT_EQ(tree.ValidateInfobase(a), Validity::Blocked);
  EXPECT_EQ(tree.GetMark(a), Mark::Blocked);
  EXPECT_EQ(Image(a, ItemKind::UserItem), 5);

  users["C:\\A"] = {"Петров", "Иванов"};
  EXPECT_EQ(tree.ValidateInfobase(a), Validity::MayRun);
  EXPECT_EQ(tree.GetMark(a), Mark::Marked);
  EXPECT_EQ(Image(a, ItemKind::UserItem), 6);

  users["C:\\A"] = {};  // an empty list accepts anybody, as does an unreadable one
  EXPECT_EQ(tree.ValidateInfobase(a), Validity::MayRun);
  users.erase("C:\\A");
  EXPECT_EQ(tree.ValidateInfobase(a), Validity::MayRun);

  users["C:\\A"] = {"Петров"};  // the external archiver needs no log-on
  SetJobs("C:\\A", [](InfobaseEntry& e) { e.UseExternalArchiver = 1; });
  reads = 0;
  EXPECT_EQ(tree.ValidateInfobase(a), Validity::MayRun);
  EXPECT_EQ(reads, 0);
}

// A group whose infobases all lack a job is blocked; one more toggle unmarks it, as it
// unmarks a blocked or mixed item (the window tests toggle those by mouse and Space).
TEST_F(MarksTest, ValidationBlocksAnInfobaseWithoutJobsUntilOneIsChosen) {
  tree.ToggleMark(tree.LocalGroup());
  EXPECT_EQ(tree.GetMark(tree.LocalGroup()), Mark::Blocked);
  tree.ToggleMark(tree.LocalGroup());
  const ItemHandle a = Item("C:\\A");
  EXPECT_EQ(tree.GetMark(a), Mark::Unmarked);
  tree.ToggleMark(a);
  EXPECT_EQ(tree.GetMark(a), Mark::Blocked);
  EXPECT_EQ(Image(a, ItemKind::ParametersItem), 8);
  EXPECT_EQ(tree.GetMark(tree.LocalGroup()), Mark::PartlyBlocked);

  SetJobs("C:\\A", [](InfobaseEntry& e) { e.RecalcTotals = 1; });
  EXPECT_EQ(tree.ValidateInfobase(a), Validity::MayRun);
  EXPECT_EQ(tree.GetMark(a), Mark::Marked);
  EXPECT_EQ(Image(a, ItemKind::ParametersItem), 9);

  // Unmarked infobases are always accepted, but their images still show the state.
  const ItemHandle b = Item("C:\\B");
  EXPECT_EQ(tree.ValidateInfobase(b), Validity::MayRun);
  EXPECT_EQ(tree.GetMark(b), Mark::Unmarked);
  EXPECT_EQ(Image(b, ItemKind::ParametersItem), 8);
  EXPECT_EQ(tree.ValidateInfobase(tree.ScheduleRoot()), Validity::MayRun);
}

}  // namespace
