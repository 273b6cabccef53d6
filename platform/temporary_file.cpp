#include "platform/temporary_file.h"

#include <utility>

#include "platform/fs.h"

namespace platform::fs {

TemporaryFile TemporaryFile::Create(const std::string& folder, const std::string& prefix,
                                    unsigned long* error) {
  return TemporaryFile(CreateTempFile(folder, prefix, error).value_or(""));
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : path_(std::exchange(other.path_, {})) {}

TemporaryFile& TemporaryFile::operator=(TemporaryFile&& other) noexcept {
  if (this != &other) {
    Remove();
    path_ = std::exchange(other.path_, {});
  }
  return *this;
}

bool TemporaryFile::Remove() {
  if (path_.empty()) return true;
  if (!RemoveFile(path_) && GetAttributes(path_).exists) return false;
  path_.clear();
  return true;
}

}  // namespace platform::fs
