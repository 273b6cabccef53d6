// One installation's life under Wine, in a prefix of its own: silent install, the
// installed program and launcher at work, a silent reinstall over the running launcher,
// and a silent uninstall that leaves the operators' files. The tests run in order in one
// process and build on each other.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include "config/configuration.h"
#include "launcher/registration.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "tests/support/programs.h"
#include "tests/support/scratch.h"
#include "tree/infobase_tree.h"
#include "zorvan_version.h"

namespace {

using platform::RegRoot;
using testsupport::Read;
using testsupport::Write;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zorvan";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kOpenWith[] = "Software\\Classes\\Applications\\Zorvan.exe\\shell\\open\\command";

// Polls cond every 100 ms for up to 60 s: a bound on waiting, not a speed check.
template <typename Cond>
bool Eventually(Cond cond) {
  for (int i = 0; i < 600; ++i, Sleep(100))
    if (cond()) return true;
  return cond();
}

std::string KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return platform::Narrow(path);
}

// Runs commandLine and returns its exit code once it ended (within 120 s), else -1.
long RunAndWait(const std::string& commandLine) {
  std::wstring line = platform::Widen(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(info.hProcess, 120000) == WAIT_OBJECT_0)
    GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return static_cast<long>(code);
}

// The process id of the window titled "Zorvan launcher", 0 when there is none.
DWORD LauncherProcess() {
  HWND w = FindWindowW(nullptr, L"Zorvan launcher");
  DWORD pid = 0;
  if (w != nullptr) GetWindowThreadProcessId(w, &pid);
  return pid;
}

bool Exists(const std::string& path) { return platform::fs::GetAttributes(path).exists; }

class SetupLifecycle : public testing::Test {
 protected:
  // A launcher left by a failed step would keep the prefix (and ctest) waiting.
  static void TearDownTestSuite() {
    if (HWND w = FindWindowW(nullptr, L"Zorvan launcher")) SendMessageW(w, 0x590, 0, 0);
  }
  static std::string SetupProgram() { return testrunner::BinFolder() + ZV_SETUP_NAME; }
  static std::string Folder() { return KnownFolder(CSIDL_PROGRAM_FILES) + "\\Zorvan"; }
  static std::string Menu() { return KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Zorvan"; }
  static std::string DataFolder() { return KnownFolder(CSIDL_APPDATA) + "\\Zorvan"; }
  static std::optional<platform::RegValue> Value(RegRoot root, const std::string& key,
                                                 const std::string& name) {
    return registry->ReadValue(root, key, name);
  }
  static std::string Text(RegRoot root, const std::string& key, const std::string& name) {
    auto v = Value(root, key, name);
    return v ? v->data : "<none>";
  }

  // What the installer puts into the program folder, the Start menu and the registry.
  static std::vector<std::string> InstalledFiles() {
    return {Folder() + "\\Zorvan.exe",        Folder() + "\\Zorvan launcher.exe",
            Folder() + "\\Zorvan.chm",        Folder() + "\\manual\\Zorvan.html",
            Folder() + "\\manual\\style.css", Folder() + "\\uninstall.exe",
            Menu() + "\\Zorvan.lnk",          Menu() + "\\Справка Zorvan.lnk",
            Menu() + "\\Удалить Zorvan.lnk"};
  }

  // A configuration with one marked infobase whose 1C:Enterprise is the stand-in.
  static void WriteConfiguration(const std::string& path, const std::string& folder) {
    platform::MemoryRegistry memory;
    memory.CreateKey(RegRoot::CurrentUser, "SOFTWARE\\Zorvan");
    InfobaseTree tree(nullptr, nullptr);
    tree.RebuildFromRegistry(memory);
    InfobaseRecord record;
    record.hasState = true;
    record.State = 1;
    record.entry.Type = InfobaseType::AddedByHand;
    record.entry.path = folder + "\\База\\";
    record.entry.BaseName = "База";
    record.entry.SaveData = 1;
    tree.ApplyInfobaseRecord(record);
    Configuration config;
    config.options.BinaryDirectory = testrunner::BinFolder() + "enterprise_standin.exe";
    config.options.DestinationDirectory = folder + "\\Архив";
    config.options.JournalFileName = folder + "\\journal.txt";
    ConfigurationSeams seams(memory, platform::SilentFileErrorReporter());
    seams.autoRun = true;
    SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams);
  }

  static inline std::unique_ptr<platform::Registry> registry = platform::MakeWin32Registry();
  static inline DWORD launcherPid = 0;
  static inline bool cfgKeyBefore = false;
};

TEST_F(SetupLifecycle, SilentInstallPutsFilesShortcutsAndRecords) {
  cfgKeyBefore = registry->KeyExists(RegRoot::LocalMachine, "Software\\Classes\\.cfg");
  ASSERT_EQ(RunAndWait("\"" + SetupProgram() + "\" /S"), 0);
  for (const std::string& f : InstalledFiles()) EXPECT_TRUE(Exists(f)) << f;
  EXPECT_EQ(Text(RegRoot::LocalMachine, "SOFTWARE\\Zorvan", "Path"), Folder() + "\\Zorvan.exe");
  EXPECT_EQ(Text(RegRoot::LocalMachine, kUninstallKey, "DisplayName"), "Zorvan");
  EXPECT_EQ(Text(RegRoot::LocalMachine, kUninstallKey, "DisplayVersion"), ZV_VERSION_TEXT);
  EXPECT_EQ(Text(RegRoot::LocalMachine, kUninstallKey, "UninstallString"),
            "\"" + Folder() + "\\uninstall.exe\"");
  auto size = Value(RegRoot::LocalMachine, kUninstallKey, "EstimatedSize");
  ASSERT_TRUE(size.has_value());
  EXPECT_GT(size->AsDword(), 100u);  // kilobytes: the two programs alone are larger
  EXPECT_EQ(Text(RegRoot::LocalMachine, kOpenWith, ""), "\"" + Folder() + "\\Zorvan.exe\" \"%1\"");
  EXPECT_TRUE(registry->KeyExists(RegRoot::LocalMachine,
                                  "Software\\Classes\\.cfg\\OpenWithList\\Zorvan.exe"));
  // "Open with" only: .cfg gets no default program.
  EXPECT_FALSE(Value(RegRoot::LocalMachine, "Software\\Classes\\.cfg", "").has_value());
}

