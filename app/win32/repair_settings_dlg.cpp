#include "app/win32/repair_settings_dlg.h"

#include "app/repair_settings_form.h"
#include "resources/app/resource.h"
#include "widgets/win32/dialog_text.h"

namespace app {

namespace {

// The radios of each mode, in the order of their values.
struct RadioGroup {
  int32_t RepairModes::*mode;
  std::initializer_list<int> ids;
};
const RadioGroup kGroups[] = {
    {&RepairModes::check, {IDC_REPAIR_TEST_AND_REPAIR, IDC_REPAIR_TEST_ONLY}},
    {&RepairModes::links, {IDC_REPAIR_LINKS_CREATE, IDC_REPAIR_LINKS_CLEAR, IDC_REPAIR_LINKS_KEEP}},
    {&RepairModes::objects, {IDC_REPAIR_OBJECTS_CREATE, IDC_REPAIR_OBJECTS_DELETE}},
};

struct RepairDialog {
  InfobaseEntry* entry;
  RepairSettingsForm form;
};

void Show(HWND dialog, RepairSettingsForm& form) {
  for (const RadioGroup& g : kGroups) {
    int32_t value = 0;
    for (int id : g.ids) {
      widgets::SetItemChecked(dialog, id, form.Modes().*g.mode == value++);
      if (g.mode != &RepairModes::check)
        widgets::EnableItem(dialog, id, form.RepairRadiosEnabled());
    }
  }
  widgets::EnableItem(dialog, IDOK, form.ApplyEnabled());
}

void Take(HWND dialog, RepairSettingsForm& form) {
  for (const RadioGroup& g : kGroups) {
    int32_t value = 0;
    for (int id : g.ids) {
      if (widgets::IsItemChecked(dialog, id)) form.Modes().*g.mode = value;
      ++value;
    }
  }
}

INT_PTR CALLBACK RepairProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    Show(dialog, reinterpret_cast<RepairDialog*>(lParam)->form);
    return TRUE;
  }
  auto* d = reinterpret_cast<RepairDialog*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  if (message != WM_COMMAND || d == nullptr) return FALSE;
  const int id = LOWORD(wParam);
  if (id == IDOK && d->form.ApplyEnabled()) {
    d->form.Apply(*d->entry);
    EndDialog(dialog, IDOK);
  } else if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  } else if (HIWORD(wParam) == BN_CLICKED && id != IDOK) {
    Take(dialog, d->form);
    Show(dialog, d->form);
  }
  return TRUE;
}

}  // namespace

bool ShowRepairSettingsDialog(HWND parent, InfobaseEntry& entry) {
  RepairDialog d{&entry, RepairSettingsForm(entry)};
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_REPAIR_SETTINGS), parent,
                         RepairProc, reinterpret_cast<LPARAM>(&d)) == IDOK;
}

}  // namespace app
