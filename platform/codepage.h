// Windows-1251 <-> UTF-16 at the Win32 boundary. Always code page 1251, never the
// process's ANSI code page, so the programs behave the same on any Windows locale.
#pragma once

#include <string>

namespace platform {

std::wstring Widen(const std::string& text1251);
std::string Narrow(const std::wstring& text);  // characters outside 1251 become '?'

}  // namespace platform
