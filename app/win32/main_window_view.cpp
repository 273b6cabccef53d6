// The main window as the controller's view: controls filled from the options and read
// back, the tree, messages and the running state.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "app/options_rules.h"
#include "app/win32/main_window.h"
#include "app/win32/query_dlg.h"
#include "platform/codepage.h"
#include "resources/app/resource.h"
#include "widgets/message_box_reporter.h"
#include "widgets/win32/dialog_text.h"

namespace app {

namespace {

constexpr int kAutoRunPromptSeconds = 60;

struct PictureButton {
  int id, icon;
  const char* tip;
};
constexpr PictureButton kPictureButtons[] = {
    {IDC_JOURNAL_OPEN, IDI_BUTTON_JOURNAL, "Открыть журнал событий"},
    {IDC_ARCHIVE_TOGGLE, IDI_BUTTON_FOLDER_DEFAULT, "Очистить или восстановить каталог архивов"},
    {IDC_ARCHIVE_CHOOSE, IDI_BUTTON_FOLDER, "Выбрать каталог архивов"},
    {IDC_ENTERPRISE_CHOOSE, IDI_BUTTON_PROGRAM, "Выбрать исполняемый файл \"1С:Предприятия\""},
    {IDC_NEW, IDI_BUTTON_NEW, "Новая настройка"},
    {IDC_OPEN, IDI_BUTTON_OPEN, "Загрузить настройку из файла"},
    {IDC_SAVE_AS, IDI_BUTTON_SAVE, "Записать настройку в другой файл"},
    {IDC_HELP_CONTENTS, IDI_BUTTON_HELP, "Справка"},
    {IDC_APPLY, IDI_BUTTON_APPLY, "Сохранить изменения"},
    {IDC_RUN, IDI_BUTTON_RUN, "Выполнить задания"},
    {IDCANCEL, IDI_BUTTON_CLOSE, "Закрыть программу или прервать выполнение"},
};

// A number field left empty or unreadable keeps its previous value.
template <typename Number>
void TakeNumber(HWND dialog, int id, Number& value, Number maximum) {
  const std::string text = widgets::GetItemText(dialog, id);
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return;
  const unsigned long n = std::stoul(text.substr(0, 9));
  value = static_cast<Number>(n > static_cast<unsigned long>(maximum) ? maximum : n);
}

}  // namespace

void MainWindow::OnInit() {
  SendMessageW(hwnd_, DM_SETDEFID, IDC_TREE, 0);  // Enter never presses a button
  HINSTANCE instance = GetModuleHandleW(nullptr);
  icon_ = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, 16, 16, LR_SHARED));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                                   32, 32, LR_SHARED)));
  SendDlgItemMessageW(hwnd_, IDC_TIMEOUT, EM_LIMITTEXT, 4, 0);
  SendDlgItemMessageW(hwnd_, IDC_TIMEOUT_SPIN, UDM_SETRANGE32, 0, 9999);
  SendDlgItemMessageW(hwnd_, IDC_COPY_COUNT, EM_LIMITTEXT, 1, 0);
  SendDlgItemMessageW(hwnd_, IDC_COPY_SPIN, UDM_SETRANGE32, 0, 9);
  treePane_->Attach(hwnd_, IDC_TREE, IDC_SELECTED_PATH);
  for (const PictureButton& b : kPictureButtons) pictures_.Set(hwnd_, b.id, b.icon);
  if (controller_->Open()) PostMessageW(hwnd_, WM_COMMAND, IDC_RUN, 0);
}

// What the operator needs only once the window is up and drawn: the buttons' tool tips
// and the system menu's entry.
void MainWindow::OnFirstIdle() {
  tips_.Create(hwnd_);
  for (const PictureButton& b : kPictureButtons) tips_.Add(b.id, b.tip);
  HMENU system = GetSystemMenu(hwnd_, FALSE);
  AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(
      system, MF_STRING, IDM_SYSTEM_ABOUT,
      platform::Widen(widgets::LoadString1251(GetModuleHandleW(nullptr), IDS_ABOUT_MENU)).c_str());
}

void MainWindow::ShowFields() {
  if (hwnd_ == nullptr) return;
  updating_ = true;
  const GeneralOptions& o = controller_->Config().options;
  const int focus = widgets::FocusedItemId(hwnd_);
  auto text = [&](int id, const std::string& value) {
    if (focus != id) widgets::SetItemText(hwnd_, id, value);  // never under the caret
  };
  widgets::SetItemChecked(hwnd_, IDC_JOURNAL, o.Journal != 0);
  widgets::SetItemChecked(hwnd_, IDC_CLEAR_JOURNAL, o.ClearJournal != 0);
  text(IDC_JOURNAL_NAME, o.JournalFileName);
  widgets::SetItemText(hwnd_, IDC_ARCHIVE_FOLDER, o.DestinationDirectory);
  widgets::SetItemText(hwnd_, IDC_ENTERPRISE_PATH, o.BinaryDirectory);
  widgets::SetItemChecked(hwnd_, IDC_QUIT_AFTER, o.QuitAfterSave != 0);
  widgets::SetItemChecked(hwnd_, IDC_SHUTDOWN_AFTER, o.ShutDownAfterSave != 0);
  if (!naming_) widgets::SetItemText(hwnd_, IDC_CONFIG_NAME, controller_->DisplayName());
  text(IDC_COPY_COUNT, std::to_string(o.CopyCount));
  CheckRadioButton(hwnd_, IDC_OVERWRITE, IDC_KEEP, o.SaveMode == 1 ? IDC_KEEP : IDC_OVERWRITE);
  text(IDC_TIMEOUT, std::to_string(o.TimeOut));
  widgets::SetItemChecked(hwnd_, IDC_TERMINATE, o.TerminateAfterTimeOut != 0);
  const PanelEnabling e = EnablingFor(o);
  for (int id : {IDC_CLEAR_JOURNAL, IDC_JOURNAL_NAME, IDC_JOURNAL_NAME_LABEL}) {
    widgets::EnableItem(hwnd_, id, e.journalDetails);
  }
  widgets::EnableItem(hwnd_, IDC_TERMINATE, e.terminateAfterTimeOut);
  widgets::EnableItem(hwnd_, IDC_QUIT_AFTER, e.quitAfterSave);
  pictures_.Set(
      hwnd_, IDC_ARCHIVE_TOGGLE,
      o.DestinationDirectory.empty() ? IDI_BUTTON_FOLDER_DEFAULT : IDI_BUTTON_FOLDER_CHOSEN);
  updating_ = false;
}

