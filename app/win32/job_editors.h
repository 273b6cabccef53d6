// The tree's editors of the job parameters: the dialog on an entry, and the message
// about a duplicate title of an infobase added by hand.
#pragma once

#include <windows.h>

#include <functional>

#include "app/win32/job_parameters_dlg.h"
#include "tree/tree_commands.h"

namespace app {

// owner gives the window the dialogs belong to; services what the dialog reads from the
// main window when it opens.
void AddJobEditors(TreeEditors& editors, std::function<HWND()> owner,
                   std::function<JobDialogServices()> services);

// The duplicate-title message: the guarded countdown prompt, at most one at a time on
// the whole system, closing by itself after ten seconds.
void ShowDuplicateTitleMessage(const std::string& text);

}  // namespace app
