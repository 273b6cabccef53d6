// The main window's life, message loop and message routing.
#include "app/win32/main_window.h"

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "app/options_rules.h"
#include "app/win32/job_editors.h"
#include "app/win32/schedule_editors.h"
#include "platform/codepage.h"
#include "resources/app/resource.h"
#include "widgets/win32/dialog_text.h"

namespace app {

namespace {

constexpr UINT WM_CLOSE_PROGRAM = WM_USER + 104;  // closes the window outside any handler

}  // namespace

MainWindow::MainWindow(MainWindowParams params) : params_(std::move(params)) {
  controller_ = std::make_unique<MainController>(*this, *params_.registry, params_.folders,
                                                 params_.configPath, params_.autoRun,
                                                 params_.registerLauncher, params_.readUsers);
  TreePaneServices tree = params_.services.tree;
  tree.selectionText = [this](ItemHandle item) {
    return controller_ ? controller_->SelectedInfobasePath(item) : std::string();
  };
  // Editors not set show their commands disabled.
  TreeEditors editors;
  AddJobEditors(editors, [this] { return hwnd_; }, [this] {
    return JobDialogServices{controller_->Config().options.BinaryDirectory,
                             params_.services.pickFolder, nullptr};
  });
  SetScheduleAndTaskEditors(editors, controller_->Tree(), [this] { return hwnd_; });
  treePane_ = std::make_unique<TreePane>(controller_->Tree(), controller_->Config().tasks,
                                         std::move(editors), std::move(tree));
}

MainWindow::~MainWindow() {
  // An active run is asked to stop and waited for before anything it uses goes away.
  controller_.reset();
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool MainWindow::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                                      ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  windowThread_ = GetCurrentThreadId();
  accelerators_ = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  hwnd_ = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, DialogProc,
                             reinterpret_cast<LPARAM>(this));
  if (hwnd_ == nullptr) return false;
  if (!params_.autoRun) ShowWindow(hwnd_, SW_SHOW);
  // Set while the window was hidden, the focus would activate it once before the showing
  // does: the same work twice.
  SetFocus(GetDlgItem(hwnd_, IDC_TREE));
  return true;
}

bool MainWindow::OnWindowThread() const { return GetCurrentThreadId() == windowThread_; }

HWND MainWindow::PromptOwner() const {
  return OnWindowThread() && hwnd_ != nullptr && IsWindowVisible(hwnd_) ? hwnd_ : nullptr;
}

INT_PTR CALLBACK MainWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<MainWindow*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, lParam);
    self->hwnd_ = hwnd;
    self->OnInit();
    return FALSE;  // the focus is set once the window shows
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self == nullptr ? FALSE : self->HandleMessage(message, wParam, lParam);
}

INT_PTR MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    tray_.AddAgain();
    return TRUE;
  }
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (pictures_.OnNotify(hwnd_, header)) return TRUE;
      if (header.idFrom == IDC_TREE && header.code != NM_SETFOCUS) {
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, treePane_->OnNotify(header));
      } else {
        OnNotify(header);
      }
      return TRUE;
    }
    case WM_SYSCOMMAND:
      OnSysCommand(wParam);
      return TRUE;
    case WM_CLOSE:
      OnClose();
      return TRUE;
    case WM_TRAY_NOTIFY:
      OnTrayNotify(lParam);
      return TRUE;
    case WM_JOB_STARTED:
      controller_->OnJobStarted(*reinterpret_cast<const InfobaseEntry*>(lParam));
      return TRUE;
    case WM_RUN_FINISHED:
      controller_->OnRunFinished();
      return TRUE;
    case WM_CLOSE_PROGRAM:
      DestroyWindow(hwnd_);
      return TRUE;
    case WM_DESTROY:
      tray_.Remove();
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      PostMessageW(nullptr, WM_NULL, 0, 0);  // wakes the loop, which then ends
      return TRUE;
    default:
      return FALSE;
  }
}

void MainWindow::OnSysCommand(WPARAM command) {
  if (command == IDM_SYSTEM_ABOUT) {
    OnAbout();
  } else if ((command & 0xFFF0) == SC_MINIMIZE && controller_->Running()) {
    ShowWindow(hwnd_, SW_HIDE);  // reachable through the tray icon
  } else {
    DefWindowProcW(hwnd_, WM_SYSCOMMAND, command, 0);
  }
}

void MainWindow::OnTrayNotify(LPARAM event) {
  if (event != WM_LBUTTONDBLCLK) return;
  if (IsWindowVisible(hwnd_)) {
    ShowWindow(hwnd_, SW_HIDE);
  } else {
    ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
  }
}

// Keys seen before the dialog: Enter moves on instead of pressing a button, Esc in the
// name being typed cancels the naming.
bool MainWindow::PreTranslate(MSG& msg) {
  if (msg.message != WM_KEYDOWN || !IsChild(hwnd_, msg.hwnd)) return false;
  const int focus = widgets::FocusedItemId(hwnd_);
  if (msg.wParam == VK_ESCAPE && naming_ && focus == IDC_CONFIG_NAME) {
    EndNaming(false);
    return true;
  }
  if (msg.wParam != VK_RETURN) return false;
  TakeFields();
  if (focus == IDCANCEL || focus == IDC_ARCHIVE_CHOOSE || focus == IDC_RUN || focus == IDC_APPLY) {
    return false;  // Enter presses these buttons
  }
  SendMessageW(hwnd_, WM_NEXTDLGCTL, 0, FALSE);
  return true;
}

bool MainWindow::ProcessMessage(MSG& msg) {
  if (hwnd_ == nullptr) return false;
  if (treePane_->PreTranslate(msg) || PreTranslate(msg)) return true;
  if (hwnd_ != nullptr && TranslateAcceleratorW(hwnd_, accelerators_, &msg)) return true;
  return hwnd_ != nullptr && IsDialogMessageW(hwnd_, &msg);
}

void MainWindow::RunLoop() {
  MSG msg;
  while (hwnd_ != nullptr && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!ProcessMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) OnIdle();
  }
}

void MainWindow::Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!ProcessMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  OnIdle();
}

// The title ends with "*" and Apply is enabled exactly while the configuration is
// modified; Run waits for the end of a run.
void MainWindow::OnIdle() {
  if (hwnd_ == nullptr) return;
  if (!idledOnce_) {
    idledOnce_ = true;
    OnFirstIdle();
  }
  const bool modified = controller_->Modified();
  widgets::SetWindowText1251(hwnd_, TitleWithMark(widgets::GetWindowText1251(hwnd_), modified));
  widgets::EnableItem(hwnd_, IDC_APPLY, modified);
  widgets::EnableItem(hwnd_, IDC_RUN, !controller_->Running());
}

void MainWindow::CloseWindow() {
  if (hwnd_ != nullptr) PostMessageW(hwnd_, WM_CLOSE_PROGRAM, 0, 0);
}

void MainWindow::OnClose() {
  if (naming_) EndNaming(false);
  if (controller_->Close() == CloseResult::Close) DestroyWindow(hwnd_);
}

}  // namespace app
