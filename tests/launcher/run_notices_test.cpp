// Which events the launcher announces, what it remembers of them, the balloon texts and
// the lines of "Последние запуски…".
#include "launcher/run_notices.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/launcher/poll_fixture.h"

namespace launcher {
namespace {

const std::string kNightly = "C:\\Данные\\nightly.cfg";

runs::RunRecord Record(uint32_t sequence, bool unattended, uint32_t failed, uint32_t run = 5) {
  runs::RunRecord r;
  r.sequence = sequence;
  r.unattended = unattended;
  r.started = polltest::At(2026, 12, 6, 2, 30);
  r.ended = r.started + 3725;
  r.infobasesRun = run;
  r.infobasesFailed = failed;
  for (uint32_t i = 0; i < failed; ++i) r.failedNames.push_back("База " + std::to_string(i + 1));
  return r;
}

TEST(RunNotices, AnnouncesEachNewUnattendedFailureOnce) {
  const std::string failure =
      "Резервное копирование nightly.cfg завершилось с ошибками: 2 из 5 баз";
  runs::RunRecord aborted = Record(6, true, 0);
  aborted.aborted = true;
  struct Case {
    const char* what;
    std::vector<runs::RunRecord> records;
    uint32_t seenBefore;
    std::vector<std::string> texts;
  } cases[] = {
      {"new failure", {Record(1, true, 0), Record(2, true, 2)}, 1, {failure}},
      {"seen already", {Record(1, true, 2)}, 1, {}},
      {"good run", {Record(3, true, 0)}, 2, {}},
      {"operator's run", {Record(3, false, 2)}, 2, {}},
      {"aborted", {aborted}, 5, {"Резервное копирование nightly.cfg прервано"}},
      {"records started again", {Record(1, true, 2)}, 9, {failure}},
      {"never seen", {Record(4, true, 2), Record(5, true, 2)}, 0, {failure, failure}},
  };
  for (const Case& c : cases) {
    NoticeState state;
    if (c.seenBefore) state.seen.push_back({kNightly, c.seenBefore});
    std::vector<std::string> texts;
    for (const Notice& n : TakeNewNotices({{kNightly, c.records}}, {}, state))
      texts.push_back(n.text);
    EXPECT_EQ(texts, c.texts) << c.what;
    EXPECT_EQ(state.warning, !c.texts.empty()) << c.what;
    EXPECT_EQ(state.seen, (std::vector<SeenRuns>{{kNightly, c.records.back().sequence}})) << c.what;
    EXPECT_TRUE(TakeNewNotices({{kNightly, c.records}}, {}, state).empty()) << c.what;
  }
}

TEST(RunNotices, SkippedSchedulesAreAnnouncedKeptAndRememberedAcrossLogOns) {
  platform::MemoryRegistry registry;
  const SkippedSchedule skipped{kNightly, "В 02:30,  каждый день",
                                polltest::At(2026, 12, 6, 2, 30)};
  NoticeState state = ReadNotices(registry);
  const auto notices = TakeNewNotices({}, {skipped}, state);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].text,
            "Расписание «В 02:30,  каждый день» для nightly.cfg пропущено: программа была открыта");
  ASSERT_TRUE(WriteNotices(registry, state));
  // The next log-on: the warning stays, the skipped schedule is listed, nothing repeats.
  NoticeState again = ReadNotices(registry);
  EXPECT_EQ(again, state);
  EXPECT_TRUE(again.warning);
  EXPECT_TRUE(TakeNewNotices({}, {}, again).empty());
  for (int i = 0; i < 30; ++i) TakeNewNotices({}, {skipped}, again);
  EXPECT_EQ(again.skipped.size(), kSkippedKept);
  EXPECT_EQ(ParseNotices(SerializeNotices(again)), again);
  const std::string bytes = SerializeNotices(again);
  for (size_t cut = 0; cut < bytes.size(); cut += 7)
    EXPECT_FALSE(ParseNotices(bytes.substr(0, cut)));
}

TEST(RunNotices, BalloonTextsCountInfobasesInRussian) {
  runs::RunRecord unreadable = Record(1, true, 0);
  unreadable.unreadable = true;
  const std::pair<runs::RunRecord, std::string> cases[] = {
      {Record(1, true, 1, 1), "с ошибками: 1 из 1 базы"},
      {Record(1, true, 3, 21), "с ошибками: 3 из 21 базы"},
      {Record(1, true, 3, 11), "с ошибками: 3 из 11 баз"},
      {Record(1, true, 0, 0), " не выполнено: нет заданий"},
      {unreadable, " не выполнено: файл настройки не прочитан"},
  };
  for (const auto& [record, tail] : cases) {
    const std::string text = RunNoticeText(kNightly, record);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
  }
}

TEST(RunNotices, RecentRunsListsNewestFirstWithSkippedSchedules) {
  runs::RunRecord manual = Record(2, false, 0);
  manual.started += 86400;
  manual.ended = manual.started + 59;
  runs::RunRecord failed = Record(1, true, 2);
  failed.journalPath = "C:\\j.txt";
  const SkippedSchedule skipped{kNightly, "В 03:00", manual.started + 3600};
  const auto rows = RecentRunRows({{kNightly, {failed, manual}}}, {skipped});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].result, "пропущено: программа была открыта (В 03:00)");
  EXPECT_EQ(rows[1].result, "успешно, вручную");
  EXPECT_EQ(rows[1].duration, "0:00:59");
  EXPECT_EQ(rows[2].configuration, "nightly.cfg");
  EXPECT_EQ(rows[2].start, "06.12.2026 02:30");
  EXPECT_EQ(rows[2].duration, "1:02:05");
  EXPECT_EQ(rows[2].result, "с ошибками (2 из 5)");
  EXPECT_EQ(rows[2].failed, "База 1, База 2");
  EXPECT_EQ(rows[2].journalPath, "C:\\j.txt");
}

}  // namespace
}  // namespace launcher
