#include <cstring>

#include "platform/system_error.h"

namespace platform {

std::string GetSystemErrorText(unsigned long code) {
  return std::strerror(static_cast<int>(code));
}

}  // namespace platform
