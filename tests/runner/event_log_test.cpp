// Setting the infobase's event log aside and merging it back: the log ends up as the
// earlier entries followed by this run's, whatever was left by an interrupted run.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "platform/codepage.h"
#endif

#include "runner/event_log.h"
#include "tests/runner/run_helpers.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

class EventLogTest : public testing::Test {
 protected:
  void SetUp() override { fs::CreateFolder(scratch / "SYSLOG"); }
  std::string Log() { return scratch / "SYSLOG\\1cv7.mlg"; }
  std::string Backup() { return scratch / "SYSLOG\\1cv7_mlg.bak"; }
  void Append(const std::string& bytes) { ASSERT_TRUE(fs::AppendFile(Log(), bytes)); }
  std::string Infobase() { return scratch.path() + "\\"; }

  ScratchFolder scratch;
};

TEST_F(EventLogTest, LeftoverBackupIsMergedBeforeSettingAside) {
  // An interrupted run left the whole earlier log as the backup and its own entries as
  // the log; a child still running after a time-out then wrote more.
  Write(Log(), "first\r\n");
  EventLog interrupted = SetAsideEventLog(Infobase());
  Append("second\r\n");
  EXPECT_EQ(CollectEventLog(interrupted, false), "second\r\n");
  EXPECT_TRUE(fs::FileExists(Backup()));

  EventLog next = SetAsideEventLog(Infobase());
  ASSERT_TRUE(next.setAside);
  EXPECT_EQ(Read(Backup()), "first\r\nsecond\r\n");
  Append("third\r\n");
  EXPECT_EQ(CollectEventLog(next, true), "third\r\n");
  EXPECT_EQ(Read(Log()), "first\r\nsecond\r\nthird\r\n");
  EXPECT_FALSE(fs::FileExists(Backup()));
}

TEST_F(EventLogTest, LeftoverBackupWithoutLog) {
  Write(Backup(), "earlier\r\n");
  EventLog log = SetAsideEventLog(Infobase());
  ASSERT_TRUE(log.setAside);
  Append("x");
  EXPECT_EQ(CollectEventLog(log, true), "x");
  EXPECT_EQ(Read(Log()), "earlier\r\nx");
}

#ifdef _WIN32
// The log held open by another program (another session of the infobase) while it is
// merged: the merge waits for the next run, and nothing is lost or repeated.
TEST_F(EventLogTest, HeldLogIsMergedByTheNextRun) {
  Write(Log(), "old\r\n");
  EventLog e = SetAsideEventLog(Infobase());
  ASSERT_TRUE(e.setAside);
  Append("new\r\n");
  HANDLE held = CreateFileW(platform::Widen(Log()).c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CollectEventLog(e, true), "new\r\n");
  EXPECT_EQ(Read(Backup()), "old\r\n");  // the appended entries were taken back
  EXPECT_EQ(Read(Log()), "new\r\n");
  CloseHandle(held);

  EventLog next = SetAsideEventLog(Infobase());
  ASSERT_TRUE(next.setAside);
  EXPECT_FALSE(CollectEventLog(next, true));
  EXPECT_EQ(Read(Log()), "old\r\nnew\r\n");
  EXPECT_FALSE(fs::FileExists(Backup()));
}
#endif

TEST(EventLogText, FinalLineBreakOnly) {
  EXPECT_EQ(TrimFinalLineBreak("x"), "x");  // a one-byte log loses nothing
  EXPECT_EQ(TrimFinalLineBreak("\n"), "");
  EXPECT_EQ(TrimFinalLineBreak("a\r\nb\r\n"), "a\r\nb");
  EXPECT_EQ(TrimFinalLineBreak("ab\r"), "ab\r");
}

}  // namespace
