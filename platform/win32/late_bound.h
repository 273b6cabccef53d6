// A system function looked up when it is called instead of linked: its module then loads
// only in the processes that need it (the main program's start-up time). The lookup is
// cheap once the module is in; a module once loaded stays for the life of the process,
// as a linked one would.
#pragma once

#include <windows.h>

namespace platform::win32 {

template <typename Function>
Function LateBound(const wchar_t* module, const char* name) {
  HMODULE h = GetModuleHandleW(module);
  if (h == nullptr) h = LoadLibraryW(module);
  if (h == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(h, name)));
}

}  // namespace platform::win32
