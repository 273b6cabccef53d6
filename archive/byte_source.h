// Where the ZIP check reads from: a file or bytes in memory, read only at offsets the
// reader knows to lie inside, so no value in an archive can make it read elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace ziparc {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads exactly size bytes at offset; false when any of them lies outside the source
  // or the read fails. Several threads may read at once.
  virtual bool ReadAt(uint64_t offset, void* buffer, size_t size) const = 0;
};

// True when [offset, offset + length) lies within [0, limit), without overflow.
inline bool RangeWithin(uint64_t offset, uint64_t length, uint64_t limit) {
  return offset <= limit && length <= limit - offset;
}

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(uint64_t offset, void* buffer, size_t size) const override;

 private:
  std::string_view bytes_;
};

class FileSource : public ByteSource {
 public:
  // Opens path for reading; Open() tells whether that worked.
  explicit FileSource(const std::string& path);
  bool Open() const { return size_ >= 0; }
  uint64_t Size() const override { return size_ < 0 ? 0 : static_cast<uint64_t>(size_); }
  bool ReadAt(uint64_t offset, void* buffer, size_t size) const override;

 private:
  platform::File file_;
  int64_t size_ = -1;
};

}  // namespace ziparc
