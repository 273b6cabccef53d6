#include "store/section_index.h"

namespace store {

bool ReadSectionHead(RecordStorage& storage, int64_t offset, SectionHead& head) {
  unsigned char bytes[kHeadSize];
  if (offset < kHeaderSize || !storage.ReadAt(offset, bytes, sizeof bytes)) return false;
  head = DecodeSection(bytes);
  if (head.nameLength < 0 || head.totalSize < kHeadSize + int64_t{head.nameLength}) return false;
  return offset + head.totalSize <= storage.Length();
}

bool SectionIndex::Ensure(RecordStorage& storage) {
  if (built_) return true;
  entries_.clear();
  damagedTail_ = false;
  unsigned char bytes[kHeaderSize];
  if (!storage.ReadAt(0, bytes, sizeof bytes)) return false;
  FileHeader header = DecodeHeader(bytes);
  int64_t length = storage.Length();
  int64_t offset = kHeaderSize;
  for (int32_t i = 0; i < header.sectionCount && offset < length; ++i) {
    SectionHead head;
    if (!ReadSectionHead(storage, offset, head)) {
      damagedTail_ = true;
      break;
    }
    entries_.push_back({offset, head});
    offset += head.totalSize;
  }
  built_ = true;
  return true;
}

size_t SectionIndex::Find(int64_t offset) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].offset == offset) return i;
  return entries_.size();
}

void SectionIndex::Appended(int64_t offset, const SectionHead& head) {
  if (!built_) return;
  int64_t end = entries_.empty() ? kHeaderSize
                                 : entries_.back().offset + entries_.back().head.totalSize;
  // Only a record right behind the last one is where a new scan would find it.
  if (damagedTail_ || offset != end) {
    built_ = false;
    return;
  }
  entries_.push_back({offset, head});
}

void SectionIndex::Resized(size_t position, int32_t delta) {
  if (!built_ || damagedTail_ || position >= entries_.size()) {
    built_ = false;
    return;
  }
  entries_[position].head.totalSize += delta;
  for (size_t i = position + 1; i < entries_.size(); ++i) entries_[i].offset += delta;
}

}  // namespace store
