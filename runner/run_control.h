// What the worker of a run shares with the window thread: the journal, the stop
// request and the child process being waited for. The window thread may abort at any
// moment: after Abort() returns, the worker writes no further journal line and starts
// no further process, and the child it was waiting for has been ended.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CJournalFile;
namespace platform { class Process; }

// What the worker decided per infobase ("Обработка завершена" or "... с ошибками"), for
// the run's record.
struct RunOutcome {
  unsigned infobasesRun = 0;
  std::vector<std::string> failedNames;  // in the order they ran
  bool unreadable = false;               // the snapshot or its sections could not be read
};

class RunControl {
 public:
  RunControl();
  ~RunControl();

  // Worker: takes the opened journal for this run (null or a failed one: journal off).
  void SetJournal(std::unique_ptr<CJournalFile> journal);
  bool JournalOn() const;
  // Writes one journal line when the journal is on and no stop was requested.
  void Journal(const std::string& line);
  // Worker: closes the journal at the end of the run.
  void ReleaseJournal();

  // True once Abort() was called; the worker tests it before every step.
  bool StopRequested() const;

  // Worker: publishes the child process it waits for (null clears it). Returns false
  // when a stop was already requested (the caller must then end the child itself).
  bool SetCurrentChild(platform::Process* child);

  // Worker: the verdict on one infobase; the configuration could not be read.
  void NoteInfobase(const std::string& name, bool success);
  void NoteUnreadable();
  RunOutcome Outcome() const;

  // Window thread: requests the stop, ends the current child (true if there was one),
  // writes lastLine as the journal's last line when the journal is on, closes it.
  bool Abort(const std::string& lastLine);

 private:
  mutable std::mutex mutex_;
  std::unique_ptr<CJournalFile> journal_;
  bool stop_ = false;
  platform::Process* child_ = nullptr;
  RunOutcome outcome_;
};
