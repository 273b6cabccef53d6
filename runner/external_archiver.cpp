#include "runner/external_archiver.h"

#include "runner/archive_names.h"
#include "runner/child_run.h"

std::string BuildArchiverCommandLine(const InfobaseEntry& entry,
                                     const std::string& quotedArchivePath) {
  std::string line =
      entry.ExternalArchiverName + " " + entry.ExternalArchiverParameters + " " + quotedArchivePath;
  for (const std::string& file : entry.FileList)
    line += " " + (file.find(' ') == std::string::npos ? file : Quote(file));
  return line;
}

ArchiverResult RunExternalArchiver(const InfobaseEntry& entry,
                                   const std::string& quotedArchivePath, const RunValues& values,
                                   RunControl& control) {
  std::string line = BuildArchiverCommandLine(entry, quotedArchivePath);
  ChildRun run =
      RunChild(line, line, entry.path, platform::ShowWindow::Normal, values, control);
  ArchiverResult result;
  result.started = run.outcome != ChildOutcome::NotStarted;
  result.success = run.outcome == ChildOutcome::EndedInTime;
  result.aborted = run.outcome == ChildOutcome::Aborted;
  result.ended = run.ended;
  return result;
}
