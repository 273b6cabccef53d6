// Native stand-in: statvfs, and the C library's environment.
#include "platform/disk_space.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace platform::fs::detail {

std::optional<uint64_t> VolumeFreeBytes(const std::string& existingFolder, unsigned long* error) {
  std::string native = existingFolder;
  std::replace(native.begin(), native.end(), '\\', '/');
  struct statvfs st {};
  if (statvfs(native.c_str(), &st) != 0) {
    if (error) *error = static_cast<unsigned long>(errno);
    return std::nullopt;
  }
  if (error) *error = 0;
  return static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
}

std::optional<std::string> EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void SetEnvironmentValue(const char* name, const std::optional<std::string>& value) {
  if (value)
    setenv(name, value->c_str(), 1);
  else
    unsetenv(name);
}

}  // namespace platform::fs::detail
