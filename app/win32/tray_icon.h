// The main window's notification-area icon (id 1, callback WM_USER+100), re-added when
// the shell restarts.
#pragma once

#include <windows.h>

#include <string>

namespace app {

inline constexpr UINT WM_TRAY_NOTIFY = WM_USER + 100;

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  bool Add(HWND owner, HICON icon, const std::string& tip);
  void SetTip(const std::string& tip);
  void Remove();
  bool Shown() const { return owner_ != nullptr; }
  // The taskbar was created anew: the shell forgot the icon.
  bool AddAgain();

 private:
  bool Notify(DWORD message);

  HWND owner_ = nullptr;
  HICON icon_ = nullptr;
  std::wstring tip_;
};

}  // namespace app
