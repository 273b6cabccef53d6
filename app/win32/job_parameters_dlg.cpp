// The job parameters dialog: copies between its controls and the JobParametersForm,
// which holds every rule, and opens the pickers and the smaller dialogs it needs.
#include "app/win32/job_parameters_dlg.h"

#include "app/job_file_list.h"
#include "app/job_parameters_form.h"
#include "app/program_choice.h"
#include "app/win32/input_line_dlg.h"
#include "app/win32/program_file_dialog.h"
#include "app/win32/repair_settings_dlg.h"
#include "platform/codepage.h"
#include "resources/app/resource.h"
#include "store/text_helpers.h"
#include "widgets/win32/dialog_text.h"
#include "widgets/win32/folder_picker.h"
#include "widgets/win32/icon_button.h"

namespace app {

namespace {

// The tables keep related controls on one line.
// clang-format off
struct TextControl {
  int id;
  std::string JobFields::*field;
};
constexpr TextControl kTexts[] = {
    {IDC_JOB_TITLE, &JobFields::title},          {IDC_JOB_PATH, &JobFields::path},
    {IDC_JOB_ARCHIVE_NAME, &JobFields::archiveName}, {IDC_JOB_PSWD_ZIP, &JobFields::pswdZip},
    {IDC_JOB_DUPLICATE, &JobFields::duplicateFolder}, {IDC_JOB_ARCHIVER, &JobFields::archiver},
    {IDC_JOB_EXTENSION, &JobFields::extension},  {IDC_JOB_PARAMETERS, &JobFields::parameters},
    {IDC_JOB_READ, &JobFields::readFrom},        {IDC_JOB_WRITE, &JobFields::writeTo},
    {IDC_JOB_RECEIVE, &JobFields::receiveFrom},  {IDC_JOB_SEND, &JobFields::sendTo},
};

struct CheckControl {
  int id;
  bool JobFields::*field;
};
constexpr CheckControl kChecks[] = {
    {IDC_JOB_SAVE, &JobFields::saveData},          {IDC_JOB_UNLOAD, &JobFields::unloadData},
    {IDC_JOB_USER_DEF, &JobFields::includeUserDef}, {IDC_JOB_PHYSICAL, &JobFields::physical},
    {IDC_JOB_REINDEX, &JobFields::reindex},        {IDC_JOB_LOGICAL, &JobFields::logical},
    {IDC_JOB_SECONDARIES, &JobFields::recalcSecondaries},
    {IDC_JOB_TOTALS, &JobFields::recalcTotals},    {IDC_JOB_PACK, &JobFields::pack},
    {IDC_JOB_USE_ARCHIVER, &JobFields::useArchiver}, {IDC_JOB_EXCHANGE, &JobFields::autoExchange},
    {IDC_JOB_EMAIL, &JobFields::sendByEmail},
};

// The control of each JobControl, in its order.
constexpr int kControlIds[] = {
    IDC_JOB_TITLE, IDC_JOB_PATH, IDC_JOB_PATH_CHOOSE,
    IDC_JOB_SAVE, IDC_JOB_UNLOAD, IDC_JOB_USER_DEF, IDC_JOB_PSWD_ZIP,
    IDC_JOB_ARCHIVE_NAME, IDC_JOB_ARCHIVE_NAME_LABEL,
    IDC_JOB_DUPLICATE_LABEL, IDC_JOB_DUPLICATE_TOGGLE, IDC_JOB_DUPLICATE_CHOOSE,
    IDC_JOB_PHYSICAL, IDC_JOB_REINDEX, IDC_JOB_LOGICAL, IDC_JOB_SECONDARIES, IDC_JOB_TOTALS,
    IDC_JOB_PACK, IDC_JOB_REPAIR_SETTINGS,
    IDC_JOB_USE_ARCHIVER, IDC_JOB_ARCHIVER_LABEL, IDC_JOB_ARCHIVER, IDC_JOB_ARCHIVER_CHOOSE,
    IDC_JOB_EXTENSION_LABEL, IDC_JOB_EXTENSION,
    IDC_JOB_PARAMETERS_LABEL, IDC_JOB_PARAMETERS, IDC_JOB_FILE_LIST_LABEL, IDC_JOB_FILE_LIST,
    IDC_JOB_FILE_ADD, IDC_JOB_FILE_EDIT, IDC_JOB_FILE_DELETE,
    IDC_JOB_EXCHANGE, IDC_JOB_EXCHANGE_GROUP, IDC_JOB_READ_LABEL, IDC_JOB_READ,
    IDC_JOB_WRITE_LABEL, IDC_JOB_WRITE,
    IDC_JOB_EMAIL, IDC_JOB_EMAIL_GROUP, IDC_JOB_RECEIVE_LABEL, IDC_JOB_RECEIVE,
    IDC_JOB_SEND_LABEL, IDC_JOB_SEND,
    IDOK,
};
// clang-format on
static_assert(std::size(kControlIds) == static_cast<size_t>(JobControl::Count));

constexpr char kFileMaskTitle[] = "Введите имя файла или маску";

class JobDialog {
 public:
  JobDialog(InfobaseEntry& entry, const JobDialogServices& services)
      : entry_(entry),
        services_(services),
        form_(entry, ReadDefaultFileList(services.enterprisePath)) {}

  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void OnInit(HWND dialog);
  void OnCommand(int id, int code);
  bool OnButton(int id);
  void Take();
  void Show();
  void ShowList();
  void Refresh();
  void EditLine(bool add);
  void ChoosePath();
  void ChooseDuplicateFolder();
  void ChooseArchiver();
  bool PickFolder(std::string& folder);

