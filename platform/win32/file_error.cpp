#include <windows.h>

#include "platform/codepage.h"
#include "platform/file_error.h"

namespace platform {

FileErrorReporter DefaultFileErrorReporter() {
  return [](const FileError& error) {
    MessageBoxW(nullptr, Widen(error.message).c_str(), L"Zorvan", MB_OK | MB_ICONERROR);
  };
}

}  // namespace platform
