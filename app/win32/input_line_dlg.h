// InputLineDialog (dialog 163): one line of text under a given title.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// Modal. The edit starts with text; "Применить" puts the edit's content (possibly empty)
// into text and returns true, "Отмена" leaves it. An empty title shows the program's name.
bool ShowInputLineDialog(HWND parent, std::string& text, const std::string& title);

}  // namespace app
