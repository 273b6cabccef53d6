// The job run without child processes: journal texts, run values, and whole runs whose
// infobases start nothing (no records, no job, kept parameters of unmarked infobases, a
// bad "State", damaged files).
#include <gtest/gtest.h>

#include "platform/file.h"
#include "runner/job_run_journal.h"
#include "runner/worker.h"
#include "store/settings_file.h"
#include "tests/config/config_fixture.h"
#include "tests/runner/job_run_fixture.h"

namespace {

using namespace testrunner;
using Lines = std::vector<std::string>;

TEST(JobRunJournal, JobListNamesEveryJobInOrderAndCountsOnlyFlagsOfOne) {
  InfobaseEntry e;
  e.SaveData = e.UnloadData = e.UseExternalArchiver = 1;
  e.DuplicateDirectory = "D:\\Копии";
  e.PhisicalIntegrity = e.Reindex = e.LogicalIntegrity = 1;
  e.RecalcSecondaries = e.RecalcTotals = e.Pack = 1;
  e.AutoExchange = e.SendByEmail = 1;
  e.ReadFrom = "in";
  e.SendTo = "out@x";
  JobList list = BuildJobList(e);
  // A heading, ten jobs, the copy and four exchange lines; the copy comes after the archives.
  ASSERT_EQ(list.lines.size(), 16u);
  EXPECT_EQ(list.lines[4], "    Скопировать в \"D:\\Копии\"");
  EXPECT_EQ(list.lines[15], "        Отправить в out@x");
  EXPECT_EQ(list.jobCount, 10);  // the copy is no job; the exchange counts once

  // Edited by hand to 2: no job, yet the copy line needs only a non-zero flag.
  InfobaseEntry edited;
  edited.SaveData = edited.SendByEmail = 2;
  edited.DuplicateDirectory = "D:\\Копии";
  edited.AutoExchange = 1;
  list = BuildJobList(edited);
  EXPECT_EQ(list.lines, (Lines{"Список заданий:", "    Скопировать в \"D:\\Копии\"",
                               "    Выполнить автообмен", "        Из ", "        В "}));
  EXPECT_EQ(list.jobCount, 1);
}

// The day without a leading zero (the journal's pattern in the run tests takes either).
TEST(JobRunJournal, Header) {
  platform::fs::LocalTime t{2026, 12, 6, 2, 5, 9};
  EXPECT_EQ(JournalHeaderLines(t, "C:\\Ночь.cfg"), (Lines{kStarsLine, "Дата 6/12/2026 Время 02:05",
                                                          "Имя файла настройки \"C:\\Ночь.cfg\""}));
}

TEST(JobRunValues, TimeOutMinutesBecomeMillisecondsWithoutWrapping) {
  EXPECT_EQ(TimeoutMilliseconds(300), 18000000u);
  EXPECT_EQ(TimeoutMilliseconds(71582), 4294920000u);
  // A hand-edited value would wrap to a few seconds: it waits as long as it can instead.
  EXPECT_EQ(TimeoutMilliseconds(71583), kLongestTimeoutMs);
  EXPECT_EQ(TimeoutMilliseconds(0xFFFFFFFF), kLongestTimeoutMs);
}

// Keys the run tests do not carry end to end, and keys missing from a later section.
TEST(JobRunValues, MissingKeysKeepTheValuesOfThePreviousRun) {
  ScratchFolder scratch;
  CSettingsFile file(scratch.path() + "/run.cfg", SF_MODE_CREATE_READWRITE,
                     platform::SilentFileErrorReporter());
  ASSERT_TRUE(file.Open());
  auto section = [&](const char* name, std::initializer_list<std::pair<const char*, int>> dwords) {
    int32_t id = file.CreateSection(name, 0);
    for (const auto& [key, value] : dwords) file.WriteDword(id, key, value);
    return id;
  };
  int32_t full = section("Full", {{"CopyCount", 3}, {"SaveMode", 1}, {"Journal", 1},
                                  {"ClearJournal", 1}, {"TimeOut", 300}});
  file.WriteString(full, "JournalFileName", "j.txt");
  RunSettings s;
  ReadRunSettings(file, full, s);
  EXPECT_EQ(s.values.copyCount, 3u);
  EXPECT_EQ(s.values.saveMode, 1);
  EXPECT_EQ(s.journalFileName, "j.txt");

  // Only "Journal" and "TimeOut": everything else stays, the name falls back.
  ReadRunSettings(file, section("Sparse", {{"Journal", 1}, {"TimeOut", 0}}), s);
  EXPECT_EQ(s.values.copyCount, 3u);
  EXPECT_EQ(s.values.saveMode, 1);
  EXPECT_EQ(s.journalFileName, "Journal.txt");
  EXPECT_EQ(s.values.timeoutMs, 0u);

  // With the journal off its clear flag is not read at all.
  ReadRunSettings(file, section("Off", {{"Journal", 0}, {"ClearJournal", 0}}), s);
  EXPECT_FALSE(s.journal);
  EXPECT_TRUE(s.clearJournal);
}

// Kept parameters of an unmarked infobase never run: neither from the file (unattended)
// nor from the window's configuration.
TEST_F(JobRunTest, KeptParametersOfUnmarkedInfobasesNeverRun) {
  const std::string base = MakeInfobase("Kept");
  fixture::RegisterInfobases(registry_, {{base, "Kept"}});
  InfobaseTree tree{fixture::NoUsers(), nullptr};
  tree.RebuildFromRegistry(registry_);
  InfobaseEntry e = tree.InfobaseEntries()[0];
  e.SaveData = 1;
  tree.StoreInfobase(e);
  ConfigurationSeams seams{registry_, platform::SilentFileErrorReporter()};
  SaveConfiguration(SaveTarget::CurrentFile, ConfigPath(), config_, tree, seams);
  ASSERT_EQ(tree.InactiveEntries().size(), 1u);

  ASSERT_EQ(RunToEnd(/*autoRun=*/true), StartResult::Started);
  EXPECT_EQ(JournalLines(), WithHeader({"Нет заданий", kStarsLine}));
  RunSource source{{ConfigPath(), root_, data_}, std::nullopt};
  source.window.emplace(config_, tree, seams, false);
  EXPECT_EQ(run_.StartRun(source), StartResult::NothingToRun);
  EXPECT_EQ(Events(), (Lines{"finished", std::string("message: ") + kNoJobsMessage}));
}

TEST_F(JobRunTest, StateOtherThanOneIsAnErrorInTheJobParameters) {
  for (const char* name : {"Ноль", "Два", "Один"}) AddInfobase(name);
  SaveConfigFile();
  {
    CSettingsFile file(ConfigPath(), SF_MODE_READWRITE, platform::SilentFileErrorReporter());
    ASSERT_TRUE(file.Open());
    int32_t parameters = file.OpenSectionPath("Zorvan\\Parameters");
    std::string name;
    file.WriteDword(file.EnumSection(parameters, 0, name), "State", 0);
    file.WriteDword(file.EnumSection(parameters, 1, name), "State", 2);
  }
  ASSERT_EQ(RunToEnd(/*autoRun=*/true), StartResult::Started);
  const auto& entries = tree_.InfobaseEntries();
  EXPECT_EQ(JournalLines(),
            WithHeader({"Ошибка в параметрах задания", "Обработка завершена с ошибками", "",
                        "Наименование БД: Два", "Путь к БД: " + entries[1].path,
                        "Ошибка в параметрах задания", "Обработка завершена с ошибками", "",
                        "Наименование БД: Один", "Путь к БД: " + entries[2].path, "Список заданий:",
                        "Задания не назначены", "Обработка завершена с ошибками", kStarsLine}));
}

// A file that vanished or lost a section: the run ends early and the message names the
// file the operator knows.
TEST_F(JobRunTest, UnreadableConfigurationEndsTheRunEarly) {
  const std::string readError = "message: Ошибка чтения данных из файла  " + ConfigPath();
  ASSERT_EQ(RunToEnd(/*autoRun=*/true), StartResult::Started);

  SaveConfigFile();
  auto removeSection = [&](const char* path) {
    CSettingsFile file(ConfigPath(), SF_MODE_READWRITE, platform::SilentFileErrorReporter());
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.DeleteSection(file.OpenSectionPath(path)));
  };
  removeSection("Zorvan\\Parameters");
  ASSERT_EQ(RunToEnd(/*autoRun=*/true), StartResult::Started);
  EXPECT_EQ(JournalLines(), WithHeader({readError.substr(9)}));  // no closing line

