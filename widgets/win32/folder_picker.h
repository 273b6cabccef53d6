// The folder picker: the system's folder chooser titled "Выбор каталога" with the
// button "Выбрать", opening at the caller's folder.
#pragma once

#include <windows.h>

#include <string>

namespace widgets {

// True when a folder was chosen; folder then holds its full path as the system gives
// it. Cancel leaves folder unchanged.
bool ShowFolderPicker(HWND owner, std::string& folder);

}  // namespace widgets
