#include "launcher/launcher_start.h"

#include <algorithm>
#include <cctype>

#include "launcher/launcher_names.h"
#include "platform/system_error.h"

namespace launcher {
namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

bool HasStartupSwitch(const std::string& arguments) {
  size_t slash = arguments.find('/');
  while (slash != std::string::npos) {
    const size_t next = arguments.find('/', slash + 1);
    std::string item = next == std::string::npos ? arguments.substr(slash + 1)
                                                 : arguments.substr(slash + 1, next - slash - 1);
    if (next != std::string::npos && !item.empty()) item.pop_back();  // the blank before "/"
    if (EqualsIgnoringCase(item, kStartupSwitch)) return true;
    slash = next;
  }
  return false;
}

std::optional<std::string> FolderFromInstallPath(const std::string& installPath) {
  const size_t at = installPath.find(kProgramExe);
  if (at == std::string::npos || at == 0) return std::nullopt;
  return installPath.substr(0, at - 1);
}

std::optional<std::string> FindProgramFolder(const ProgramFolderSources& sources) {
  auto hasProgram = [&](const std::string& folder) {
    return sources.fileExists(folder + "\\" + kProgramExe);
  };
  if (!sources.ownFolder.empty() && hasProgram(sources.ownFolder)) return sources.ownFolder;
  if (!sources.installPath) return std::nullopt;
  auto folder = FolderFromInstallPath(*sources.installPath);
  if (folder && hasProgram(*folder)) return folder;
  return std::nullopt;
}

std::string MissingProgramMessage(unsigned long registryError) {
  std::string text =
      "Не удается найти запись об установке программы Zorvan.exe\n"
      "Возможно, переустановка программы из дистрибутива решит\nэту проблему.";
  if (registryError != 0)
    text += "\nОписание ошибки: " + platform::GetSystemErrorText(registryError);
  return text;
}

}  // namespace launcher
