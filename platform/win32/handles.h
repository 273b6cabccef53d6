// The owners of Win32 handles, one move-only type per kind, and the one pair of loops
// that read and write a handle in chunks (a single ReadFile or WriteFile call moves at
// most 4 GB and may move less than asked). Used by the Windows adapters, the worker
// thread and the stand-in programs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace platform::win32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type h) : h_(h) {}
  ~UniqueHandle() { Close(); }
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  bool Valid() const { return h_ != Traits::kInvalid; }
  explicit operator bool() const { return Valid(); }
  Type Get() const { return h_; }
  Type Release() { return std::exchange(h_, Traits::kInvalid); }
  void Reset(Type h = Traits::kInvalid) {
    Close();
    h_ = h;
  }
  void Close() {
    if (Valid()) Traits::Close(std::exchange(h_, Traits::kInvalid));
  }

 private:
  Type h_ = Traits::kInvalid;
};

// CreateFile's handles: INVALID_HANDLE_VALUE when none.
struct FileHandleTraits {
  using Type = HANDLE;
  static inline const Type kInvalid = INVALID_HANDLE_VALUE;
  static void Close(Type h) { CloseHandle(h); }
};
// Processes, threads, events, mutexes: null when none.
struct KernelHandleTraits {
  using Type = HANDLE;
  static constexpr Type kInvalid = nullptr;
  static void Close(Type h) { CloseHandle(h); }
};
struct RegKeyTraits {
  using Type = HKEY;
  static constexpr Type kInvalid = nullptr;
  static void Close(Type h) { RegCloseKey(h); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;

inline constexpr size_t kMaxChunk = size_t{1} << 30;

// Reads up to size bytes, stopping early at the end of the file; the count read, or -1
// when a read fails (GetLastError tells why).
inline int64_t ReadFully(HANDLE h, void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(size - done, kMaxChunk));
    if (!::ReadFile(h, static_cast<char*>(buffer) + done, chunk, &got, nullptr)) return -1;
    if (got == 0) break;
    done += got;
  }
  return static_cast<int64_t>(done);
}

// Writes all size bytes; false when a write fails or moves nothing.
inline bool WriteFully(HANDLE h, const void* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    DWORD put = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(size - done, kMaxChunk));
    if (!::WriteFile(h, static_cast<const char*>(data) + done, chunk, &put, nullptr) || put == 0)
      return false;
    done += put;
  }
  return true;
}

}  // namespace platform::win32
