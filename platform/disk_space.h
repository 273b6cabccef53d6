// Free space of the volume that holds a folder, for the guard that refuses an archive
// that cannot fit before anything is moved. Paths are Windows-1251 texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform::fs {

// Bytes this user may still write on the volume of folder (disk quotas count). A folder
// that does not exist yet is measured at its nearest existing parent. nullopt (with the
// system error code) when the volume cannot tell. A limit set with SetFreeSpaceLimit
// caps the result.
std::optional<uint64_t> FreeSpace(const std::string& folder, unsigned long* error = nullptr);

// Caps what FreeSpace reports in this process and the programs it starts (through the
// environment value ZORVAN_FREE_SPACE_LIMIT, in bytes); nullopt removes the cap. Lets a
// test stand a nearly full volume in for a real one.
void SetFreeSpaceLimit(std::optional<uint64_t> bytes);

namespace detail {
// What each system adapter provides.
std::optional<uint64_t> VolumeFreeBytes(const std::string& existingFolder, unsigned long* error);
std::optional<std::string> EnvironmentValue(const char* name);
void SetEnvironmentValue(const char* name, const std::optional<std::string>& value);
}  // namespace detail

}  // namespace platform::fs
