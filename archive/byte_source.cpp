#include "archive/byte_source.h"

#include <cstring>

namespace ziparc {

bool MemorySource::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  if (!RangeWithin(offset, size, bytes_.size())) return false;
  if (size > 0) std::memcpy(buffer, bytes_.data() + offset, size);
  return true;
}

FileSource::FileSource(const std::string& path) {
  if (file_.Open(path, platform::kFileRead)) size_ = file_.GetLength();
}

bool FileSource::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  return size_ >= 0 && RangeWithin(offset, size, Size()) &&
         file_.ReadAt(static_cast<int64_t>(offset), buffer, size) == static_cast<int64_t>(size);
}

}  // namespace ziparc
