// Runs a configuration file unattended, as the main program does in AutoRun mode but
// without a window: zorvan_run.exe <configuration file>. Ctrl+C aborts the run.
// The journal lies beside the configuration file unless its name holds a folder.
#include <windows.h>

#include <atomic>

#include "platform/registry.h"
#include "runner/job_run.h"
#include "tools/zorvan_run/console.h"

namespace {

HANDLE finishedEvent = nullptr;
std::atomic<bool> interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD) {
  interrupted = true;
  SetEvent(finishedEvent);
  return TRUE;
}

RunSeams ConsoleSeams() {
  RunSeams seams;
  seams.jobStarted = [](const InfobaseEntry& e) {
    console::PrintLine("Выполняется задание: " + e.BaseName);
  };
  seams.runFinished = [] { SetEvent(finishedEvent); };
  seams.showMessage = [](const std::string& text) { console::PrintLine(text, true); };
  return seams;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

}  // namespace

int main() {
  std::vector<std::string> args = console::Arguments();
  if (args.size() != 1) {
    console::PrintLine("usage: zorvan_run.exe <configuration file>", true);
    return 2;
  }
  finishedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  std::unique_ptr<platform::Registry> registry = platform::MakeWin32Registry();
  JobRun run(ConsoleSeams(), *registry,
             [](const platform::FileError& e) { console::PrintLine(e.message, true); });

  RunSource source;  // no window: the configuration file itself runs
  source.environment.currentConfigPath = console::FullPath(args[0]);
  source.environment.programFolder = console::ProgramFolder();
  source.environment.dataFolder = FolderOf(source.environment.currentConfigPath);
  if (run.StartRun(source) != StartResult::Started) return 1;
  WaitForSingleObject(finishedEvent, INFINITE);
  if (interrupted) run.AbortRun();
  run.FinishRun();

  const std::string& journal = run.Settings().journalPath;
  console::PrintLine(journal.empty() ? "Журнал не ведется" : "Журнал: " + journal);
  return interrupted ? 3 : 0;
}
