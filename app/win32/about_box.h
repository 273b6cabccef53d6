// The about box: program name, version and what the program is for.
#pragma once

#include <windows.h>

namespace app {

void ShowAboutBox(HWND owner);

}  // namespace app
