// Child processes for real: start in a folder, wait with time-out, exit codes, ending a
// child, and the journal lines of a child run.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "platform/process.h"
#include "platform/system_error.h"
#include "runner/child_run.h"
#include "tests/runner/programs.h"
#include "tests/runner/scratch.h"
#include "tests/support/test_support.h"

ZV_TEST_CHILD(sleep_then_exit) {
  Sleep(static_cast<DWORD>(std::atoi(argv[0])));
  return std::atoi(argv[1]);
}

ZV_TEST_CHILD(write_cwd) {
  wchar_t buffer[MAX_PATH];
  DWORD n = GetCurrentDirectoryW(MAX_PATH, buffer);
  std::string cwd = platform::Narrow(std::wstring(buffer, n));
  return platform::fs::WriteWholeFile(cwd + "\\cwd.txt", cwd) ? 0 : 1;
}

namespace {

using namespace testrunner;
using platform::Process;
using platform::ShowWindow;
using platform::WaitResult;

TEST(Process, StartsInItsFolderAndReportsItsExitCode) {
  ScratchFolder scratch;
  Process p;
  ASSERT_TRUE(p.Start(ChildCommand("write_cwd"), scratch.path(), ShowWindow::Hidden));
  EXPECT_EQ(p.Wait(20000), WaitResult::Ended);
  EXPECT_EQ(p.ExitCode(), 0u);
  EXPECT_EQ(Read(scratch / "cwd.txt"), scratch.path());

  Process q;
  ASSERT_TRUE(q.Start(ChildCommand("sleep_then_exit", "0 42"), "", ShowWindow::Normal));
  Process moved = std::move(q);
  EXPECT_FALSE(q.Running());
  EXPECT_EQ(moved.Wait(platform::kWaitForever), WaitResult::Ended);
  EXPECT_EQ(moved.ExitCode(), 42u);
}

TEST(Process, TimeOutAndTermination) {
  Process p;
  ASSERT_TRUE(p.Start(ChildCommand("sleep_then_exit", "30000 0"), "", ShowWindow::Hidden));
  EXPECT_EQ(p.Wait(50), WaitResult::TimedOut);
  EXPECT_EQ(p.ExitCode(), 259u);  // still active
  EXPECT_TRUE(p.TerminateWithCurrentCode());
  EXPECT_EQ(p.Wait(5000), WaitResult::Ended);
  EXPECT_EQ(p.ExitCode(), 259u);
}

TEST(Process, MissingProgramGivesTheSystemError) {
  Process p;
  unsigned long error = 0;
  EXPECT_FALSE(p.Start("\"C:\\нет такой\\программы.exe\" /x", "", ShowWindow::Hidden, &error));
  EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
  EXPECT_FALSE(p.Running());
}

class ChildRunTest : public testing::Test {
 protected:
  ScratchFolder scratch;
  JournalledRun run{scratch};
  RunValues values;
};

TEST_F(ChildRunTest, EndsInTimeWhateverItsExitCode) {
  values.timeoutMs = 20000;
  ChildRun r = RunChild(ChildCommand("sleep_then_exit", "0 3"), "shown", "",
                        ShowWindow::Hidden, values, run.control);
  EXPECT_EQ(r.outcome, ChildOutcome::EndedInTime);
  EXPECT_EQ(run.Text(), "");
}

TEST_F(ChildRunTest, TimeOutWithAndWithoutTermination) {
  values.timeoutMs = 100;
  std::string cmd = ChildCommand("sleep_then_exit", "3000 0");
  ChildRun r = RunChild(cmd, "shown", "", ShowWindow::Hidden, values, run.control);
  EXPECT_EQ(r.outcome, ChildOutcome::TimedOut);
  EXPECT_FALSE(r.ended);
  values.terminateAfterTimeOut = true;
  r = RunChild(cmd, "shown", "", ShowWindow::Hidden, values, run.control);
  EXPECT_EQ(r.outcome, ChildOutcome::TimedOut);
  EXPECT_TRUE(r.ended);
  EXPECT_EQ(run.Text(), Lines({"Истекло время ожидания завершения задания",
                               "Истекло время ожидания завершения задания", "Задание снято"}));
}

TEST_F(ChildRunTest, FailedStartJournalsTheShownCommandLine) {
  ChildRun r = RunChild("\"C:\\нет\\x.exe\" /Pсекрет", "\"C:\\нет\\x.exe\" /P*****", "",
                        ShowWindow::Hidden, values, run.control);
  EXPECT_EQ(r.outcome, ChildOutcome::NotStarted);
  std::string text = run.Text();
  EXPECT_EQ(text.substr(text.find("  -  ")), "  -  \"C:\\нет\\x.exe\" /P*****\r\n");
  EXPECT_EQ(text.find("секрет"), std::string::npos);
}

TEST_F(ChildRunTest, AbortEndsTheChildAndSilencesTheStep) {
  bool hadChild = false;
  std::thread window([&] {
    Sleep(500);  // the child is being waited for by then
    hadChild = run.control.Abort("Процесс прерван пользователем");
  });
  DWORD start = GetTickCount();
  ChildRun r = RunChild(ChildCommand("sleep_then_exit", "30000 0"), "shown", "",
                        ShowWindow::Hidden, values, run.control);
  window.join();
  EXPECT_EQ(r.outcome, ChildOutcome::Aborted);
  EXPECT_TRUE(hadChild);
  EXPECT_LT(GetTickCount() - start, 20000u);
  EXPECT_EQ(run.Text(), Lines({"Процесс прерван пользователем"}));
}

}  // namespace
