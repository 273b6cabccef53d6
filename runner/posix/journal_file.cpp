// Native stand-in of the journal for tests: an exclusive lock stands in for the
// Windows open without sharing.
#include "runner/journal_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

CJournalFile::CJournalFile(const std::string& path, bool clear) : path_(path) {
  std::string native = path;  // backslashes are separators, as on Windows
  std::replace(native.begin(), native.end(), '\\', '/');
  int fd = open(native.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
  if (fd < 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error_ = static_cast<unsigned long>(errno);
    if (fd >= 0) close(fd);
    return;
  }
  if (clear && ftruncate(fd, 0) != 0) {
    error_ = static_cast<unsigned long>(errno);
    close(fd);
    return;
  }
  handle_ = fd;
}

CJournalFile::~CJournalFile() { Close(); }

bool CJournalFile::WriteLine(const std::string& text) {
  if (handle_ == -1) return false;
  std::string line = text + "\r\n";
  ssize_t n = write(static_cast<int>(handle_), line.data(), line.size());
  fsync(static_cast<int>(handle_));
  return n == static_cast<ssize_t>(line.size());
}

void CJournalFile::Close() {
  if (handle_ != -1) close(static_cast<int>(handle_));
  handle_ = -1;
}
