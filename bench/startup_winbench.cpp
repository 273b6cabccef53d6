// Start-up time of Zorvan.exe against a minimal dialog program built the same way: from
// process start to its first visible top-level window, then closed with WM_CLOSE.
//   startup_winbench.exe [rounds]
// Prints the median and the spread of each and the ratio of the medians.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/fs.h"

namespace {

std::wstring BinFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring self(path, n);
  return self.substr(0, self.rfind(L'\\') + 1);
}

HWND VisibleWindowOf(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found = nullptr;
  } s{pid};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == s->pid && IsWindowVisible(w)) s->found = w;
        return s->found == nullptr;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// Milliseconds until the window shows; -1 when it never did.
double TimeToWindow(const std::wstring& commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  const auto start = std::chrono::steady_clock::now();
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return -1;
  }
  HWND window = nullptr;
  while (window == nullptr && WaitForSingleObject(info.hProcess, 1) == WAIT_TIMEOUT) {
    window = VisibleWindowOf(info.dwProcessId);
  }
  const auto shown = std::chrono::steady_clock::now();
  if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
    TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  if (window == nullptr) return -1;
  return std::chrono::duration<double, std::milli>(shown - start).count();
}

void Report(const char* name, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("%-16s median %7.1f ms   min %7.1f ms   max %7.1f ms   (%zu rounds)\n", name,
              times[times.size() / 2], times.front(), times.back(), times.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const std::wstring bin = BinFolder();
  const std::string config = platform::fs::TempPath() + "zv_startup_bench.cfg";
  const std::wstring zorvan = L"\"" + bin + L"Zorvan.exe\" /@" + platform::Widen(config);
  const std::wstring minimal = L"\"" + bin + L"minimal_dialog.exe\"";
  TimeToWindow(zorvan);  // the first start fills the caches and creates the files
  TimeToWindow(minimal);
  std::vector<double> z, m;
  for (int i = 0; i < rounds; ++i) {
    z.push_back(TimeToWindow(zorvan));
    m.push_back(TimeToWindow(minimal));
  }
  platform::fs::RemoveFile(config);
  if (std::count(z.begin(), z.end(), -1.0) + std::count(m.begin(), m.end(), -1.0) > 0) {
    std::printf("a program did not show its window\n");
    return 1;
  }
  Report("Zorvan.exe", z);
  Report("minimal dialog", m);
  std::sort(z.begin(), z.end());
  std::sort(m.begin(), m.end());
  std::printf("ratio of medians %.2f\n", z[z.size() / 2] / m[m.size() / 2]);
  return 0;
}
