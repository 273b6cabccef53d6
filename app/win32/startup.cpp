#include "app/win32/startup.h"

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "app/start_rules.h"
#include "app/win32/main_window.h"
#include "app/win32/query_dlg.h"
#include "config/config_schema.h"
#include "launcher/launcher_names.h"
#include "launcher/win32/launcher_system.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "widgets/win32/dialog_text.h"
#include "widgets/win32/handles.h"
#include "widgets/win32/shell_calls.h"

namespace app {

namespace {

constexpr int kAlreadyOpenSeconds = 5;

std::string ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return platform::Narrow(path);
    }
    path.resize(path.size() * 2);
  }
}

std::string CurrentFolder() {
  wchar_t folder[MAX_PATH * 2] = {};
  GetCurrentDirectoryW(MAX_PATH * 2, folder);
  return platform::Narrow(folder);
}

// The profile's folder as the log-on set it in the environment, which spares loading the
// shell at every start; the shell is asked when the variable is missing or stale.
std::string ProfileFolder(const wchar_t* variable, int csidl) {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(variable, path, MAX_PATH);
  if (n > 0 && n < MAX_PATH && platform::fs::GetAttributes(platform::Narrow(path)).folder)
    return platform::Narrow(path);
  return platform::Narrow(widgets::shell::ProfileFolder(csidl));
}

bool Exists(const std::string& path) { return platform::fs::FileExists(path); }

}  // namespace

AppFolders FindAppFolders(const std::string& programFolder) {
  AppFolders folders;
  folders.programFolder = programFolder;
  folders.dataFolder = programFolder;
  const std::string appData = ProfileFolder(L"APPDATA", CSIDL_APPDATA);
  if (!appData.empty()) {
    const std::string own = appData + "\\" + launcher::kProgramName;
    if (platform::fs::GetAttributes(own).folder || platform::fs::CreateFolder(own)) {
      folders.dataFolder = own;
    }
  }
  folders.olderFolders = {programFolder,
                          VirtualStoreFolder(programFolder, ProfileFolder(L"LOCALAPPDATA", CSIDL_LOCAL_APPDATA))};
  return folders;
}

StartChoice ChooseConfiguration(const std::string& commandLine, const AppFolders& folders,
                                platform::Registry& registry) {
  std::string name = kDefaultConfigName;
  const auto last =
      registry.ReadValue(platform::RegRoot::CurrentUser, cfg::kProgramKey, cfg::kLastConfigValue);
  if (last && last->type == platform::RegType::String) {
    const std::string path = last->data.substr(0, last->data.find('\0'));
    if (!path.empty() && Exists(path)) name = path;
  }
  const StartRequest request = ParseCommandLine(commandLine);
  if (request.configName) name = *request.configName;
  StartChoice choice;
  choice.autoRun = request.autoRun;
  choice.configPath = LocateBareName(name, folders.dataFolder, folders.olderFolders, Exists);
  return choice;
}

void PrepareConfigFile(const std::string& path, const std::string& programFolder) {
  const std::string moved = programFolder + "\\" + kMovedConfigName;
  if (Exists(moved)) platform::fs::Rename(moved, path);  // never over an existing file
  if (!platform::fs::GetAttributes(path).exists) platform::fs::CreateNewFile(path);
}

std::wstring ArgumentsOf(const std::wstring& commandLine) {
  size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    i = commandLine.find(L'"', 1);
    i = i == std::wstring::npos ? commandLine.size() : i + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
  return commandLine.substr(i);
}

int RunProgram(const std::wstring& commandLine) {
  const std::string programPath = ProgramPath();
  const size_t slash = programPath.rfind('\\');
  const std::string programFolder =
      slash == std::string::npos ? CurrentFolder() : programPath.substr(0, slash);
  const AppFolders folders = FindAppFolders(programFolder);
  std::unique_ptr<platform::Registry> registry = platform::MakeWin32Registry();
  const StartChoice choice = ChooseConfiguration(platform::Narrow(commandLine), folders, *registry);
  PrepareConfigFile(choice.configPath, programFolder);

  // Both held until the process ends: the launcher sees a main program running, and a
  // second program on the same configuration sees this one.
  bool taken = false;
  widgets::KernelHandle recognize = launcher::CreateOwnedMutex(launcher::kRecognizeMutex, taken);
  widgets::KernelHandle own = launcher::CreateOwnedMutex(ConfigMutexName(choice.configPath), taken);
  if (taken) {
    ShowQueryDlg(nullptr, {"    Файл настроек с именем \"" + choice.configPath + "\" уже открыт!",
                           kAlreadyOpenSeconds, 1, IDOK});
    return 0;
  }
  MainWindowParams params;
  params.registry = registry.get();
  params.folders = folders;
  params.configPath = choice.configPath;
  params.autoRun = choice.autoRun;
  params.registerLauncher =
      launcher::MakeLauncherRegistration(*registry, programFolder, [](const std::string& text) {
        widgets::ShowMessageBox(nullptr, text, MB_OK | MB_ICONEXCLAMATION);
      });
  MainWindow window(std::move(params));
  if (!window.Create()) return 1;
  window.RunLoop();
  return 0;
}

}  // namespace app
