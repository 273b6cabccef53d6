// Keeps earlier archives as numbered copies beside the current one, and decides what
// happens to an archive written earlier today: overwritten, or retained (SaveMode 1).
#pragma once

#include <string>

#include "runner/run_control.h"
#include "runner/run_values.h"

// name: base name + kind suffix; archivePath: folder\name extension, returned quoted in
// every case; skip: set when the existing archive is retained, otherwise left as it is.
// Copy n moves to copy n + 1 (replacing it), then the archive is copied to copy 1; copies
// above CopyCount are left alone.
void RotateArchiveCopies(const std::string& name, std::string& archivePath,
                         const std::string& folder, bool& skip, const std::string& extension,
                         const RunValues& values, RunControl& control);
