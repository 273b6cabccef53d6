// Native stand-in of the file operations so that portable job-step logic can be tested
// with sanitizers. Backslashes in paths are taken as separators.
#include "platform/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace platform::fs {
namespace {

std::string Native(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

bool Result(bool ok, unsigned long* error) {
  if (error) *error = ok ? 0 : static_cast<unsigned long>(errno);
  return ok;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

Attributes GetAttributes(const std::string& path) {
  struct stat st;
  if (stat(Native(path).c_str(), &st) != 0) return {};
  return {true, S_ISDIR(st.st_mode), (st.st_mode & S_IWUSR) == 0, static_cast<uint64_t>(st.st_size),
          static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool FileExists(const std::string& path, unsigned long* error) {
  struct stat st;
  if (stat(Native(path).c_str(), &st) != 0) return Result(false, error);
  errno = ENOENT;  // a folder is no file
  return Result(!S_ISDIR(st.st_mode), error);
}

bool CreateFolder(const std::string& path, unsigned long* error) {
  return Result(mkdir(Native(path).c_str(), 0777) == 0, error);
}

bool RemoveFolder(const std::string& path) { return rmdir(Native(path).c_str()) == 0; }

std::optional<int64_t> GetLastWriteStamp(const std::string& path) {
  struct stat st;
  if (stat(Native(path).c_str(), &st) != 0) return {};
  return static_cast<int64_t>(st.st_mtime);
}

bool SetLastWriteStamp(const std::string& path, int64_t secondsUtc) {
  timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(secondsUtc), 0}};
  return utimensat(AT_FDCWD, Native(path).c_str(), times, 0) == 0;
}

int64_t NowStamp() { return static_cast<int64_t>(time(nullptr)); }


bool CopyOver(const std::string& from, const std::string& to, unsigned long* error) {
  std::optional<std::string> bytes = ReadWholeFile(from, error);
  struct stat st;
  if (!bytes || stat(Native(from).c_str(), &st) != 0) return Result(false, error);
  if (!WriteWholeFile(to, *bytes, error)) return false;
  timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
  return Result(utimensat(AT_FDCWD, Native(to).c_str(), times, 0) == 0, error);
}

bool CopyInto(const std::string& from, const std::string& to, const std::function<bool()>& stop) {
  if (stop && stop()) return false;  // one chunk here: the whole file
  struct stat st;
  std::optional<std::string> bytes = ReadWholeFile(from);
  if (!bytes || stat(Native(from).c_str(), &st) != 0) return false;
  Fd fd(open(Native(to).c_str(), O_WRONLY));
  if (fd.get() < 0 || !WriteAll(fd.get(), *bytes) ||
      ftruncate(fd.get(), static_cast<off_t>(bytes->size())) != 0)
    return false;
  timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
  return futimens(fd.get(), times) == 0;
}

CopyResult CopyStoppable(const std::string& from, const std::string& to,
                         const std::function<bool()>& stop, unsigned long* error) {
  struct stat st;
  Fd in(open(Native(from).c_str(), O_RDONLY));
  if (in.get() < 0 || fstat(in.get(), &st) != 0) return Result(false, error), CopyResult::Failed;
  Fd out(open(Native(to).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
  if (out.get() < 0) return Result(false, error), CopyResult::Failed;
  CopyResult result = CopyResult::Copied;
  std::string buffer(kCopyChunk, '\0');
  for (;;) {
    if (stop && stop()) {
      result = CopyResult::Stopped;
      break;
    }
    ssize_t got = read(in.get(), buffer.data(), buffer.size());
    if (got < 0 || !WriteAll(out.get(), buffer.substr(0, static_cast<size_t>(got)))) {
      result = CopyResult::Failed;
      break;
    }
    if (got == 0) break;
  }
  timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
  if (result == CopyResult::Copied && futimens(out.get(), times) != 0) result = CopyResult::Failed;
  Result(result == CopyResult::Copied, error);
  if (result != CopyResult::Copied) unlink(Native(to).c_str());
  return result;
}

bool MoveReplace(const std::string& from, const std::string& to, unsigned long* error) {
  return Result(rename(Native(from).c_str(), Native(to).c_str()) == 0, error);
}

bool ReplaceDurably(const std::string& source, const std::string& target, uint32_t,
                    unsigned long* error) {
  // A rename never waits for readers here; the data reaches the disk before the name does.
  if (int fd = open(Native(source).c_str(), O_WRONLY); fd >= 0) {
    fsync(fd);
    close(fd);
  }
  return MoveReplace(source, target, error);
}

bool Rename(const std::string& from, const std::string& to, unsigned long* error) {
  if (access(Native(to).c_str(), F_OK) == 0) {
    errno = EEXIST;
    return Result(false, error);
  }
  return MoveReplace(from, to, error);
}

bool RemoveFile(const std::string& path, unsigned long* error) {
  return Result(unlink(Native(path).c_str()) == 0, error);
}

std::optional<std::string> ReadWholeFile(const std::string& path, unsigned long* error) {
  Fd fd(open(Native(path).c_str(), O_RDONLY));
  if (fd.get() < 0) {
    Result(false, error);
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd.get(), buffer, sizeof buffer)) > 0) bytes.append(buffer, size_t(n));
  if (n < 0) {
    Result(false, error);
    return std::nullopt;
  }
  Result(true, error);
  return bytes;
}

bool AppendFile(const std::string& path, const std::string& bytes, unsigned long* error) {
  Fd fd(open(Native(path).c_str(), O_WRONLY | O_APPEND));
  return Result(fd.get() >= 0 && WriteAll(fd.get(), bytes), error);
}

bool CreateNewFile(const std::string& path) {
  Fd fd(open(Native(path).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666));
  return fd.get() >= 0;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, unsigned long* error) {
  Fd fd(open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666));
  return Result(fd.get() >= 0 && WriteAll(fd.get(), bytes), error);
}

bool SetFileLength(const std::string& path, uint64_t size) {
  return truncate(Native(path).c_str(), static_cast<off_t>(size)) == 0;
}

std::optional<uint64_t> FileSize(const std::string& path) {
  struct stat st;
  if (stat(Native(path).c_str(), &st) != 0) return {};
  return static_cast<uint64_t>(st.st_size);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(Native(folder).c_str());
  if (!dir) return names;
  while (const dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  return names;
}

std::string TempPath() {
  const char* dir = std::getenv("TMPDIR");
  std::string path = dir && *dir ? dir : "/tmp";
  return path.back() == '/' ? path : path + "/";
}

std::optional<std::string> CreateTempFile(const std::string& folder, const std::string& prefix,
                                          unsigned long* error) {
  std::string base = Native(folder);
  if (!base.empty() && base.back() != '/') base += '/';
  std::string name = base + prefix.substr(0, 3) + "XXXXXX";
  int fd = mkstemp(name.data());
  if (fd < 0) {
    Result(false, error);
    return std::nullopt;
  }
  close(fd);
  Result(true, error);
  return name;
}

}  // namespace platform::fs
