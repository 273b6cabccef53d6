// Stand-in for a command-line archiver: records how it was started in the current
// folder and writes a ZIP of the named files and masks (relative to that folder).
#include <windows.h>

#include <string>
#include <vector>

#include "platform/codepage.h"
#include "tools/archiver_standin/arguments.h"
#include "tools/shared/standin_io.h"

namespace {

constexpr DWORD kExitFailSwitch = 1;
constexpr DWORD kExitArchiveFailed = 2;

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) return path.substr(0, n);
    path.resize(path.size() * 2);
  }
}

// The arguments after the program path. An unquoted program path with blanks (as a
// caller may pass it) is recognised by comparing it with this program's own path.
std::vector<std::wstring> ArgumentsAfterProgram(const std::wstring& line) {
  const std::wstring self = ModulePath();
  if (line.size() >= self.size() && line[0] != L'"' &&
      standin::SamePath(line.substr(0, self.size()), self))
    return archiver::SplitCommandLine(line.substr(self.size()));
  std::vector<std::wstring> all = archiver::SplitCommandLine(line);
  if (!all.empty()) all.erase(all.begin());
  return all;
}

// The folder part of a mask as an entry-name prefix: "SYSLOG\*.mlg" -> "SYSLOG/";
// absolute folders give no prefix.
std::string EntryPrefix(const std::wstring& mask) {
  size_t slash = mask.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  std::wstring folder = mask.substr(0, slash + 1);
  if (folder[0] == L'\\' || folder[0] == L'/' || folder.find(L':') != std::wstring::npos) return {};
  std::string prefix = platform::Narrow(folder);
  for (char& c : prefix)
    if (c == '\\') c = '/';
  return prefix;
}

// Adds the files matching one name or mask, each file once, never the archive itself.
void AddMatches(const std::wstring& mask, const std::wstring& archive,
                std::vector<std::wstring>& seen, std::vector<zip::ZipEntry>& entries) {
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW(mask.c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return;
  const size_t slash = mask.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : mask.substr(0, slash + 1);
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::wstring full = standin::FullPath(folder + fd.cFileName);
    if (standin::SamePath(full, archive)) continue;
    bool duplicate = false;
    for (const std::wstring& s : seen) duplicate = duplicate || standin::SamePath(s, full);
    if (duplicate) continue;
    auto data = standin::ReadWholeFile(full);
    if (!data) continue;
    seen.push_back(full);
    entries.push_back({EntryPrefix(mask) + platform::Narrow(fd.cFileName), std::move(*data),
                       standin::LocalDosStamp(fd.ftLastWriteTime)});
  } while (FindNextFileW(find, &fd));
  FindClose(find);
}

DWORD Run() {
  const std::wstring line = GetCommandLineW();
  standin::RecordNextCall(standin::CurrentFolder(), L"archiver-call", platform::Narrow(line));
  const archiver::Arguments args = archiver::ParseArguments(ArgumentsAfterProgram(line));
  if (args.sleepMs > 0) Sleep(args.sleepMs);
  if (args.fail) return kExitFailSwitch;
  if (args.archive.empty()) return kExitArchiveFailed;

  const std::wstring archive = standin::FullPath(args.archive);
  std::vector<std::wstring> seen;
  std::vector<zip::ZipEntry> entries;
  for (const std::wstring& mask : args.inputs) AddMatches(mask, archive, seen, entries);
  if (!standin::WriteZipFile(archive, entries)) return kExitArchiveFailed;
  return static_cast<DWORD>(args.exitCode);
}

}  // namespace

int main() { ExitProcess(Run()); }
