// The main window's commands: buttons, menu, option controls, the tree and the naming
// of a new configuration.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <commdlg.h>

#include <vector>

#include "app/options_rules.h"
#include "app/start_rules.h"
#include "app/win32/about_box.h"
#include "app/win32/main_window.h"
#include "platform/codepage.h"
#include "resources/app/resource.h"
#include "widgets/win32/dialog_text.h"
#include "widgets/win32/folder_picker.h"

namespace app {

namespace {

// A filter with "|" separators as the system wants it: "\0" separators, "\0\0" at the end.
std::wstring DialogFilter(const std::string& filter) {
  std::wstring wide = platform::Widen(filter);
  for (wchar_t& c : wide) {
    if (c == L'|') c = L'\0';
  }
  return wide + L'\0';
}

std::string ConfigFilter() {
  return std::string("Файлы настройки (*") + kConfigExtension + ")|*" + kConfigExtension +
         "|Все файлы |*.*|";
}

}  // namespace

void MainWindow::OnCommand(int id, int code) {
  if (OnOptionControl(id, code)) return;
  if (id == IDC_CONFIG_NAME && code == EN_KILLFOCUS && naming_) return EndNaming(true);
  if (code != BN_CLICKED && code != 1 /* accelerator */) return;
  switch (id) {
    case IDC_NEW:
      return BeginNaming();
    case IDC_OPEN:
      return OnOpen();
    case IDC_SAVE_AS:
      return OnSaveAs();
    case IDC_APPLY:
      controller_->Save();
      return;
    case IDC_RUN:
      controller_->Run();
      return;
    case IDCANCEL:
      return OnClose();
    case IDC_HELP_CONTENTS:
      return help_.Show(controller_->Folders().programFolder);
    case ID_APP_ABOUT:
      return OnAbout();
    case IDC_ARCHIVE_CHOOSE:
      return OnChooseArchiveFolder();
    case IDC_ARCHIVE_TOGGLE:
      controller_->ToggleArchiveFolder();
      return;
    case IDC_ENTERPRISE_CHOOSE:
      return OnChooseEnterprise();
    case IDC_JOURNAL_OPEN:
      TakeFields();
      OpenWithShell(hwnd_, controller_->JournalPath());
      return;
    default:
      return;
  }
}

// Check boxes, radio buttons and the three typed fields: every change the operator
// makes marks the configuration modified and applies the dependent enabling.
bool MainWindow::OnOptionControl(int id, int code) {
  static constexpr int kClicked[] = {
      IDC_TERMINATE, IDC_CLEAR_JOURNAL, IDC_QUIT_AFTER, IDC_SHUTDOWN_AFTER,
      IDC_JOURNAL,   IDC_OVERWRITE,     IDC_KEEP};
  static constexpr int kTyped[] = {IDC_TIMEOUT, IDC_JOURNAL_NAME, IDC_COPY_COUNT};
  bool option = false;
  for (int c : kClicked) option = option || (id == c && code == BN_CLICKED);
  for (int t : kTyped) option = option || (id == t && code == EN_CHANGE);
  if (!option) return false;
  if (!updating_) {
    TakeFields();
    controller_->OptionsChanged();
  }
  return true;
}

void MainWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom != IDC_TREE) return;
  HWND tree = header.hwndFrom;
  if (header.code == TVN_SELCHANGEDW) {
    const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
    widgets::SetItemText(
        hwnd_, IDC_SELECTED_PATH,
        controller_->SelectedInfobasePath(static_cast<ItemHandle>(change.itemNew.lParam)));
  } else if (header.code == NM_CLICK) {
    TVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(tree, &hit.pt);
    TreeView_HitTest(tree, &hit);
    if (hit.flags & TVHT_ONITEMSTATEICON) ToggleTreeMark(hit.hItem);
  } else if (header.code == TVN_KEYDOWN &&
             reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey == VK_SPACE) {
    ToggleTreeMark(TreeView_GetSelection(tree));
  } else if (header.code == NM_SETFOCUS) {
    TakeFields();
  }
}

void MainWindow::BeginNaming() {
  if (naming_) return;
  TakeFields();
  if (!controller_->NewConfiguration()) return;
  naming_ = true;
  HWND name = GetDlgItem(hwnd_, IDC_CONFIG_NAME);
  widgets::SetWindowText1251(name, "new.cfg");
  SendMessageW(name, EM_SETREADONLY, FALSE, 0);
  SetFocus(name);
  SendMessageW(name, EM_SETSEL, 0, -1);
}

