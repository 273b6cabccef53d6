#include "app/win32/query_dlg.h"

#include "app/query_layout.h"
#include "platform/codepage.h"
#include "resources/app/resource.h"
#include "widgets/win32/dialog_text.h"
#include "widgets/win32/handles.h"

namespace app {

namespace {

constexpr UINT_PTR kCountdownTimer = 1;
constexpr wchar_t kGuardMutex[] = L"AFX_QUERYDLG_H__CE85EC83_2991_44D6_B443_15B40BA59532__INCLUDED";

struct QueryState {
  const QueryRequest* request = nullptr;
  ULONGLONG startSecond = 0;
};

Box ChildBox(HWND dialog, int id) {
  RECT r;
  GetWindowRect(GetDlgItem(dialog, id), &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void MoveChild(HWND dialog, int id, const Box& b) {
  MoveWindow(GetDlgItem(dialog, id), b.x, b.y, b.w, b.h, FALSE);
}

// The message measured with word wrapping in the field's width, in the dialog's font.
SIZE MeasureMessage(HWND dialog, const std::wstring& text, int width) {
  HDC dc = GetDC(dialog);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  RECT r{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  return {r.right, r.bottom};
}

void LayOut(HWND dialog, const QueryRequest& request, const std::wstring& text) {
  RECT client;
  GetClientRect(dialog, &client);
  QueryGeometry g{client.right,
                  client.bottom,
                  ChildBox(dialog, IDC_QUERY_TEXT),
                  ChildBox(dialog, IDOK),
                  ChildBox(dialog, IDCANCEL),
                  ChildBox(dialog, IDC_QUERY_COUNTER)};
  const SIZE text_size = MeasureMessage(dialog, text, g.message.w);
  const QueryLayout l = LayOutQuery(g, text_size.cx, text_size.cy, request.iconKind);
  if (l.geometry == g) return;
  RECT window;
  GetWindowRect(dialog, &window);
  SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + l.geometry.width - g.width,
               window.bottom - window.top + l.geometry.height - g.height,
               SWP_NOMOVE | SWP_NOZORDER);
  MoveChild(dialog, IDC_QUERY_TEXT, l.geometry.message);
  MoveChild(dialog, IDOK, l.geometry.ok);
  MoveChild(dialog, IDCANCEL, l.geometry.cancel);
  MoveChild(dialog, IDC_QUERY_COUNTER, l.geometry.counter);
  if (l.hideCancelAndCounter) {
    ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_QUERY_COUNTER), SW_HIDE);
  }
}

int IconFor(int kind) {
  if (kind == 1) return IDI_QUERY_WARNING;
  if (kind == 2) return IDI_QUERY_ERROR;
  return IDI_QUERY_INFO;
}

void SetIcons(HWND dialog, int kind) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  auto icon = [&](int id, int size) {
    return reinterpret_cast<LPARAM>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED));
  };
  SendMessageW(dialog, WM_SETICON, ICON_BIG, icon(IDI_QUERY, 32));
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, icon(IDI_QUERY, 16));
  SendDlgItemMessageW(dialog, IDC_QUERY_ICON, STM_SETICON, icon(IconFor(kind), 32), 0);
}

void ShowRemaining(HWND dialog, const QueryState& state) {
  const auto elapsed = static_cast<int>(GetTickCount64() / 1000 - state.startSecond);
  const int seconds = state.request->seconds;
  if (elapsed >= seconds) {
    KillTimer(dialog, kCountdownTimer);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(state.request->defaultId, BN_CLICKED), 0);
    return;
  }
  widgets::SetItemText(dialog, IDC_QUERY_COUNTER, std::to_string(seconds - elapsed));
}

BOOL OnInit(HWND dialog, QueryState* state) {
  SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  const QueryRequest& r = *state->request;
  SetWindowTextW(
      dialog, platform::Widen(widgets::LoadString1251(GetModuleHandleW(nullptr), IDS_PROGRAM_TITLE))
                  .c_str());
  SetIcons(dialog, r.iconKind);
  const std::wstring text = platform::Widen(r.text);
  SetDlgItemTextW(dialog, IDC_QUERY_TEXT, text.c_str());
  LayOut(dialog, r, text);
  SendMessageW(dialog, DM_SETDEFID, r.defaultId, 0);
  SetFocus(GetDlgItem(dialog, r.defaultId));
  state->startSecond = GetTickCount64() / 1000;
  if (r.seconds > 0) {
    widgets::SetItemText(dialog, IDC_QUERY_COUNTER, std::to_string(r.seconds));
    SetTimer(dialog, kCountdownTimer, 1000, nullptr);
  }
  return FALSE;  // the focus is set
}

INT_PTR CALLBACK QueryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<QueryState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG:
      return OnInit(dialog, reinterpret_cast<QueryState*>(lParam));
    case WM_TIMER:
      if (wParam == kCountdownTimer && state != nullptr) ShowRemaining(dialog, *state);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_QUERY_COUNTER) return FALSE;
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_GRAYTEXT));
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        KillTimer(dialog, kCountdownTimer);
        EndDialog(dialog, LOWORD(wParam));
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int ShowQueryDlg(HWND parent, const QueryRequest& request) {
  QueryState state{&request, 0};
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_QUERY),
                                         parent, QueryProc, reinterpret_cast<LPARAM>(&state));
  return result == IDOK ? IDOK : IDCANCEL;
}

int ShowGuardedQueryDlg(HWND parent, const QueryRequest& request) {
  widgets::KernelHandle guard(CreateMutexW(nullptr, FALSE, kGuardMutex));
  if (GetLastError() == ERROR_ALREADY_EXISTS) return IDCANCEL;
  return ShowQueryDlg(parent, request);
}

}  // namespace app
