// The platform's file-error box of the window layer: a message box with the program
// title as caption, one OK button and the error icon, owned by the given window.
#pragma once

#include <windows.h>

#include "platform/file_error.h"

namespace widgets {

// The reporter the main window passes to the settings file, the configuration
// functions and the job run. owner may be null (a box of its own).
platform::FileErrorReporter MessageBoxFileErrorReporter(HWND owner);

}  // namespace widgets
