#include "launcher/win32/recent_runs_dialog.h"

#include <commctrl.h>

#include "platform/codepage.h"
#include "resources/launcher/resource.h"

namespace launcher {
namespace {

struct Column {
  const char* title;
  int width;  // dialog units
};
constexpr Column kColumns[] = {{"Настройка", 62},
                               {"Начало", 66},
                               {"Длительность", 68},
                               {"Результат", 116},
                               {"Базы с ошибками", 108}};

std::vector<std::string> Cells(const RecentRunRow& row) {
  return {row.configuration, row.start, row.duration, row.result, row.failed};
}

int DialogUnits(HWND dialog, int units) {
  RECT r{0, 0, units, 0};
  MapDialogRect(dialog, &r);
  return r.right;
}

void AddColumns(HWND dialog, HWND list) {
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    std::wstring title = platform::Widen(kColumns[i].title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = title.data();
    column.cx = DialogUnits(dialog, kColumns[i].width);
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void AddRow(HWND list, int index, const RecentRunRow& row) {
  const std::vector<std::string> cells = Cells(row);
  for (int i = 0; i < static_cast<int>(cells.size()); ++i) {
    std::wstring text = platform::Widen(cells[i]);
    LVITEMW item{};
    item.mask = LVIF_TEXT | (i == 0 ? LVIF_PARAM : 0);
    item.iItem = index;
    item.iSubItem = i;
    item.pszText = text.data();
    item.lParam = index;
    SendMessageW(list, i == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, i == 0 ? 0 : index,
                 reinterpret_cast<LPARAM>(&item));
  }
}

int SelectedRow(HWND dialog) {
  return static_cast<int>(SendDlgItemMessageW(dialog, IDC_RUNS_LIST, LVM_GETNEXTITEM,
                                              static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// "Открыть журнал" is enabled for a selected run that wrote one.
void UpdateJournalButton(HWND dialog, const RecentRunsDialogData& data) {
  const int row = SelectedRow(dialog);
  const bool has =
      row >= 0 && row < static_cast<int>(data.rows.size()) && !data.rows[row].journalPath.empty();
  EnableWindow(GetDlgItem(dialog, IDC_OPEN_JOURNAL), has);
}

void Fill(HWND dialog, RecentRunsDialogData& data) {
  SetWindowTextW(dialog, platform::Widen(kRecentRunsCaption).c_str());
  HWND list = GetDlgItem(dialog, IDC_RUNS_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  AddColumns(dialog, list);
  for (int i = 0; i < static_cast<int>(data.rows.size()); ++i) AddRow(list, i, data.rows[i]);
  if (!data.rows.empty()) {
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
  }
  UpdateJournalButton(dialog, data);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* data = reinterpret_cast<RecentRunsDialogData*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG:
      data = reinterpret_cast<RecentRunsDialogData*>(lParam);
      SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
      Fill(dialog, *data);
      if (data->shown) PostMessageW(dialog, WM_APP, 0, 0);  // once the dialog is up
      return TRUE;
    case WM_APP:
      if (data && data->shown) data->shown(dialog);
      return TRUE;
    case WM_NOTIFY:
      if (data && reinterpret_cast<NMHDR*>(lParam)->idFrom == IDC_RUNS_LIST &&
          reinterpret_cast<NMHDR*>(lParam)->code == LVN_ITEMCHANGED)
        UpdateJournalButton(dialog, *data);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_OPEN_JOURNAL && data) {
        const int row = SelectedRow(dialog);
        if (row >= 0 && row < static_cast<int>(data->rows.size()) && data->openJournal)
          data->openJournal(data->rows[row].journalPath);
      } else if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
        EndDialog(dialog, LOWORD(wParam));
      }
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowRecentRunsDialog(HINSTANCE module, HWND owner, RecentRunsDialogData& data) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_RECENT_RUNS), owner, DialogProc,
                  reinterpret_cast<LPARAM>(&data));
}

std::vector<std::string> RecentRunsRowTexts(HWND dialog, int row) {
  std::vector<std::string> texts;
  HWND list = GetDlgItem(dialog, IDC_RUNS_LIST);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    wchar_t buffer[512] = {};
    LVITEMW item{};
    item.iSubItem = i;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(std::size(buffer));
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    texts.push_back(platform::Narrow(buffer));
  }
  return texts;
}

}  // namespace launcher
