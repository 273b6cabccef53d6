// CMainDlg: the main window (dialog 102) over the MainController. A modeless dialog
// with a message loop of its own, so that keys are seen before the dialog handles them
// and the title and Apply follow the modified flag whenever the loop falls idle.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/main_controller.h"
#include "app/win32/system_actions.h"
#include "app/win32/tree_pane.h"
#include "app/win32/tray_icon.h"
#include "widgets/win32/handles.h"
#include "tree/user_list.h"
#include "widgets/win32/icon_button.h"

namespace app {

inline constexpr UINT WM_RUN_FINISHED = WM_USER + 101;
inline constexpr UINT WM_JOB_STARTED = WM_USER + 103;

enum class FileDialogKind { OpenConfig, SaveConfig, Enterprise };

// What the window asks the operator and the system; each empty function means the real
// thing (message boxes, file dialogs, the folder picker, shutdown). Tests fill them.
struct WindowServices {
  std::function<Answer(const std::string& text)> ask;
  std::function<void(const std::string& text)> message;
  std::function<bool(const std::string& text)> confirmTask;
  std::function<bool()> shutDown;
  std::function<bool(std::string& folder)> pickFolder;
  std::function<std::optional<std::string>(FileDialogKind, const std::string& initial)> chooseFile;
  TreePaneServices tree;  // pop-up menus of the infobase tree
};

struct MainWindowParams {
  platform::Registry* registry = nullptr;
  AppFolders folders;
  std::string configPath;
  bool autoRun = false;
  LauncherRegistration registerLauncher;  // empty: saves register nothing
  WindowServices services;
  UserListReader readUsers = ReadUserList;
};

class MainWindow : public MainView {
 public:
  explicit MainWindow(MainWindowParams params);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and loads the configuration; shown unless in AutoRun mode.
  bool Create();
  // Runs the message loop until the window is destroyed.
  void RunLoop();
  // Handles every queued message, then the idle update; for tests.
  void Pump();
  HWND Handle() const { return hwnd_; }
  MainController& Controller() { return *controller_; }
  const TrayIcon& Tray() const { return tray_; }
  TreePane& Tree() { return *treePane_; }

  // MainView.
  void ShowFields() override;
  void TakeFields() override;
  void ShowTree() override;
  void ShowStatus(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  Answer Ask(const std::string& text) override;
  void ReportFileError(const platform::FileError& error) override;
  bool ConfirmTask(const std::string& text) override;
  void SendJobStarted(const InfobaseEntry& entry) override;
  void SendRunFinished() override;
  void EnterRunning() override;
  void LeaveRunning() override;
  void ShowWindowAgain() override;
  void CloseWindow() override;
  bool ShutDown() override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInit();
  void OnFirstIdle();
  void OnCommand(int id, int code);
  bool OnOptionControl(int id, int code);
  void OnNotify(const NMHDR& header);
  void OnSysCommand(WPARAM command);
  void OnTrayNotify(LPARAM event);
  bool PreTranslate(MSG& msg);
  bool ProcessMessage(MSG& msg);
  void OnIdle();
  bool OnWindowThread() const;
  HWND PromptOwner() const;

  void BeginNaming();
  void EndNaming(bool accept);
  void OnClose();
  void OnOpen();
  void OnSaveAs();
  void OnChooseArchiveFolder();
  void OnChooseEnterprise();
  void OnAbout();
  std::optional<std::string> ChooseFile(FileDialogKind kind, const std::string& initial);

  MainWindowParams params_;
  std::unique_ptr<MainController> controller_;
  HWND hwnd_ = nullptr;
  DWORD windowThread_ = 0;
  HACCEL accelerators_ = nullptr;
  HICON icon_ = nullptr;
  UINT taskbarCreated_ = 0;
  bool updating_ = false;  // the window's own updates are no operator changes
  bool naming_ = false;
  bool idledOnce_ = false;
  TrayIcon tray_;
  HelpViewer help_;
  widgets::ButtonPictures pictures_;
  widgets::ButtonTips tips_;
  widgets::ModuleHandle commonDialogs_;
  std::unique_ptr<TreePane> treePane_;
};

}  // namespace app