void MainWindow::EndNaming(bool accept) {
  if (!naming_) return;
  naming_ = false;
  HWND name = GetDlgItem(hwnd_, IDC_CONFIG_NAME);
  SendMessageW(name, EM_SETREADONLY, TRUE, 0);
  controller_->EndNaming(widgets::GetWindowText1251(name), accept);
  if (!accept) SetFocus(GetDlgItem(hwnd_, IDC_NEW));
}

void MainWindow::OnOpen() {
  TakeFields();
  if (auto path = ChooseFile(FileDialogKind::OpenConfig, controller_->DisplayName())) {
    controller_->OpenFile(*path);
  }
}

void MainWindow::OnSaveAs() {
  TakeFields();
  if (auto path = ChooseFile(FileDialogKind::SaveConfig, controller_->DisplayName())) {
    controller_->SaveAs(*path);
  }
}

void MainWindow::OnChooseArchiveFolder() {
  TakeFields();
  std::string folder = controller_->Config().options.DestinationDirectory;
  const bool chosen = params_.services.pickFolder ? params_.services.pickFolder(folder)
                                                  : widgets::ShowFolderPicker(hwnd_, folder);
  if (chosen) controller_->SetArchiveFolder(NormalizeFolder(folder));
}

// The installations 1C:Enterprise registered for the machine, then "Обзор...".
void MainWindow::OnChooseEnterprise() {
  TakeFields();
  const auto installations = controller_->EnterpriseInstallations();
  const std::string current = controller_->Config().options.BinaryDirectory;
  bool browse = installations.empty();
  if (!browse) {
    widgets::MenuHandle menu(CreatePopupMenu());
    for (size_t i = 0; i < installations.size(); ++i) {
      AppendMenuW(menu.Get(), MF_STRING, i + 1, platform::Widen(installations[i].first).c_str());
      if (EqualsNoCase1251(installations[i].second, current)) {
        SetMenuDefaultItem(menu.Get(), static_cast<UINT>(i + 1), FALSE);
      }
    }
    AppendMenuW(menu.Get(), MF_STRING, installations.size() + 1, L"Обзор...");
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(hwnd_);
    const UINT chosen = TrackPopupMenu(menu.Get(), TPM_RIGHTALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                       at.x, at.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (chosen == 0) return;
    if (chosen <= installations.size()) {
      return controller_->SetEnterprisePath(installations[chosen - 1].second);
    }
    browse = true;
  }
  if (auto path = ChooseFile(FileDialogKind::Enterprise, current)) {
    controller_->SetEnterprisePath(*path);
  }
}

void MainWindow::OnAbout() { ShowAboutBox(hwnd_); }

std::optional<std::string> MainWindow::ChooseFile(FileDialogKind kind, const std::string& initial) {
  if (params_.services.chooseFile) return params_.services.chooseFile(kind, initial);
  const bool enterprise = kind == FileDialogKind::Enterprise;
  const std::wstring filter =
      DialogFilter(enterprise ? "Файлы запуска 1С Предприятия (*.exe)|*.exe|" : ConfigFilter());
  const std::wstring title = platform::Widen(
      enterprise ? "Выберите исполняемый файл \"1С Предприятия\"." : "Выберите файл настройки");
  const std::wstring folder = platform::Widen(controller_->Folders().dataFolder);
  std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
  platform::Widen(initial).copy(file.data(), file.size() - 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = hwnd_;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = enterprise ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                 (kind == FileDialogKind::SaveConfig ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  // The common dialogs are loaded at their first use: start-up does not pay for them.
  if (!commonDialogs_) commonDialogs_ = widgets::ModuleHandle(LoadLibraryW(L"comdlg32.dll"));
  using FileDialogFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto show =
      commonDialogs_
          ? reinterpret_cast<FileDialogFn>(GetProcAddress(
                commonDialogs_.Get(),
                kind == FileDialogKind::SaveConfig ? "GetSaveFileNameW" : "GetOpenFileNameW"))
          : nullptr;
  const BOOL ok = show != nullptr && show(&dialog);
  if (!ok) return std::nullopt;
  return platform::Narrow(file.data());
}

}  // namespace app
