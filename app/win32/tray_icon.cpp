#include "app/win32/tray_icon.h"

// after windows.h
#include <shellapi.h>

#include "app/options_rules.h"
#include "platform/codepage.h"
#include "widgets/win32/shell_calls.h"

namespace app {

bool TrayIcon::Notify(DWORD message) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_TRAY_NOTIFY;
  data.hIcon = icon_;
  tip_.copy(data.szTip, std::size(data.szTip) - 1);
  return widgets::shell::NotifyIcon(message, &data);
}

bool TrayIcon::Add(HWND owner, HICON icon, const std::string& tip) {
  Remove();
  owner_ = owner;
  icon_ = icon;
  tip_ = platform::Widen(TrayTip(tip));
  if (Notify(NIM_ADD)) return true;
  owner_ = nullptr;
  return false;
}

void TrayIcon::SetTip(const std::string& tip) {
  if (!Shown()) return;
  tip_ = platform::Widen(TrayTip(tip));
  Notify(NIM_MODIFY);
}

void TrayIcon::Remove() {
  if (!Shown()) return;
  Notify(NIM_DELETE);
  owner_ = nullptr;
}

bool TrayIcon::AddAgain() { return Shown() && Notify(NIM_ADD); }

}  // namespace app
