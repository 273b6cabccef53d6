// RunWorker: the worker thread of a job run. It reads only the run snapshot, writes the
// journal header, hands every marked infobase to RunInfobaseJob with its job list and
// status lines, and ends with the closing line and the run-finished notification.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/file_error.h"
#include "runner/job_run_seams.h"
#include "runner/run_control.h"
#include "runner/run_values.h"

class CSettingsFile;
namespace platform { class Registry; }

// Run values as the process keeps them: a key missing from a configuration keeps the
// value of the previous run (0 or empty before the first one).
struct RunSettings {
  RunValues values;
  bool journal = false;
  bool clearJournal = false;
  std::string journalFileName;
  std::string journalPath;  // of the last run; empty when it had no journal
};

// The largest time-out that still ends: minutes beyond it would wrap around 32 bits.
inline constexpr uint32_t kLongestTimeoutMs = 0xFFFFFFFE;
uint32_t TimeoutMilliseconds(uint32_t minutes, uint32_t msPerMinute = 60000);

// Reads the run values of a "GeneralOptions" section in their order.
void ReadRunSettings(CSettingsFile& file, int32_t generalId, RunSettings& settings,
                     uint32_t msPerMinute = 60000);

// Splits the executable path at its last backslash; the folder keeps the backslash.
std::string ExecutableFolder(const std::string& executablePath);

struct WorkerContext {
  std::string snapshotPath;
  RunEnvironment environment;
  const RunSeams& seams;
  const platform::FileErrorReporter& reportFileError;  // an unreadable snapshot
  RunSettings& settings;
  RunControl& control;
  platform::Registry& registry;
  const std::atomic<bool>& abortFlag;  // set by the owner when it aborts a child
  // Set while the run-finished notification is under way: the worker does nothing
  // after it, so the owner need not wait for the thread inside its handler.
  std::atomic<bool>& finalNotification;
};

// The thread body. Deletes the batch file it creates on every path.
void RunWorker(const WorkerContext& context);
