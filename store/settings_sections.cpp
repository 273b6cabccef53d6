// CSettingsFile: finding, creating, enumerating and deleting section records.
#include <algorithm>
#include <vector>

#include "store/settings_file.h"
#include "store/text_helpers.h"

using store::FileHeader;
using store::kDamaged;
using store::kHeaderSize;
using store::kHeadSize;
using store::kMaxField;
using store::kNotFound;
using store::SectionHead;

namespace {
constexpr size_t kMaxPathName = 255;
}

// A lookup that found nothing: missing, unless the scan stopped at damage.
int64_t CSettingsFile::NotFound() const { return index_.DamagedTail() ? kDamaged : kNotFound; }

int64_t CSettingsFile::FindSection(const std::string& name, int32_t parentId) {
  if (!index_.Ensure(storage_)) return kDamaged;
  int32_t hash = HashName(name);
  std::string stored;
  for (const auto& [offset, head] : index_.Entries()) {
    // Records with empty names are skipped: they never match and hide nothing.
    if (head.nameHash == hash && head.parentId == parentId && head.nameLength > 0 &&
        static_cast<size_t>(head.nameLength) == name.size()) {
      if (!ReadName(offset + kHeadSize, head.nameLength, stored)) return kDamaged;
      if (stored == name) return offset;
    }
  }
  return NotFound();
}

int64_t CSettingsFile::AppendSection(const std::string& name, int32_t parentId) {
  if (!EnsureWriting()) return kDamaged;
  FileHeader header;
  if (storage_.Length() == 0) {
    index_.Invalidate();
    if (!WriteHeader(header)) return kDamaged;
  } else if (!ReadHeader(header)) {
    return kDamaged;
  }
  int64_t offset = FindSection(name, parentId);
  if (offset == kNotFound) {
    // Ids are never reused, so a file whose counters cannot grow takes no more sections.
    if (header.lastId < 0 || header.lastId == kMaxField || header.sectionCount < 0 ||
        header.sectionCount == kMaxField || name.size() > kMaxField - kHeadSize)
      return kDamaged;
    offset = storage_.Length();
    ++header.lastId;
    ++header.sectionCount;
    SectionHead head{parentId, header.lastId, HashName(name), static_cast<int32_t>(name.size()),
                     static_cast<int32_t>(kHeadSize + name.size())};
    std::vector<unsigned char> record(kHeadSize + name.size());
    store::Encode(head, record.data());
    std::copy(name.begin(), name.end(), record.begin() + kHeadSize);
    if (offset < 0 || !storage_.WriteAt(offset, record.data(), record.size())) {
      index_.Invalidate();
      return kDamaged;
    }
    index_.Appended(offset, head);
  }
  if (offset == kDamaged || !WriteHeader(header)) return kDamaged;
  return offset;
}

int32_t CSettingsFile::CreateSection(const std::string& name, int32_t parentId) {
  if (!EnsureWriting()) return 0;
  if (name.empty()) return 0;  // such a section could never be found again
  int64_t offset = AppendSection(name, parentId);
  SectionHead head;
  if (offset <= 0 || !ReadSection(offset, head)) return 0;
  return head.id;
}

int32_t CSettingsFile::OpenSection(int32_t parentId, const std::string& name) {
  if (!EnsureOpen() || name.empty() || parentId == 0) return 0;
  int64_t offset = FindSection(name, parentId);
  SectionHead head;
  if (offset <= 0 || !ReadSection(offset, head)) return 0;
  return head.id;
}

int32_t CSettingsFile::OpenSectionPath(const std::string& path) {
  FileHeader header;
  if (!EnsureOpen() || path.empty() || !ReadHeader(header)) return 0;
  std::vector<std::string> names;
  SplitText(path, '\\', names);
  int32_t parent = 0;
  for (const std::string& name : names) {
    // Longer names are refused rather than cut, so a prefix never matches by accident.
    if (name.empty() || name.size() > kMaxPathName) return 0;
    int64_t offset = FindSection(name, parent);
    SectionHead head;
    if (offset <= 0 || !ReadSection(offset, head)) return 0;
    parent = head.id;
  }
  return parent;
}

int64_t CSettingsFile::FindSectionById(int32_t id) {
  if (!index_.Ensure(storage_)) return kDamaged;
  for (const auto& entry : index_.Entries())
    if (entry.head.id == id) return entry.offset;
  return NotFound();
}

// First record at or after start whose parent is parentId.
int64_t CSettingsFile::FindChildSection(int32_t parentId, int64_t start) {
  if (!index_.Ensure(storage_)) return kDamaged;
  for (const auto& entry : index_.Entries())
    if (entry.offset >= start && entry.head.parentId == parentId) return entry.offset;
  return NotFound();
}

int32_t CSettingsFile::EnumSection(int32_t parentId, int32_t index, std::string& nameOut) {
  if (!EnsureOpen() || parentId == 0 || index < 0) return 0;
  int64_t parent = FindSectionById(parentId);
  if (parent <= 0) return 0;
  const auto& entries = index_.Entries();
  int32_t counter = 0;
  for (size_t i = index_.Find(parent); i < entries.size(); ++i) {
    const auto& [offset, head] = entries[i];
    if (head.parentId != parentId) continue;
    // An unnamed child takes a position but is never returned.
    if (counter++ < index) continue;
    if (head.nameLength == 0 || !ReadName(offset + kHeadSize, head.nameLength, nameOut)) return 0;
    return head.id;
  }
  return 0;
}

bool CSettingsFile::DeleteRecord(int64_t offset) {
  index_.Invalidate();
  FileHeader header;
  SectionHead head;
  if (!ReadHeader(header) || !ReadSection(offset, head)) return false;
  if (!RemoveRange(offset, head.totalSize)) return false;
  if (header.sectionCount > 0) --header.sectionCount;
  return WriteHeader(header);
}

bool CSettingsFile::DeleteSection(int32_t sectionId) {
  if (!EnsureOpen() || sectionId == 0) return false;
  int64_t offset = FindSectionById(sectionId);
  SectionHead head;
  if (offset <= 0 || !ReadSection(offset, head) || !DeleteRecord(offset)) return false;
  // Children always follow their parent, so they now start at or after offset.
  for (;;) {
    int64_t child = FindChildSection(head.id, offset);
    if (child == kNotFound) return true;
    if (child == kDamaged || !DeleteRecord(child)) return false;
  }
}
