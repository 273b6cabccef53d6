// Two processes contend for one settings file.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "store/settings_file.h"
#include "tests/store/store_test_util.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

namespace {

bool WaitForFile(const std::string& path, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
    if (testsupport::Exists(path)) return true;
    Sleep(20);
  }
  return false;
}

std::wstring OwnProgram() {
  wchar_t buffer[MAX_PATH];
  return std::wstring(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH));
}

}  // namespace

// Holds the settings file open until the release file appears.
ZV_TEST_CHILD(hold_settings) {
  if (argc < 3) return 2;
  CSettingsFile f(argv[0], SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
  if (!f.Open()) return 3;
  testsupport::Write(argv[1], "ready");
  if (!WaitForFile(argv[2], 60000)) return 4;
  f.Close();
  return 0;
}

TEST(SettingsContentionTest, OpenFailsWhileAnotherProcessHoldsTheFile) {
  testsupport::ScratchFolder dir("contention");  // its paths pass through a narrow command line
  std::string path = dir / "shared.cfg", ready = dir / "ready",
              release = dir / "release";
  std::wstring command = L"\"" + OwnProgram() + L"\" --child hold_settings \"" +
                         platform::Widen(path) + L"\" \"" + platform::Widen(ready) + L"\" \"" +
                         platform::Widen(release) + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &si, &pi));
  CloseHandle(pi.hThread);
  ASSERT_TRUE(WaitForFile(ready, 30000));

  storetest::CountingReporter reporter;
  CSettingsFile f(path, SF_MODE_READ, reporter.Get());
  EXPECT_EQ(f.OpenSectionPath("Zorvan"), 0);
  EXPECT_EQ(f.CreateSection("Zorvan", 0), 0);
  EXPECT_EQ(reporter.count, 1);
  EXPECT_EQ(reporter.last.osError, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(reporter.last.path, path);
  EXPECT_NE(reporter.last.message.find(path), std::string::npos);

  testsupport::Write(release, "go");
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(f.CreateSection("Zorvan", 0), 1);
  EXPECT_EQ(reporter.count, 1);
}
