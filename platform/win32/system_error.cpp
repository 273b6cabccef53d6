#include <windows.h>

#include <utility>

#include "platform/codepage.h"
#include "platform/system_error.h"

namespace platform {

std::string GetSystemErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(code), 0x400,
                           reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (n == 0 || !buffer) return {};
  std::string text = Narrow(std::wstring(buffer, n));
  LocalFree(buffer);
  return CutFinalLineBreak(std::move(text));
}

}  // namespace platform
