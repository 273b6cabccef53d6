// The launcher process: single instance, the hidden window titled "Zorvan launcher",
// its tray icon and menu, the poll timer, the stop command and the close request.
#pragma once

#include <windows.h>

#include <string>

namespace launcher {

// Runs the launcher with the command line after the program name; returns the exit code
// when its window is gone (at once when another launcher runs).
int RunLauncher(HINSTANCE instance, const std::string& arguments);

}  // namespace launcher
