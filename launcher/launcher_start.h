// What the launcher settles at its start: the start-up switch of its command line and
// the folder of the main program it starts.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace launcher {

// True when an item of the command line (the text after a "/" up to the character before
// the next "/", or to the end) equals "STARTUP" in any letter case.
bool HasStartupSwitch(const std::string& arguments);

// The folder of the main program in the installation record's "Path" (the text before
// "Zorvan.exe", matched case-sensitively, without its backslash); nullopt without it.
std::optional<std::string> FolderFromInstallPath(const std::string& installPath);

struct ProgramFolderSources {
  std::string ownFolder;                   // folder of the launcher's executable
  std::optional<std::string> installPath;  // the record's "Path", if it could be read
  std::function<bool(const std::string& path)> fileExists;
};

// The launcher's own folder when Zorvan.exe lies beside it (a copy without installer),
// otherwise the installation record's folder when Zorvan.exe is there; nullopt when
// neither gives the program.
std::optional<std::string> FindProgramFolder(const ProgramFolderSources& sources);

// The message shown when the program is not found; registryError is the system code of a
// failed read of the record (0: the record was read).
std::string MissingProgramMessage(unsigned long registryError);

}  // namespace launcher
