// Ownership of the file handle; the system calls are in the platform parts.
#include "platform/file.h"

#include <utility>

namespace platform {

File::~File() { Close(); }

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, kInvalid)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kInvalid);
  }
  return *this;
}

}  // namespace platform
