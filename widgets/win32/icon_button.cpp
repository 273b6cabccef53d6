#include "widgets/win32/icon_button.h"

#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "platform/codepage.h"

namespace widgets {

namespace {

int ThemeState(UINT itemState) {
  if (itemState & CDIS_DISABLED) return PBS_DISABLED;
  if (itemState & CDIS_SELECTED) return PBS_PRESSED;
  if (itemState & CDIS_HOT) return PBS_HOT;
  if (itemState & CDIS_FOCUS) return PBS_DEFAULTED;
  return PBS_NORMAL;
}

// Draws the picture and the text as one line centred in the button's content area, then
// the focus rectangle; the button has drawn its background for its state already.
void DrawLabel(const NMCUSTOMDRAW& draw, HICON icon) {
  HWND button = draw.hdr.hwndFrom;
  HDC dc = draw.hdc;
  const bool disabled = draw.uItemState & CDIS_DISABLED;
  HTHEME theme = GetWindowTheme(button);
  const int state = ThemeState(draw.uItemState);
  RECT content = draw.rc;
  if (theme != nullptr) {
    GetThemeBackgroundContentRect(theme, dc, BP_PUSHBUTTON, state, &draw.rc, &content);
  } else {
    InflateRect(&content, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    if (draw.uItemState & CDIS_SELECTED) OffsetRect(&content, 1, 1);
  }
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
  wchar_t text[128] = {};
  const int length = GetWindowTextW(button, text, 128);
  SIZE extent{};
  if (length > 0) GetTextExtentPoint32W(dc, text, length, &extent);
  const int left =
      content.left + (content.right - content.left - ButtonPictures::kSize - extent.cx) / 2;
  const int top = content.top + (content.bottom - content.top - ButtonPictures::kSize) / 2;
  if (icon != nullptr) {
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, left, top,
               ButtonPictures::kSize, ButtonPictures::kSize,
               DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
  }
  if (length > 0) {
    RECT line{left + ButtonPictures::kSize, content.top, content.right, content.bottom};
    const DWORD format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOCLIP;
    if (theme != nullptr) {
      DrawThemeText(theme, dc, BP_PUSHBUTTON, state, text, length, format, 0, &line);
    } else {
      const int oldMode = SetBkMode(dc, TRANSPARENT);
      const COLORREF oldColour =
          SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
      DrawTextW(dc, text, length, &line, format);
      SetTextColor(dc, oldColour);
      SetBkMode(dc, oldMode);
    }
  }
  if ((draw.uItemState & CDIS_FOCUS) &&
      !(SendMessageW(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    DrawFocusRect(dc, &content);
  }
  SelectObject(dc, oldFont);
}

}  // namespace

void ButtonPictures::Set(HWND dialog, int buttonId, int iconId) {
  HWND button = GetDlgItem(dialog, buttonId);
  for (Picture& p : pictures_) {
    if (p.button != button) continue;
    if (p.iconId != iconId) {
      p.iconId = iconId;
      InvalidateRect(button, nullptr, FALSE);
    }
    return;
  }
  pictures_.push_back({button, iconId});
}

bool ButtonPictures::OnNotify(HWND dialog, const NMHDR& header) {
  if (header.code != NM_CUSTOMDRAW) return false;
  for (const Picture& p : pictures_) {
    if (p.button != header.hwndFrom) continue;
    const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
    LRESULT result = CDRF_DODEFAULT;
    if (draw.dwDrawStage == CDDS_PREPAINT) {
      // Shared icons live as long as the module: nothing to free.
      HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(p.iconId), IMAGE_ICON,
                               kSize, kSize, LR_SHARED);
      DrawLabel(draw, static_cast<HICON>(icon));
      result = CDRF_SKIPDEFAULT;
    }
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return true;
  }
  return false;
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
