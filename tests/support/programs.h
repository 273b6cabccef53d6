// Where the Windows tests find this test program and the stand-ins built beside it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/codepage.h"

namespace testrunner {

inline std::string SelfPath() {
  wchar_t buffer[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return platform::Narrow(std::wstring(buffer, n));
}

// Folder of the test program, ending with a backslash.
inline std::string BinFolder() {
  std::string self = SelfPath();
  return self.substr(0, self.rfind('\\') + 1);
}

}  // namespace testrunner
