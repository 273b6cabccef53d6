// Stand-in for the 1C:Enterprise 7.7 executable in batch configurator mode. It records
// how it was started, appends to the infobase's event log and writes ZIP archives where
// the batch parameter file asks for a save or an unload; standin.ctl in the infobase
// folder makes it slow, fail, crash or skip its outputs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "tools/enterprise_standin/invocation.h"
#include "tools/shared/standin_io.h"

namespace {

constexpr DWORD kExitNoInfobase = 3;
constexpr DWORD kExitArchiveFailed = 2;
constexpr DWORD kExitCrash = 0xC0000005;

// Writes callN.args, callN.batch and callN.cwd into <infobase>\standin.
void RecordCall(const std::wstring& infobase, const std::wstring& batchFile) {
  std::wstring folder = infobase + L"\\standin";
  CreateDirectoryW(folder.c_str(), nullptr);
  int n = standin::RecordNextCall(folder, L"call", platform::Narrow(GetCommandLineW()));
  if (n == 0) return;
  std::wstring base = folder + L"\\call" + std::to_wstring(n);
  if (auto batch = standin::ReadWholeFile(batchFile))
    standin::WriteWholeFile(base + L".batch", *batch);
  standin::WriteWholeFile(base + L".cwd", platform::Narrow(standin::CurrentFolder()));
}

// Appends the event-log lines, holding the file open only while writing.
void AppendEventLog(const std::wstring& infobase, const std::string& action, unsigned long lines) {
  std::wstring folder = infobase + L"\\SYSLOG";
  CreateDirectoryW(folder.c_str(), nullptr);
  SYSTEMTIME t;
  GetLocalTime(&t);
  std::string text;
  for (unsigned long i = 1; i <= lines; ++i) {
    char line[128];
    std::snprintf(line, sizeof line, "%04u%02u%02u;%02u:%02u:%02u;standin;%s;%lu\r\n", t.wYear,
                  t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, action.c_str(), i);
    text += line;
  }
  standin::FileHandle f(CreateFileW((folder + L"\\1cv7.mlg").c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.Valid()) standin::WriteAll(f.Get(), text.data(), text.size());
}

// Every file directly in the infobase folder except the control file and the target.
std::vector<zip::ZipEntry> CollectInfobaseFiles(const std::wstring& infobase,
                                                const std::wstring& target) {
  std::vector<zip::ZipEntry> entries;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((infobase + L"\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::wstring path = infobase + L"\\" + fd.cFileName;
    if (standin::SamePath(fd.cFileName, L"standin.ctl")) continue;
    if (standin::SamePath(standin::FullPath(path), standin::FullPath(target))) continue;
    if (auto data = standin::ReadWholeFile(path))
      entries.push_back({platform::Narrow(fd.cFileName), std::move(*data),
                         standin::LocalDosStamp(fd.ftLastWriteTime)});
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  std::sort(entries.begin(), entries.end(),
            [](const zip::ZipEntry& a, const zip::ZipEntry& b) { return a.name < b.name; });
  return entries;
}

std::vector<zip::ZipEntry> UnloadEntries(const std::wstring& infobase) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  std::string text =
      "Выгрузка данных информационной базы\r\n" + platform::Narrow(infobase) + "\r\n";
  return {{"1Cv7.txt", text, standin::LocalDosStamp(t)}};
}

// Writes one archive as the control file asks: deflated or stored, cut short or whole.
bool WriteArchive(const std::wstring& path, const std::vector<zip::ZipEntry>& entries,
                  const enterprise::Control& control, const std::string& password) {
  if (!standin::WriteZipFile(path, entries, {control.deflate, password, false})) return false;
  return control.cutArchive == 0 || standin::CutFileShort(path, control.cutArchive);
}

// Writes the requested archives; false when one of them could not be written. The unload
// archive carries the batch file's ZIP password.
bool WriteArchives(const std::wstring& infobase, const enterprise::BatchRequest& request,
                   const enterprise::Control& control) {
  bool ok = true;
  if (!request.saveToFile.empty()) {
    std::wstring target = platform::Widen(request.saveToFile);
    ok = WriteArchive(target, CollectInfobaseFiles(infobase, target), control, "") && ok;
  }
  if (!request.unloadToFile.empty())
    ok = WriteArchive(platform::Widen(request.unloadToFile), UnloadEntries(infobase), control,
                      request.password) &&
         ok;
  return ok;
}

DWORD Run() {
  const enterprise::CommandLine cmd = enterprise::ParseCommandLine(GetCommandLineW());
  if (!cmd.hasInfobase || !standin::FolderExists(cmd.infobase)) return kExitNoInfobase;
  RecordCall(cmd.infobase, cmd.batchFile);

  enterprise::Control control;
  if (auto ctl = standin::ReadWholeFile(cmd.infobase + L"\\standin.ctl"))
    control = enterprise::ParseControlFile(*ctl);
  // An abnormal end without a real fault: no debugger or error dialog appears.
  if (control.crash) TerminateProcess(GetCurrentProcess(), kExitCrash);
  if (control.sleepMs > 0) Sleep(control.sleepMs);

  enterprise::BatchRequest request;
  if (auto batch = standin::ReadWholeFile(cmd.batchFile))
    request = enterprise::ParseBatchFile(*batch);
  if (!control.noSyslog && control.logLines > 0)
    AppendEventLog(cmd.infobase, request.actions.empty() ? "Config" : request.actions.front(),
                   control.logLines);
  if (!control.noArchive && !WriteArchives(cmd.infobase, request, control)) return kExitArchiveFailed;
  return static_cast<DWORD>(control.exitCode);
}

}  // namespace

int main() { ExitProcess(Run()); }
