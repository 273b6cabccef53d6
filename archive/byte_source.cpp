#include "archive/byte_source.h"

#include <cstring>

namespace ziparc {

bool MemorySource::ReadAt(uint64_t offset, void* buffer, size_t size) {
  if (!RangeWithin(offset, size, bytes_.size())) return false;
  if (size > 0) std::memcpy(buffer, bytes_.data() + offset, size);
  return true;
}

FileSource::FileSource(const std::string& path) {
  if (file_.Open(path, platform::kFileRead)) size_ = file_.GetLength();
  position_ = size_ < 0 ? -1 : 0;
}

bool FileSource::ReadAt(uint64_t offset, void* buffer, size_t size) {
  if (size_ < 0 || !RangeWithin(offset, size, Size())) return false;
  if (static_cast<int64_t>(offset) != position_ && !file_.Seek(static_cast<int64_t>(offset))) {
    position_ = -1;
    return false;
  }
  char* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const int64_t got = file_.Read(out + done, size - done);
    if (got <= 0) {
      position_ = -1;
      return false;
    }
    done += static_cast<size_t>(got);
  }
  position_ = static_cast<int64_t>(offset + size);
  return true;
}

}  // namespace ziparc
