#include "platform/file_error.h"

namespace platform {

FileErrorReporter SilentFileErrorReporter() {
  return [](const FileError&) {};
}

}  // namespace platform
