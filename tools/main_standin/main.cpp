// Stand-in for the main program "Zorvan.exe" in the launcher's tests (copied under that
// name beside "Zorvan launcher.exe"): records each start's whole command line as
// "main-callN.args" (Windows-1251) and its current folder as "main-callN.cwd" in its
// own folder, then ends.
#include <windows.h>

#include "platform/codepage.h"
#include "tools/shared/standin_io.h"

int main() {
  wchar_t self[MAX_PATH * 2] = {};
  const std::wstring exe(self, GetModuleFileNameW(nullptr, self, MAX_PATH * 2));
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  const int n = standin::RecordNextCall(folder, L"main-call", platform::Narrow(GetCommandLineW()));
  if (n == 0) return 2;
  const std::wstring cwd = folder + L"\\main-call" + std::to_wstring(n) + L".cwd";
  return standin::WriteWholeFile(cwd, platform::Narrow(standin::CurrentFolder())) ? 0 : 2;
}
