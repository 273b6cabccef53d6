// CSettingsFile: writing, finding, reading and removing value records.
#include <algorithm>
#include <cstring>
#include <vector>

#include "store/settings_file.h"

using store::kDamaged;
using store::kHeadSize;
using store::kMaxField;
using store::kNotFound;
using store::SectionHead;
using store::ValueHead;

// Reads the value head at relative inside the section's value area and checks that the
// record is whole and lies inside the area.
bool CSettingsFile::ReadValueHead(int64_t sectionOffset, int64_t relative, ValueHead& head) {
  SectionHead section;
  if (!ReadSection(sectionOffset, section)) return false;
  const store::ValueArea area = store::ValueAreaOf(sectionOffset, section);
  if (relative < 0 || relative + kHeadSize > area.size) return false;
  unsigned char bytes[kHeadSize];
  if (!storage_.ReadAt(area.start + relative, bytes, sizeof bytes)) return false;
  head = store::DecodeValue(bytes);
  if (head.nameLength < 0 || head.dataSize < 0) return false;
  if (int64_t{head.totalSize} != kHeadSize + int64_t{head.nameLength} + head.dataSize) return false;
  return relative + head.totalSize <= area.size;
}

// Offset of the named value relative to the section's value area, kNotFound when there
// is none, kDamaged when a record in the area is damaged.
int64_t CSettingsFile::FindValue(int64_t sectionOffset, const std::string& name) {
  SectionHead section;
  if (sectionOffset <= 0 || name.empty()) return kNotFound;
  if (!ReadSection(sectionOffset, section)) return kDamaged;
  const store::ValueArea area = store::ValueAreaOf(sectionOffset, section);
  int32_t hash = HashName(name);
  std::string stored;
  for (int64_t relative = 0; relative < area.size;) {
    ValueHead head;
    if (!ReadValueHead(sectionOffset, relative, head)) return kDamaged;
    if (head.nameHash == hash && head.nameLength > 0 &&
        static_cast<size_t>(head.nameLength) == name.size()) {
      if (!ReadName(area.start + relative + kHeadSize, head.nameLength, stored)) return kDamaged;
      if (stored == name) return relative;
    }
    relative += head.totalSize;
  }
  return kNotFound;
}

bool CSettingsFile::DeleteValue(int64_t sectionOffset, int64_t relative) {
  SectionHead section;
  ValueHead value;
  if (!ReadSection(sectionOffset, section) || !ReadValueHead(sectionOffset, relative, value))
    return false;
  int64_t start = store::ValueAreaOf(sectionOffset, section).start + relative;
  section.totalSize -= value.totalSize;
  unsigned char bytes[kHeadSize];
  store::Encode(section, bytes);
  if (!RemoveRange(start, value.totalSize) ||
      !storage_.WriteAt(sectionOffset, bytes, sizeof bytes)) {
    index_.Invalidate();
    return false;
  }
  index_.Resized(index_.Find(sectionOffset), -value.totalSize);
  return true;
}

bool CSettingsFile::StoreValue(int32_t sectionId, const std::string& name, int32_t type,
                               const char* data, uint32_t dataSize) {
  if (sectionId == 0 || name.empty()) return false;
  if (type != SF_STRING && type != SF_DWORD && type != SF_BINARY) return false;
  if (type == SF_BINARY && dataSize == 0) return false;
  if (dataSize > 0 && !data) return false;
  int64_t valueSize = kHeadSize + static_cast<int64_t>(name.size()) + dataSize;
  if (valueSize > kMaxField || !EnsureWriting()) return false;

  int64_t sectionOffset = FindSectionById(sectionId);
  if (sectionOffset <= 0) return false;
  int64_t existing = FindValue(sectionOffset, name);
  if (existing == kDamaged) return false;
  if (existing >= 0 && !DeleteValue(sectionOffset, existing)) return false;
  SectionHead section;
  if (!ReadSection(sectionOffset, section)) return false;
  if (section.totalSize + valueSize > kMaxField) return false;

  ValueHead head{type, static_cast<int32_t>(valueSize), static_cast<int32_t>(name.size()),
                 static_cast<int32_t>(dataSize), HashName(name)};
  std::vector<unsigned char> record(static_cast<size_t>(valueSize));
  store::Encode(head, record.data());
  std::memcpy(record.data() + kHeadSize, name.data(), name.size());
  if (dataSize) std::memcpy(record.data() + kHeadSize + name.size(), data, dataSize);

  // Later records move towards the end to make room at the end of the section.
  int64_t sectionEnd = sectionOffset + section.totalSize;
  int64_t rest = storage_.Length() - sectionEnd;
  section.totalSize += static_cast<int32_t>(valueSize);
  unsigned char bytes[kHeadSize];
  store::Encode(section, bytes);
  if ((rest > 0 && !storage_.MoveBytes(sectionEnd, sectionEnd + valueSize, rest)) ||
      !storage_.WriteAt(sectionEnd, record.data(), record.size()) ||
      !storage_.WriteAt(sectionOffset, bytes, sizeof bytes)) {
    index_.Invalidate();
    return false;
  }
  index_.Resized(index_.Find(sectionOffset), static_cast<int32_t>(valueSize));
  return true;
}

