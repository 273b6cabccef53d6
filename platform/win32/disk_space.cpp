#include "platform/disk_space.h"

#include <windows.h>

#include "platform/codepage.h"

namespace platform::fs::detail {

std::optional<uint64_t> VolumeFreeBytes(const std::string& existingFolder, unsigned long* error) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(Widen(existingFolder).c_str(), &available, nullptr, nullptr)) {
    if (error) *error = GetLastError();
    return std::nullopt;
  }
  if (error) *error = 0;
  return available.QuadPart;
}

// The process environment itself (not the C library's copy), so that programs this one
// starts see the same values.
std::optional<std::string> EnvironmentValue(const char* name) {
  const std::wstring wide = Widen(name);
  wchar_t buffer[64];
  const DWORD n = GetEnvironmentVariableW(wide.c_str(), buffer, 64);
  if (n == 0 || n >= 64) return std::nullopt;  // missing, or longer than any number
  return Narrow(std::wstring(buffer, n));
}

void SetEnvironmentValue(const char* name, const std::optional<std::string>& value) {
  SetEnvironmentVariableW(Widen(name).c_str(), value ? Widen(*value).c_str() : nullptr);
}

}  // namespace platform::fs::detail
