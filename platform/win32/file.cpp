// Share mode 0 makes every other open of the file fail while this one holds it.
#include "platform/file.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/codepage.h"
#include "platform/system_error.h"
#include "platform/win32/handles.h"

namespace platform {
namespace {

HANDLE Handle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

DWORD AccessFor(uint32_t flags) {
  switch (flags & 3) {
    case kFileReadWrite: return GENERIC_READ | GENERIC_WRITE;
    case kFileWrite: return GENERIC_WRITE;
    default: return GENERIC_READ;
  }
}

DWORD DispositionFor(uint32_t flags) {
  if (!(flags & kFileCreate)) return OPEN_EXISTING;
  return (flags & kFileNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

void FillError(FileError* error, const std::string& path, DWORD code) {
  if (!error) return;
  error->osError = static_cast<long>(code);
  error->path = path;
  error->message = path + "\r\n" + GetSystemErrorText(code);
}

}  // namespace

bool File::Open(const std::string& path, uint32_t flags, FileError* error) {
  Close();
  HANDLE h = CreateFileW(Widen(path).c_str(), AccessFor(flags), 0, nullptr, DispositionFor(flags),
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    FillError(error, path, GetLastError());
    return false;
  }
  handle_ = reinterpret_cast<intptr_t>(h);
  return true;
}

void File::Close() {
  if (handle_ == kInvalid) return;
  CloseHandle(Handle(handle_));
  handle_ = kInvalid;
}

bool File::Seek(int64_t offset) {
  if (!IsOpen() || offset < 0) return false;
  LARGE_INTEGER to;
  to.QuadPart = offset;
  return SetFilePointerEx(Handle(handle_), to, nullptr, FILE_BEGIN) != 0;
}

int64_t File::Position() const {
  if (!IsOpen()) return -1;
  LARGE_INTEGER zero{}, at{};
  if (!SetFilePointerEx(Handle(handle_), zero, &at, FILE_CURRENT)) return -1;
  return at.QuadPart;
}

int64_t File::Read(void* buffer, size_t size) {
  return IsOpen() ? win32::ReadFully(Handle(handle_), buffer, size) : -1;
}

// With an offset in OVERLAPPED a synchronous handle reads there, one call at a time.
int64_t File::ReadAt(int64_t offset, void* buffer, size_t size) const {
  if (!IsOpen() || offset < 0) return -1;
  size_t done = 0;
  while (done < size) {
    const uint64_t from = static_cast<uint64_t>(offset) + done;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(from);
    at.OffsetHigh = static_cast<DWORD>(from >> 32);
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(size - done, win32::kMaxChunk));
    if (!ReadFile(Handle(handle_), static_cast<char*>(buffer) + done, chunk, &got, &at))
      return GetLastError() == ERROR_HANDLE_EOF ? static_cast<int64_t>(done) : -1;
    if (got == 0) break;
    done += got;
  }
  return static_cast<int64_t>(done);
}

bool File::Write(const void* data, size_t size) {
  return IsOpen() && win32::WriteFully(Handle(handle_), data, size);
}

bool File::SetLength(int64_t length) {
  if (!IsOpen() || length < 0) return false;
  int64_t keep = Position();
  if (!Seek(length) || !SetEndOfFile(Handle(handle_))) return false;
  return keep < 0 || Seek(keep < length ? keep : length);
}

int64_t File::GetLength() const {
  if (!IsOpen()) return -1;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(Handle(handle_), &size)) return -1;
  return size.QuadPart;
}

std::optional<int64_t> File::LastWriteTime() const {
  FILETIME written{};
  if (!IsOpen() || !GetFileTime(Handle(handle_), nullptr, nullptr, &written)) return std::nullopt;
  return static_cast<int64_t>((uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime);
}

bool File::Flush() { return IsOpen() && FlushFileBuffers(Handle(handle_)) != 0; }

}  // namespace platform
