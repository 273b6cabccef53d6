// The general options panel without a window: dependent values and enabling, the
// window title's modified mark, the run's status text and the additional task's command.
#pragma once

#include <functional>
#include <string>

#include "config/general_options.h"
#include "launcher/launcher_names.h"

namespace app {

inline constexpr const char* kWindowTitle = launcher::kMainWindowTitle;
inline constexpr size_t kTrayTipLength = 63;

struct PanelEnabling {
  bool journalDetails = true;  // "Очищать журнал", the journal name and its label
  bool terminateAfterTimeOut = true;
  bool quitAfterSave = true;
};

// Applies the rules the options keep among themselves: no termination without a
// time-out, shutting down implies quitting.
void NormalizeOptions(GeneralOptions& options);
PanelEnabling EnablingFor(const GeneralOptions& options);

// The title with "*" appended exactly when modified (an existing "*" is not doubled).
std::string TitleWithMark(const std::string& title, bool modified);

std::string JobStatusText(const std::string& baseName);
std::string TrayTip(const std::string& status);

// The command line of an additional task. A program typed with blanks and without
// quotes that names an existing file as a whole is quoted, so the system does not try
// its shorter prefixes first; otherwise the text is kept (it may carry arguments).
std::string TaskCommandLine(const std::string& program, const std::string& arguments,
                            const std::function<bool(const std::string&)>& fileExists);

// A chosen folder as the options keep it: no trailing "\" except for a drive root
// ("C:\"); "C:" becomes "C:\".
std::string NormalizeFolder(std::string folder);

// The additional task's prompt.
std::string TaskPromptText(const std::string& program);

}  // namespace app
