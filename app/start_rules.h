// Rules of the main program's start-up that need no Windows: the command line, the
// configuration name shown in the window, the per-configuration mutex name and where a
// configuration or journal named without a folder is found.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace app {

// The program title, the registry key and the mutexes are shared with the launcher
// (launcher/launcher_names.h, config/config_schema.h).
inline constexpr const char* kConfigExtension = ".cfg";
inline constexpr const char* kDefaultConfigName = "default.cfg";
inline constexpr const char* kMovedConfigName = "Zorvan.dat";

// Upper case of a Windows-1251 text (Latin and Cyrillic letters).
std::string Upper1251(std::string text);
bool EqualsNoCase1251(const std::string& a, const std::string& b);

// The folder part of a path (up to, not including, the last "\"); "" without one.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);

// Tokens of a command line: the text after each "/" up to the character before the next
// "/" (normally the separating blank), or to the end.
std::vector<std::string> SplitCommandTokens(const std::string& text);

struct StartRequest {
  std::optional<std::string> configName;  // as typed: a bare name or a path
  bool autoRun = false;
};

// What the command line asks for: "/@name" (".cfg" appended unless contained with exact
// case), "/BEGIN"; a line without "/" is one path with its quotes removed.
StartRequest ParseCommandLine(const std::string& text);

// The name the window shows for a configuration path: the bare file name when the file
// lies directly in dataFolder (compared without regard to case), else the whole path.
std::string DisplayNameFor(const std::string& path, const std::string& dataFolder);

// The full path of a configuration name: the name itself when it holds "\", else the
// name in dataFolder.
std::string ConfigPathFor(const std::string& name, const std::string& dataFolder);

// Appends ".cfg" unless the name ends with it (without regard to case).
std::string WithConfigExtension(const std::string& name);

// "Zorvan " + path with " :\/." turned into "_", in upper case.
std::string ConfigMutexName(const std::string& path);

// Where a bare file name (no "\") lies: in dataFolder when it exists there or nowhere
// else; otherwise in the first of the older folders that holds it. Names with a folder
// are returned as they are. Older installations kept their files in the program folder
// (or its VirtualStore copy).
using FileExistsFn = std::function<bool(const std::string& path)>;
std::string LocateBareName(const std::string& name, const std::string& dataFolder,
                           const std::vector<std::string>& olderFolders,
                           const FileExistsFn& exists);

// The VirtualStore copy of a folder under "C:\Program Files..." for a user whose local
// application data folder is localAppData: "<localAppData>\VirtualStore\Program Files...".
// Empty when the folder has no drive letter.
std::string VirtualStoreFolder(const std::string& folder, const std::string& localAppData);

}  // namespace app
