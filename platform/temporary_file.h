// A temporary file that holds passwords for a while (the run snapshot, the batch
// parameter file): created with a unique name, removed when its owner ends.
#pragma once

#include <string>
#include <utility>

namespace platform::fs {

class TemporaryFile {
 public:
  TemporaryFile() = default;
  // Creates an empty file with a unique name in folder (see CreateTempFile); an empty
  // owner when that fails, with error set.
  static TemporaryFile Create(const std::string& folder, const std::string& prefix,
                              unsigned long* error = nullptr);
  ~TemporaryFile() { Remove(); }
  TemporaryFile(TemporaryFile&& other) noexcept;
  TemporaryFile& operator=(TemporaryFile&& other) noexcept;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& Path() const { return path_; }
  bool Owns() const { return !path_.empty(); }
  // Removes the file; true when nothing is left. A file that cannot be removed yet
  // (another program holds it) stays owned, so a later call or the owner's end retries.
  bool Remove();

 private:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  std::string path_;
};

}  // namespace platform::fs
