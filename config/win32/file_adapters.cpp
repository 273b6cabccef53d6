#include "config/file_adapters.h"

#include <windows.h>

#include "platform/codepage.h"

namespace config_files {

bool FileExists(const std::string& path, uint32_t& errorCode) {
  const DWORD attributes = GetFileAttributesW(platform::Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    errorCode = GetLastError();
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    errorCode = ERROR_FILE_NOT_FOUND;  // a folder is no executable
    return false;
  }
  return true;
}

// Errors of a target that another process holds open for the moment.
static bool IsTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION;
}

// Puts the new file's data on disk before its name takes the old one's place.
static void FlushToDisk(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  FlushFileBuffers(file);
  CloseHandle(file);
}

uint32_t ReplaceFileWithRetry(const std::string& source, const std::string& target,
                              uint32_t timeoutMs) {
  const std::wstring from = platform::Widen(source);
  const std::wstring to = platform::Widen(target);
  FlushToDisk(from);
  const DWORD start = GetTickCount();
  for (;;) {
    if (MoveFileExW(from.c_str(), to.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return 0;
    }
    const DWORD error = GetLastError();
    if (!IsTransient(error) || GetTickCount() - start >= timeoutMs) return error;
    Sleep(50);
  }
}

bool RemoveFile(const std::string& path) {
  const std::wstring wide = platform::Widen(path);
  return DeleteFileW(wide.c_str()) || GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace config_files
