#include "launcher/registration.h"

#include "launcher/launcher_names.h"
#include "platform/system_error.h"

namespace launcher {
namespace {

using platform::RegRoot;
using platform::RegValue;

std::string Quoted(const std::string& folder, const std::string& baseName) {
  return "\"" + folder + "\\" + baseName + ".exe\"";
}

void StartLauncher(const RegistrationSeams& seams) {
  const std::string command = LauncherCommandLine(seams.programFolder);
  unsigned long error = 0;
  if (!seams.startProcess(command, seams.programFolder, error) && seams.showError)
    seams.showError(StartFailureMessage(command, error));
}

void Register(const RegistrationSeams& seams, const std::string& configPath) {
  platform::Registry& registry = *seams.registry;
  StartLauncher(seams);
  // The Run key is opened, never created.
  registry.WriteValue(RegRoot::CurrentUser, kRunKey, kLauncherName,
                      RegValue::String(RunValueData(seams.programFolder)));
  if (registry.CreateKey(RegRoot::CurrentUser, kListKey))
    registry.WriteValue(RegRoot::CurrentUser, kListKey, configPath,
                        RegValue::String(kListValueData));
}

}  // namespace

std::string LauncherCommandLine(const std::string& programFolder) {
  return Quoted(programFolder, kLauncherName);
}

std::string RunValueData(const std::string& programFolder) {
  return LauncherCommandLine(programFolder) + " /" + kStartupSwitch;
}

std::string ProgramCommandLine(const std::string& programFolder, const std::string& arguments) {
  std::string command = Quoted(programFolder, kProgramName);
  if (!arguments.empty()) command += " " + arguments;
  return command;
}

std::string StartFailureMessage(const std::string& commandLine, unsigned long error) {
  return "Неудачная попытка запуска процесса с параметрами:\n " + commandLine + "\n" +
         platform::GetSystemErrorText(error);
}

void RegisterLauncher(const RegistrationSeams& seams, const std::string& configPath,
                      bool hasSchedules) {
  if (hasSchedules) {
    Register(seams, configPath);
    return;
  }
  seams.registry->DeleteValue(RegRoot::CurrentUser, kListKey, configPath);
  UnregisterIfEmpty(seams);
}

void UnregisterIfEmpty(const RegistrationSeams& seams) {
  platform::Registry& registry = *seams.registry;
  auto values = registry.EnumValues(RegRoot::CurrentUser, kListKey);
  if (!values || !values->empty()) return;
  registry.DeleteKey(RegRoot::CurrentUser, kListKey);
  registry.DeleteValue(RegRoot::CurrentUser, kRunKey, kLauncherName);
  if (seams.sendCloseRequest) seams.sendCloseRequest();
}

}  // namespace launcher
