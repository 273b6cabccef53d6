#include "widgets/win32/shell_calls.h"

// after windows.h
#include <ole2.h>

#include "platform/win32/late_bound.h"

namespace widgets::shell {

using platform::win32::LateBound;

bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data) {
  const auto call = LateBound<decltype(&Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
  return call != nullptr && call(message, data) != FALSE;
}

void Open(HWND owner, const std::wstring& path) {
  const auto call = LateBound<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
  if (call != nullptr) call(owner, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::wstring ProfileFolder(int csidl) {
  const auto call = LateBound<decltype(&SHGetFolderPathW)>(L"shell32.dll", "SHGetFolderPathW");
  wchar_t path[MAX_PATH] = {};
  if (call == nullptr || FAILED(call(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path)))
    return {};
  return path;
}

PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOW* info) {
  const auto call =
      LateBound<decltype(&SHBrowseForFolderW)>(L"shell32.dll", "SHBrowseForFolderW");
  return call != nullptr ? call(info) : nullptr;
}

bool PathFromIdList(PCIDLIST_ABSOLUTE list, wchar_t* path) {
  const auto call =
      LateBound<decltype(&SHGetPathFromIDListW)>(L"shell32.dll", "SHGetPathFromIDListW");
  return call != nullptr && call(list, path) != FALSE;
}

void FreeIdList(PIDLIST_ABSOLUTE list) {
  const auto call = LateBound<decltype(&CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
  if (call != nullptr) call(list);
}

HRESULT OleInit() {
  const auto call = LateBound<decltype(&OleInitialize)>(L"ole32.dll", "OleInitialize");
  return call != nullptr ? call(nullptr) : E_FAIL;
}

void OleUninit() {
  const auto call = LateBound<decltype(&OleUninitialize)>(L"ole32.dll", "OleUninitialize");
  if (call != nullptr) call();
}

}  // namespace widgets::shell
