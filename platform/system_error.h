// The platform's text for a system error code, in Windows-1251.
#pragma once

#include <string>

namespace platform {

// Empty when the platform has no text for code; a single trailing CR LF is cut off.
std::string GetSystemErrorText(unsigned long code);

// Cuts one CR LF at the very end of text; earlier line breaks stay.
std::string CutFinalLineBreak(std::string text);

}  // namespace platform
