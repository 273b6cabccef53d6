// CSettingsFile: finding, creating, enumerating and deleting section records.
#include <vector>

#include "store/settings_file.h"
#include "store/text_helpers.h"

using store::FileHeader;
using store::kHeaderSize;
using store::kHeadSize;
using store::kMaxField;
using store::SectionHead;

namespace {
constexpr size_t kMaxPathName = 255;
}

int64_t CSettingsFile::FindSection(const std::string& name, int32_t parentId) {
  FileHeader header;
  if (!ReadHeader(header)) return kDamaged;
  int32_t hash = HashName(name);
  int64_t offset = kHeaderSize;
  std::string stored;
  for (int32_t i = 0; i < header.sectionCount; ++i) {
    if (offset == storage_.Length()) return kMissing;  // fewer records than counted
    SectionHead head;
    if (!ReadSection(offset, head)) return kDamaged;
    // Records with empty names are skipped: they never match and hide nothing.
    if (head.nameHash == hash && head.parentId == parentId && head.nameLength > 0 &&
        static_cast<size_t>(head.nameLength) == name.size()) {
      if (!ReadName(offset + kHeadSize, head.nameLength, stored)) return kDamaged;
      if (stored == name) return offset;
    }
    offset += head.totalSize;
  }
  return kMissing;
}

int64_t CSettingsFile::AppendSection(const std::string& name, int32_t parentId) {
  if (!EnsureWriting()) return kDamaged;
  FileHeader header;
  if (storage_.Length() == 0) {
    if (!WriteHeader(header)) return kDamaged;
  } else if (!ReadHeader(header)) {
    return kDamaged;
  }
  int64_t offset = FindSection(name, parentId);
  if (offset == kMissing) {
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
    if (offset < 0 || !storage_.WriteAt(offset, record.data(), record.size())) return kDamaged;
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
  FileHeader header;
  if (!ReadHeader(header)) return kDamaged;
  int64_t offset = kHeaderSize;
  for (int32_t i = 0; i < header.sectionCount; ++i) {
    if (offset == storage_.Length()) return kMissing;  // fewer records than counted
    SectionHead head;
    if (!ReadSection(offset, head)) return kDamaged;
    if (head.id == id) return offset;
    offset += head.totalSize;
  }
  return kMissing;
}

// First record at or after start whose parent is parentId, visiting at most
// sectionCount records.
int64_t CSettingsFile::FindChildSection(int32_t parentId, int64_t start) {
  FileHeader header;
  if (!ReadHeader(header)) return kDamaged;
  int64_t offset = start;
  for (int32_t i = 0; i < header.sectionCount; ++i) {
    if (offset == storage_.Length()) return kMissing;  // fewer records than counted
    SectionHead head;
    if (!ReadSection(offset, head)) return kDamaged;
    if (head.parentId == parentId) return offset;
    offset += head.totalSize;
  }
  return kMissing;
}

int32_t CSettingsFile::EnumSection(int32_t parentId, int32_t index, std::string& nameOut) {
  if (!EnsureOpen() || parentId == 0 || index < 0) return 0;
  int64_t position = FindSectionById(parentId);
  if (position <= 0) return 0;
  for (int32_t counter = 0;; ++counter) {
    int64_t child = FindChildSection(parentId, position);
    SectionHead head;
    if (child <= 0 || !ReadSection(child, head)) return 0;
    if (counter == index && head.nameLength > 0) {
      if (!ReadName(child + kHeadSize, head.nameLength, nameOut)) return 0;
      return head.id;
    }
    // An unnamed child takes a position but is never returned.
    if (counter == index) return 0;
    position = child + head.totalSize;
  }
}

bool CSettingsFile::DeleteRecord(int64_t offset) {
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
    if (child == kMissing) return true;
    if (child == kDamaged || !DeleteRecord(child)) return false;
  }
}
