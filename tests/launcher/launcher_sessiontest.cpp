// Whole processes under Wine: "Zorvan launcher.exe" and a stand-in "Zorvan.exe" copied
// into a scratch program folder (no installation record), registered through the
// configuration save. These tests use the real HKCU Run and list values, the launcher's
// mutex and window title, so they hold the zorvan_session resource lock.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <tlhelp32.h>

#include "config/configuration.h"
#include "config/schedule_due.h"
#include "launcher/launcher_names.h"
#include "launcher/win32/launcher_system.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "tests/config/config_fixture.h"
#include "tests/support/process.h"
#include "tests/support/programs.h"
#include "tests/support/scratch.h"
#include "tree/infobase_tree.h"

namespace {

using launcher::kListKey;
using launcher::kRunKey;
using platform::RegRoot;
using platform::Widen;
using testsupport::Eventually;

HWND LauncherWindow() { return FindWindowW(nullptr, Widen(launcher::kLauncherName).c_str()); }

// Launcher processes alive in the prefix, those still starting included.
int LauncherProcesses() {
  int count = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (_wcsicmp(entry.szExeFile, L"Zorvan launcher.exe") == 0) ++count;
  CloseHandle(snapshot);
  return count;
}

class LauncherSession : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::fs::CopyOver(testrunner::BinFolder() + "Zorvan launcher.exe",
                                       folder + "\\Zorvan launcher.exe"));
    ASSERT_TRUE(platform::fs::CopyOver(testrunner::BinFolder() + "main_standin.exe",
                                       folder + "\\Zorvan.exe"));
    ClearRegistry();
    registry->CreateKey(RegRoot::CurrentUser, kRunKey);
    registry->CreateKey(RegRoot::CurrentUser, cfg::kProgramKey);
    seams.registerLauncher = launcher::MakeLauncherRegistration(
        *registry, folder, [this](const std::string& text) { errors.push_back(text); });
  }
  void TearDown() override {
    if (HWND w = LauncherWindow()) EndAndWait(w, [] { launcher::SendCloseRequestToLauncher(); });
    ClearRegistry();
  }

  void ClearRegistry() {
    if (auto values = registry->EnumValues(RegRoot::CurrentUser, kListKey))
      for (const auto& v : *values) registry->DeleteValue(RegRoot::CurrentUser, kListKey, v.name);
    registry->DeleteKey(RegRoot::CurrentUser, kListKey);
    registry->DeleteValue(RegRoot::CurrentUser, kRunKey, launcher::kLauncherName);
    registry->DeleteValue(RegRoot::CurrentUser, cfg::kProgramKey, cfg::kLastStartUpValue);
  }

  // Runs action and waits until the process of window w has ended.
  template <typename Action>
  bool EndAndWait(HWND w, Action action) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    action();
    const bool ended = process && WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
    if (process) CloseHandle(process);
    return ended;
  }

  // Saves a configuration holding these schedules as path (registering it).
  void Save(const std::string& path, std::vector<ScheduleEntry> schedules) {
    InfobaseTree tree(fixture::NoUsers(), [] {});
    tree.RebuildFromRegistry(*registry);
    for (const ScheduleEntry& s : schedules) tree.ApplySchedule(s);
    Configuration config;
    SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams);
  }
  std::optional<platform::RegValue> Read(const char* key, const std::string& name) {
    return registry->ReadValue(RegRoot::CurrentUser, key, name);
  }

  std::unique_ptr<platform::Registry> registry = platform::MakeWin32Registry();
  testsupport::ScratchFolder scratch{"launcher"};
  const std::string folder = scratch.path();
  ConfigurationSeams seams{*registry, platform::SilentFileErrorReporter()};
  std::vector<std::string> errors;
};

const ScheduleEntry kDaily{"Каждый день в 03:00", "", kNoItem, 0, ScheduleMode::Daily, 3 * 3600};
const ScheduleEntry kAtStartUp{"При включении", "", kNoItem, 0, ScheduleMode::AtStartUp};

// Counts close requests that reach a test window titled like the launcher.
LRESULT CALLBACK CountCloseRequests(HWND w, UINT message, WPARAM wp, LPARAM lp) {
  if (message == launcher::kCloseRequest)
    ++*reinterpret_cast<int*>(GetWindowLongPtrW(w, GWLP_USERDATA));
  return DefWindowProcW(w, message, wp, lp);
}

