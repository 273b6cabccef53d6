// Console helpers of the small programs: arguments and output as Windows-1251 texts.
// Header-only, so that every program of tools/ can include it.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/codepage.h"

namespace console {

// The program's arguments after its own name; full paths of files relative to the
// current folder; the program's own folder (no final backslash); a line written to
// standard output (or error) as UTF-8, which terminals and pipes read.
inline std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; argv && i < count; ++i) args.push_back(platform::Narrow(argv[i]));
  LocalFree(argv);
  return args;
}

inline std::string FullPath(const std::string& path) {
  std::wstring wide = platform::Widen(path);
  DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  full.resize(n);
  return platform::Narrow(full);
}

inline std::string ProgramFolder() {
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::string s = platform::Narrow(std::wstring(path, n));
  return s.substr(0, s.rfind('\\'));
}

inline void PrintLine(const std::string& text1251, bool error = false) {
  std::wstring wide = platform::Widen(text1251 + "\n");
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  FILE* out = error ? stderr : stdout;
  std::fwrite(utf8.data(), 1, utf8.size(), out);
  std::fflush(out);
}

}  // namespace console