  removeSection("Zorvan\\GeneralOptions");
  ASSERT_TRUE(platform::fs::RemoveFile(JournalPath()));
  ASSERT_EQ(RunToEnd(/*autoRun=*/true), StartResult::Started);
  EXPECT_EQ(Events(), (Lines{readError, "finished", "finished", readError, "finished"}));
  EXPECT_FALSE(platform::fs::FileExists(JournalPath()));  // no journal before the options
}

TEST_F(JobRunTest, SnapshotThatCannotBeOpenedIsReportedAndStillDeleted) {
  SaveConfigFile();
  platform::File holder;  // holds the snapshot exclusively while the worker starts
  onBeforeWorker = [&] { ASSERT_TRUE(holder.Open(run_.SnapshotPath(), platform::kFileRead)); };
  ASSERT_EQ(Start(/*autoRun=*/true), StartResult::Started);
  ASSERT_TRUE(WaitFinished());
  holder.Close();
  EXPECT_TRUE(run_.FinishRun());
  EXPECT_EQ(Events(), (Lines{"file error", "finished"}));
  EXPECT_FALSE(platform::fs::FileExists(JournalPath()));
}

// With the journal off nothing is written to it.
TEST_F(JobRunTest, ChangedConfigurationIsSavedOnlyWhenTheOperatorSaysYes) {
  AddInfobase("База");
  options().QuitAfterSave = 1;
  options().Journal = 0;
  modified_ = true;
  answer = [] { return Answer::Cancel; };
  EXPECT_EQ(Start(), StartResult::Cancelled);
  EXPECT_FALSE(run_.Active());
  EXPECT_FALSE(platform::fs::FileExists(ConfigPath()));

  answer = [] { return Answer::Yes; };
  ASSERT_EQ(RunToEnd(), StartResult::Started);
  EXPECT_TRUE(platform::fs::FileExists(ConfigPath()));
  EXPECT_EQ(Events(), (Lines{std::string("ask: ") + kSaveBeforeRunQuestion,
                             std::string("ask: ") + kSaveBeforeRunQuestion, "finished"}));
  EXPECT_FALSE(platform::fs::FileExists(JournalPath()));
  EXPECT_TRUE(run_.Settings().journalPath.empty());
}

}  // namespace
