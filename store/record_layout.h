// Byte layout of the keyed record file: the 8-byte header and the 20-byte heads of
// section and value records, all fields 32-bit signed little-endian.
#pragma once

#include <cstdint>

namespace store {

inline constexpr int64_t kHeaderSize = 8;
inline constexpr int64_t kHeadSize = 20;
inline constexpr int64_t kMaxField = INT32_MAX;

struct FileHeader {
  int32_t sectionCount = 0;
  int32_t lastId = 0;
};

struct SectionHead {
  int32_t parentId = 0;
  int32_t id = 0;
  int32_t nameHash = 0;
  int32_t nameLength = 0;
  int32_t totalSize = 0;
};

struct ValueHead {
  int32_t type = 0;
  int32_t totalSize = 0;
  int32_t nameLength = 0;
  int32_t dataSize = 0;
  int32_t nameHash = 0;
};

// What a lookup of a record returns when it has no offset (offsets are never negative):
// the record is not there, or the scan met a damaged record before finding it.
inline constexpr int64_t kNotFound = -1;
inline constexpr int64_t kDamaged = -2;

// The value records of a section follow its head and name and fill the rest of it.
struct ValueArea {
  int64_t start;  // file offset of the first value record
  int64_t size;   // bytes of value records
};
inline ValueArea ValueAreaOf(int64_t sectionOffset, const SectionHead& section) {
  return {sectionOffset + kHeadSize + section.nameLength,
          int64_t{section.totalSize} - kHeadSize - section.nameLength};
}

void EncodeFields(const int32_t* fields, int count, unsigned char* out);
void DecodeFields(const unsigned char* in, int count, int32_t* fields);

inline void Encode(const FileHeader& h, unsigned char* out) {
  const int32_t f[2] = {h.sectionCount, h.lastId};
  EncodeFields(f, 2, out);
}
inline void Encode(const SectionHead& s, unsigned char* out) {
  const int32_t f[5] = {s.parentId, s.id, s.nameHash, s.nameLength, s.totalSize};
  EncodeFields(f, 5, out);
}
inline void Encode(const ValueHead& v, unsigned char* out) {
  const int32_t f[5] = {v.type, v.totalSize, v.nameLength, v.dataSize, v.nameHash};
  EncodeFields(f, 5, out);
}
FileHeader DecodeHeader(const unsigned char* in);
SectionHead DecodeSection(const unsigned char* in);
ValueHead DecodeValue(const unsigned char* in);

}  // namespace store
