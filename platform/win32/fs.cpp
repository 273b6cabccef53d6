#include "platform/fs.h"

#include <windows.h>

#include <algorithm>

#include "platform/codepage.h"
#include "platform/win32/handles.h"

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

using win32::FileHandle;

FileHandle OpenFile(const std::string& path, DWORD access, DWORD disposition,
                    DWORD share = FILE_SHARE_READ) {
  return FileHandle(CreateFileW(Widen(path).c_str(), access, share, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool WriteAll(HANDLE h, const std::string& bytes, unsigned long* error) {
  return win32::WriteFully(h, bytes.data(), bytes.size()) ? Succeed(error) : Fail(error);
}

}  // namespace

Attributes GetAttributes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &d)) return {};
  const DWORD a = d.dwFileAttributes;
  return {true, (a & FILE_ATTRIBUTE_DIRECTORY) != 0, (a & FILE_ATTRIBUTE_READONLY) != 0,
          (uint64_t{d.nFileSizeHigh} << 32) | d.nFileSizeLow,
          static_cast<int64_t>((uint64_t{d.ftLastWriteTime.dwHighDateTime} << 32) |
                               d.ftLastWriteTime.dwLowDateTime)};
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
  FileHandle h = OpenFile(path, FILE_WRITE_ATTRIBUTES, OPEN_EXISTING);
  return h.Valid() && SetFileTime(h.Get(), nullptr, nullptr, &ft);
}

int64_t NowStamp() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return StampOf(ft);
}


bool CopyOver(const std::string& from, const std::string& to, unsigned long* error) {
  return CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE) ? Succeed(error) : Fail(error);
}

bool CopyInto(const std::string& from, const std::string& to, const std::function<bool()>& stop) {
  FileHandle in(CreateFileW(Widen(from).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  FileHandle out = OpenFile(to, GENERIC_WRITE, OPEN_EXISTING);
  FILETIME written;
  if (!in.Valid() || !out.Valid() || !GetFileTime(in.Get(), nullptr, nullptr, &written))
    return false;
  std::string buffer(kCopyChunk, '\0');
  for (;;) {
    if (stop && stop()) return false;
    const int64_t got = win32::ReadFully(in.Get(), buffer.data(), buffer.size());
    if (got < 0 || !win32::WriteFully(out.Get(), buffer.data(), static_cast<size_t>(got)))
      return false;
    if (static_cast<size_t>(got) < buffer.size()) break;  // the end of the source
  }
  return SetEndOfFile(out.Get()) && SetFileTime(out.Get(), nullptr, nullptr, &written);
}

CopyResult CopyStoppable(const std::string& from, const std::string& to,
                         const std::function<bool()>& stop, unsigned long* error) {
  FileHandle in(CreateFileW(Widen(from).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  FILETIME written;
  if (!in.Valid() || !GetFileTime(in.Get(), nullptr, nullptr, &written)) {
    Fail(error);
    return CopyResult::Failed;
  }
  FileHandle out = OpenFile(to, GENERIC_WRITE, CREATE_ALWAYS);
  if (!out.Valid()) {
    Fail(error);
    return CopyResult::Failed;
  }
  CopyResult result = CopyResult::Copied;
  std::string buffer(kCopyChunk, '\0');
  for (;;) {
    if (stop && stop()) {
      result = CopyResult::Stopped;
      break;
    }
    const int64_t got = win32::ReadFully(in.Get(), buffer.data(), buffer.size());
    if (got < 0 || !win32::WriteFully(out.Get(), buffer.data(), static_cast<size_t>(got))) {
      result = CopyResult::Failed;
      break;
    }
    if (static_cast<size_t>(got) < buffer.size()) break;  // the end of the source
  }
  if (result == CopyResult::Copied && !SetFileTime(out.Get(), nullptr, nullptr, &written))
    result = CopyResult::Failed;
  if (result == CopyResult::Failed) Fail(error);
  out.Close();
  if (result == CopyResult::Copied) return Succeed(error), result;
  DeleteFileW(Widen(to).c_str());
  return result;
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
         error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

}  // namespace

namespace {

// Swaps replacement in for an existing target through the system's replace, which keeps
// the target's security and streams. When it fails after the target was renamed to the
// backup name, the backup is put back so the target never goes missing.
bool ReplaceExisting(const std::wstring& replacement, const std::wstring& target,
                     const std::wstring& backup) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  DeleteFileW(backup.c_str());
  if (!ReplaceFileW(target.c_str(), replacement.c_str(), backup.c_str(),
                    REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    const DWORD error = GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
      MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    SetLastError(error);
    return false;
  }
  // Some systems drop the replaced file's attributes: set them again.
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(target.c_str(), attributes);
  DeleteFileW(backup.c_str());
  return true;
}

}  // namespace

bool ReplaceDurably(const std::string& source, const std::string& target, uint32_t timeoutMs,
                    unsigned long* error) {
  const std::wstring from = Widen(source), to = Widen(target);
  const std::wstring backup = Widen(SideFileName(target, SideFile::Backup));
  if (FileHandle h = OpenFile(source, GENERIC_WRITE, OPEN_EXISTING); h.Valid()) {
    FlushFileBuffers(h.Get());
  }
  const DWORD start = GetTickCount();
  for (;;) {
    const bool exists = GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (exists ? ReplaceExisting(from, to, backup)
               : MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0)
      return Succeed(error);
    if (!IsTransient(GetLastError()) || GetTickCount() - start >= timeoutMs) return Fail(error);
    Sleep(50);
  }
}

bool Rename(const std::string& from, const std::string& to, unsigned long* error) {
  return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) ? Succeed(error) : Fail(error);
}

bool RemoveFile(const std::string& path, unsigned long* error) {
  return DeleteFileW(Widen(path).c_str()) ? Succeed(error) : Fail(error);
}

std::optional<std::string> ReadWholeFile(const std::string& path, unsigned long* error) {
  // Readable while another program appends to it (an event log being written).
  FileHandle h = OpenFile(path, GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE);
  LARGE_INTEGER size;
  if (!h.Valid() || !GetFileSizeEx(h.Get(), &size)) {
    Fail(error);
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  const int64_t done = win32::ReadFully(h.Get(), bytes.data(), bytes.size());
  if (done < 0) {
    Fail(error);
    return std::nullopt;
  }
  bytes.resize(static_cast<size_t>(done));  // the file may have shrunk meanwhile
  Succeed(error);
  return bytes;
}

bool AppendFile(const std::string& path, const std::string& bytes, unsigned long* error) {
  FileHandle h = OpenFile(path, FILE_APPEND_DATA, OPEN_EXISTING);
  if (!h.Valid()) return Fail(error);
  return WriteAll(h.Get(), bytes, error);
}

bool CreateNewFile(const std::string& path) {
  return OpenFile(path, GENERIC_WRITE, CREATE_NEW).Valid();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, unsigned long* error) {
  FileHandle h = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
  if (!h.Valid()) return Fail(error);
  return WriteAll(h.Get(), bytes, error);
}

bool SetFileLength(const std::string& path, uint64_t size) {
  FileHandle h = OpenFile(path, GENERIC_WRITE, OPEN_EXISTING);
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(size);
  return h.Valid() && SetFilePointerEx(h.Get(), position, nullptr, FILE_BEGIN) &&
         SetEndOfFile(h.Get());
}

std::optional<uint64_t> FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return {};
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((Widen(folder) + L"\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") names.push_back(Narrow(name));
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  return names;
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
