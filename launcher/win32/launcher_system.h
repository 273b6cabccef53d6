// What the launcher and the registration need of Windows: named mutexes, process starts,
// top-level windows found by title, the installation record and the executable's folder.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace launcher {

// A named mutex this process created; released and closed once.
class NamedMutex {
 public:
  NamedMutex() = default;
  // Creates the mutex owned; alreadyExisted tells whether another process had it.
  static NamedMutex CreateOwned(const std::string& name, bool& alreadyExisted);
  ~NamedMutex();
  NamedMutex(NamedMutex&& other) noexcept;
  NamedMutex& operator=(NamedMutex&& other) noexcept;
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  void Close();
  HANDLE handle_ = nullptr;
};

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
