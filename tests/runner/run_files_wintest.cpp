// The files of a run that hold passwords: what a crashed run left goes at the next start,
// what a run still going on in another process uses stays, and every step has a batch
// file of its own.
#include <windows.h>

#include <cstdlib>

#include "platform/codepage.h"
#include "tests/runner/job_run_fixture.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

ZV_TEST_CHILD(idle) {
  Sleep(argc > 0 ? static_cast<DWORD>(std::atoi(argv[0])) : 0);
  return 0;
}

// This test program started as a child that idles for ms milliseconds.
PROCESS_INFORMATION StartIdle(int ms) {
  std::wstring line =
      L"\"" + platform::Widen(SelfPath()) + L"\" --child idle " + std::to_wstring(ms);
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(pi.hThread);
  return pi;
}

class RunFilesTest : public JobRunTest {
 protected:
  RunFilesTest() { options().BinaryDirectory = BinFolder() + "enterprise_standin.exe"; }
  std::string FolderOf(DWORD processId) {
    return Join(temp_, "Zorvan." + std::to_string(processId));
  }
  // The batch file a check job of a new infobase was given.
  std::string BatchOfCheck(const std::string& name) {
    InfobaseEntry e;
    e.BaseName = name;
    e.path = MakeInfobase(name);
    e.Reindex = 1;
    tree_.Add(e);
    return e.path + "standin\\call1.args";
  }
  static std::string BatchIn(const std::string& args) {
    std::string line = Read(args);
    return line.substr(line.find("/@\"") + 3);
  }
};

TEST_F(RunFilesTest, EndedRunsFilesGoLiveOnesStayEachStepHasItsBatchFile) {
  PROCESS_INFORMATION ended = StartIdle(0);
  WaitForSingleObject(ended.hProcess, INFINITE);
  PROCESS_INFORMATION live = StartIdle(60000);
  const std::string crashed = FolderOf(ended.dwProcessId), running = FolderOf(live.dwProcessId);
  const std::string other = Join(temp_, "Zorvan.old");  // not a process id: not ours to judge
  for (const std::string& folder : {crashed, running, other}) {
    fs::CreateFolder(folder);
    Write(folder + "\\~pak1.tmp", "Pswd=секрет");
    Write(folder + "\\~pak2.tmp", "[General]\n/Pсекрет");
  }
  const std::string first = BatchOfCheck("Торговля"), second = BatchOfCheck("Склад");
  ASSERT_EQ(RunToEnd(), StartResult::Started);
  TerminateProcess(live.hProcess, 0);
  CloseHandle(live.hProcess);
  CloseHandle(ended.hProcess);

  EXPECT_FALSE(fs::GetAttributes(crashed).exists);
  EXPECT_TRUE(fs::FileExists(running + "\\~pak2.tmp"));
  EXPECT_TRUE(fs::FileExists(other + "\\~pak2.tmp"));
  EXPECT_NE(BatchIn(first), BatchIn(second));
  EXPECT_EQ(BatchIn(first).rfind(FolderOf(GetCurrentProcessId()) + "\\~pa", 0), 0u);
  EXPECT_FALSE(fs::GetAttributes(FolderOf(GetCurrentProcessId())).exists);  // nothing left
}

}  // namespace
