// The journal file and the run control that guards it between the worker and an abort.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/process.h"

#include "runner/journal_file.h"
#include "runner/run_control.h"
#include "tests/runner/run_helpers.h"

namespace {

using namespace testrunner;

// A journal held open elsewhere fails to open, and switches the run's journal off.
TEST(JournalFile, AppendsOrClearsAndWritesCrLfLinesUnlessHeldElsewhere) {
  ScratchFolder scratch;
  std::string path = scratch / "Журнал.txt";
  {
    CJournalFile journal(path, false);
    ASSERT_EQ(journal.ErrorCode(), 0u);
    EXPECT_TRUE(journal.WriteLine("Дата"));
    EXPECT_EQ(platform::fs::FileSize(path), 6u);  // in the file at once
    CJournalFile second(path, true);
    EXPECT_NE(second.ErrorCode(), 0u);
    EXPECT_FALSE(second.WriteLine("lost"));
    RunControl control;
    control.SetJournal(std::make_unique<CJournalFile>(path, false));
    EXPECT_FALSE(control.JournalOn());
  }
  CJournalFile(path, false).WriteLine("");  // appends, and closes at once
  EXPECT_EQ(Read(path), "\xC4\xE0\xF2\xE0\r\n\r\n");  // 1251 bytes
  CJournalFile(path, true).WriteLine("x");
  EXPECT_EQ(Read(path), "x\r\n");
}

TEST(RunControl, AbortWritesTheLastLineAndStopsEverything) {
  ScratchFolder scratch;
  JournalledRun run(scratch);
  std::atomic<bool> started{false};
  std::thread worker([&] {
    for (int i = 0; !run.control.StopRequested(); ++i) {
      run.control.Journal("строка " + std::to_string(i));
      started = true;
    }
    run.control.Journal("после");
  });
  while (!started) std::this_thread::yield();
  EXPECT_FALSE(run.control.Abort("Процесс прерван пользователем"));  // no child
  worker.join();
  std::string text = run.Text();
  const std::string last = "Процесс прерван пользователем\r\n";
  ASSERT_GE(text.size(), last.size());
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
  EXPECT_EQ(text.find("после"), std::string::npos);
  EXPECT_EQ(text.find("строка 0\r\n"), 0u);
  EXPECT_FALSE(run.control.JournalOn());
  platform::Process none;
  EXPECT_FALSE(run.control.SetCurrentChild(&none));
}

}  // namespace
