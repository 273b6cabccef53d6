// The two file operations the configuration save needs of the system.
#pragma once

#include <cstdint>
#include <string>

namespace config_files {

// True when a file (not a folder) exists at path; otherwise errorCode receives the
// system error code of the failed lookup (Windows numbering).
bool FileExists(const std::string& path, uint32_t& errorCode);

// Replaces target by source (renamed over it, written through). A target held open by
// another program is retried for up to timeoutMs. Returns 0 or the system error code.
uint32_t ReplaceFileWithRetry(const std::string& source, const std::string& target,
                              uint32_t timeoutMs);

// Deletes a file; true when it is gone.
bool RemoveFile(const std::string& path);

}  // namespace config_files
