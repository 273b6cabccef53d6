#include "app/win32/schedule_dlg.h"

// after windows.h
#include <commctrl.h>

#include "app/schedule_form.h"
#include "platform/codepage.h"
#include "platform/win32/local_time_zone.h"
#include "resources/app/resource.h"
#include "widgets/win32/dialog_text.h"

namespace app {

namespace {

using platform::FromSystemTime;
using platform::ToSystemTime;

// The weekday boxes by weekday number, 0 Sunday.
constexpr int kWeekdayBoxes[7] = {
    IDC_SCHEDULE_SUNDAY,   IDC_SCHEDULE_MONDAY, IDC_SCHEDULE_TUESDAY, IDC_SCHEDULE_WEDNESDAY,
    IDC_SCHEDULE_THURSDAY, IDC_SCHEDULE_FRIDAY, IDC_SCHEDULE_SATURDAY};
constexpr int kDayControls[] = {IDC_SCHEDULE_DAY, IDC_SCHEDULE_DAY_SPIN, IDC_SCHEDULE_DAY_LABEL};

struct ScheduleDialogData {
  ScheduleEntry* entry = nullptr;
  ScheduleForm form;
  int shrink = 0;        // pixels the dialog loses outside mode 2
  bool compact = false;  // the template's layout holds the weekday boxes
  bool filling = false;  // the dialog's own control updates are no operator changes
};

platform::LocalTime LocalNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return FromSystemTime(now);
}

RECT ChildRect(HWND dialog, int id) {
  RECT r;
  GetWindowRect(GetDlgItem(dialog, id), &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Outside mode 2 the rows of weekday boxes below the day-of-month line are left out.
void SetCompact(HWND dialog, ScheduleDialogData& d, bool compact) {
  if (compact == d.compact) return;
  const int dy = compact ? -d.shrink : d.shrink;
  for (int id : {IDOK, IDCANCEL}) {
    const RECT r = ChildRect(dialog, id);
    SetWindowPos(GetDlgItem(dialog, id), nullptr, r.left, r.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
  }
  RECT w;
  GetWindowRect(dialog, &w);
  SetWindowPos(dialog, nullptr, 0, 0, w.right - w.left, w.bottom - w.top + dy,
               SWP_NOMOVE | SWP_NOZORDER);
  d.compact = compact;
}

void ShowItem(HWND dialog, int id, bool shown) {
  ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

// The controls of the mode, the description and "Применить" from the form.
void ShowForm(HWND dialog, ScheduleDialogData& d) {
  const ScheduleForm& f = d.form;
  widgets::EnableItem(dialog, IDC_SCHEDULE_TIME_LABEL, f.TimeEnabled());
  widgets::EnableItem(dialog, IDC_SCHEDULE_TIME, f.TimeEnabled());
  for (int id : kWeekdayBoxes) ShowItem(dialog, id, f.WeekdaysShown());
  for (int id : kDayControls) ShowItem(dialog, id, f.DayShown());
  ShowItem(dialog, IDC_SCHEDULE_ONCE, f.OnceShown());
  SetCompact(dialog, d, !f.WeekdaysShown());
  widgets::SetItemText(dialog, IDC_SCHEDULE_DESCRIPTION, f.Description());
  widgets::EnableItem(dialog, IDOK, f.CanApply());
}

void ReadTime(HWND dialog, ScheduleForm& form) {
  SYSTEMTIME t{};
  if (SendDlgItemMessageW(dialog, IDC_SCHEDULE_TIME, DTM_GETSYSTEMTIME, 0,
                          reinterpret_cast<LPARAM>(&t)) == GDT_VALID) {
    form.SetTime(FromSystemTime(t));
  }
}

void FillControls(HWND dialog, ScheduleDialogData& d) {
  const ScheduleForm& f = d.form;
  for (const char* text : kScheduleModeTexts) {
    SendDlgItemMessageW(dialog, IDC_SCHEDULE_MODE, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(platform::Widen(text).c_str()));
  }
  SendDlgItemMessageW(dialog, IDC_SCHEDULE_MODE, CB_SETCURSEL, f.ModePosition(), 0);
  SendDlgItemMessageW(dialog, IDC_SCHEDULE_TIME, DTM_SETFORMATW, 0,
                      reinterpret_cast<LPARAM>(L"HH:mm"));
  const SYSTEMTIME time = ToSystemTime(f.Time());
  SendDlgItemMessageW(dialog, IDC_SCHEDULE_TIME, DTM_SETSYSTEMTIME, GDT_VALID,
                      reinterpret_cast<LPARAM>(&time));
  SendDlgItemMessageW(dialog, IDC_SCHEDULE_DAY_SPIN, UDM_SETRANGE32, kFirstDay, kLastDay);
  widgets::SetItemText(dialog, IDC_SCHEDULE_DAY, f.DayText());
  for (int day = 0; day < 7; ++day)
    widgets::SetItemChecked(dialog, kWeekdayBoxes[day], f.Weekday(day));
  widgets::SetItemChecked(dialog, IDC_SCHEDULE_ONCE, f.Once());
}

BOOL OnInit(HWND dialog, ScheduleDialogData* d) {
  SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(d));
  d->filling = true;
  FillControls(dialog, *d);
  d->shrink =
      ChildRect(dialog, IDC_SCHEDULE_SUNDAY).bottom - ChildRect(dialog, IDC_SCHEDULE_DAY).bottom;
  ShowForm(dialog, *d);
  d->filling = false;
  return TRUE;
}

// "Применить": the controls are read once more, the day checked where it is used.
void OnApply(HWND dialog, ScheduleDialogData& d) {
  ReadTime(dialog, d.form);
  d.form.SetDayText(widgets::GetItemText(dialog, IDC_SCHEDULE_DAY));
  if (!d.form.CanApply()) return;
  if (!d.form.DayValid()) {
    widgets::ShowMessageBox(dialog, kDayRangeMessage, MB_OK | MB_ICONEXCLAMATION);
    HWND edit = GetDlgItem(dialog, IDC_SCHEDULE_DAY);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return;
  }
  if (d.form.Apply(*d.entry)) EndDialog(dialog, IDOK);
}

void OnCommand(HWND dialog, ScheduleDialogData& d, int id, int code) {
  if (id == IDOK) return OnApply(dialog, d);
  if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return;
  }
  if (d.filling) return;
  if (id == IDC_SCHEDULE_MODE && code == CBN_SELCHANGE) {
    d.form.SelectMode(static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)));
  } else if (id == IDC_SCHEDULE_DAY && code == EN_CHANGE) {
    d.form.SetDayText(widgets::GetItemText(dialog, id));
  } else if (id == IDC_SCHEDULE_ONCE && code == BN_CLICKED) {
    d.form.SetOnce(widgets::IsItemChecked(dialog, id));
  } else {
    for (int day = 0; day < 7; ++day) {
      if (id == kWeekdayBoxes[day] && code == BN_CLICKED) {
        d.form.SetWeekday(day, widgets::IsItemChecked(dialog, id));
      }
    }
  }
  ShowForm(dialog, d);
}

INT_PTR CALLBACK ScheduleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG)
    return OnInit(dialog, reinterpret_cast<ScheduleDialogData*>(lParam));
  auto* d = reinterpret_cast<ScheduleDialogData*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  if (d == nullptr) return FALSE;
  if (message == WM_COMMAND) {
    OnCommand(dialog, *d, LOWORD(wParam), HIWORD(wParam));
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom != IDC_SCHEDULE_TIME || header->code != DTN_DATETIMECHANGE) return FALSE;
    if (!d->filling) {
      ReadTime(dialog, d->form);
      ShowForm(dialog, *d);
    }
    return TRUE;
  }
  return FALSE;
}

}  // namespace

bool ShowScheduleDialog(HWND parent, ScheduleEntry& entry) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_DATE_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  ScheduleDialogData data{&entry, ScheduleForm(entry, LocalNow())};
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SCHEDULE), parent,
                         ScheduleProc, reinterpret_cast<LPARAM>(&data)) == IDOK;
}

}  // namespace app
