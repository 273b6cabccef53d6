// Which jobs an infobase entry asks for, as the tree, the configuration writer, the
// batch file and the job step read it. A run reads flags as 32-bit values, so a stored
// 2 is a job for the "any job" questions and no job for the batch file.
#include <gtest/gtest.h>

#include "config/entries.h"


namespace {

struct Answers {
  bool any, enterpriseJob, startsEnterprise, archive;
  bool batchSave, batchUnload, batchRepair, batchExchange;
  bool operator==(const Answers&) const = default;
};

Answers Ask(const InfobaseEntry& e) {
  return {e.ChoosesAnyJob(),  e.AsksForEnterpriseJob(), e.StartsEnterprise(), e.AsksForArchive(),
          e.BatchSavesData(), e.BatchUnloadsData(),     e.BatchRepairs(),     e.BatchExchanges()};
}

TEST(EntryJobs, EachQuestionReadsTheFlagsItsUserReads) {
  const struct {
    const char* what;
    InfobaseEntry entry;
    Answers expected;
  } cases[] = {
      {"nothing", {}, {false, false, true, false, false, false, false, false}},
      {"save", {.SaveData = 1}, {true, true, true, true, true, false, false, false}},
      {"unload", {.UnloadData = 1}, {true, true, true, true, false, true, false, false}},
      {"stored 2", {.SaveData = 2}, {true, true, true, true, false, false, false, false}},
      {"reindex", {.Reindex = 1}, {true, true, true, false, false, false, true, false}},
      {"two repairs",
       {.Reindex = 1, .Pack = 2},
       {true, true, true, false, false, false, false, false}},
      {"exchange", {.AutoExchange = 1}, {true, true, true, false, false, false, false, true}},
      {"archiver",
       {.UseExternalArchiver = 1},
       {true, false, false, false, false, false, false, false}},
      {"archiver and save",
       {.SaveData = 1, .UseExternalArchiver = 1},
       {true, true, false, true, false, false, false, false}},
      {"archiver and repair",
       {.PhisicalIntegrity = 1, .UseExternalArchiver = 1},
       {true, true, true, false, false, false, true, false}},
      {"archiver stored 2",
       {.UseExternalArchiver = 2},
       {true, false, true, false, false, false, false, false}},
  };
  for (const auto& c : cases) EXPECT_EQ(Ask(c.entry), c.expected) << c.what;
}

TEST(EntryJobs, OnlyTheFiveMarksComeFromAStoredNumber) {
  const std::pair<int64_t, Mark> cases[] = {
      {-1, Mark::NoBox},  {0, Mark::Unmarked},      {1, Mark::Marked}, {2, Mark::Mixed},
      {3, Mark::Blocked}, {4, Mark::PartlyBlocked}, {5, Mark::NoBox},  {0x100000001, Mark::NoBox}};
  for (const auto& [number, mark] : cases) EXPECT_EQ(MarkFromNumber(number), mark) << number;
}

}  // namespace
