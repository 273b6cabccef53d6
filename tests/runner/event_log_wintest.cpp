// The event log held open by another program (another session of the infobase) while it
// is merged: nothing is lost and nothing repeated.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "runner/event_log.h"
#include "tests/runner/run_helpers.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

TEST(EventLogHeld, MergeWaitsForTheNextRun) {
  ScratchFolder scratch;
  fs::CreateFolder(scratch / "SYSLOG");
  const std::string log = scratch / "SYSLOG\\1cv7.mlg", backup = scratch / "SYSLOG\\1cv7_mlg.bak";
  Write(log, "old\r\n");
  EventLog e = SetAsideEventLog(scratch.path() + "\\");
  ASSERT_TRUE(e.setAside);
  ASSERT_TRUE(fs::AppendFile(log, "new\r\n"));
  HANDLE held = CreateFileW(platform::Widen(log).c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CollectEventLog(e, true), "new\r\n");
  EXPECT_EQ(Read(backup), "old\r\n");  // the appended entries were taken back
  EXPECT_EQ(Read(log), "new\r\n");
  CloseHandle(held);

  EventLog next = SetAsideEventLog(scratch.path() + "\\");
  ASSERT_TRUE(next.setAside);
  EXPECT_FALSE(CollectEventLog(next, true));
  EXPECT_EQ(Read(log), "old\r\nnew\r\n");
  EXPECT_FALSE(fs::FileExists(backup));
}

}  // namespace
