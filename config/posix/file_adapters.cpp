#include "config/file_adapters.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace config_files {

namespace {

// errno in the Windows numbering the error texts use.
uint32_t WindowsError(int error) {
  switch (error) {
    case ENOENT: return 2;   // file not found
    case ENOTDIR: return 3;  // path not found
    case EACCES:
    case EPERM: return 5;    // access denied
    default: return 31;      // device not functioning
  }
}

}  // namespace

bool FileExists(const std::string& path, uint32_t& errorCode) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    errorCode = WindowsError(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    errorCode = 2;  // a folder is no executable
    return false;
  }
  return true;
}

uint32_t ReplaceFileWithRetry(const std::string& source, const std::string& target,
                              uint32_t /*timeoutMs*/) {
  // No share modes here: a rename never waits for readers.
  const int fd = open(source.c_str(), O_WRONLY);
  if (fd >= 0) {
    fsync(fd);  // the data reaches the disk before the name does
    close(fd);
  }
  return std::rename(source.c_str(), target.c_str()) == 0 ? 0 : WindowsError(errno);
}

bool RemoveFile(const std::string& path) {
  return std::remove(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace config_files