  InfobaseEntry& entry_;
  const JobDialogServices& services_;
  JobParametersForm form_;
  JobState state_;
  HWND dialog_ = nullptr;
  bool updating_ = false;  // the dialog's own changes are no operator input
  widgets::ButtonPictures pictures_;
  widgets::ButtonTips tips_;
};

INT_PTR CALLBACK JobDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    reinterpret_cast<JobDialog*>(lParam)->OnInit(dialog);
    return TRUE;
  }
  auto* self = reinterpret_cast<JobDialog*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  if (self == nullptr) return FALSE;
  if (message == WM_COMMAND) {
    self->OnCommand(LOWORD(wParam), HIWORD(wParam));
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    return self->pictures_.OnNotify(dialog, *reinterpret_cast<const NMHDR*>(lParam));
  }
  // The Delete key in the file list removes the selected line.
  if (message == WM_VKEYTOITEM && LOWORD(wParam) == VK_DELETE &&
      self->state_.Enabled(JobControl::FileDelete)) {
    self->form_.DeleteSelectedFile();
    self->ShowList();
    self->Refresh();
    return -2;
  }
  return message == WM_VKEYTOITEM ? -1 : FALSE;
}

void JobDialog::OnInit(HWND dialog) {
  dialog_ = dialog;
  struct Button {
    int id, icon;
    const char* tip;
  } buttons[] = {
      {IDC_JOB_PATH_CHOOSE, IDI_BUTTON_FOLDER, "Выбрать папку информационной базы"},
      {IDC_JOB_DUPLICATE_TOGGLE, IDI_BUTTON_FOLDER_DEFAULT, "Очистить или восстановить папку"},
      {IDC_JOB_DUPLICATE_CHOOSE, IDI_BUTTON_FOLDER, "Выбрать папку для копий архивов"},
      {IDC_JOB_ARCHIVER_CHOOSE, IDI_BUTTON_PROGRAM, "Выбрать исполняемый файл архиватора"},
  };
  tips_.Create(dialog);
  for (const Button& b : buttons) {
    pictures_.Set(dialog, b.id, b.icon);
    tips_.Add(b.id, b.tip);
  }
  tips_.Add(IDC_JOB_FILE_ADD, "Добавить файл или маску");
  tips_.Add(IDC_JOB_REPAIR_SETTINGS, "Настройка исправления информационной базы");
  ShowList();
  Refresh();
}

void JobDialog::Take() {
  JobFields& f = form_.Fields();
  for (const TextControl& t : kTexts) f.*t.field = widgets::GetItemText(dialog_, t.id);
  for (const CheckControl& c : kChecks) f.*c.field = widgets::IsItemChecked(dialog_, c.id);
  f.selected =
      static_cast<int>(SendDlgItemMessageW(dialog_, IDC_JOB_FILE_LIST, LB_GETCURSEL, 0, 0));
}

void JobDialog::Show() {
  updating_ = true;
  const JobFields& f = form_.Fields();
  for (const TextControl& t : kTexts) widgets::SetItemText(dialog_, t.id, f.*t.field);
  for (const CheckControl& c : kChecks) widgets::SetItemChecked(dialog_, c.id, f.*c.field);
  pictures_.Set(dialog_, IDC_JOB_DUPLICATE_TOGGLE,
                f.duplicateFolder.empty() ? IDI_BUTTON_FOLDER_DEFAULT : IDI_BUTTON_FOLDER_CHOSEN);
  updating_ = false;
}

