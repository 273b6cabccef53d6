#include "platform/process.h"

#include <windows.h>

#include <utility>

#include "platform/codepage.h"
#include "platform/win32/handles.h"

namespace platform {

struct Process::Handles {
  win32::KernelHandle process;
  win32::KernelHandle thread;
};

Process::Process() = default;
Process::~Process() = default;
Process::Process(Process&& other) noexcept = default;
Process& Process::operator=(Process&& other) noexcept = default;

bool Process::Start(const std::string& commandLine, const std::string& folder, ShowWindow show,
                    unsigned long* error) {
  Close();
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  if (show == ShowWindow::Hidden) {
    si.dwFlags |= STARTF_USESIZE;  // size 0 by 0
    si.wShowWindow = SW_HIDE;
  } else {
    si.wShowWindow = SW_SHOW;
  }
  std::wstring cmd = Widen(commandLine);  // CreateProcessW may write into it
  std::wstring dir = Widen(folder);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
    if (error) *error = GetLastError();
    return false;
  }
  handles_ = std::make_unique<Handles>();
  handles_->process.Reset(pi.hProcess);
  handles_->thread.Reset(pi.hThread);
  if (error) *error = 0;
  return true;
}

WaitResult Process::Wait(uint32_t timeoutMs, unsigned long* error) {
  DWORD r = WaitForSingleObject(handles_ ? handles_->process.Get() : nullptr, timeoutMs);
  if (r == WAIT_OBJECT_0) return WaitResult::Ended;
  if (r == WAIT_TIMEOUT) return WaitResult::TimedOut;
  if (error) *error = GetLastError();
  return WaitResult::Failed;
}

std::optional<uint32_t> Process::ExitCode() const {
  DWORD code = 0;
  if (!handles_ || !GetExitCodeProcess(handles_->process.Get(), &code)) return {};
  return code;
}

bool Process::Terminate(uint32_t exitCode) {
  return handles_ && TerminateProcess(handles_->process.Get(), exitCode);
}

bool Process::TerminateWithCurrentCode() { return Terminate(ExitCode().value_or(STILL_ACTIVE)); }

void Process::Close() { handles_.reset(); }

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

bool ProcessRunning(uint32_t id) {
  win32::KernelHandle h(OpenProcess(SYNCHRONIZE, FALSE, id));
  return h.Valid() && WaitForSingleObject(h.Get(), 0) == WAIT_TIMEOUT;
}

}  // namespace platform