TEST_F(SetupLifecycle, InstalledProgramRunsAConfigurationUnattended) {
  testsupport::ScratchFolder scratch;
  platform::fs::CreateFolder(scratch / "База");
  platform::fs::CreateFolder(scratch / "Архив");
  Write(scratch / "База\\1cv7.md", "metadata");
  Write(scratch / "База\\1SCONST.DBF", "constants");
  WriteConfiguration(scratch / "Ночь.cfg", scratch.path());
  ASSERT_EQ(RunAndWait("\"" + Folder() + "\\Zorvan.exe\" /@" + (scratch / "Ночь.cfg") + " /BEGIN"),
            0);
  const std::string journal = Read(scratch / "journal.txt");
  EXPECT_NE(journal.find("Обработка завершена\r\n"), std::string::npos) << journal;
  std::error_code ec;
  EXPECT_NE(std::filesystem::directory_iterator(testsupport::FsPath(scratch / "Архив"), ec),
            std::filesystem::directory_iterator());
}

TEST_F(SetupLifecycle, InstalledLauncherStartsFromItsRunValue) {
  // The Run value exactly as a save with schedules writes it.
  registry->CreateKey(RegRoot::CurrentUser, kRunKey);
  registry->WriteValue(RegRoot::CurrentUser, kRunKey, "Zorvan launcher",
                       platform::RegValue::String(launcher::RunValueData(Folder())));
  std::wstring line = platform::Widen(Text(RegRoot::CurrentUser, kRunKey, "Zorvan launcher"));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info));
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  EXPECT_TRUE(Eventually([&] { return LauncherProcess() == info.dwProcessId; }));
  launcherPid = info.dwProcessId;
}

TEST_F(SetupLifecycle, SilentReinstallEndsTheRunningLauncherAndStartsItAgain) {
  ASSERT_NE(launcherPid, 0u);
  HANDLE old = OpenProcess(SYNCHRONIZE, FALSE, launcherPid);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(RunAndWait("\"" + SetupProgram() + "\" /S"), 0);
  // The old process itself is gone, not only its files replaced.
  EXPECT_EQ(WaitForSingleObject(old, 0), WAIT_OBJECT_0);
  CloseHandle(old);
  EXPECT_TRUE(Eventually([] {
    const DWORD pid = LauncherProcess();
    return pid != 0 && pid != launcherPid;
  }));
  launcherPid = LauncherProcess();
}

TEST_F(SetupLifecycle, SilentUninstallRemovesItsOwnAndLeavesConfigurations) {
  const std::string kept = Folder() + "\\старая.cfg";
  const std::string data = DataFolder();
  platform::fs::CreateFolder(data);
  Write(kept, "configuration in the program folder");
  Write(data + "\\default.cfg", "configuration in the data folder");
  Write(data + "\\Journal.txt", "journal");
  HANDLE launcher = OpenProcess(SYNCHRONIZE, FALSE, launcherPid);

  // The uninstaller copies itself to the temporary folder and returns at once.
  ASSERT_EQ(RunAndWait("\"" + Folder() + "\\uninstall.exe\" /S"), 0);
  EXPECT_TRUE(Eventually([] {
    return !registry->KeyExists(RegRoot::LocalMachine, kUninstallKey) &&
           !Exists(Folder() + "\\uninstall.exe");
  }));
  for (const std::string& f : InstalledFiles()) EXPECT_FALSE(Exists(f)) << f;
  EXPECT_FALSE(Exists(Folder() + "\\manual"));
  EXPECT_FALSE(Exists(Menu()));
  EXPECT_FALSE(registry->KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Zorvan"));
  EXPECT_FALSE(
      registry->KeyExists(RegRoot::LocalMachine, "Software\\Classes\\Applications\\Zorvan.exe"));
  EXPECT_FALSE(registry->KeyExists(RegRoot::LocalMachine,
                                   "Software\\Classes\\.cfg\\OpenWithList\\Zorvan.exe"));
  EXPECT_EQ(registry->KeyExists(RegRoot::LocalMachine, "Software\\Classes\\.cfg"), cfgKeyBefore);
  EXPECT_FALSE(Value(RegRoot::CurrentUser, kRunKey, "Zorvan launcher").has_value());
  EXPECT_TRUE(launcher != nullptr && WaitForSingleObject(launcher, 0) == WAIT_OBJECT_0);
  if (launcher != nullptr) CloseHandle(launcher);

  EXPECT_EQ(Read(kept), "configuration in the program folder");
  EXPECT_EQ(Read(data + "\\default.cfg"), "configuration in the data folder");
  EXPECT_EQ(Read(data + "\\Journal.txt"), "journal");
}

}  // namespace
