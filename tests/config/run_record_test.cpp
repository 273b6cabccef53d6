// The run records: their bytes, the cap per configuration and the registry value.
#include "config/run_record.h"

#include <gtest/gtest.h>

#include "platform/registry.h"

namespace runs {
namespace {

RunRecord Failed(int64_t started, std::vector<std::string> names, uint32_t run = 5) {
  RunRecord r;
  r.unattended = true;
  r.started = started;
  r.ended = started + 725;
  r.infobasesRun = run;
  r.infobasesFailed = static_cast<uint32_t>(names.size());
  r.failedNames = std::move(names);
  r.journalPath = "C:\\Данные\\Journal.txt";
  return r;
}

TEST(RunRecord, RoundTripKeepsEveryFieldAndRefusesDamagedBytes) {
  RunRecord aborted = Failed(-5, {});
  aborted.aborted = true;
  aborted.unattended = false;
  aborted.journalPath.clear();
  RunRecord unreadable;
  unreadable.unreadable = true;
  unreadable.sequence = 0xFFFFFFFF;
  const std::vector<RunRecord> records = {Failed(1765000000, {"Бухгалтерия", "Склад"}), aborted,
                                          unreadable};
  const std::string bytes = Serialize(records);
  EXPECT_EQ(Parse(bytes), records);
  EXPECT_EQ(Parse(Serialize({})), std::vector<RunRecord>{});
  for (size_t cut = 0; cut < bytes.size(); ++cut) EXPECT_FALSE(Parse(bytes.substr(0, cut))) << cut;
  EXPECT_FALSE(Parse(bytes + "x"));
  EXPECT_FALSE(Parse("ZR\x02" + bytes.substr(3)));
}

TEST(RunRecord, AppendNumbersTheRunsAndKeepsTheLastTwenty) {
  std::vector<RunRecord> records;
  for (int i = 1; i <= 23; ++i) Append(records, Failed(i, std::vector<std::string>(40, "База")));
  ASSERT_EQ(records.size(), kRecordsPerConfiguration);
  EXPECT_EQ(records.front().sequence, 4u);
  EXPECT_EQ(records.back().sequence, 23u);
  EXPECT_EQ(records.back().failedNames.size(), kNamedFailures);
  EXPECT_EQ(records.back().infobasesFailed, 40u);  // the count stays whole
  EXPECT_EQ(Parse(Serialize(records)), records);
  // The other results in words: the notices and window tests.
  EXPECT_EQ(ResultText(Failed(0, {}, 0)), "нет заданий");
}

TEST(RunRecord, RegistryValueSurvivesDamageOfAnother) {
  platform::MemoryRegistry registry;
  const std::string a = "C:\\cfg\\nightly.cfg", b = "C:\\cfg\\weekly.cfg";
  EXPECT_TRUE(WriteRecord(registry, a, Failed(10, {"Склад"})));
  EXPECT_TRUE(WriteRecord(registry, a, Failed(20, {})));
  registry.WriteValue(platform::RegRoot::CurrentUser, kRunsKey, b,
                      platform::RegValue::Binary("garbage"));
  const auto all = ReadAllRecords(registry);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].configPath, a);
  ASSERT_EQ(all[0].records.size(), 2u);
  EXPECT_EQ(all[0].records[1].sequence, 2u);
  // A damaged value starts again rather than failing the run's end.
  EXPECT_TRUE(WriteRecord(registry, b, Failed(30, {})));
  EXPECT_EQ(ReadRecords(registry, b).at(0).sequence, 1u);
}

}  // namespace
}  // namespace runs
