#include "runner/job_run.h"

#include <chrono>
#include <thread>

#include "platform/fs.h"
#include "platform/system_error.h"
#include "runner/run_files.h"

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

JobRun::JobRun(RunSeams seams, platform::Registry& registry,
               platform::FileErrorReporter reportFileError)
    : seams_(std::move(seams)), registry_(registry), reportFileError_(std::move(reportFileError)) {}

JobRun::~JobRun() {
  if (state_ == State::Running) control_->Abort(kAbortedLine);
  worker_.Join();
  snapshot_.Remove();
}

StartResult JobRun::StartRun(const RunSource& source) {
  if (state_ != State::Idle) return StartResult::AlreadyRunning;
  worker_.Join();  // a worker that ended after its run-finished notification
  snapshot_.Remove();
  if (!CreateSnapshot()) return StartResult::Failed;
  StartResult filled = FillSnapshot(source);
  if (filled != StartResult::Started) {
    snapshot_.Remove();
    return filled;
  }
  abortFlag_ = false;
  if (seams_.beforeWorker) seams_.beforeWorker();
  control_ = std::make_unique<RunControl>();
  finalNotification_ = false;
  context_.emplace(snapshot_.Path(), source.environment, seams_, reportFileError_, settings_,
                   *control_, registry_, abortFlag_, finalNotification_);
  if (!worker_.Start([this] { RunWorker(*context_); })) {
    snapshot_.Remove();
    return StartResult::Failed;
  }
  state_ = State::Running;
  return StartResult::Started;
}

bool JobRun::CreateSnapshot() {
  unsigned long error = 0;
  run_files::RemoveOrphans();  // what runs that crashed left behind
  const std::string folder = run_files::OwnFolder();
  snapshot_ = fs::TemporaryFile::Create(folder, "~pak", &error);
  if (snapshot_.Owns()) return true;
  if (reportFileError_) {
    reportFileError_(
        {static_cast<long>(error), folder, folder + "\r\n" + platform::GetSystemErrorText(error)});
  }
  return false;
}

StartResult JobRun::FillSnapshot(const RunSource& source) {
  if (!source.window) {
    // A copy that fails leaves the snapshot empty; the worker reports the unreadable file.
    CopyConfiguration(source.environment.currentConfigPath, snapshot_.Path());
    return StartResult::Started;
  }
  const WindowConfiguration& w = *source.window;
  if (w.modified && w.config.options.QuitAfterSave) {
    Answer answer = seams_.ask ? seams_.ask(kSaveBeforeRunQuestion) : Answer::No;
    if (answer == Answer::Cancel) return StartResult::Cancelled;
    if (answer == Answer::Yes)
      SaveConfiguration(SaveTarget::CurrentFile, source.environment.currentConfigPath, w.config,
                        w.tree, w.seams);
  }
  if (SaveConfiguration(SaveTarget::RunSnapshot, snapshot_.Path(), w.config, w.tree, w.seams) ==
      0) {
    if (seams_.showMessage) seams_.showMessage(kNoJobsMessage);
    return StartResult::NothingToRun;
  }
  return StartResult::Started;
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
  snapshot_.Remove();
  run_files::RemoveOwnFolderIfEmpty();
  state_ = State::Idle;
  return true;
}
