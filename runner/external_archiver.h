// The external archiver step: archives the infobase's files (the entry's file list,
// relative to the infobase folder) into the save archive with the operator's archiver.
#pragma once

#include <string>

#include "config/entries.h"
#include "runner/run_control.h"
#include "runner/run_values.h"

// name, blank, parameters, blank, quoted archive path, then each file-list entry after a
// blank, quoted when it holds a blank.
std::string BuildArchiverCommandLine(const InfobaseEntry& entry,
                                     const std::string& quotedArchivePath);

struct ArchiverResult {
  bool started = false;
  bool success = false;  // ended within the time-out (exit code not examined)
  bool aborted = false;
  bool ended = false;  // known to be gone: it no longer writes the archive
};

ArchiverResult RunExternalArchiver(const InfobaseEntry& entry,
                                   const std::string& quotedArchivePath, const RunValues& values,
                                   RunControl& control);
