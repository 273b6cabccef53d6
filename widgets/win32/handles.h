// Owners of the window layer's handle kinds, on the platform's move-only handle
// template: one type per kind, each closing its handle exactly once. Kernel handles
// (mutexes, processes) use platform::win32::KernelHandle.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "platform/win32/handles.h"

namespace widgets {

struct ModuleTraits {
  using Type = HMODULE;
  static constexpr Type kInvalid = nullptr;
  static void Close(Type h) { FreeLibrary(h); }
};
struct ImageListTraits {
  using Type = HIMAGELIST;
  static constexpr Type kInvalid = nullptr;
  static void Close(Type h) { ImageList_Destroy(h); }
};
struct MenuTraits {
  using Type = HMENU;
  static constexpr Type kInvalid = nullptr;
  static void Close(Type h) { DestroyMenu(h); }
};

using platform::win32::KernelHandle;
using ModuleHandle = platform::win32::UniqueHandle<ModuleTraits>;
using ImageListHandle = platform::win32::UniqueHandle<ImageListTraits>;
using MenuHandle = platform::win32::UniqueHandle<MenuTraits>;

}  // namespace widgets
