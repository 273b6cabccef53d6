// A random-access file opened exclusively: while one File holds a path open, every
// other open of it fails, in this process and in others. Move-only; closes on
// destruction. Failures are results (false, -1), never exceptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_error.h"

namespace platform {

// Open flags, the values of the classic file-class flags.
enum FileOpenFlags : uint32_t {
  kFileRead = 0,            // read only
  kFileWrite = 1,           // write only
  kFileReadWrite = 2,       // read and write
  kFileCreate = 0x1000,     // create if missing (truncates unless kFileNoTruncate)
  kFileNoTruncate = 0x2000  // with kFileCreate: keep existing content
};

class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens path with flags; on failure fills error (may be null) and returns false.
  bool Open(const std::string& path, uint32_t flags, FileError* error = nullptr);
  void Close();
  bool IsOpen() const { return handle_ != kInvalid; }

  bool Seek(int64_t offset);  // from the start of the file
  int64_t Position() const;   // -1 on failure
  // Reads up to size bytes at the position; returns the count read, -1 on failure.
  int64_t Read(void* buffer, size_t size);
  // Reads up to size bytes at offset, whatever the position (which it may move); returns
  // the count read, -1 on failure. Several threads may read at once.
  int64_t ReadAt(int64_t offset, void* buffer, size_t size) const;
  // Writes all size bytes at the position.
  bool Write(const void* data, size_t size);
  bool SetLength(int64_t length);
  int64_t GetLength() const;  // -1 on failure
  // The last write, in the unit of fs::Attributes::writeTime; nullopt on failure.
  std::optional<int64_t> LastWriteTime() const;
  // Hands what was written to the disk before returning.
  bool Flush();

 private:
  static constexpr intptr_t kInvalid = -1;  // also INVALID_HANDLE_VALUE
  intptr_t handle_ = kInvalid;
};

}  // namespace platform
