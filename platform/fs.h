// File and folder operations of the job steps. Paths are Windows-1251 texts; each
// operation is one system call, and a failed one reports the system error code of
// the place where it failed (0 when there is none).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/local_time.h"

namespace platform::fs {

struct Attributes {
  bool exists = false;  // false also when the attributes cannot be read
  bool folder = false;
  bool readOnly = false;
  uint64_t size = 0;
  // The last write in the system's finest unit: tells a rewritten file from an unchanged one.
  int64_t writeTime = 0;
};

using platform::LocalTime;

Attributes GetAttributes(const std::string& path);
// True when path names an existing file (not a folder); otherwise error receives the code
// of the failed lookup (file not found for a folder).
bool FileExists(const std::string& path, unsigned long* error = nullptr);
bool CreateFolder(const std::string& path, unsigned long* error = nullptr);
// Removes an empty folder.
bool RemoveFolder(const std::string& path);

// Seconds since 1970 UTC of the file's last write, and of now: for ordering moments.
std::optional<int64_t> GetLastWriteStamp(const std::string& path);
bool SetLastWriteStamp(const std::string& path, int64_t secondsUtc);
int64_t NowStamp();
// The same in local calendar fields (the local-time rules of each date).
std::optional<LocalTime> GetLastWriteTime(const std::string& path);
bool SetLastWriteTime(const std::string& path, const LocalTime& time);
LocalTime NowLocal();

// Copies over an existing target; the copy keeps the source's last-write time.
bool CopyOver(const std::string& from, const std::string& to, unsigned long* error = nullptr);
// Copies into an existing file, reusing its disk space (no release and new allocation),
// and gives it the source's last-write time.
// A stop() that answers true between chunks ends it with false.
bool CopyInto(const std::string& from, const std::string& to,
              const std::function<bool()>& stop = nullptr);
// A copy that an abort must be able to stop at once: made in chunks of kCopyChunk bytes
// with stop() asked before each (the system's copy offers no working way to stop under
// every system it runs on). A stopped or failed copy removes what it wrote of the target.
// The target is created or overwritten and gets the source's last-write time.
enum class CopyResult { Copied, Stopped, Failed };
inline constexpr size_t kCopyChunk = size_t{1} << 20;
CopyResult CopyStoppable(const std::string& from, const std::string& to,
                         const std::function<bool()>& stop, unsigned long* error = nullptr);
// Renames, replacing an existing target; the file keeps its times.
bool MoveReplace(const std::string& from, const std::string& to, unsigned long* error = nullptr);
// The files a save writes beside its target: the new content, and the previous file
// while the system swaps them. Same folder, names never longer than the target's.
enum class SideFile { Replacement, Backup };
std::string SideFileName(const std::string& target, SideFile kind);
// Puts source's data on disk, then swaps it in for target (written through). An existing
// target keeps its attributes and security and, when the swap fails midway, its content
// (it is kept under SideFileName(target, Backup) meanwhile). A target that another
// program holds open for the moment is retried for up to timeoutMs.
bool ReplaceDurably(const std::string& source, const std::string& target, uint32_t timeoutMs,
                    unsigned long* error = nullptr);
// Renames; fails when the target exists.
bool Rename(const std::string& from, const std::string& to, unsigned long* error = nullptr);
bool RemoveFile(const std::string& path, unsigned long* error = nullptr);

std::optional<std::string> ReadWholeFile(const std::string& path,
                                         unsigned long* error = nullptr);
// Appends to an existing file; fails when it is missing.
bool AppendFile(const std::string& path, const std::string& bytes,
                unsigned long* error = nullptr);
// Creates an empty file; fails when it exists.
bool CreateNewFile(const std::string& path);
// Creates or truncates the file and writes bytes.
bool WriteWholeFile(const std::string& path, const std::string& bytes,
                    unsigned long* error = nullptr);
// Cuts an existing file to size bytes.
bool SetFileLength(const std::string& path, uint64_t size);
// Byte size of a file, or nullopt.
std::optional<uint64_t> FileSize(const std::string& path);

// Names of a folder's entries (files and folders, not "." and ".."); empty when it
// cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder);

// The temporary folder, ending with a path separator.
std::string TempPath();
// Creates an empty file with a unique name in folder (first three characters of prefix
// count, as on Windows); returns its path.
std::optional<std::string> CreateTempFile(const std::string& folder, const std::string& prefix,
                                          unsigned long* error = nullptr);

}  // namespace platform::fs
