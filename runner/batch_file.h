// The batch parameter file that tells 1C:Enterprise what to do: sections General,
// SaveData, UnloadData, CheckAndRepair and AutoExchange, lines ended by LF, then five
// zero bytes. Texts of any length are written whole.
#pragma once

#include <string>

#include "config/entries.h"
#include "runner/archive_names.h"

// Whether the batch file asks 1C:Enterprise for the archive of this kind.
bool BatchRequestsArchive(const InfobaseEntry& entry, const ArchivePlan& plan, ArchiveKind kind);
// The whole file; plan paths are the quoted ones.
std::string BuildBatchFile(const InfobaseEntry& entry, const ArchivePlan& plan);
