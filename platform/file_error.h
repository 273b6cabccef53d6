// A failed file open as the settings store reports it: once per object, through a
// reporter that the owner chooses. The default reporter shows the platform's
// file-error box (Windows: a message box with the program title, one OK button);
// tests and silent paths pass their own.
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

// Shows the error the platform's way: a message box on Windows, stderr elsewhere.
FileErrorReporter DefaultFileErrorReporter();
// Reports nothing.
FileErrorReporter SilentFileErrorReporter();

}  // namespace platform
