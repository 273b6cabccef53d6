// What a job run needs of its owner (the main window, a console program or a test):
// the two notifications of the worker and the operator dialogs of a start.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "config/entries.h"

// Process-wide values a run reads.
struct RunEnvironment {
  std::string currentConfigPath;  // the configuration file the operator knows
  std::string programFolder;      // archives go here when no destination is set
  std::string dataFolder;         // a journal name without a folder lies here
};

enum class Answer { Yes, No, Cancel };

struct RunSeams {
  // Sent from the worker thread and waited for (the window turns them into
  // WM_JOB_STARTED and WM_RUN_FINISHED). The entry is valid during the call only.
  std::function<void(const InfobaseEntry& entry)> jobStarted;
  std::function<void()> runFinished;
  // Message box with one OK button, the program title as caption.
  std::function<void(const std::string& text)> showMessage;
  // Question with Yes, No and Cancel.
  std::function<Answer(const std::string& text)> ask;
  // Called on the owner's thread after the snapshot is ready and before the worker
  // starts: tray icon, hidden window, buttons, the "before" task.
  std::function<void()> beforeWorker;
  // Length of one "TimeOut" minute; tests shorten it instead of waiting for the clock.
  uint32_t msPerTimeoutMinute = 60000;
};
