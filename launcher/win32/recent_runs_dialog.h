// "Последние запуски…": the recent runs of every configuration in a list view, with a
// button that opens the selected run's journal.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "launcher/run_notices.h"

namespace launcher {

inline constexpr char kRecentRunsCaption[] = "Последние запуски";

struct RecentRunsDialogData {
  std::vector<RecentRunRow> rows;
  std::function<void(const std::string& journalPath)> openJournal;
  // Called once the dialog is filled (tests read it and end it from here).
  std::function<void(HWND dialog)> shown;
};

// Modal; the template is taken from module.
void ShowRecentRunsDialog(HINSTANCE module, HWND owner, RecentRunsDialogData& data);

// The texts of a row of the dialog's list (column by column), for tests.
std::vector<std::string> RecentRunsRowTexts(HWND dialog, int row);

}  // namespace launcher