void JobDialog::ShowList() {
  HWND list = GetDlgItem(dialog_, IDC_JOB_FILE_LIST);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : form_.Fields().fileList) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(line).c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, form_.Fields().selected, 0);
}

// The rules after every change: boxes they switch off, the enabling, "Применить".
void JobDialog::Refresh() {
  state_ = form_.Update();
  Show();
  for (size_t i = 0; i < std::size(kControlIds); ++i) {
    widgets::EnableItem(dialog_, kControlIds[i], state_.enabled[i]);
  }
}

void JobDialog::OnCommand(int id, int code) {
  if (updating_) return;
  if (code == EN_CHANGE) {
    Take();
    return Refresh();
  }
  if (id == IDC_JOB_ARCHIVE_NAME && code == EN_KILLFOCUS) {
    form_.ArchiveNameLeft();
    return Refresh();
  }
  if (id == IDC_JOB_FILE_LIST) {
    if (code == LBN_SELCHANGE) Take();
    if (code == LBN_DBLCLK && state_.Enabled(JobControl::FileEdit)) EditLine(false);
    return Refresh();
  }
  if (code != BN_CLICKED || OnButton(id)) return;
  Take();
  if (id == IDC_JOB_EXCHANGE) form_.AutoExchangeClicked();
  if (id == IDC_JOB_EMAIL) form_.SendByEmailClicked();
  Refresh();
}

// The push buttons; false for a check box.
bool JobDialog::OnButton(int id) {
  switch (id) {
    case IDOK:
      if (!state_.Enabled(JobControl::Apply)) return true;  // Enter while it is disabled
      Take();
      if (!form_.Update().Enabled(JobControl::Apply)) return true;
      entry_ = form_.Apply();
      EndDialog(dialog_, IDOK);
      return true;
    case IDCANCEL:
      EndDialog(dialog_, IDCANCEL);
      return true;
    case IDC_JOB_DUPLICATE_TOGGLE:
      form_.ToggleDuplicateFolder();
      break;
    case IDC_JOB_DUPLICATE_CHOOSE:
      ChooseDuplicateFolder();
      break;
    case IDC_JOB_PATH_CHOOSE:
      ChoosePath();
      break;
    case IDC_JOB_ARCHIVER_CHOOSE:
      ChooseArchiver();
      break;
    case IDC_JOB_FILE_ADD:
    case IDC_JOB_FILE_EDIT:
      EditLine(id == IDC_JOB_FILE_ADD);
      break;
    case IDC_JOB_FILE_DELETE:
      form_.DeleteSelectedFile();
      ShowList();
      break;
    case IDC_JOB_REPAIR_SETTINGS:
      if (ShowRepairSettingsDialog(dialog_, form_.Entry())) form_.RepairSettingsConfirmed();
      break;
    default:
      return false;
  }
  Refresh();
  return true;
}

void JobDialog::EditLine(bool add) {
  Take();
  const JobFields& f = form_.Fields();
  std::string line = add ? "*.*" : f.fileList.at(static_cast<size_t>(f.selected));
  if (!ShowInputLineDialog(dialog_, line, kFileMaskTitle)) return;
  add ? form_.AddFile(line) : form_.ReplaceSelectedFile(line);
  ShowList();
}

bool JobDialog::PickFolder(std::string& folder) {
  return services_.pickFolder ? services_.pickFolder(folder)
                              : widgets::ShowFolderPicker(dialog_, folder);
}

void JobDialog::ChoosePath() {
  Take();
  std::string folder = form_.Fields().path;
  const bool chosen = PickFolder(folder);
  form_.PathChosen(folder, chosen);
}

void JobDialog::ChooseDuplicateFolder() {
  Take();
  std::string folder = form_.Fields().duplicateFolder;
  if (PickFolder(folder)) form_.Fields().duplicateFolder = folder;
}

void JobDialog::ChooseArchiver() {
  Take();
  const std::string initial = GetProgramFromCommandLine(form_.Fields().archiver);
  const std::optional<std::string> program =
      services_.chooseArchiver
          ? services_.chooseArchiver(initial)
          : ChooseProgramFile(dialog_, "Выберите исполняемый файл архиватора.", initial);
  if (program) form_.ArchiverChosen(*program);
}

}  // namespace

bool ShowJobParametersDialog(HWND parent, InfobaseEntry& entry, const JobDialogServices& services) {
  JobDialog dialog(entry, services);
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_JOB_PARAMETERS), parent,
                         JobDialog::Proc, reinterpret_cast<LPARAM>(&dialog)) == IDOK;
}

}  // namespace app
