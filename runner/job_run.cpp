#include "runner/job_run.h"

#include <chrono>
#include <thread>

#include "platform/fs.h"
#include "platform/system_error.h"

namespace fs = platform::fs;

namespace {

// The launcher holds a configuration file open for the length of a poll: an unattended
// start that meets it retries the copy for a moment instead of running an empty snapshot.
void CopyConfiguration(const std::string& from, const std::string& to) {
  constexpr int kAttempts = 30;
  for (int i = 0; i < kAttempts; ++i) {
    if (fs::CopyOver(from, to) || !fs::FileExists(from)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace

JobRun::JobRun(RunSeams seams, platform::Registry& registry)
    : seams_(std::move(seams)), registry_(registry) {}

JobRun::~JobRun() {
  if (state_ == State::Running) control_->Abort(kAbortedLine);
  worker_.Join();
  DeleteSnapshot();
}

StartResult JobRun::StartRun(const RunSource& source) {
  if (state_ != State::Idle) return StartResult::AlreadyRunning;
  worker_.Join();  // a worker that ended after its run-finished notification
  DeleteSnapshot();
  if (!CreateSnapshot()) return StartResult::Failed;
  StartResult filled = FillSnapshot(source);
  if (filled != StartResult::Started) {
    DeleteSnapshot();
    return filled;
  }
  abortFlag_ = false;
  if (seams_.beforeWorker) seams_.beforeWorker();
  control_ = std::make_unique<RunControl>();
  finalNotification_ = false;
  context_ = WorkerContext{snapshotPath_,  source.environment, &seams_,     &settings_,
                           control_.get(), &registry_,         &abortFlag_, &finalNotification_};
  if (!worker_.Start([this] { RunWorker(context_); })) {
    DeleteSnapshot();
    return StartResult::Failed;
  }
  state_ = State::Running;
  return StartResult::Started;
}

bool JobRun::CreateSnapshot() {
  unsigned long error = 0;
  const std::string folder = fs::TempPath();
  std::optional<std::string> path = fs::CreateTempFile(folder, "~pak", &error);
  if (path) {
    snapshotPath_ = *path;
    return true;
  }
  if (seams_.fileErrorReporter) {
    platform::FileError e{static_cast<long>(error), folder,
                          folder + "\r\n" + platform::GetSystemErrorText(error)};
    seams_.fileErrorReporter(e);
  }
  return false;
}

StartResult JobRun::FillSnapshot(const RunSource& source) {
  if (source.autoRun) {
    // A copy that fails leaves the snapshot empty; the worker reports the unreadable file.
    CopyConfiguration(source.environment.currentConfigPath, snapshotPath_);
    return StartResult::Started;
  }
  if (source.modified && source.config->options.QuitAfterSave) {
    Answer answer = seams_.ask ? seams_.ask(kSaveBeforeRunQuestion) : Answer::No;
    if (answer == Answer::Cancel) return StartResult::Cancelled;
    if (answer == Answer::Yes)
      SaveConfiguration(SaveTarget::CurrentFile, source.environment.currentConfigPath,
                        *source.config, *source.tree, *source.configSeams);
  }
  if (SaveConfiguration(SaveTarget::RunSnapshot, snapshotPath_, *source.config, *source.tree,
                        *source.configSeams) == 0) {
    if (seams_.showMessage) seams_.showMessage(kNoJobsMessage);
    return StartResult::NothingToRun;
  }
  return StartResult::Started;
}

void JobRun::DeleteSnapshot() {
  if (snapshotPath_.empty()) return;
  // Kept when it cannot be removed yet, so the next start or the end of the process retries.
  if (fs::RemoveFile(snapshotPath_) || !fs::GetAttributes(snapshotPath_).exists)
    snapshotPath_.clear();
}

bool JobRun::AbortRun() {
  if (state_ != State::Running) return false;
  if (control_->Abort(kAbortedLine)) abortFlag_ = true;
  return true;
}

bool JobRun::FinishRun() {
  if (state_ != State::Running) return false;
  state_ = State::Finishing;
  // Inside the run-finished notification the worker waits for us: it ends on return.
  if (!finalNotification_.load()) worker_.Join();
  DeleteSnapshot();
  state_ = State::Idle;
  return true;
}
