#include "widgets/message_box_reporter.h"

#include "platform/codepage.h"

namespace widgets {

platform::FileErrorReporter MessageBoxFileErrorReporter(HWND owner) {
  return [owner](const platform::FileError& error) {
    MessageBoxW(owner, platform::Widen(error.message).c_str(), L"Zorvan", MB_OK | MB_ICONERROR);
  };
}

}  // namespace widgets
