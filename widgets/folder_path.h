// A chosen folder as the program keeps it.
#pragma once

#include <string>

namespace widgets {

// No trailing "\" except for a drive root ("C:\"); "C:" becomes "C:\".
std::string NormalizeFolder(std::string folder);

}  // namespace widgets
