#include "config/entries.h"

#include <gtest/gtest.h>

namespace {

TEST(Entries, NewEntriesHoldTheirDefaults) {
  const ScheduleEntry s;
  EXPECT_EQ(s.Date, 1);
  EXPECT_EQ(s.Mode, 0);
  EXPECT_EQ(s.Days, 0);
  EXPECT_EQ(s.Once, 0);
  EXPECT_EQ(s.item, kNoItem);
  const InfobaseEntry e;
  EXPECT_EQ(e.Type, 0);
  EXPECT_TRUE(e.FileList.empty());
  EXPECT_EQ(e.CheckAndRepair(), 0);
}

TEST(Entries, CopiesKeepTheFileListOrderAndAreIndependent) {
  InfobaseEntry original;
  original.BaseName = "Торговля";
  original.FileList = {"*.dbf", "1cv7.md", "usrdef\\*.*"};
  original.Reindex = 1;

  InfobaseEntry copy = original;
  EXPECT_EQ(copy, original);
  EXPECT_EQ(copy.FileList, (std::vector<std::string>{"*.dbf", "1cv7.md", "usrdef\\*.*"}));
  copy.FileList.push_back("extra");
  copy.FileList[0] = "changed";
  copy.BaseName += "2";
  EXPECT_EQ(original.FileList, (std::vector<std::string>{"*.dbf", "1cv7.md", "usrdef\\*.*"}));
  EXPECT_EQ(original.BaseName, "Торговля");

  InfobaseEntry assigned;
  assigned = original;
  assigned.FileList.clear();
  EXPECT_EQ(original.FileList.size(), 3u);
}

TEST(Entries, CheckAndRepairIsTheOrOfTheSixActions) {
  int32_t InfobaseEntry::*actions[] = {&InfobaseEntry::PhisicalIntegrity, &InfobaseEntry::Reindex,
                                       &InfobaseEntry::LogicalIntegrity,
                                       &InfobaseEntry::RecalcSecondaries,
                                       &InfobaseEntry::RecalcTotals, &InfobaseEntry::Pack};
  for (auto action : actions) {
    InfobaseEntry e;
    e.SaveData = e.UnloadData = e.AutoExchange = e.UseExternalArchiver = 1;  // not actions
    EXPECT_EQ(e.CheckAndRepair(), 0);
    e.*action = 1;
    EXPECT_EQ(e.CheckAndRepair(), 1);
  }
}

}  // namespace
