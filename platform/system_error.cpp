#include "platform/system_error.h"

namespace platform {

std::string CutFinalLineBreak(std::string text) {
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
    text.resize(text.size() - 2);
  return text;
}

}  // namespace platform
