#include "app/win32/task_dlg.h"

// after windows.h
#include "app/task_form.h"
#include "app/win32/program_file_dialog.h"
#include "platform/codepage.h"
#include "resources/app/resource.h"
#include "widgets/win32/dialog_text.h"
#include "widgets/win32/handles.h"
#include "widgets/win32/icon_button.h"

namespace app {

namespace {

constexpr char kChooserTitle[] = "Выберите исполняемый файл";

struct TaskDialogData {
  AdditionalTasks* tasks = nullptr;
  TaskForm form;
  ProgramChooser choose;
  widgets::ButtonPictures pictures;
  widgets::ButtonTips tips;
  bool filling = false;  // the dialog's own control updates are no operator changes
};

BOOL OnInit(HWND dialog, TaskDialogData* d) {
  SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(d));
  d->filling = true;
  widgets::SetItemText(dialog, IDC_TASK_HEADING, d->form.Heading());
  widgets::SetItemText(dialog, IDC_TASK_PROGRAM, d->form.Program());
  widgets::SetItemText(dialog, IDC_TASK_COMMAND_LINE, d->form.CommandLine());
  d->pictures.Set(dialog, IDC_TASK_CHOOSE, IDI_BUTTON_PROGRAM);
  d->tips.Create(dialog);
  d->tips.Add(IDC_TASK_CHOOSE, "Выбрать приложение");
  widgets::EnableItem(dialog, IDOK, false);
  d->filling = false;
  return TRUE;
}

void OnChoose(HWND dialog, TaskDialogData& d) {
  const std::optional<std::string> chosen =
      d.choose ? d.choose(dialog, d.form.ChooserStart())
               : ChooseProgramFile(dialog, kChooserTitle, d.form.ChooserStart());
  if (!chosen) return;
  d.form.ChooseProgram(*chosen);
  widgets::SetItemText(dialog, IDC_TASK_PROGRAM, d.form.Program());
}

void OnCommand(HWND dialog, TaskDialogData& d, int id, int code) {
  switch (id) {
    case IDOK:
      if (!d.form.Changed()) return;
      d.form.Apply(*d.tasks);
      EndDialog(dialog, IDOK);
      return;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return;
    case IDC_TASK_CHOOSE:
      return OnChoose(dialog, d);
    case IDC_TASK_PROGRAM:
    case IDC_TASK_COMMAND_LINE:
      if (code != EN_CHANGE || d.filling) return;
      if (id == IDC_TASK_PROGRAM) d.form.SetProgram(widgets::GetItemText(dialog, id));
      if (id == IDC_TASK_COMMAND_LINE) d.form.SetCommandLine(widgets::GetItemText(dialog, id));
      widgets::EnableItem(dialog, IDOK, d.form.Changed());
      return;
    default:
      return;
  }
}

INT_PTR CALLBACK TaskProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInit(dialog, reinterpret_cast<TaskDialogData*>(lParam));
  auto* d = reinterpret_cast<TaskDialogData*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  if (d == nullptr) return FALSE;
  if (message == WM_NOTIFY) return d->pictures.OnNotify(dialog, *reinterpret_cast<NMHDR*>(lParam));
  if (message != WM_COMMAND) return FALSE;
  OnCommand(dialog, *d, LOWORD(wParam), HIWORD(wParam));
  return TRUE;
}

}  // namespace

bool ShowAdditionalTaskDialog(HWND parent, bool after, AdditionalTasks& tasks,
                              ProgramChooser choose) {
  TaskDialogData data{&tasks, TaskForm(after, tasks), std::move(choose)};
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TASK), parent, TaskProc,
                         reinterpret_cast<LPARAM>(&data)) == IDOK;
}

}  // namespace app
