// The file-open dialog for choosing a program (archiver or additional task).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace app {

// Offers "Исполняемые файлы (*.exe;*.com;*.bat)" under title, starting at initial; the
// chosen full path, or nullopt when cancelled.
std::optional<std::string> ChooseProgramFile(HWND owner, const std::string& title,
                                             const std::string& initial);

}  // namespace app
