// Starting a child program of a job step and waiting for it with the run's time-out,
// with the journal lines of every outcome. The child is published to the run control
// while it is waited for, so an abort can end it.
#pragma once

#include <string>

#include "platform/process.h"
#include "runner/run_control.h"
#include "runner/run_values.h"

enum class ChildOutcome { NotStarted, EndedInTime, TimedOut, WaitFailed, Aborted };

struct ChildRun {
  ChildOutcome outcome = ChildOutcome::NotStarted;
  bool ended = false;  // the process is known to be gone (in time, or terminated)
};

// journalLine: the command line as the journal may show it.
ChildRun RunChild(const std::string& commandLine, const std::string& journalLine,
                  const std::string& folder, platform::ShowWindow show, const RunValues& values,
                  RunControl& control);

// "<system error text>  -  <command line>", the journal form of a failed start or wait.
std::string FailedCommandLine(unsigned long error, const std::string& journalLine);