bool CSettingsFile::WriteValue(int32_t sectionId, const std::string& name, int32_t type,
                               uint32_t size, const void* data) {
  const char* bytes = static_cast<const char*>(data);
  if (!bytes) return false;
  if (type == SF_STRING) size = static_cast<uint32_t>(std::strlen(bytes));
  if (type == SF_DWORD) size = 4;
  return StoreValue(sectionId, name, type, bytes, size);
}

bool CSettingsFile::WriteString(int32_t sectionId, const std::string& name,
                                const std::string& text) {
  if (text.size() > kMaxField) return false;
  return StoreValue(sectionId, name, SF_STRING, text.data(), static_cast<uint32_t>(text.size()));
}

bool CSettingsFile::WriteDword(int32_t sectionId, const std::string& name, uint32_t value) {
  unsigned char bytes[4];
  store::EncodeFields(reinterpret_cast<const int32_t*>(&value), 1, bytes);
  return StoreValue(sectionId, name, SF_DWORD, reinterpret_cast<const char*>(bytes), 4);
}

bool CSettingsFile::WriteBinary(int32_t sectionId, const std::string& name, const void* data,
                                uint32_t size) {
  return StoreValue(sectionId, name, SF_BINARY, static_cast<const char*>(data), size);
}

// Finds the named value of a section: its head and the file offset of its data.
bool CSettingsFile::LocateValue(int32_t sectionId, const std::string& name,
                                int64_t& dataOffset, ValueHead& head) {
  if (!EnsureOpen() || sectionId == 0 || name.empty()) return false;
  int64_t sectionOffset = FindSectionById(sectionId);
  if (sectionOffset <= 0) return false;
  int64_t relative = FindValue(sectionOffset, name);
  SectionHead section;
  if (relative < 0 || !ReadSection(sectionOffset, section) ||
      !ReadValueHead(sectionOffset, relative, head))
    return false;
  dataOffset =
      store::ValueAreaOf(sectionOffset, section).start + relative + kHeadSize + head.nameLength;
  return true;
}

bool CSettingsFile::ReadValue(int32_t sectionId, const std::string& name, int32_t& type,
                              uint32_t& size, void* buffer) {
  int64_t dataOffset = 0;
  ValueHead head;
  if (!LocateValue(sectionId, name, dataOffset, head)) return false;
  uint32_t capacity = size;
  auto dataSize = static_cast<uint32_t>(head.dataSize);
  // Never past the capacity: a longer value is refused, the terminator only fits
  // when there is room after the data.
  if (dataSize > capacity || (dataSize > 0 && !buffer)) return false;
  if (dataSize > 0 && !storage_.ReadAt(dataOffset, buffer, dataSize)) return false;
  if (head.type == SF_STRING && capacity > dataSize && buffer)
    static_cast<char*>(buffer)[dataSize] = '\0';
  type = head.type;
  size = dataSize;
  return true;
}

bool CSettingsFile::ReadBytes(int32_t sectionId, const std::string& name, std::string& out,
                              uint32_t maxBytes) {
  int64_t dataOffset = 0;
  ValueHead head;
  if (!LocateValue(sectionId, name, dataOffset, head)) return false;
  std::string bytes(std::min(static_cast<uint32_t>(head.dataSize), maxBytes), '\0');
  if (!storage_.ReadAt(dataOffset, bytes.data(), bytes.size())) return false;
  out = std::move(bytes);
  return true;
}
