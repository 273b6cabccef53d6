// The files of a run that hold passwords: what a crashed run left goes at the next start,
// what a run still going on in another process uses stays, and every step has a batch
// file of its own.
#include <windows.h>

#include <cstdlib>

#include "tests/runner/job_run_fixture.h"
#include "tests/support/process.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

ZV_TEST_CHILD(idle) {
  Sleep(argc > 0 ? static_cast<DWORD>(std::atoi(argv[0])) : 0);
  return 0;
}

// This test program started as a child that idles for ms milliseconds.
std::string Idle(int ms) { return "\"" + SelfPath() + "\" --child idle " + std::to_string(ms); }

class RunFilesTest : public JobRunTest {
 protected:
  RunFilesTest() { options().BinaryDirectory = BinFolder() + "enterprise_standin.exe"; }
  std::string FolderOf(DWORD processId) {
    return Join(temp_, "Zorvan." + std::to_string(processId));
  }
  // The batch file a check job of a new infobase was given.
  std::string BatchOfCheck(const std::string& name) {
    return AddInfobase(name, {.Reindex = 1}).path + "standin\\call1.args";
  }
  static std::string BatchIn(const std::string& args) {
    std::string line = Read(args);
    return line.substr(line.find("/@\"") + 3);
  }
};

TEST_F(RunFilesTest, EndedRunsFilesGoLiveOnesStayEachStepHasItsBatchFile) {
  testsupport::Child ended(Idle(0)), live(Idle(60000));
  ASSERT_EQ(ended.Wait(60000), 0);
  const std::string crashed = FolderOf(ended.Id()), running = FolderOf(live.Id());
  const std::string other = Join(temp_, "Zorvan.old");  // not a process id: not ours to judge
  for (const std::string& folder : {crashed, running, other}) {
    fs::CreateFolder(folder);
    Write(folder + "\\~pak1.tmp", "Pswd=секрет");
    Write(folder + "\\~pak2.tmp", "[General]\n/Pсекрет");
  }
  const std::string first = BatchOfCheck("Торговля"), second = BatchOfCheck("Склад");
  ASSERT_EQ(RunToEnd(), StartResult::Started);

  EXPECT_FALSE(fs::GetAttributes(crashed).exists);
  EXPECT_TRUE(fs::FileExists(running + "\\~pak2.tmp"));
  EXPECT_TRUE(fs::FileExists(other + "\\~pak2.tmp"));
  EXPECT_NE(BatchIn(first), BatchIn(second));
  EXPECT_EQ(BatchIn(first).rfind(FolderOf(GetCurrentProcessId()) + "\\~pa", 0), 0u);
  EXPECT_FALSE(fs::GetAttributes(FolderOf(GetCurrentProcessId())).exists);  // nothing left
}

}  // namespace
