// Programs the Windows tests start, and waiting for them or for what they do.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/codepage.h"
#include "platform/win32/handles.h"

namespace testsupport {

// Polls cond every 50 ms for up to timeoutMs: a bound on waiting, not a speed check.
template <typename Cond>
bool Eventually(Cond cond, int timeoutMs = 60000) {
  for (int waited = 0; waited < timeoutMs; waited += 50, Sleep(50))
    if (cond()) return true;
  return cond();
}

// A visible top-level window of process pid with this class and title (nullptr: any),
// waited for; matching the process keeps parallel tests from finding each other's windows.
inline HWND WindowOf(DWORD pid, const wchar_t* windowClass, const wchar_t* title = nullptr) {
  HWND found = nullptr;
  Eventually([&] {
    for (HWND w = nullptr; !found && (w = FindWindowExW(nullptr, w, windowClass, title));) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == pid && IsWindowVisible(w)) found = w;
    }
    return found != nullptr;
  });
  return found;
}

// A started program, ended if still running when the object goes.
class Child {
 public:
  // Starts commandLine in folder (empty: this program's); hidden asks for no window.
  explicit Child(const std::string& commandLine, const std::string& folder = "",
                 bool hidden = false) {
    std::wstring line = platform::Widen(commandLine), cwd = platform::Widen(folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = hidden ? STARTF_USESHOWWINDOW : 0;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    // Wine on a loaded machine now and then fails to bring a process up; a start that
    // failed is tried again, a program that started is never run twice.
    for (int attempt = 1;; ++attempt) {
      if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         cwd.empty() ? nullptr : cwd.c_str(), &startup, &info))
        break;
      const DWORD error = GetLastError();
      std::fprintf(stderr, "start %d of %s failed: error %lu\n", attempt, commandLine.c_str(),
                   error);
      if (attempt == 3) return;
      Sleep(500);
    }
    process_.Reset(info.hProcess);
    CloseHandle(info.hThread);
    id_ = info.dwProcessId;
  }
  ~Child() {
    if (Started() && Wait(0) == -1) TerminateProcess(process_.Get(), 9);
  }

  bool Started() const { return process_.Valid(); }
  DWORD Id() const { return id_; }
  // The exit code once it ended within timeoutMs, else -1.
  long Wait(DWORD timeoutMs) {
    DWORD code = 0;
    if (!Started() || WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_.Get(), &code))
      return -1;
    return static_cast<long>(code);
  }

 private:
  platform::win32::KernelHandle process_;
  DWORD id_ = 0;
};

// Runs commandLine in folder to its end (two minutes at most): the exit code, else -1.
inline long RunToEnd(const std::string& commandLine, const std::string& folder = "") {
  return Child(commandLine, folder, true).Wait(120000);
}

}  // namespace testsupport
