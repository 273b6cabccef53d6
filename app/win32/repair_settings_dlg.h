// RepairSettingsDialog (dialog 165): the three repair modes of an infobase.
#pragma once

#include <windows.h>

#include "config/entries.h"

namespace app {

// Modal; on "Применить" the three modes are written into entry and true is returned.
bool ShowRepairSettingsDialog(HWND parent, InfobaseEntry& entry);

}  // namespace app
