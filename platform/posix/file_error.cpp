#include <cstdio>

#include "platform/file_error.h"

namespace platform {

FileErrorReporter DefaultFileErrorReporter() {
  return [](const FileError& error) { std::fprintf(stderr, "%s\n", error.message.c_str()); };
}

}  // namespace platform
