#include "platform/fs.h"

#include <windows.h>

#include <algorithm>

#include "platform/codepage.h"

namespace platform::fs {
namespace {

bool Fail(unsigned long* error) {
  if (error) *error = GetLastError();
  return false;
}

bool Succeed(unsigned long* error) {
  if (error) *error = 0;
  return true;
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (ok()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

Handle OpenFile(const std::string& path, DWORD access, DWORD disposition,
                DWORD share = FILE_SHARE_READ) {
  return Handle(CreateFileW(Widen(path).c_str(), access, share, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool WriteAll(HANDLE h, const std::string& bytes, unsigned long* error) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return Fail(error);
    done += written;
  }
  return Succeed(error);
}

}  // namespace

Attributes GetAttributes(const std::string& path) {
  DWORD a = GetFileAttributesW(Widen(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return {};
  return {true, (a & FILE_ATTRIBUTE_DIRECTORY) != 0, (a & FILE_ATTRIBUTE_READONLY) != 0};
}

bool FileExists(const std::string& path, unsigned long* error) {
  DWORD a = GetFileAttributesW(Widen(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return Fail(error);
  if (a & FILE_ATTRIBUTE_DIRECTORY) {
    if (error) *error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  return Succeed(error);
}

bool CreateFolder(const std::string& path, unsigned long* error) {
  return CreateDirectoryW(Widen(path).c_str(), nullptr) ? Succeed(error) : Fail(error);
}

bool RemoveFolder(const std::string& path) { return RemoveDirectoryW(Widen(path).c_str()) != 0; }

namespace {

// FILETIME counts 100 ns ticks from 1601; stamps count seconds from 1970.
constexpr int64_t kTicksPerSecond = 10000000, kSecondsFrom1601 = 11644473600;

int64_t StampOf(const FILETIME& ft) {
  uint64_t ticks = (uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
  return static_cast<int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601;
}

}  // namespace

std::optional<int64_t> GetLastWriteStamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return {};
  return StampOf(data.ftLastWriteTime);
}

bool SetLastWriteStamp(const std::string& path, int64_t secondsUtc) {
  uint64_t ticks = static_cast<uint64_t>(secondsUtc + kSecondsFrom1601) * kTicksPerSecond;
  FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  Handle h(CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return h.ok() && SetFileTime(h.get(), nullptr, nullptr, &ft);
}

int64_t NowStamp() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return StampOf(ft);
}


bool CopyOver(const std::string& from, const std::string& to, unsigned long* error) {
  return CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE) ? Succeed(error) : Fail(error);
}

bool CopyInto(const std::string& from, const std::string& to) {
  Handle in(CreateFileW(Widen(from).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  Handle out = OpenFile(to, GENERIC_WRITE, OPEN_EXISTING);
  FILETIME written;
  if (!in.ok() || !out.ok() || !GetFileTime(in.get(), nullptr, nullptr, &written)) return false;
  std::string buffer(1 << 20, '\0');
  for (;;) {
    DWORD got = 0, put = 0;
    if (!::ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
      return false;
    if (got == 0) break;
    for (DWORD done = 0; done < got; done += put)
      if (!::WriteFile(out.get(), buffer.data() + done, got - done, &put, nullptr) || put == 0)
        return false;
  }
  return SetEndOfFile(out.get()) && SetFileTime(out.get(), nullptr, nullptr, &written);
}

bool MoveReplace(const std::string& from, const std::string& to, unsigned long* error) {
  return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING)
             ? Succeed(error)
             : Fail(error);
}

namespace {

// Errors of a target that another program holds open for the moment.
bool IsTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION;
}

}  // namespace

bool ReplaceDurably(const std::string& source, const std::string& target, uint32_t timeoutMs,
                    unsigned long* error) {
  const std::wstring from = Widen(source), to = Widen(target);
  if (Handle h = OpenFile(source, GENERIC_WRITE, OPEN_EXISTING); h.ok()) FlushFileBuffers(h.get());
  const DWORD start = GetTickCount();
  while (!MoveFileExW(from.c_str(), to.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    if (!IsTransient(GetLastError()) || GetTickCount() - start >= timeoutMs) return Fail(error);
    Sleep(50);
  }
  return Succeed(error);
}

bool Rename(const std::string& from, const std::string& to, unsigned long* error) {
  return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) ? Succeed(error) : Fail(error);
}

bool RemoveFile(const std::string& path, unsigned long* error) {
  return DeleteFileW(Widen(path).c_str()) ? Succeed(error) : Fail(error);
}

std::optional<std::string> ReadWholeFile(const std::string& path, unsigned long* error) {
  // Readable while another program appends to it (an event log being written).
  Handle h = OpenFile(path, GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE);
  LARGE_INTEGER size;
  if (!h.ok() || !GetFileSizeEx(h.get(), &size)) {
    Fail(error);
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(h.get(), bytes.data() + done, chunk, &got, nullptr)) {
      Fail(error);
      return std::nullopt;
    }
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.resize(done);
  Succeed(error);
  return bytes;
}

bool AppendFile(const std::string& path, const std::string& bytes, unsigned long* error) {
  Handle h = OpenFile(path, FILE_APPEND_DATA, OPEN_EXISTING);
  if (!h.ok()) return Fail(error);
  return WriteAll(h.get(), bytes, error);
}

bool CreateNewFile(const std::string& path) {
  return OpenFile(path, GENERIC_WRITE, CREATE_NEW).ok();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, unsigned long* error) {
  Handle h = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
  if (!h.ok()) return Fail(error);
  return WriteAll(h.get(), bytes, error);
}

bool SetFileLength(const std::string& path, uint64_t size) {
  Handle h = OpenFile(path, GENERIC_WRITE, OPEN_EXISTING);
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(size);
  return h.ok() && SetFilePointerEx(h.get(), position, nullptr, FILE_BEGIN) &&
         SetEndOfFile(h.get());
}

std::optional<uint64_t> FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return {};
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::string TempPath() {
  wchar_t buffer[MAX_PATH + 2];
  DWORD n = GetTempPathW(MAX_PATH + 2, buffer);
  if (n == 0 || n > MAX_PATH + 1) return {};
  return Narrow(std::wstring(buffer, n));
}

std::optional<std::string> CreateTempFile(const std::string& folder, const std::string& prefix,
                                          unsigned long* error) {
  wchar_t buffer[MAX_PATH];
  if (!GetTempFileNameW(Widen(folder).c_str(), Widen(prefix).c_str(), 0, buffer)) {
    Fail(error);
    return std::nullopt;
  }
  Succeed(error);
  return Narrow(buffer);
}

}  // namespace platform::fs
