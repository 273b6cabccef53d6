// Native stand-in: child processes are a Windows matter, so a start always fails
// (as for a program that is not found) and the rest has nothing to act on.
#include "platform/process.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {

struct Process::Handles {};

Process::Process() = default;
Process::~Process() = default;
Process::Process(Process&& other) noexcept = default;
Process& Process::operator=(Process&& other) noexcept = default;

bool Process::Start(const std::string&, const std::string&, ShowWindow, unsigned long* error) {
  if (error) *error = ENOENT;
  return false;
}

WaitResult Process::Wait(uint32_t, unsigned long* error) {
  if (error) *error = ECHILD;
  return WaitResult::Failed;
}

std::optional<uint32_t> Process::ExitCode() const { return {}; }
bool Process::Terminate(uint32_t) { return false; }
bool Process::TerminateWithCurrentCode() { return false; }
void Process::Close() {}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }

bool ProcessRunning(uint32_t id) {
  return id != 0 && (kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM);
}

}  // namespace platform
