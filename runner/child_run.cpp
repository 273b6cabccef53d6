#include "runner/child_run.h"

#include "platform/system_error.h"

namespace {

// How long to wait for a terminated process to be gone.
constexpr uint32_t kTerminationWaitMs = 5000;

ChildRun OnTimeOut(platform::Process& child, const RunValues& values, RunControl& control) {
  control.Journal("Истекло время ожидания завершения задания");
  if (!values.terminateAfterTimeOut) return {ChildOutcome::TimedOut, false};
  child.TerminateWithCurrentCode();
  control.Journal("Задание снято");
  bool ended = child.Wait(kTerminationWaitMs) == platform::WaitResult::Ended;
  return {ChildOutcome::TimedOut, ended};
}

// The abort ends a published child; one that timed out just before it (no longer
// published) is ended here.
ChildRun OnAbort(platform::Process& child, platform::WaitResult waited) {
  if (waited == platform::WaitResult::Ended) return {ChildOutcome::Aborted, true};
  child.TerminateWithCurrentCode();
  bool ended = child.Wait(kTerminationWaitMs) == platform::WaitResult::Ended;
  return {ChildOutcome::Aborted, ended};
}

}  // namespace

std::string FailedCommandLine(unsigned long error, const std::string& journalLine) {
  return platform::GetSystemErrorText(error) + " " + " - " + " " + journalLine;
}

ChildRun RunChild(const std::string& commandLine, const std::string& journalLine,
                  const std::string& folder, platform::ShowWindow show, const RunValues& values,
                  RunControl& control) {
  if (control.StopRequested()) return {ChildOutcome::Aborted, false};
  platform::Process child;
  unsigned long error = 0;
  if (!child.Start(commandLine, folder, show, &error)) {
    control.Journal(FailedCommandLine(error, journalLine));
    return {ChildOutcome::NotStarted, false};
  }
  if (!control.SetCurrentChild(&child))  // aborted just now: end it ourselves
    return OnAbort(child, platform::WaitResult::TimedOut);
  uint32_t timeout = values.timeoutMs == 0 ? platform::kWaitForever : values.timeoutMs;
  platform::WaitResult waited = child.Wait(timeout, &error);
  control.SetCurrentChild(nullptr);
  if (control.StopRequested()) return OnAbort(child, waited);
  switch (waited) {
    case platform::WaitResult::Ended:
      return {ChildOutcome::EndedInTime, true};
    case platform::WaitResult::TimedOut:
      return OnTimeOut(child, values, control);
    case platform::WaitResult::Failed:
      break;
  }
  control.Journal(FailedCommandLine(error, journalLine));
  return {ChildOutcome::WaitFailed, false};
}
