#include "widgets/win32/dialog_text.h"

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "platform/codepage.h"

namespace widgets {


std::string GetWindowText1251(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(got < 0 ? 0 : static_cast<size_t>(got));
  return platform::Narrow(text);
}

void SetWindowText1251(HWND window, const std::string& text) {
  if (GetWindowText1251(window) != text) SetWindowTextW(window, platform::Widen(text).c_str());
}

std::string GetItemText(HWND dialog, int id) { return GetWindowText1251(GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, const std::string& text) {
  SetWindowText1251(GetDlgItem(dialog, id), text);
}

bool IsItemChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetItemChecked(HWND dialog, int id, bool checked) {
  if (IsItemChecked(dialog, id) != checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
  }
}

void EnableItem(HWND dialog, int id, bool enabled) {
  HWND item = GetDlgItem(dialog, id);
  if ((IsWindowEnabled(item) != FALSE) != enabled) EnableWindow(item, enabled);
}

int FocusedItemId(HWND dialog) {
  HWND focus = GetFocus();
  if (focus == nullptr || !IsChild(dialog, focus)) return 0;
  // An edit inside a control (a combo box) reports as its parent.
  while (GetParent(focus) != dialog && GetParent(focus) != nullptr) focus = GetParent(focus);
  return GetDlgCtrlID(focus);
}

std::string LoadString1251(HINSTANCE instance, UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(instance, id, reinterpret_cast<wchar_t*>(&text), 0);
  return length > 0 ? platform::Narrow(std::wstring(text, length)) : std::string();
}

int ShowMessageBox(HWND owner, const std::string& text, UINT type) {
  return MessageBoxW(owner, platform::Widen(text).c_str(), L"Zorvan", type);
}

}  // namespace widgets
