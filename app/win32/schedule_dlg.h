// ScheduleDialog (dialog 146): when the configuration runs unattended.
#pragma once

#include <windows.h>

#include "config/entries.h"

namespace app {

// Modal, on the entry; true when it ended with "Применить", the entry then holding the
// mode, its values and the description.
bool ShowScheduleDialog(HWND parent, ScheduleEntry& entry);

}  // namespace app
