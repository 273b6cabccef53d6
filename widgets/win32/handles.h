// Move-only owners of the handle kinds the window layer keeps: one type per kind, each
// closing its handle exactly once.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <utility>

namespace widgets {

template <typename Handle, Handle kEmpty, typename Closer>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, kEmpty)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      h_ = std::exchange(other.h_, kEmpty);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle Get() const { return h_; }
  explicit operator bool() const { return h_ != kEmpty; }
  void Reset() {
    if (h_ != kEmpty) Closer()(h_);
    h_ = kEmpty;
  }

 private:
  Handle h_ = kEmpty;
};

struct CloseKernelHandle {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
struct FreeModule {
  void operator()(HMODULE h) const { FreeLibrary(h); }
};
struct DestroyImageList {
  void operator()(HIMAGELIST h) const;
};
struct DestroyMenuHandle {
  void operator()(HMENU h) const { DestroyMenu(h); }
};

// Mutexes, processes, threads, events.
using KernelHandle = UniqueHandle<HANDLE, nullptr, CloseKernelHandle>;
using ModuleHandle = UniqueHandle<HMODULE, nullptr, FreeModule>;
using ImageListHandle = UniqueHandle<HIMAGELIST, nullptr, DestroyImageList>;
using MenuHandle = UniqueHandle<HMENU, nullptr, DestroyMenuHandle>;

}  // namespace widgets
