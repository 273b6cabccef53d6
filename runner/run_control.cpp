#include "runner/run_control.h"

#include "platform/process.h"
#include "runner/journal_file.h"

RunControl::RunControl() = default;
RunControl::~RunControl() = default;

void RunControl::SetJournal(std::unique_ptr<CJournalFile> journal) {
  std::lock_guard lock(mutex_);
  if (journal && journal->ErrorCode() != 0) journal.reset();
  journal_ = std::move(journal);
}

bool RunControl::JournalOn() const {
  std::lock_guard lock(mutex_);
  return journal_ != nullptr;
}

void RunControl::Journal(const std::string& line) {
  std::lock_guard lock(mutex_);
  if (journal_ && !stop_) journal_->WriteLine(line);
}

void RunControl::ReleaseJournal() {
  std::lock_guard lock(mutex_);
  journal_.reset();
}

bool RunControl::StopRequested() const {
  std::lock_guard lock(mutex_);
  return stop_;
}

bool RunControl::SetCurrentChild(platform::Process* child) {
  std::lock_guard lock(mutex_);
  if (child && stop_) return false;
  child_ = child;
  return true;
}

bool RunControl::Abort(const std::string& lastLine) {
  std::lock_guard lock(mutex_);
  stop_ = true;
  bool hadChild = child_ != nullptr;
  if (child_) child_->TerminateWithCurrentCode();
  if (journal_) journal_->WriteLine(lastLine);
  journal_.reset();
  return hadChild;
}

void RunControl::NoteInfobase(const std::string& name, bool success) {
  std::lock_guard lock(mutex_);
  ++outcome_.infobasesRun;
  if (!success) outcome_.failedNames.push_back(name);
}

void RunControl::NoteUnreadable() {
  std::lock_guard lock(mutex_);
  outcome_.unreadable = true;
}

RunOutcome RunControl::Outcome() const {
  std::lock_guard lock(mutex_);
  return outcome_;
}
