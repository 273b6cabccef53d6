// The registry view of every key this system opens: the 32-bit one, where 1C:Enterprise
// (a 32-bit program) keeps its machine-wide keys and where the installer writes the
// installation record. The shipped programs are 32-bit and see it anyway; a 64-bit build
// must ask for it. Ignored for keys both views share (most of HKEY_CURRENT_USER).
#pragma once

#include <windows.h>

namespace platform::win32 {

constexpr REGSAM kRegistryView = KEY_WOW64_32KEY;

}  // namespace platform::win32
