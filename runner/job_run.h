// A job run as its owner drives it: StartRun makes the run snapshot and starts the
// worker, AbortRun stops it, FinishRun ends it. The owner calls these on one thread (the
// window thread); the worker reaches the owner only through the two notifications of
// RunSeams. The snapshot and the batch file hold passwords and never outlive a run.
//
// The owner's end of a run (its run-finished handler, and its abort command after
// AbortRun) begins with FinishRun and does the rest (the "after" task, the window) only
// when FinishRun returns true: a run-finished notification that arrives while an abort
// finishes the run finds nothing left to finish.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "config/configuration.h"
#include "platform/file_error.h"
#include "platform/temporary_file.h"
#include "runner/job_run_seams.h"
#include "runner/run_control.h"
#include "runner/worker.h"
#include "runner/worker_thread.h"

namespace platform { class Registry; }

inline constexpr const char* kNoJobsMessage =
    "Нет заданий, помеченных на выполнение!\r\nПроверьте, правильно ли указаны параметры "
    "\r\nзапуска заданий и установлены ли флажки у\r\nтех заданий, которые следует выполнить.";
inline constexpr const char* kSaveBeforeRunQuestion =
    "Файл настроек был изменен! Сохранить изменения перед выполнением?";
inline constexpr const char* kAbortedLine = "Процесс прерван пользователем";

// The window's configuration, saved into the snapshot when a run starts.
struct WindowConfiguration {
  const Configuration& config;
  const ConfigurationTree& tree;
  const ConfigurationSeams& seams;
  bool modified = false;  // changed since the last save
};

// What a start runs: the window's configuration, or in AutoRun mode (no window) the
// configuration file environment.currentConfigPath itself.
struct RunSource {
  RunEnvironment environment;
  std::optional<WindowConfiguration> window;
};

enum class StartResult { Started, Cancelled, NothingToRun, Failed, AlreadyRunning };

class JobRun {
 public:
  // reportFileError shows a run snapshot that cannot be created or opened (the window's
  // file-error box; it may be called from the worker thread).
  JobRun(RunSeams seams, platform::Registry& registry, platform::FileErrorReporter reportFileError);
  ~JobRun();  // an active run is aborted and waited for; the snapshot is deleted
  JobRun(const JobRun&) = delete;
  JobRun& operator=(const JobRun&) = delete;

  StartResult StartRun(const RunSource& source);
  // Stops the worker: no further process or journal line; ends the current child and
  // then sets the abort flag; writes kAbortedLine as the journal's last line. False when
  // no run is active. The owner calls FinishRun next.
  bool AbortRun();
  // The run's end without a window: waits for the worker (unless called from its
  // run-finished notification, after which it does nothing more) and deletes the
  // snapshot. False when no run is active or a finish is already under way.
  bool FinishRun();

  bool Active() const { return state_ != State::Idle; }
  bool AbortFlag() const { return abortFlag_.load(); }
  const std::string& SnapshotPath() const { return snapshot_.Path(); }
  // The run values of the last run, kept for the next one as the process keeps them.
  const RunSettings& Settings() const { return settings_; }
  // What the last run's worker decided; complete once FinishRun returned.
  RunOutcome Outcome() const { return control_ ? control_->Outcome() : RunOutcome{}; }

 private:
  enum class State { Idle, Running, Finishing };

  bool CreateSnapshot();
  // Returns Started when the snapshot holds something to run.
  StartResult FillSnapshot(const RunSource& source);

  RunSeams seams_;
  platform::Registry& registry_;
  platform::FileErrorReporter reportFileError_;
  State state_ = State::Idle;
  platform::fs::TemporaryFile snapshot_;
  RunSettings settings_;
  std::unique_ptr<RunControl> control_;
  std::optional<WorkerContext> context_;
  std::atomic<bool> abortFlag_{false};
  std::atomic<bool> finalNotification_{false};
  WorkerThread worker_;
};