void MainWindow::TakeFields() {
  if (hwnd_ == nullptr || !OnWindowThread()) return;
  GeneralOptions& o = controller_->Config().options;
  o.Journal = widgets::IsItemChecked(hwnd_, IDC_JOURNAL);
  o.ClearJournal = widgets::IsItemChecked(hwnd_, IDC_CLEAR_JOURNAL);
  o.JournalFileName = widgets::GetItemText(hwnd_, IDC_JOURNAL_NAME);
  o.QuitAfterSave = widgets::IsItemChecked(hwnd_, IDC_QUIT_AFTER);
  o.ShutDownAfterSave = widgets::IsItemChecked(hwnd_, IDC_SHUTDOWN_AFTER);
  TakeNumber(hwnd_, IDC_COPY_COUNT, o.CopyCount, 9u);
  o.SaveMode = widgets::IsItemChecked(hwnd_, IDC_KEEP) ? 1 : 0;
  TakeNumber(hwnd_, IDC_TIMEOUT, o.TimeOut, 9999);
  o.TerminateAfterTimeOut = widgets::IsItemChecked(hwnd_, IDC_TERMINATE);
}

void MainWindow::ShowTree() {
  if (hwnd_ != nullptr) treePane_->Rebuild();
}

void MainWindow::ShowStatus(const std::string& text) {
  if (hwnd_ != nullptr) widgets::SetItemText(hwnd_, IDC_STATUS, text);
  tray_.SetTip(text.empty() ? std::string(kWindowTitle) : text);
}

void MainWindow::ShowMessage(const std::string& text) {
  if (params_.services.message) return params_.services.message(text);
  // Unattended, nobody may be there to close a message: it closes itself.
  if (params_.autoRun) {
    ShowQueryDlg(PromptOwner(), {text, kAutoRunPromptSeconds, 1, IDOK});
  } else {
    widgets::ShowMessageBox(PromptOwner(), text, MB_OK | MB_ICONEXCLAMATION);
  }
}

Answer MainWindow::Ask(const std::string& text) {
  if (params_.services.ask) return params_.services.ask(text);
  if (params_.autoRun) {
    // Unattended: leave things as they are unless someone cancels.
    const int r = ShowQueryDlg(PromptOwner(), {text, kAutoRunPromptSeconds, 1, IDOK});
    return r == IDOK ? Answer::No : Answer::Cancel;
  }
  switch (widgets::ShowMessageBox(PromptOwner(), text, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return Answer::Yes;
    case IDNO:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

void MainWindow::ReportFileError(const platform::FileError& error) {
  if (params_.services.message) return params_.services.message(error.message);
  if (params_.autoRun) {
    ShowQueryDlg(PromptOwner(), {error.message, kAutoRunPromptSeconds, 2, IDOK});
  } else {
    widgets::MessageBoxFileErrorReporter(PromptOwner())(error);
  }
}

bool MainWindow::ConfirmTask(const std::string& text) {
  if (params_.services.confirmTask) return params_.services.confirmTask(text);
  return ShowQueryDlg(PromptOwner(), {text, 10, 0, IDOK}) == IDOK;
}

void MainWindow::SendJobStarted(const InfobaseEntry& entry) {
  HWND window = hwnd_;
  if (window != nullptr && IsWindow(window)) {
    SendMessageW(window, WM_JOB_STARTED, 0, reinterpret_cast<LPARAM>(&entry));
  }
}

void MainWindow::SendRunFinished() {
  HWND window = hwnd_;
  if (window != nullptr && IsWindow(window)) SendMessageW(window, WM_RUN_FINISHED, 0, 0);
}

void MainWindow::EnterRunning() {
  tray_.Add(hwnd_, icon_, kWindowTitle);
  ShowWindow(hwnd_, SW_HIDE);
  widgets::SetItemText(hwnd_, IDCANCEL, "Прервать");
  widgets::EnableItem(hwnd_, IDC_RUN, false);
}

void MainWindow::LeaveRunning() {
  widgets::SetItemText(hwnd_, IDCANCEL, "Закрыть");
  widgets::EnableItem(hwnd_, IDC_RUN, true);
  tray_.Remove();
}

void MainWindow::ShowWindowAgain() {
  if (hwnd_ != nullptr && (!IsWindowVisible(hwnd_) || IsIconic(hwnd_))) {
    ShowWindow(hwnd_, SW_RESTORE);
  }
}

bool MainWindow::ShutDown() {
  if (params_.services.shutDown) return params_.services.shutDown();
  return ShutDownComputer();
}

}  // namespace app
