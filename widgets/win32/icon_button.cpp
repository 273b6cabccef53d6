#include "widgets/win32/icon_button.h"

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "platform/codepage.h"

namespace widgets {

void SetButtonIcon(HWND dialog, int buttonId, int iconId, int size) {
  // Shared icons live as long as the module: nothing to free.
  HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size,
                           size, LR_SHARED);
  SendDlgItemMessageW(dialog, buttonId, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

void ButtonTips::Create(HWND dialog) {
  dialog_ = dialog;
  tips_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
}

void ButtonTips::Add(int buttonId, const std::string& tip) {
  if (tips_ == nullptr) return;
  std::wstring text = platform::Widen(tip);
  TOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = dialog_;
  info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog_, buttonId));
  info.lpszText = text.data();
  SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace widgets
