// A failed file open as the settings store reports it: once per object, through a
// reporter that the owner always passes. The window passes its file-error box
// (widgets/), programs without a window print, tests record; none is assumed here, so a
// box never comes from below the window layer or from the worker thread.
#pragma once

#include <functional>
#include <string>

namespace platform {

struct FileError {
  long osError = -1;    // system error code of the failed open, -1 when none
  std::string path;     // file that failed to open
  std::string message;  // text shown to the operator (Windows-1251)
};

using FileErrorReporter = std::function<void(const FileError&)>;

// Reports nothing.
FileErrorReporter SilentFileErrorReporter();

}  // namespace platform
