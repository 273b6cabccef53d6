#include "store/record_storage.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace store {

void RecordStorage::Attach(platform::File* file) {
  file_ = file;
  cached_ = false;
  image_.clear();
  int64_t length = file_->GetLength();
  if (length < 0 || length > kImageLimit) return;
  image_.resize(static_cast<size_t>(length));
  cached_ = DirectRead(0, image_.data(), image_.size());
  if (!cached_) image_.clear();
}

void RecordStorage::Detach() {
  file_ = nullptr;
  cached_ = false;
  image_.clear();
  image_.shrink_to_fit();
}

int64_t RecordStorage::Length() const {
  if (cached_) return static_cast<int64_t>(image_.size());
  return file_ ? file_->GetLength() : -1;
}

bool RecordStorage::ReadAt(int64_t offset, void* out, size_t size) {
  if (!file_ || offset < 0) return false;
  if (!cached_) return DirectRead(offset, out, size);
  if (offset > static_cast<int64_t>(image_.size()) ||
      size > image_.size() - static_cast<size_t>(offset))
    return false;
  if (size) std::memcpy(out, image_.data() + offset, size);
  return true;
}

bool RecordStorage::DirectRead(int64_t offset, void* out, size_t size) {
  if (!file_->Seek(offset)) return false;
  return file_->Read(out, size) == static_cast<int64_t>(size);
}

bool RecordStorage::WriteAt(int64_t offset, const void* data, size_t size) {
  if (!file_ || offset < 0) return false;
  if (!file_->Seek(offset) || !file_->Write(data, size)) {
    cached_ = false;  // the file's state is unknown now: stop trusting the image
    image_.clear();
    return false;
  }
  if (cached_) {
    size_t end = static_cast<size_t>(offset) + size;
    if (end > image_.size()) image_.resize(end);
    if (size) std::memcpy(image_.data() + offset, data, size);
  }
  return true;
}

bool RecordStorage::MoveBytes(int64_t from, int64_t to, int64_t count) {
  if (!file_ || from < 0 || to < 0 || count < 0) return false;
  if (count == 0) return true;
  if (!cached_) return DirectMove(from, to, count);
  if (from + count > static_cast<int64_t>(image_.size())) return false;
  size_t end = static_cast<size_t>(to + count);
  if (end > image_.size()) image_.resize(end);
  std::memmove(image_.data() + to, image_.data() + from, static_cast<size_t>(count));
  if (!file_->Seek(to) || !file_->Write(image_.data() + to, static_cast<size_t>(count))) {
    cached_ = false;
    image_.clear();
    return false;
  }
  return true;
}

// Chunked copy, from the end when moving towards the end so overlapping data survives.
bool RecordStorage::DirectMove(int64_t from, int64_t to, int64_t count) {
  constexpr int64_t kChunk = 64 * 1024;
  std::vector<char> buffer(static_cast<size_t>(std::min(count, kChunk)));
  for (int64_t done = 0; done < count;) {
    int64_t n = std::min(kChunk, count - done);
    int64_t at = to > from ? count - done - n : done;
    if (!DirectRead(from + at, buffer.data(), static_cast<size_t>(n)) ||
        !WriteAt(to + at, buffer.data(), static_cast<size_t>(n)))
      return false;
    done += n;
  }
  return true;
}

bool RecordStorage::SetLength(int64_t length) {
  if (!file_ || length < 0) return false;
  if (!file_->SetLength(length)) {
    cached_ = false;
    image_.clear();
    return false;
  }
  if (cached_) image_.resize(static_cast<size_t>(length));
  return true;
}

}  // namespace store
