// AdditionalTaskDialog (dialog 161): the program, with its command line, that a run
// starts before or after its jobs.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "config/general_options.h"

namespace app {

// Chooses a program file, starting from a file name; nullopt when none was chosen.
using ProgramChooser =
    std::function<std::optional<std::string>(HWND owner, const std::string& start)>;

// Modal, on the before (after = false) or after task; true when it ended with
// "Применить", the task's two texts then replaced in tasks. An empty chooser means the
// system's file-open dialog (ChooseProgramFile).
bool ShowAdditionalTaskDialog(HWND parent, bool after, AdditionalTasks& tasks,
                              ProgramChooser choose = {});

}  // namespace app
