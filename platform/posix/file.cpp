// Native stand-in: exclusivity comes from flock, which also refuses a second
// descriptor of the same file opened in this process.
#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/system_error.h"

namespace platform {
namespace {

int OpenFlagsFor(uint32_t flags) {
  int access = (flags & 3) == kFileReadWrite ? O_RDWR : (flags & 3) == kFileWrite ? O_WRONLY
                                                                                   : O_RDONLY;
  if (flags & kFileCreate) access |= O_CREAT;
  return access | O_CLOEXEC;
}

void FillError(FileError* error, const std::string& path, int code) {
  if (!error) return;
  error->osError = code;
  error->path = path;
  error->message = path + ": " + GetSystemErrorText(static_cast<unsigned long>(code));
}

}  // namespace

bool File::Open(const std::string& path, uint32_t flags, FileError* error) {
  Close();
  std::string native = path;  // backslashes are separators, as on Windows
  std::replace(native.begin(), native.end(), '\\', '/');
  int fd = ::open(native.c_str(), OpenFlagsFor(flags), 0644);
  if (fd < 0) {
    FillError(error, path, errno);
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int code = errno;
    ::close(fd);
    FillError(error, path, code);
    return false;
  }
  // Truncate only once the file is ours, never someone else's open file.
  bool truncate = (flags & kFileCreate) && !(flags & kFileNoTruncate);
  if (truncate && ::ftruncate(fd, 0) != 0) {
    int code = errno;
    ::close(fd);
    FillError(error, path, code);
    return false;
  }
  handle_ = fd;
  return true;
}

void File::Close() {
  if (handle_ == kInvalid) return;
  ::close(static_cast<int>(handle_));
  handle_ = kInvalid;
}

bool File::Seek(int64_t offset) {
  if (!IsOpen() || offset < 0) return false;
  return ::lseek(static_cast<int>(handle_), offset, SEEK_SET) == offset;
}

int64_t File::Position() const {
  if (!IsOpen()) return -1;
  return ::lseek(static_cast<int>(handle_), 0, SEEK_CUR);
}

int64_t File::Read(void* buffer, size_t size) {
  if (!IsOpen()) return -1;
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(static_cast<int>(handle_), static_cast<char*>(buffer) + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

int64_t File::ReadAt(int64_t offset, void* buffer, size_t size) const {
  if (!IsOpen() || offset < 0) return -1;
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(static_cast<int>(handle_), static_cast<char*>(buffer) + done, size - done,
                        offset + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool File::Write(const void* data, size_t size) {
  if (!IsOpen()) return false;
  size_t done = 0;
  while (done < size) {
    ssize_t n =
        ::write(static_cast<int>(handle_), static_cast<const char*>(data) + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool File::SetLength(int64_t length) {
  if (!IsOpen() || length < 0) return false;
  return ::ftruncate(static_cast<int>(handle_), length) == 0;
}

int64_t File::GetLength() const {
  if (!IsOpen()) return -1;
  struct stat st;
  if (::fstat(static_cast<int>(handle_), &st) != 0) return -1;
  return st.st_size;
}

std::optional<int64_t> File::LastWriteTime() const {
  struct stat st;
  if (!IsOpen() || ::fstat(static_cast<int>(handle_), &st) != 0) return std::nullopt;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool File::Flush() { return IsOpen() && ::fsync(static_cast<int>(handle_)) == 0; }

}  // namespace platform
