// Child processes for real: exit code, time-out, ending a child, moving the owner. (The
// start folder, failed starts and the journal lines are checked with the job tests.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/process.h"
#include "tests/runner/programs.h"
#include "tests/support/test_support.h"

ZV_TEST_CHILD(sleep_then_exit) {
  Sleep(static_cast<DWORD>(std::atoi(argv[0])));
  return std::atoi(argv[1]);
}

namespace {

using namespace testrunner;
using platform::Process;
using platform::ShowWindow;
using platform::WaitResult;

TEST(Process, ExitCodeTimeOutAndTermination) {
  Process q;
  ASSERT_TRUE(q.Start(ChildCommand("sleep_then_exit", "0 42"), "", ShowWindow::Normal));
  Process done = std::move(q);
  EXPECT_FALSE(q.Running());
  EXPECT_EQ(done.Wait(platform::kWaitForever), WaitResult::Ended);
  EXPECT_EQ(done.ExitCode(), 42u);

  Process p;
  ASSERT_TRUE(p.Start(ChildCommand("sleep_then_exit", "30000 0"), "", ShowWindow::Hidden));
  EXPECT_EQ(p.Wait(50), WaitResult::TimedOut);
  EXPECT_EQ(p.ExitCode(), 259u);  // still active
  EXPECT_TRUE(p.TerminateWithCurrentCode());
  EXPECT_EQ(p.Wait(5000), WaitResult::Ended);
  EXPECT_EQ(p.ExitCode(), 259u);  // the code read just before ending it
}

}  // namespace
