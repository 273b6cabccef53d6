// The main program's side of the launcher: after each successful save of the current
// configuration file, register the file (start the launcher, its Run value, the list
// value) or take it off the list, and when the list is empty remove the launcher's
// autostart and close a running launcher.
#pragma once

#include <functional>
#include <string>

#include "platform/registry.h"

namespace launcher {

struct RegistrationSeams {
  platform::Registry* registry = nullptr;
  std::string programFolder;  // where Zorvan.exe and "Zorvan launcher.exe" lie
  // Starts commandLine in folder without waiting; on failure error holds the system code.
  std::function<bool(const std::string& commandLine, const std::string& folder,
                     unsigned long& error)>
      startProcess;
  std::function<void(const std::string& text)> showError;  // one OK button
  // Sends the close request to the top-level window titled exactly "Zorvan launcher".
  std::function<void()> sendCloseRequest;
};

// "\"<folder>\\Zorvan launcher.exe\"", and the Run value: that and " /STARTUP".
std::string LauncherCommandLine(const std::string& programFolder);
std::string RunValueData(const std::string& programFolder);
// "\"<folder>\\Zorvan.exe\"", followed by a blank and arguments when there are any.
std::string ProgramCommandLine(const std::string& programFolder, const std::string& arguments);
// The message for a program that could not be started.
std::string StartFailureMessage(const std::string& commandLine, unsigned long error);

// Registers configPath when it has schedules, otherwise unregisters it. Registry steps
// whose key cannot be opened are skipped.
void RegisterLauncher(const RegistrationSeams& seams, const std::string& configPath,
                      bool hasSchedules);
// When the list key holds no value: deletes it and the Run value and closes the launcher.
void UnregisterIfEmpty(const RegistrationSeams& seams);

}  // namespace launcher
