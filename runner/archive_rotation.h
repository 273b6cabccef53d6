// Keeps earlier archives as numbered copies beside the current one, and decides what
// happens to an archive written earlier today: overwritten, or retained (SaveMode 1).
#pragma once

#include <string>

#include "runner/run_control.h"
#include "runner/run_values.h"

// name: base name + kind suffix; archivePath: folder\name extension, returned quoted in
// every case; skip: set when the existing archive is retained, otherwise left as it is.
// Copy n moves to copy n + 1 (replacing it), then the archive is copied to copy 1; copies
// above CopyCount are left alone. Used where the archive is copied over afterwards (the
// duplicate folder).
void RotateArchiveCopies(const std::string& name, std::string& archivePath,
                         const std::string& folder, bool& skip, const std::string& extension,
                         const RunValues& values, RunControl& control);

// What the rules decide for the archive at archivePath (unquoted) before a new one is made.
struct RotationDecision {
  bool exists = false;
  bool retain = false;  // of today (or CopyCount 0) with SaveMode 1: its job is skipped
  bool shift = false;   // of an earlier day with CopyCount > 0: it becomes copy 1
};
RotationDecision DecideRotation(const std::string& archivePath, const RunValues& values);

// The shift of RotateArchiveCopies with the previous archive renamed (not copied) into
// copy 1: for an archive that was set aside while the new one was written. False when
// previous could not be renamed.
bool MoveIntoCopies(const std::string& name, const std::string& previous, const std::string& folder,
                    const std::string& extension, int count);

// Removes the "<name>(n)<ext>.tmp" files an interrupted rotation leaves behind.
void RemoveRotationSpares(const std::string& name, const std::string& folder,
                          const std::string& extension, int count);
