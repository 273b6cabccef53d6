// The previous archive of a kind waits under a side name while a job step writes the new
// one at the archive path, so the child always creates a fresh file: a failed step puts
// the previous archive back, a verified one rotates it into the numbered copies.
#pragma once

#include <string>

// Side name of an archive (unquoted path): the same length, its last character replaced
// by "~" (by "_" when it already is "~"), so every archive path that works has a side
// path that works.
std::string ArchiveSidePath(const std::string& archivePath);

// Moves the archive to its side name; true also when there is no archive.
bool SetArchiveAside(const std::string& archivePath, unsigned long* error = nullptr);

// Removes what a step left at the archive path and puts a side file back in its place;
// true when nothing is left aside (also when there was none).
bool PutArchiveBack(const std::string& archivePath, unsigned long* error = nullptr);

// A verified new archive: the side file becomes copy 1 after the older copies moved up
// (shift), or is dropped (an archive of today overwritten, or no copies kept).
void SettleArchive(const std::string& name, const std::string& archivePath,
                   const std::string& folder, const std::string& extension, int copyCount,
                   bool shift);
