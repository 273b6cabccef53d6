// JobParametersDialog (dialog 149): the jobs of one infobase with their names, folders
// and external programs.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "config/entries.h"

namespace app {

struct JobDialogServices {
  // The main window's 1C:Enterprise executable: the default file list lies beside it.
  std::string enterprisePath;
  // Empty functions mean the real folder picker and file-open dialog; tests choose.
  std::function<bool(std::string& folder)> pickFolder;
  std::function<std::optional<std::string>(const std::string& initial)> chooseArchiver;
};

// Modal; true when it ended with "Применить", entry then holding the edited values.
// "Отмена" leaves entry as it was.
bool ShowJobParametersDialog(HWND parent, InfobaseEntry& entry,
                             const JobDialogServices& services = {});

}  // namespace app