TEST_F(LauncherSession, SaveRegistersAndStartsTheLastUnregisterEndsIt) {
  const std::string a = folder + "\\ночь.cfg", b = folder + "\\b.cfg";
  Save(a, {kDaily});
  ASSERT_TRUE(Eventually([] { return LauncherWindow() != nullptr; }));
  HWND running = LauncherWindow();
  EXPECT_EQ(Read(kRunKey, "Zorvan launcher")->data,
            "\"" + folder + "\\Zorvan launcher.exe\" /STARTUP");
  EXPECT_EQ(Read(kListKey, a)->data, "Файл настройки");
  Save(b, {kDaily});
  // The launcher this save started ends at once; were it still starting when the last
  // unregister below ends the first, it would stay.
  ASSERT_TRUE(Eventually([] { return LauncherProcesses() == 1; }));
  // A second launcher ends at once, silently.
  EXPECT_EQ(testsupport::RunToEnd("\"" + folder + "\\Zorvan launcher.exe\"", folder), 0);
  EXPECT_EQ(LauncherWindow(), running);

  WNDCLASSW wc{};
  wc.lpfnWndProc = CountCloseRequests;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ZvOtherCase";
  RegisterClassW(&wc);
  HWND other = CreateWindowW(L"ZvOtherCase", L"ZORVAN LAUNCHER", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                             nullptr, wc.hInstance, nullptr);
  int otherRequests = 0;
  SetWindowLongPtrW(other, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&otherRequests));

  Save(a, {});  // b still has a schedule: the launcher stays
  EXPECT_TRUE(Read(kRunKey, "Zorvan launcher"));
  EXPECT_TRUE(EndAndWait(running, [&] { Save(b, {}); }));  // FindWindow ignores case
  EXPECT_FALSE(registry->KeyExists(RegRoot::CurrentUser, kListKey));
  EXPECT_FALSE(Read(kRunKey, "Zorvan launcher"));
  EXPECT_EQ(otherRequests, 0);
  DestroyWindow(other);
  EXPECT_TRUE(errors.empty());
}

TEST_F(LauncherSession, TheStartUpPassStartsTheMainProgramAndPrunes) {
  const std::string a = folder + "\\с пробелом.cfg";
  seams.registerLauncher = nullptr;
  Save(a, {kAtStartUp});
  registry->CreateKey(RegRoot::CurrentUser, kListKey);
  for (const std::string& path : {a, folder + "\\deleted.cfg"})
    registry->WriteValue(RegRoot::CurrentUser, kListKey, path, platform::RegValue::String("x"));
  platform::Process startUp;  // left running: the test's end closes the launcher
  ASSERT_TRUE(startUp.Start("\"" + folder + "\\Zorvan launcher.exe\" /startup", folder,
                            platform::ShowWindow::Hidden));
  ASSERT_TRUE(Eventually([&] { return testsupport::Exists(folder + "\\main-call1.cwd"); }));
  EXPECT_EQ(testsupport::Read(folder + "\\main-call1.args"),
            "\"" + folder + "\\Zorvan.exe\" /@" + a + " /BEGIN");
  EXPECT_EQ(testsupport::Read(folder + "\\main-call1.cwd"), folder);
  EXPECT_TRUE(
      Eventually([&] { return Read(cfg::kProgramKey, cfg::kLastStartUpValue).has_value(); }));
  EXPECT_EQ(registry->EnumValues(RegRoot::CurrentUser, kListKey)->size(), 1u);
  EXPECT_FALSE(testsupport::Exists(folder + "\\main-call2.args"));
}

class LauncherRunning : public LauncherSession {
 protected:
  void SetUp() override {
    LauncherSession::SetUp();
    a = folder + "\\a.cfg";
    Save(a, {kDaily});
    ASSERT_TRUE(Eventually([this] { return (w = LauncherWindow()) != nullptr; }));
    GetWindowThreadProcessId(w, &pid);
  }
  std::string a;
  HWND w = nullptr;
  DWORD pid = 0;
};

TEST_F(LauncherRunning, TheCloseRequestEndsItWhileTheTrayMenuIsOpen) {
  PostMessageW(w, WM_USER + 0x100, 1, WM_RBUTTONDOWN);
  ASSERT_NE(testsupport::WindowOf(pid, L"#32768"), nullptr);
  EXPECT_TRUE(EndAndWait(w, [] { launcher::SendCloseRequestToLauncher(); }));
}

TEST_F(LauncherRunning, ShowProgramStartsItWithoutArguments) {
  SendMessageW(w, WM_COMMAND, 1, 0);
  SendMessageW(w, WM_USER + 0x100, 1, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(Eventually([&] { return testsupport::Exists(folder + "\\main-call2.cwd"); }));
  for (const char* call : {"\\main-call1.args", "\\main-call2.args"})
    EXPECT_EQ(testsupport::Read(folder + call), "\"" + folder + "\\Zorvan.exe\"");
}

TEST_F(LauncherRunning, TheStopCommandRemovesSchedulesAndRegistrations) {
  EXPECT_TRUE(EndAndWait(w, [&] {
    PostMessageW(w, WM_COMMAND, 2, 0);
    HWND question = testsupport::WindowOf(pid, L"#32770");
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
  }));
  EXPECT_FALSE(Read(kRunKey, "Zorvan launcher"));
  EXPECT_FALSE(Read(kListKey, a));
  EXPECT_EQ(ReadConfigSchedules(a, platform::SilentFileErrorReporter())->size(), 0u);
}

}  // namespace
