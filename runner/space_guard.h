// The disk-space guard of a job step: a new archive needs about the room of the archive
// it follows, so a step whose folder's volume lacks that room is refused before it moves
// or starts anything (a full disk would only cut the new archive short).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Room to ask for: the previous archives' total size, a twentieth of it for growth since
// then, and one MiB for the file system's own blocks.
uint64_t SpaceNeeded(uint64_t previousTotal);

struct SpaceShortage {
  std::string folder;
  uint64_t needed = 0;
  uint64_t free = 0;
};

// previousTotal: the sizes of the archives the step replaces in folder (nullopt: none, no
// guard). A volume that cannot tell its free space is not guarded either.
std::optional<SpaceShortage> FindSpaceShortage(const std::string& folder,
                                               std::optional<uint64_t> previousTotal);

// The journal line: the folder, the free and the needed room in whole MiB.
std::string SpaceShortageLine(const SpaceShortage& shortage);
