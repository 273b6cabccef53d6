// The poll with a fake clock: starts in registry and section order, the main program's
// mutex, the start-up pass, pruning, one start per occurrence and both clock changes.
#include <gtest/gtest.h>

#include "platform/file.h"
#include "tests/launcher/poll_fixture.h"

#ifndef _WIN32
#include "tests/platform/time_zone_scope.h"
#endif

namespace {

using namespace polltest;
using launcher::kListKey;
using platform::RegRoot;
using Starts = std::vector<std::string>;

constexpr uint8_t kMonday = 1 << 1, kTuesday = 1 << 2;

// The files are read side by side; the starts keep the order of the list and the sections.
TEST_F(PollTest, DueSchedulesStartInRegistryAndSectionOrder) {
  const std::string b = Config("b.cfg", {Schedule("b daily", 1, 10, 0)});
  const std::string a =
      Config("a file.cfg",
             {Schedule("weekly", 2, 10, 0, kMonday | kTuesday), Schedule("later", 1, 11, 0),
              Schedule("monthly", 3, 10, 0, 0, 7), Schedule("other month day", 3, 10, 0, 0, 8)});
  Starts order = {Run(b), Run(a), Run(a)};
  for (char c = 'z'; c > 'p'; --c)
    order.push_back(Run(Config(std::string(1, c) + ".cfg", {Schedule("daily", 1, 10, 0)})));
  // Files that are gone (or are folders) leave the list; the rest and the default value stay.
  List(dir / "deleted.cfg");
  platform::fs::CreateFolder(dir / "folder.cfg");
  List(dir / "folder.cfg");
  registry.WriteValue(RegRoot::CurrentUser, kListKey, "", platform::RegValue::String("default"));
  EXPECT_EQ(PollAt(At(2026, 12, 7, 10, 0, 40)), order);  // Monday 7 December
  EXPECT_EQ(registry.EnumValues(RegRoot::CurrentUser, kListKey)->size(), 13u);
  EXPECT_EQ(Run(a), "/@" + a + " /BEGIN");                // a path with blanks is not quoted
  EXPECT_EQ(started, order);
  Restart(false);
  EXPECT_EQ(PollAt(At(2026, 12, 7, 9, 59, 59)), Starts{});
}

// A due schedule is noted once as skipped and still starts if the program closes within
// its minute.
TEST_F(PollTest, NothingHappensWhileTheMainProgramRuns) {
  Restart(true);
  const std::string a = Config("a.cfg", {Schedule("daily", 1, 10, 0), Schedule("boot", 4, 0, 0)});
  registry.WriteValue(RegRoot::CurrentUser, kListKey, (dir / "gone.cfg"),
                      platform::RegValue::String("x"));
  mainRunning = true;
  EXPECT_EQ(PollAt(At(2026, 12, 7, 9, 59, 30)), Starts{});
  EXPECT_TRUE(poller->Skipped().empty());
  EXPECT_EQ(PollAt(At(2026, 12, 7, 10, 0, 10)), Starts{});
  // The daily one; the start-up pass waits.
  EXPECT_EQ(poller->Skipped(),
            (std::vector<launcher::SkippedSchedule>{{a, "daily", At(2026, 12, 7, 10, 0, 10)}}));
  EXPECT_TRUE(poller->StartupPassPending());
  EXPECT_FALSE(registry.ReadValue(RegRoot::CurrentUser, cfg::kProgramKey, cfg::kLastStartUpValue));
  EXPECT_EQ(registry.EnumValues(RegRoot::CurrentUser, kListKey)->size(), 2u);
  EXPECT_EQ(PollAt(At(2026, 12, 7, 10, 0, 30)), Starts{});
  EXPECT_TRUE(poller->Skipped().empty());  // noted once
  mainRunning = false;
  EXPECT_EQ(PollAt(At(2026, 12, 7, 10, 0, 55)), Starts(2, Run(a)));
  EXPECT_FALSE(poller->StartupPassPending());
}

TEST_F(PollTest, StartUpPassStartsModeFourByItsStampAndWritesTheStamp) {
  struct Case {
    uint8_t once;
    std::optional<int64_t> stamp;
    size_t starts;
  } cases[] = {{0, At(2026, 12, 7, 8, 0), 1},
               {1, std::nullopt, 1},
               {1, At(2026, 12, 6, 23, 59), 1},
               {1, At(2026, 12, 7, 0, 1), 0}};
  Config("a.cfg", {Schedule("boot", 4, 0, 0)});
  for (const Case& c : cases) {
    registry.DeleteValue(RegRoot::CurrentUser, cfg::kProgramKey, cfg::kLastStartUpValue);
    if (c.stamp) WriteLastStartUp(registry, *c.stamp);
    Config("a.cfg", {Schedule("boot", 4, 0, 0, 0, 1, c.once)});
    Restart(true);
    EXPECT_EQ(PollAt(At(2026, 12, 7, 9, 0)).size(), c.starts) << int(c.once);
    EXPECT_EQ(registry.ReadValue(RegRoot::CurrentUser, cfg::kProgramKey, cfg::kLastStartUpValue)
                  ->AsDword(),
              static_cast<uint32_t>(now));
    EXPECT_EQ(PollAt(At(2026, 12, 7, 9, 1)), Starts{});  // never after the pass
  }
}

// A clock schedule starts once a day. The list is read again only when it changed: a file
// listed or dropped between two polls counts at the second.
TEST_F(PollTest, AClockScheduleStartsOncePerDay) {
  const std::string a = Config("a.cfg", {Schedule("daily", 1, 10, 0)});
  EXPECT_EQ(PollAt(At(2026, 12, 7, 10, 0, 5)), Starts{Run(a)});
  const std::string b = Config("b.cfg", {Schedule("daily", 1, 10, 0)});
  EXPECT_EQ(PollAt(At(2026, 12, 7, 10, 0, 55)), Starts{Run(b)});  // a ended within the minute
  registry.DeleteValue(RegRoot::CurrentUser, kListKey, a);
  EXPECT_EQ(PollAt(At(2026, 12, 8, 10, 0, 30)), Starts{Run(b)});
  Restart(false);  // the memory lives as long as the launcher
  EXPECT_EQ(PollAt(At(2026, 12, 8, 10, 0, 40)), Starts{Run(b)});
}

// A file is read again only when it changed: one never read is retried while held, one
// read before keeps its schedules while held, and a rewritten one gives its new ones.
TEST_F(PollTest, AHeldFileIsRetriedAndAChangedOneReadAgain) {
  const std::string a = Config("a.cfg", {Schedule("daily", 1, 10, 0)});
  platform::File held;
  ASSERT_TRUE(held.Open(a, platform::kFileRead));
  EXPECT_EQ(PollAt(At(2026, 12, 7, 10, 0, 5)), Starts{});
  held.Close();
  EXPECT_EQ(PollAt(At(2026, 12, 7, 10, 0, 55)), Starts{Run(a)});
  platform::fs::RemoveFile(a);
  Config("a.cfg", {Schedule("later", 1, 11, 0)});
  EXPECT_EQ(PollAt(At(2026, 12, 7, 11, 0, 5)), Starts{Run(a)});
  ASSERT_TRUE(held.Open(a, platform::kFileRead));
  EXPECT_EQ(PollAt(At(2026, 12, 8, 10, 0, 5)), Starts{});
  EXPECT_EQ(PollAt(At(2026, 12, 8, 11, 0, 5)), Starts{Run(a)});
}

TEST_F(PollTest, TrayTipNamesTheNextStart) {
  EXPECT_EQ(launcher::TrayTip(std::nullopt), "Zorvan launcher");
  const std::string a = Config("nightly.cfg", {Schedule("n", 1, 2, 30), Schedule("b", 4, 0, 0)});
  PollAt(At(2026, 12, 6, 23, 0));
  ASSERT_TRUE(poller->Next());
  EXPECT_EQ(*poller->Next(), (launcher::NextStart{{2026, 12, 7, 2, 30, 0, 1}, a}));
  EXPECT_EQ(launcher::TrayTip(poller->Next()),
            "Zorvan launcher — следующий запуск: 07.12 02:30, nightly.cfg");
  PollAt(At(2026, 12, 7, 2, 30, 20));  // started: the next one is tomorrow's
  EXPECT_EQ(poller->Next()->when, (platform::LocalTime{2026, 12, 8, 2, 30, 0, 2}));
  const std::string tip = launcher::TrayTip(launcher::NextStart{{}, std::string(200, 'x')});
  EXPECT_EQ(tip.size(), launcher::kTrayTipLimit);
}

#ifdef _WIN32
// The real registry's stamp of a list, which spares the poll reading it name by name; a full
// reading takes the same one.
TEST(PollRegistryTest, TheListStampChangesWithItsNames) {
  const auto registry = platform::MakeWin32Registry();
  const std::string key = "SOFTWARE\\Zorvan poll stamp test";
  ASSERT_TRUE(registry->CreateKey(RegRoot::CurrentUser, key));
  const auto empty = registry->ValuesStamp(RegRoot::CurrentUser, key);
  registry->WriteValue(RegRoot::CurrentUser, key, "a.cfg", platform::RegValue::String("1"));
  const auto one = registry->ValuesStamp(RegRoot::CurrentUser, key);
  EXPECT_EQ(registry->OpenValues(RegRoot::CurrentUser, key)->Stamp(), one);  // as a full reading
  registry->DeleteValue(RegRoot::CurrentUser, key, "a.cfg");
  const auto none = registry->ValuesStamp(RegRoot::CurrentUser, key);
  EXPECT_EQ(registry->ValuesStamp(RegRoot::CurrentUser, key), none);
  registry->DeleteKey(RegRoot::CurrentUser, key);
  ASSERT_TRUE(empty && one && none);
  EXPECT_EQ(empty->values, 0u);
  EXPECT_EQ(one->values, 1u);
  EXPECT_NE(none, one);
  EXPECT_FALSE(registry->ValuesStamp(RegRoot::CurrentUser, key));
}
#else
// Berlin: on 29 March 2026 the clock goes from 02:00 to 03:00, on 25 October from 03:00 back
// to 02:00.
TEST_F(PollTest, AStartInTheSkippedHourComesAtTheFirstPollAfterIt) {
  testsupport::TimeZoneScope berlin("Europe/Berlin");
  const std::string a = Config("a.cfg", {Schedule("daily", 1, 2, 30), Schedule("at 3", 1, 3, 0),
                                         Schedule("weekly sunday", 2, 2, 15, 1),
                                         Schedule("weekly monday", 2, 2, 15, kMonday)});
  const int64_t before = At(2026, 3, 29, 1, 59, 40);
  EXPECT_EQ(PollAt(before), Starts{});
  EXPECT_EQ(PollAt(before + 50), Starts(3, Run(a)));  // 03:00:30: 02:30, 03:00, Sunday 02:15
  EXPECT_EQ(PollAt(before + 100), Starts{});
  Restart(false);  // a launcher started after the change has nothing to make up
  EXPECT_EQ(PollAt(before + 50), Starts{Run(a)});  // 03:00 only
}

TEST_F(PollTest, TheRepeatedHourDoesNotStartTwice) {
  testsupport::TimeZoneScope berlin("Europe/Berlin");
  Config("a.cfg", {Schedule("daily", 1, 2, 30)});
  const int64_t first = At(2026, 10, 25, 1, 0) + 3600 + 30 * 60 + 10;  // 02:30:10 summer time
  EXPECT_EQ(platform::ToLocalTime(first + 3600)->hour, 2);
  EXPECT_EQ(PollAt(first).size(), 1u);
  EXPECT_EQ(PollAt(first + 3600), Starts{});  // 02:30:10 winter time
}
#endif

}  // namespace
