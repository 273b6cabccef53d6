#include "app/start_rules.h"

#include <algorithm>

#include "launcher/launcher_names.h"

namespace app {

namespace {

unsigned char UpperByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= 0xE0) return static_cast<unsigned char>(c - 0x20);  // а..я
  if (c == 0xB8) return 0xA8;                                  // ё
  switch (c) {  // the other Cyrillic letters of the code page
    case 0xA2:
      return 0xA1;  // ў
    case 0xB3:
      return 0xB2;  // і
    case 0xB4:
      return 0xA5;  // ґ
    case 0xBA:
      return 0xAA;  // є
    case 0xBF:
      return 0xAF;  // ї
    default:
      return c;
  }
}

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && EqualsNoCase1251(text.substr(text.size() - end.size()), end);
}

}  // namespace

std::string Upper1251(std::string text) {
  for (char& c : text) c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
  return text;
}

bool EqualsNoCase1251(const std::string& a, const std::string& b) {
  return a.size() == b.size() && Upper1251(a) == Upper1251(b);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

std::vector<std::string> SplitCommandTokens(const std::string& text) {
  std::vector<std::string> tokens;
  size_t slash = text.find('/');
  while (slash != std::string::npos) {
    const size_t next = text.find('/', slash + 1);
    if (next == std::string::npos) {
      tokens.push_back(text.substr(slash + 1));
    } else {
      // The character before the next "/" (the separating blank) is not part of the token.
      const size_t length = next - slash - 1;
      tokens.push_back(text.substr(slash + 1, length == 0 ? 0 : length - 1));
    }
    slash = next;
  }
  return tokens;
}

StartRequest ParseCommandLine(const std::string& text) {
  StartRequest request;
  const std::vector<std::string> tokens = SplitCommandTokens(text);
  if (tokens.empty()) {
    std::string path = text;
    std::erase(path, '"');
    if (!path.empty()) request.configName = path;
    return request;
  }
  for (std::string token : tokens) {
    // Quoted arguments ("/@C:\My x.cfg" "/BEGIN") mean the same as unquoted ones.
    if (std::erase(token, '"') > 0) token.erase(token.find_last_not_of(' ') + 1);
    if (EqualsNoCase1251(token, launcher::kBeginSwitch)) {
      request.autoRun = true;
    } else if (!token.empty() && token[0] == '@') {
      std::string name = token.substr(1);
      if (name.find(kConfigExtension) == std::string::npos) name += kConfigExtension;
      request.configName = name;
    }
  }
  return request;
}

std::string DisplayNameFor(const std::string& path, const std::string& dataFolder) {
  if (path.find('\\') != std::string::npos && EqualsNoCase1251(FolderOf(path), dataFolder)) {
    return FileNameOf(path);
  }
  return path;
}

std::string ConfigPathFor(const std::string& name, const std::string& dataFolder) {
  return name.find('\\') != std::string::npos ? name : dataFolder + "\\" + name;
}

std::string WithConfigExtension(const std::string& name) {
  return EndsWithNoCase(name, kConfigExtension) ? name : name + kConfigExtension;
}

std::string ConfigMutexName(const std::string& path) {
  std::string name = std::string(launcher::kProgramName) + " " + path;
  std::replace_if(
      name.begin(), name.end(),
      [](char c) { return c == ' ' || c == ':' || c == '\\' || c == '/' || c == '.'; }, '_');
  return Upper1251(name);
}

std::string LocateBareName(const std::string& name, const std::string& dataFolder,
                           const std::vector<std::string>& olderFolders,
                           const FileExistsFn& exists) {
  if (name.find('\\') != std::string::npos) return name;
  const std::string current = dataFolder + "\\" + name;
  if (exists(current)) return current;
  for (const std::string& folder : olderFolders) {
    if (folder.empty() || EqualsNoCase1251(folder, dataFolder)) continue;
    const std::string older = folder + "\\" + name;
    if (exists(older)) return older;
  }
  return current;
}

std::string VirtualStoreFolder(const std::string& folder, const std::string& localAppData) {
  if (folder.size() < 2 || folder[1] != ':' || localAppData.empty()) return std::string();
  return localAppData + "\\VirtualStore" + folder.substr(2);
}

}  // namespace app
