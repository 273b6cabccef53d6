// The schedule dialog's result in the tree: one schedule per mode, the placeholder kept.
#include "tree/schedule_placement.h"

#include <gtest/gtest.h>

#include "tests/config/config_fixture.h"

namespace {

class PlacementTest : public ::testing::Test {
 protected:
  PlacementTest() : tree(fixture::NoUsers(), [this] { ++modified; }) {
    tree.RebuildFromRegistry(registry);
    placeholder = Items().front();
  }

  std::vector<ItemHandle> Items() const { return tree.Items().Children(tree.ScheduleRoot()); }
  std::string Text(ItemHandle item) const { return tree.Item(item)->text; }
  // The dialog on item, ending with apply; its result is the copy it got with a new mode.
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
  EXPECT_FALSE(Edit(placeholder, ScheduleMode::Monthly, "monthly", false));  // "Отмена"
  EXPECT_FALSE(Edit(tree.PreTaskItem(), ScheduleMode::Monthly, "monthly"));  // no schedule
  const std::vector<ItemHandle> items = Items();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(Text(items[0]), "weekly");  // new schedules come first
  EXPECT_EQ(Text(items[1]), "daily 2");
  EXPECT_EQ(tree.FindSchedule(items[1])->name, "daily 2");
  EXPECT_EQ(items[2], placeholder);
  EXPECT_EQ(tree.FindSchedule(placeholder)->Mode, ScheduleMode::Placeholder);
  EXPECT_EQ(Text(placeholder), "Новое расписание");
  EXPECT_EQ(tree.Item(items[0])->image, tree_image::kSchedule);
  EXPECT_EQ(modified, 3);
}

TEST_F(PlacementTest, EditingIntoATakenModeMovesTheValuesAndDeletesTheEditedItem) {
  ASSERT_TRUE(Edit(placeholder, ScheduleMode::Daily, "daily"));
  ASSERT_TRUE(Edit(placeholder, ScheduleMode::Weekly, "weekly"));
  const ItemHandle weekly = Items()[0], daily = Items()[1];
  ASSERT_TRUE(Edit(weekly, ScheduleMode::Daily, "daily from weekly"));
  EXPECT_EQ(Items(), (std::vector<ItemHandle>{daily, placeholder}));
  EXPECT_EQ(Text(daily), "daily from weekly");
  EXPECT_EQ(tree.ScheduleEntries().size(), 2u);  // the weekly entry went with its item
  // Into a free mode the item changes in place.
  ASSERT_TRUE(Edit(daily, ScheduleMode::Monthly, "monthly"));
  EXPECT_EQ(Items(), (std::vector<ItemHandle>{daily, placeholder}));
  EXPECT_EQ(tree.FindSchedule(daily)->Mode, ScheduleMode::Monthly);
  EXPECT_EQ(Text(daily), "monthly");
}

}  // namespace
