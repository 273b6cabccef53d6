#include "app/win32/input_line_dlg.h"

#include "resources/app/resource.h"
#include "widgets/win32/dialog_text.h"

namespace app {

namespace {

struct InputLine {
  std::string* text;
  const std::string* title;
};

INT_PTR CALLBACK InputLineProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    const auto& input = *reinterpret_cast<InputLine*>(lParam);
    const std::string title =
        input.title->empty() ? widgets::LoadString1251(GetModuleHandleW(nullptr), IDS_PROGRAM_TITLE)
                             : *input.title;
    widgets::SetWindowText1251(dialog, title);
    widgets::SetItemText(dialog, IDC_INPUT_LINE_TEXT, *input.text);
    HWND edit = GetDlgItem(dialog, IDC_INPUT_LINE_TEXT);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return FALSE;  // the focus is set
  }
  if (message != WM_COMMAND) return FALSE;
  const int id = LOWORD(wParam);
  if (id == IDOK) {
    auto& input = *reinterpret_cast<InputLine*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    *input.text = widgets::GetItemText(dialog, IDC_INPUT_LINE_TEXT);
  }
  if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
  return TRUE;
}

}  // namespace

bool ShowInputLineDialog(HWND parent, std::string& text, const std::string& title) {
  InputLine input{&text, &title};
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUT_LINE), parent,
                         InputLineProc, reinterpret_cast<LPARAM>(&input)) == IDOK;
}

}  // namespace app
