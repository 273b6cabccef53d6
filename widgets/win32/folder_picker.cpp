#include "widgets/win32/folder_picker.h"

#include <windows.h>
// after windows.h
#include <shlobj.h>

#include "platform/codepage.h"
#include "widgets/win32/shell_calls.h"

namespace widgets {

namespace {

struct PickerState {
  std::wstring initial;
};

int CALLBACK PickerCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    const auto* state = reinterpret_cast<const PickerState*>(data);
    SetWindowTextW(dialog, L"Выбор каталога");
    SetDlgItemTextW(dialog, IDOK, L"Выбрать");
    if (!state->initial.empty()) {
      SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                   reinterpret_cast<LPARAM>(state->initial.c_str()));
    }
  }
  return 0;
}

}  // namespace

bool ShowFolderPicker(HWND owner, std::string& folder) {
  // The new-style chooser needs OLE on this thread; taken here so start-up does not pay.
  const HRESULT ole = shell::OleInit();
  PickerState state{platform::Widen(folder)};
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = L"Имя папки:";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = PickerCallback;
  info.lParam = reinterpret_cast<LPARAM>(&state);
  PIDLIST_ABSOLUTE chosen = shell::BrowseForFolder(&info);
  if (chosen == nullptr) {
    if (SUCCEEDED(ole)) shell::OleUninit();
    return false;
  }
  wchar_t path[MAX_PATH * 2] = {};
  const bool ok = shell::PathFromIdList(chosen, path);
  shell::FreeIdList(chosen);
  if (SUCCEEDED(ole)) shell::OleUninit();
  if (ok) folder = platform::Narrow(path);
  return ok;
}

}  // namespace widgets
