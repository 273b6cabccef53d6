// What the launcher and the registration need of Windows: named mutexes, process starts,
// top-level windows found by title, the installation record and the executable's folder.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/win32/handles.h"

namespace launcher {

// Creates the named mutex owned by this thread; alreadyExisted tells whether another
// process had created it.
platform::win32::KernelHandle CreateOwnedMutex(const std::string& name, bool& alreadyExisted);

// Whether a mutex of this name exists (it opens).
bool MutexExists(const std::string& name);

// Starts commandLine in folder without waiting (handles closed at once).
bool StartDetached(const std::string& commandLine, const std::string& folder, unsigned long& error);

// Sends the close request, waiting until it is handled, to the first top-level window
// whose title equals the launcher's name exactly (letter case counts).
void SendCloseRequestToLauncher();

// Whether a top-level window other than own has "Резервное копирование баз данных" in its
// title (any letter case): the main program's window is open.
bool MainProgramWindowOpen(HWND own);

// The installation record's "Path", or the system code of the failed read.
struct InstallRecord {
  std::optional<std::string> path;
  unsigned long error = 0;
};
InstallRecord ReadInstallRecord();

// Folder of this process's executable, without a final backslash.
std::string ExecutableFolder();

// The registration step for SaveConfiguration's registerLauncher seam: registers or
// unregisters the saved file, starting "<programFolder>\Zorvan launcher.exe" and closing
// it through its window. showError shows a message with one OK button.
std::function<void(const std::string& path, bool hasSchedules)> MakeLauncherRegistration(
    platform::Registry& registry, std::string programFolder,
    std::function<void(const std::string& text)> showError);

}  // namespace launcher
