// CBackupApp::InitInstance: the whole life of Zorvan.exe. Works out the folders and the
// configuration to open, keeps one program per configuration, tells the launcher that
// a main program runs, and runs the main window until it closes.
#pragma once

#include <windows.h>

#include <string>

#include "app/main_controller.h"

namespace platform {
class Registry;
}

namespace app {

// The per-user application data folder + "\Zorvan" (created when missing), else the
// program folder; the older folders are where earlier installations kept their files.
AppFolders FindAppFolders(const std::string& programFolder);

// The configuration file to open: "LastConfig" when it names an existing file, else
// the default configuration; the command line overrides both.
struct StartChoice {
  std::string configPath;
  bool autoRun = false;
};
StartChoice ChooseConfiguration(const std::string& commandLine, const AppFolders& folders,
                                platform::Registry& registry);

// Moves "Zorvan.dat" from the program folder into place and creates an empty file when
// none exists at path.
void PrepareConfigFile(const std::string& path, const std::string& programFolder);

// The program: returns its exit code.
int RunProgram(const std::wstring& commandLine);

// The command line after the program's own name.
std::wstring ArgumentsOf(const std::wstring& commandLine);

}  // namespace app
