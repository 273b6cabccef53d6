// The yardstick of the start-up benchmark: a dialog program built as Zorvan.exe is
// (GUI subsystem, Unicode entry, static runtime, the same manifest) that shows one
// dialog with a few controls and ends when it is closed.
#include <windows.h>
// after windows.h
#include <commctrl.h>

namespace {

INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  if (message == WM_CLOSE) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(100), nullptr, Proc, 0));
}
