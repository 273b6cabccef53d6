#include "launcher/win32/launcher_system.h"

#include "launcher/launcher_names.h"
#include "launcher/registration.h"
#include "platform/codepage.h"
#include "platform/process.h"
#include "platform/win32/registry_view.h"

namespace launcher {
namespace {

std::wstring WindowTitle(HWND window) {
  wchar_t title[261] = {};
  int n = GetWindowTextW(window, title, 261);
  return std::wstring(title, n > 0 ? n : 0);
}

std::wstring Upper(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

BOOL CALLBACK CloseExactTitle(HWND window, LPARAM) {
  if (WindowTitle(window) != platform::Widen(kLauncherName)) return TRUE;
  SendMessageW(window, kCloseRequest, 0, 0);
  return FALSE;
}

struct MainWindowSearch {
  HWND own;
  bool found = false;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<MainWindowSearch*>(param);
  const std::wstring title = Upper(WindowTitle(window));
  if (window == search->own || title == Upper(platform::Widen(kLauncherName)) ||
      title.find(Upper(platform::Widen(kMainWindowTitle))) == std::wstring::npos)
    return TRUE;
  search->found = true;
  return FALSE;
}

}  // namespace

platform::win32::KernelHandle CreateOwnedMutex(const std::string& name, bool& alreadyExisted) {
  platform::win32::KernelHandle mutex(CreateMutexW(nullptr, TRUE, platform::Widen(name).c_str()));
  alreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
  return mutex;
}

bool MutexExists(const std::string& name) {
  return platform::win32::KernelHandle(
             OpenMutexW(MUTEX_ALL_ACCESS, FALSE, platform::Widen(name).c_str()))
      .Valid();
}

bool StartDetached(const std::string& commandLine, const std::string& folder,
                   unsigned long& error) {
  platform::Process process;
  return process.Start(commandLine, folder, platform::ShowWindow::Normal, &error);
}

void SendCloseRequestToLauncher() { EnumWindows(CloseExactTitle, 0); }

bool MainProgramWindowOpen(HWND own) {
  MainWindowSearch search{own};
  EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Read directly rather than through the registry adapter, which has no error code; in the
// same view as the adapter and the installer.
InstallRecord ReadInstallRecord() {
  InstallRecord record;
  HKEY opened = nullptr;
  LONG rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, platform::Widen(kInstallKey).c_str(), 0,
                          KEY_QUERY_VALUE | platform::win32::kRegistryView, &opened);
  platform::win32::RegKey key(opened);
  wchar_t path[261] = {};
  DWORD size = sizeof path - sizeof(wchar_t);
  DWORD type = 0;
  if (rc == ERROR_SUCCESS)
    rc = RegQueryValueExW(key.Get(), platform::Widen(kInstallPathValue).c_str(), nullptr, &type,
                          reinterpret_cast<BYTE*>(path), &size);
  if (rc == ERROR_SUCCESS && type != REG_SZ) rc = ERROR_INVALID_DATA;
  if (rc != ERROR_SUCCESS) {
    record.error = static_cast<unsigned long>(rc);
    return record;
  }
  record.path = platform::Narrow(path);
  return record;
}

std::string ExecutableFolder() {
  wchar_t path[MAX_PATH * 4] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring text(path, n);
  const size_t slash = text.find_last_of(L'\\');
  return platform::Narrow(slash == std::wstring::npos ? std::wstring() : text.substr(0, slash));
}

std::function<void(const std::string&, bool)> MakeLauncherRegistration(
    platform::Registry& registry, std::string programFolder,
    std::function<void(const std::string&)> showError) {
  RegistrationSeams seams{&registry, std::move(programFolder), StartDetached, std::move(showError),
                          SendCloseRequestToLauncher};
  return [seams](const std::string& path, bool hasSchedules) {
    RegisterLauncher(seams, path, hasSchedules);
  };
}

}  // namespace launcher
