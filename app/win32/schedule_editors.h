// The schedule and additional task dialogs as editors of the infobase tree.
#pragma once

#include <windows.h>

#include <functional>

#include "tree/tree_commands.h"

namespace app {

// Fills editors.schedule and editors.task: the dialogs open over owner() and what they
// apply goes into the tree (one schedule per mode) or the tasks, marked as a change.
void SetScheduleAndTaskEditors(TreeEditors& editors, InfobaseTree& tree,
                               std::function<HWND()> owner);

}  // namespace app
