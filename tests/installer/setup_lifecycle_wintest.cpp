// One installation's life under Wine, in a prefix of its own: silent install, the
// installed program and launcher at work, a silent reinstall over the running launcher,
// and a silent uninstall that leaves the operators' files. The tests run in order in one
// process and build on each other.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include "launcher/registration.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "tests/support/process.h"
#include "tests/support/programs.h"
#include "tests/support/scratch.h"
#include "zorvan_version.h"

namespace {

using platform::RegRoot;
using testsupport::Eventually;
using testsupport::Exists;
using testsupport::Read;
using testsupport::RunToEnd;
using testsupport::Write;

constexpr RegRoot kMachine = RegRoot::LocalMachine;
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zorvan";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kOpenWith[] = "Software\\Classes\\Applications\\Zorvan.exe";
constexpr char kOpenWithList[] = "Software\\Classes\\.cfg\\OpenWithList\\Zorvan.exe";

std::string KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return platform::Narrow(path);
}

// The process id of the window titled "Zorvan launcher", 0 when there is none.
DWORD LauncherProcess() {
  DWORD pid = 0;
  if (HWND w = FindWindowW(nullptr, L"Zorvan launcher")) GetWindowThreadProcessId(w, &pid);
  return pid;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

class SetupLifecycle : public testing::Test {
 protected:
  // A launcher left by a failed step would keep the prefix (and ctest) waiting.
  static void TearDownTestSuite() {
    if (HWND w = FindWindowW(nullptr, L"Zorvan launcher")) SendMessageW(w, 0x590, 0, 0);
  }
  static std::string SetupCommand() {
    return Quoted(testrunner::BinFolder() + ZV_SETUP_NAME) + " /S";
  }
  static std::string Folder() { return KnownFolder(CSIDL_PROGRAM_FILES) + "\\Zorvan"; }
  static std::string Menu() { return KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Zorvan"; }
  static std::string DataFolder() { return KnownFolder(CSIDL_APPDATA) + "\\Zorvan"; }
  static std::string Text(RegRoot root, const std::string& key, const std::string& name) {
    auto v = registry->ReadValue(root, key, name);
    return v ? v->data : "<none>";
  }
  // What the installer puts into the program folder and the Start menu.
  static std::vector<std::string> InstalledFiles() {
    return {Folder() + "\\Zorvan.exe",        Folder() + "\\Zorvan launcher.exe",
            Folder() + "\\Zorvan.chm",        Folder() + "\\manual\\Zorvan.html",
            Folder() + "\\manual\\style.css", Folder() + "\\uninstall.exe",
            Menu() + "\\Zorvan.lnk",          Menu() + "\\Справка Zorvan.lnk",
            Menu() + "\\Удалить Zorvan.lnk"};
  }

  static inline std::unique_ptr<platform::Registry> registry = platform::MakeWin32Registry();
  static inline std::unique_ptr<testsupport::Child> started;  // the launcher the Run value starts
  static inline DWORD launcherPid = 0;
  static inline bool cfgKeyBefore = false;
};

TEST_F(SetupLifecycle, SilentInstallPutsFilesShortcutsAndRecords) {
  cfgKeyBefore = registry->KeyExists(kMachine, "Software\\Classes\\.cfg");
  ASSERT_EQ(RunToEnd(SetupCommand()), 0);
  for (const std::string& f : InstalledFiles()) EXPECT_TRUE(Exists(f)) << f;
  EXPECT_EQ(Text(kMachine, "SOFTWARE\\Zorvan", "Path"), Folder() + "\\Zorvan.exe");
  EXPECT_EQ(Text(kMachine, kUninstallKey, "DisplayName"), "Zorvan");
  EXPECT_EQ(Text(kMachine, kUninstallKey, "DisplayVersion"), ZV_VERSION_TEXT);
  EXPECT_EQ(Text(kMachine, kUninstallKey, "UninstallString"), Quoted(Folder() + "\\uninstall.exe"));
  auto size = registry->ReadValue(kMachine, kUninstallKey, "EstimatedSize");
  EXPECT_GT(size ? size->AsDword() : 0, 100u);  // kilobytes: the two programs alone are larger
  EXPECT_EQ(Text(kMachine, std::string(kOpenWith) + "\\shell\\open\\command", ""),
            Quoted(Folder() + "\\Zorvan.exe") + " \"%1\"");
  EXPECT_TRUE(registry->KeyExists(kMachine, kOpenWithList));
  // "Open with" only: .cfg gets no default program.
  EXPECT_EQ(Text(kMachine, "Software\\Classes\\.cfg", ""), "<none>");
}

TEST_F(SetupLifecycle, InstalledProgramRunsAConfigurationUnattended) {
  testsupport::ScratchFolder scratch;
  for (const char* folder : {"База", "Архив", "Копии"})
    platform::fs::CreateFolder(scratch / folder);
  Write(scratch / "База\\1cv7.md", "metadata");
  Write(scratch / "База\\1SCONST.DBF", "constants");
  const std::string bin = testrunner::BinFolder();
  ASSERT_EQ(RunToEnd(Quoted(bin + "demo_config.exe") + " " + Quoted(scratch / "Ночь.cfg") + " " +
                     Quoted(bin + "enterprise_standin.exe") + " " + Quoted(scratch / "Архив") +
                     " " + Quoted(scratch / "Копии") + " " + Quoted(scratch / "База")),
            0);
  ASSERT_EQ(
      RunToEnd(Quoted(Folder() + "\\Zorvan.exe") + " /@" + (scratch / "Ночь.cfg") + " /BEGIN"), 0);
  const std::string journal = Read(DataFolder() + "\\Journal.txt");
  EXPECT_NE(journal.find("Обработка завершена\r\n"), std::string::npos) << journal;
  EXPECT_TRUE(Exists(scratch / "Архив\\База\\База архив.zip"));
}

TEST_F(SetupLifecycle, InstalledLauncherStartsFromItsRunValue) {
  // The Run value exactly as a save with schedules writes it.
  registry->CreateKey(RegRoot::CurrentUser, kRunKey);
  registry->WriteValue(RegRoot::CurrentUser, kRunKey, "Zorvan launcher",
                       platform::RegValue::String(launcher::RunValueData(Folder())));
  started =
      std::make_unique<testsupport::Child>(Text(RegRoot::CurrentUser, kRunKey, "Zorvan launcher"));
  ASSERT_TRUE(started->Started());
  EXPECT_TRUE(Eventually([] { return LauncherProcess() == started->Id(); }));
  launcherPid = started->Id();
}

TEST_F(SetupLifecycle, SilentReinstallEndsTheRunningLauncherAndStartsItAgain) {
  HANDLE old = OpenProcess(SYNCHRONIZE, FALSE, launcherPid);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(RunToEnd(SetupCommand()), 0);
  // The old process itself is gone, not only its files replaced.
  EXPECT_EQ(WaitForSingleObject(old, 0), WAIT_OBJECT_0);
  CloseHandle(old);
  EXPECT_TRUE(
      Eventually([] { return LauncherProcess() != 0 && LauncherProcess() != launcherPid; }));
  launcherPid = LauncherProcess();
}

TEST_F(SetupLifecycle, SilentUninstallRemovesItsOwnAndLeavesConfigurations) {
  const std::string kept = Folder() + "\\старая.cfg", data = DataFolder() + "\\default.cfg";
  Write(kept, "configuration in the program folder");
  Write(data, "configuration in the data folder");
  const std::string journal = Read(DataFolder() + "\\Journal.txt");
  HANDLE launcher = OpenProcess(SYNCHRONIZE, FALSE, launcherPid);

  // The uninstaller copies itself to the temporary folder and returns at once.
  ASSERT_EQ(RunToEnd(Quoted(Folder() + "\\uninstall.exe") + " /S"), 0);
  EXPECT_TRUE(Eventually([] {
    return !registry->KeyExists(kMachine, kUninstallKey) && !Exists(Folder() + "\\uninstall.exe");
  }));
  for (const std::string& f : InstalledFiles()) EXPECT_FALSE(Exists(f)) << f;
  EXPECT_FALSE(Exists(Folder() + "\\manual"));
  EXPECT_FALSE(Exists(Menu()));
  for (const std::string& key :
       {std::string("SOFTWARE\\Zorvan"), std::string(kOpenWith), std::string(kOpenWithList)})
    EXPECT_FALSE(registry->KeyExists(kMachine, key)) << key;
  EXPECT_EQ(registry->KeyExists(kMachine, "Software\\Classes\\.cfg"), cfgKeyBefore);
  EXPECT_EQ(Text(RegRoot::CurrentUser, kRunKey, "Zorvan launcher"), "<none>");
  EXPECT_TRUE(launcher != nullptr && WaitForSingleObject(launcher, 0) == WAIT_OBJECT_0);
  if (launcher != nullptr) CloseHandle(launcher);

  EXPECT_EQ(Read(kept), "configuration in the program folder");
  EXPECT_EQ(Read(data), "configuration in the data folder");
  EXPECT_EQ(Read(DataFolder() + "\\Journal.txt"), journal);
}

}  // namespace
