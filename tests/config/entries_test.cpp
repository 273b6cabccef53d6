#include "config/entries.h"

#include <gtest/gtest.h>

namespace {

TEST(Entries, NewScheduleStartsOnTheFirstOfTheMonth) {
  const ScheduleEntry s;
  EXPECT_EQ(s, (ScheduleEntry{"", "", kNoItem, 0, 0, 0, 1, 0}));
}

TEST(Entries, CopiesKeepTheFileListOrderAndAreIndependent) {
  const std::vector<std::string> files = {"*.dbf", "1cv7.md", "usrdef\\*.*"};
  InfobaseEntry original;
  original.BaseName = "Торговля";
  original.FileList = files;

  InfobaseEntry copy = original;
  EXPECT_EQ(copy, original);
  copy.FileList.push_back("extra");
  copy.FileList[0] = "changed";
  InfobaseEntry assigned;
  assigned = original;
  assigned.FileList.clear();
  EXPECT_EQ(original.FileList, files);
  EXPECT_EQ(copy.FileList[1], "1cv7.md");
}

}  // namespace
