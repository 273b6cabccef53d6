#include "app/win32/system_actions.h"

// after windows.h
#include <shellapi.h>

#include "platform/codepage.h"
#include "widgets/win32/shell_calls.h"

namespace app {

namespace {

constexpr wchar_t kHelpControlKey[] =
    L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr UINT kDisplayTopic = 0;     // HH_DISPLAY_TOPIC
constexpr WORD kHtmlHelpWEntry = 15;  // HtmlHelpA is entry 14, HtmlHelpW 15

std::wstring RegisteredHelpControl() {
  wchar_t path[MAX_PATH * 2] = {};
  DWORD size = sizeof(path);
  if (RegGetValueW(HKEY_CLASSES_ROOT, kHelpControlKey, nullptr, RRF_RT_REG_SZ, nullptr, path,
                   &size) != ERROR_SUCCESS) {
    return std::wstring();
  }
  return path;
}

}  // namespace

bool EnableShutdownPrivilege() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
    return false;
  }
  widgets::KernelHandle token(raw);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
    return false;
  }
  SetLastError(ERROR_SUCCESS);
  AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
  return GetLastError() == ERROR_SUCCESS;  // ERROR_NOT_ALL_ASSIGNED counts as failure
}

bool ShutDownComputer() {
  SetProcessShutdownParameters(0x380, SHUTDOWN_NORETRY);
  if (!EnableShutdownPrivilege()) return false;
  return ExitWindowsEx(EWX_SHUTDOWN | EWX_FORCE, SHTDN_REASON_FLAG_PLANNED) != FALSE;
}

bool HelpViewer::Load() {
  if (state_ != State::NotLoaded) return state_ == State::Loaded;
  std::wstring path = RegisteredHelpControl();
  module_ = widgets::ModuleHandle(LoadLibraryW(path.empty() ? L"hhctrl.ocx" : path.c_str()));
  if (!module_ && !path.empty()) module_ = widgets::ModuleHandle(LoadLibraryW(L"hhctrl.ocx"));
  if (module_) {
    htmlHelp_ = reinterpret_cast<HtmlHelpFn>(
        GetProcAddress(module_.Get(), MAKEINTRESOURCEA(kHtmlHelpWEntry)));
  }
  state_ = htmlHelp_ != nullptr ? State::Loaded : State::Failed;
  return state_ == State::Loaded;
}

void HelpViewer::Show(const std::string& programFolder) {
  if (!Load()) return;
  const std::wstring file = platform::Widen(programFolder + "\\Zorvan.chm");
  htmlHelp_(nullptr, file.c_str(), kDisplayTopic, 0);
}

void OpenWithShell(HWND owner, const std::string& path) {
  widgets::shell::Open(owner, platform::Widen(path));
}

}  // namespace app
