#include "launcher/win32/launcher_window.h"

#include <shellapi.h>

#include <memory>
#include <optional>
#include <utility>

#include "launcher/launcher_names.h"
#include "launcher/launcher_start.h"
#include "launcher/registration.h"
#include "launcher/schedule_poll.h"
#include "launcher/stop_scheduler.h"
#include "launcher/win32/launcher_system.h"
#include "launcher/win32/recent_runs_dialog.h"
#include "launcher/win32/tray_notices.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "resources/launcher/resource.h"

namespace launcher {
namespace {

constexpr UINT kTrayMessage = WM_USER + 0x100;
constexpr UINT kTrayIconId = 1;
constexpr wchar_t kWindowClass[] = L"ZorvanLauncherFrame";

struct Launcher {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  bool startupPass = false;
  std::unique_ptr<platform::Registry> registry = platform::MakeWin32Registry();
  std::string programFolder;
  std::optional<SchedulePoller> poller;
  std::optional<TrayNotices> notices;
  bool recentRunsOpen = false;
  HICON icon = nullptr;
  HICON warningIcon = nullptr;
  UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  std::string tip = kLauncherName;
  bool errorShown = false;                 // a failed start has been reported
  std::optional<std::string> failedStart;  // message of a failed start, not yet shown
};

int ShowMessage(HWND owner, const std::string& text, UINT flags) {
  return MessageBoxW(owner, platform::Widen(text).c_str(), platform::Widen(kLauncherName).c_str(),
                     flags);
}

NOTIFYICONDATAW TrayData(const Launcher& l) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = l.window;
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = l.notices ? l.notices->Icon() : l.icon;
  lstrcpynW(data.szTip, platform::Widen(l.tip).c_str(), ARRAYSIZE(data.szTip));
  return data;
}

void AddTrayIcon(const Launcher& l) {
  NOTIFYICONDATAW data = TrayData(l);
  Shell_NotifyIconW(NIM_ADD, &data);
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

void SetTip(Launcher& l, std::string tip) {
  if (tip == l.tip) return;
  l.tip = std::move(tip);
  NOTIFYICONDATAW data = TrayData(l);
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

// The failure of a start is reported once per launcher run. A poll only notes it; the
// box is shown after the poll, so a tick during the box never re-enters a poll.
void StartProgram(Launcher& l, const std::string& arguments) {
  const std::string command = ProgramCommandLine(l.programFolder, arguments);
  unsigned long error = 0;
  if (!StartDetached(command, l.programFolder, error) && !l.errorShown && !l.failedStart)
    l.failedStart = StartFailureMessage(command, error);
}

void ShowFailedStart(Launcher& l) {
  if (!l.failedStart || l.errorShown) return;
  l.errorShown = true;  // set before the box: later ticks must not stack a second one
  ShowMessage(l.window, *std::exchange(l.failedStart, std::nullopt), MB_OK | MB_ICONERROR);
}

void OnTimer(Launcher& l) {
  l.poller->Poll();
  SetTip(l, TrayTip(l.poller->Next()));
  l.notices->AfterPoll(l.poller->Skipped());
  ShowFailedStart(l);
}

void ShowTrayMenu(Launcher& l) {
  HMENU menu = CreatePopupMenu();
  const UINT busy = MainProgramWindowOpen(l.window) ? MF_GRAYED : 0;
  AppendMenuW(menu, MF_STRING | busy, ID_SHOW_PROGRAM, L"Показать окно программы");
  AppendMenuW(menu, MF_STRING, ID_RECENT_RUNS, L"Последние запуски…");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING | busy, ID_STOP_SCHEDULER, L"Остановить планировщик");
  AppendMenuW(menu, MF_STRING, ID_APP_EXIT, L"Выход");
  POINT at{};
  GetCursorPos(&at);
  SetForegroundWindow(l.window);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, l.window, nullptr);
  DestroyMenu(menu);
  if (!IsWindow(l.window)) {
    PostQuitMessage(0);  // closed meanwhile; the menu's loop may have taken the quit message
    return;
  }
  PostMessageW(l.window, WM_NULL, 0, 0);
}

void StopSchedulerCommand(Launcher& l) {
  const char* question =
      "Остановка планировщика отменит его запуск\nпо всем расписаниям. Продолжить остановку\n"
      "планировщика?";
  if (ShowMessage(l.window, question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
  StopScheduler(*l.registry);
  DestroyWindow(l.window);
}

// Opening the list is what clears the warning: the operator has seen it.
void ShowRecentRuns(Launcher& l) {
  if (l.recentRunsOpen) return;
  l.recentRunsOpen = true;
  RecentRunsDialogData data;
  data.rows = l.notices->TakeRecentRuns();
  data.openJournal = [](const std::string& path) {
    ShellExecuteW(nullptr, L"open", platform::Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  };
  SetForegroundWindow(l.window);
  ShowRecentRunsDialog(l.instance, l.window, data);
  l.recentRunsOpen = false;
}

void OnCommand(Launcher& l, UINT id) {
  switch (id) {
    case ID_SHOW_PROGRAM:
      StartProgram(l, "");
      ShowFailedStart(l);
      break;
    case ID_STOP_SCHEDULER:
      StopSchedulerCommand(l);
      break;
    case ID_RECENT_RUNS:
      ShowRecentRuns(l);
      break;
    case ID_APP_EXIT:
      DestroyWindow(l.window);
      break;
  }
}

// The main program's folder: beside this executable, else from the installation record.
bool FindProgram(Launcher& l) {
  const InstallRecord record = ReadInstallRecord();
  auto folder = FindProgramFolder({ExecutableFolder(), record.path, [](const std::string& p) {
                                     return platform::fs::FileExists(p);
                                   }});
  if (!folder) {
    ShowMessage(nullptr, MissingProgramMessage(record.path ? 0 : record.error),
                MB_OK | MB_ICONERROR);
    return false;
  }
  l.programFolder = *folder;
  return true;
}

bool OnCreate(Launcher& l, HWND window) {
  l.window = window;
  if (!FindProgram(l)) return false;
  PollSeams seams{l.registry.get(), [] { return platform::fs::NowStamp(); },
                  [] { return MutexExists(kRecognizeMutex); },
                  [&l](const std::string& arguments) { StartProgram(l, arguments); }};
  l.poller.emplace(std::move(seams), l.startupPass);
  l.notices.emplace(TrayNoticeSeams{
      l.registry.get(), l.icon, l.warningIcon, [&l] { return TrayData(l); },
      [](DWORD message, NOTIFYICONDATAW& data) { return Shell_NotifyIconW(message, &data); }});
  AddTrayIcon(l);
  if (l.startupPass) PostMessageW(window, WM_TIMER, kPollTimerId, 0);
  SetTimer(window, kPollTimerId, kPollPeriodMs, nullptr);
  return true;
}

// A close request may come while the tray menu is open: the menu's loop must end too, or
// the process would stay without its window, holding the single-instance mutex.
void OnDestroy(Launcher& l) {
  EndMenu();
  KillTimer(l.window, kPollTimerId);
  NOTIFYICONDATAW data = TrayData(l);
  Shell_NotifyIconW(NIM_DELETE, &data);
  PostQuitMessage(0);
}

LRESULT HandleMessage(Launcher& l, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(l, window) ? 0 : -1;
    case WM_TIMER:
      if (wParam == kPollTimerId) OnTimer(l);
      return 0;
    case kTrayMessage:
      if (lParam == WM_RBUTTONDOWN) ShowTrayMenu(l);
      if (lParam == WM_LBUTTONDBLCLK) SendMessageW(window, WM_COMMAND, ID_SHOW_PROGRAM, 0);
      if (lParam == kBalloonClicked) PostMessageW(window, WM_COMMAND, ID_RECENT_RUNS, 0);
      if (lParam == kBalloonTimedOut || lParam == kBalloonHidden) l.notices->BalloonGone();
      return 0;
    case WM_COMMAND:
      OnCommand(l, LOWORD(wParam));
      return 0;
    case kCloseRequest:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      OnDestroy(l);
      return 0;
  }
  if (message == l.taskbarCreated && message != 0) AddTrayIcon(l);  // the shell restarted
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* l = reinterpret_cast<Launcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return l ? HandleMessage(*l, window, message, wParam, lParam)
           : DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterFrameClass(const Launcher& l) {
  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = l.instance;
  wc.hIcon = l.icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kWindowClass;
  return RegisterClassW(&wc) != 0;
}

HICON LoadSmallIcon(HINSTANCE instance, int id) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                       LR_DEFAULTCOLOR));
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int RunLauncher(HINSTANCE instance, const std::string& arguments) {
  bool running = false;
  // Held until the process ends.
  const platform::win32::KernelHandle single = CreateOwnedMutex(kLauncherName, running);
  if (running) return 0;
  Launcher l;
  l.instance = instance;
  l.startupPass = HasStartupSwitch(arguments);
  l.icon = LoadSmallIcon(instance, IDI_LAUNCHER);
  l.warningIcon = LoadSmallIcon(instance, IDI_LAUNCHER_WARNING);
  int result = 1;
  if (RegisterFrameClass(l) &&
      CreateWindowExW(0, kWindowClass, nullptr, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                      0, 0, nullptr, nullptr, instance, &l)) {
    SetWindowTextW(l.window, platform::Widen(kLauncherName).c_str());
    ShowWindow(l.window, SW_HIDE);
    UpdateWindow(l.window);
    result = RunMessageLoop();
  }
  if (l.icon) DestroyIcon(l.icon);
  if (l.warningIcon) DestroyIcon(l.warningIcon);
  return result;
}

}  // namespace launcher
