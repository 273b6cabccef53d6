// The schedule dialog's result in the tree: one schedule per mode, the placeholder kept.
#include "tree/schedule_placement.h"

#include <gtest/gtest.h>

#include "tests/config/config_fixture.h"

namespace {

class PlacementTest : public ::testing::Test {
 protected:
  PlacementTest() : tree(fixture::NoUsers(), [this] { ++modified; }) {
    tree.RebuildFromRegistry(registry);
    placeholder = Shown().front().item;
  }

  static ScheduleEntry Entry(ScheduleMode mode, const std::string& name, uint32_t time) {
    ScheduleEntry e;
    e.Mode = mode;
    e.name = name;
    e.Time = time;
    return e;
  }
  // The schedule items under "Расписание" in tree order, with their entries.
  std::vector<ScheduleEntry> Shown() const {
    std::vector<ScheduleEntry> shown;
    for (ItemHandle h : tree.Items().Children(tree.ScheduleRoot())) {
      ScheduleEntry e = tree.FindSchedule(h).value();
      EXPECT_EQ(tree.Item(h)->text, e.name);
      shown.push_back(e);
    }
    return shown;
  }
  // Runs the dialog on item with a result made from the copy it was given.
  bool Edit(ItemHandle item, ScheduleMode mode, const std::string& name, bool apply = true) {
    return EditScheduleItem(tree, item, [&](ScheduleEntry& e) {
      e.Mode = mode;
      e.name = name;
      e.Time = 100;
      return apply;
    });
  }

  platform::MemoryRegistry registry;
  int modified = 0;
  InfobaseTree tree;
  ItemHandle placeholder = kNoItem;
};

TEST_F(PlacementTest, AddingAModeThatExistsReplacesItsScheduleAndKeepsThePlaceholder) {
  ASSERT_TRUE(Edit(placeholder, ScheduleMode::Daily, "daily 1"));
  ASSERT_TRUE(Edit(placeholder, ScheduleMode::Weekly, "weekly"));
  ASSERT_TRUE(Edit(placeholder, ScheduleMode::Daily, "daily 2"));
  const std::vector<ScheduleEntry> shown = Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].name, "weekly");  // new schedules come first
  EXPECT_EQ(shown[1].name, "daily 2");
  EXPECT_EQ(shown[1].Time, 100u);
  EXPECT_EQ(shown[2].name, "Новое расписание");
  EXPECT_EQ(shown[2].Mode, ScheduleMode::Placeholder);
  EXPECT_EQ(tree.Item(shown[0].item)->image, tree_image::kSchedule);
  EXPECT_EQ(modified, 3);
  // "Отмена" changes nothing; neither does a dialog on an item that is no schedule.
  EXPECT_FALSE(Edit(placeholder, ScheduleMode::Monthly, "monthly", false));
  EXPECT_FALSE(Edit(tree.PreTaskItem(), ScheduleMode::Monthly, "monthly"));
  EXPECT_EQ(Shown().size(), 3u);
  EXPECT_EQ(modified, 3);
}

TEST_F(PlacementTest, EditingIntoATakenModeMovesTheValuesAndDeletesTheEditedItem) {
  tree.ApplySchedule(Entry(ScheduleMode::Daily, "daily", 1));
  tree.ApplySchedule(Entry(ScheduleMode::Weekly, "weekly", 2));
  const ItemHandle weekly = Shown()[0].item, daily = Shown()[1].item;
  ASSERT_TRUE(Edit(weekly, ScheduleMode::Daily, "daily from weekly"));
  std::vector<ScheduleEntry> shown = Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].item, daily);
  EXPECT_EQ(shown[0].name, "daily from weekly");
  EXPECT_EQ(tree.ScheduleEntries().size(), 2u);  // the weekly entry went with its item
  // Into a free mode: the item changes in place; into its own: it is stored again.
  ASSERT_TRUE(Edit(daily, ScheduleMode::Monthly, "monthly"));
  ASSERT_TRUE(Edit(daily, ScheduleMode::Monthly, "monthly 2"));
  shown = Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].item, daily);
  EXPECT_EQ(shown[0].name, "monthly 2");
  EXPECT_EQ(shown[0].Mode, ScheduleMode::Monthly);
}

}  // namespace
