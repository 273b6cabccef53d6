#include "archive/zip_directory.h"

#include <algorithm>
#include <vector>

#include "archive/zip_format.h"

namespace ziparc {
namespace {

constexpr uint32_t kAllOnes32 = 0xFFFFFFFFu;
constexpr uint16_t kAllOnes16 = 0xFFFF;
// The directory is held in memory while it is read; no archive of an infobase comes near.
constexpr uint64_t kMaxDirectorySize = 256ull << 20;
constexpr size_t kMaxComment = 0xFFFF;

struct EndValues {
  uint64_t position = 0;  // where the end records start: the directory ends here
  uint64_t entries = 0;
  uint64_t entriesOnDisk = 0;
  uint64_t directorySize = 0;
  uint64_t directoryOffset = 0;
  uint32_t disk = 0;
  uint32_t directoryDisk = 0;
  bool needsZip64 = false;
};

// Finds the end record: the last signature whose comment reaches no further than the end.
bool FindEndRecord(const ByteSource& source, EndValues& end, uint64_t& endAt) {
  const uint64_t size = source.Size();
  if (size < kEndSize) return false;
  const uint64_t tailSize = std::min<uint64_t>(size, kEndSize + kMaxComment);
  std::vector<unsigned char> tail(static_cast<size_t>(tailSize));
  if (!source.ReadAt(size - tailSize, tail.data(), tail.size())) return false;
  for (size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
    const unsigned char* p = tail.data() + at;
    if (Get32(p) != kEndSignature || Get16(p + 20) > tail.size() - kEndSize - at) continue;
    endAt = size - tailSize + at;
    end.position = endAt;
    end.disk = Get16(p + 4);
    end.directoryDisk = Get16(p + 6);
    end.entriesOnDisk = Get16(p + 8);
    end.entries = Get16(p + 10);
    end.directorySize = Get32(p + 12);
    end.directoryOffset = Get32(p + 16);
    end.needsZip64 = end.disk == kAllOnes16 || end.directoryDisk == kAllOnes16 ||
                     end.entriesOnDisk == kAllOnes16 || end.entries == kAllOnes16 ||
                     end.directorySize == kAllOnes32 || end.directoryOffset == kAllOnes32;
    return true;
  }
  return false;
}

// Replaces the end values by those of the ZIP64 end record when a locator precedes the
// end record. False when the ZIP64 records are needed or announced but not sound.
bool ReadZip64End(const ByteSource& source, uint64_t endAt, EndValues& end) {
  unsigned char locator[kZip64LocatorSize];
  const bool located = endAt >= kZip64LocatorSize &&
                       source.ReadAt(endAt - kZip64LocatorSize, locator, sizeof locator) &&
                       Get32(locator) == kZip64LocatorSignature;
  if (!located) return !end.needsZip64;
  const uint64_t locatorAt = endAt - kZip64LocatorSize;
  const uint64_t recordAt = Get64(locator + 8);
  unsigned char r[kZip64EndSize];
  if (Get32(locator + 4) != 0 || Get32(locator + 16) != 1) return false;
  if (!RangeWithin(recordAt, kZip64EndSize, locatorAt)) return false;
  if (!source.ReadAt(recordAt, r, sizeof r) || Get32(r) != kZip64EndSignature) return false;
  // The record's own size counts from after that field and covers any extensible data.
  const uint64_t recordSize = Get64(r + 4);
  if (recordSize < kZip64EndSize - 12 || recordSize != locatorAt - recordAt - 12) return false;
  end.position = recordAt;
  end.disk = Get32(r + 16);
  end.directoryDisk = Get32(r + 20);
  end.entriesOnDisk = Get64(r + 24);
  end.entries = Get64(r + 32);
  end.directorySize = Get64(r + 40);
  end.directoryOffset = Get64(r + 48);
  return true;
}

ZipFault ReadCentralRecord(const std::vector<unsigned char>& dir, size_t& at, CentralEntry& e) {
  if (dir.size() - at < kCentralSize) return ZipFault::BadDirectory;
  const unsigned char* p = dir.data() + at;
  if (Get32(p) != kCentralSignature) return ZipFault::BadDirectory;
  const size_t nameLength = Get16(p + 28), extraLength = Get16(p + 30);
  const size_t recordSize = kCentralSize + nameLength + extraLength + Get16(p + 32);
  if (dir.size() - at < recordSize) return ZipFault::BadDirectory;
  if (Get16(p + 34) != 0 && Get16(p + 34) != kAllOnes16) return ZipFault::SplitArchive;
  e.flags = Get16(p + 8);
  e.method = Get16(p + 10);
  e.time = Get16(p + 12);
  e.crc = Get32(p + 16);
  e.packedSize = Get32(p + 20);
  e.size = Get32(p + 24);
  e.localOffset = Get32(p + 42);
  e.name.assign(reinterpret_cast<const char*>(p + kCentralSize), nameLength);
  const Zip64Values wanted{e.size == kAllOnes32 ? &e.size : nullptr,
                           e.packedSize == kAllOnes32 ? &e.packedSize : nullptr,
                           e.localOffset == kAllOnes32 ? &e.localOffset : nullptr};
  if (!ReadZip64Extra(p + kCentralSize + nameLength, extraLength, wanted))
    return ZipFault::BadDirectory;
  at += recordSize;
  return ZipFault::None;
}

ZipFault ReadCentralRecords(const ByteSource& source, const EndValues& end, Directory& out) {
  if (end.directorySize > kMaxDirectorySize || end.entries > end.directorySize / kCentralSize)
    return ZipFault::BadDirectory;
  std::vector<unsigned char> dir(static_cast<size_t>(end.directorySize));
  if (!source.ReadAt(end.directoryOffset, dir.data(), dir.size())) return ZipFault::Unreadable;
  out.offset = end.directoryOffset;
  out.entries.resize(static_cast<size_t>(end.entries));
  size_t at = 0;
  for (CentralEntry& e : out.entries)
    if (ZipFault f = ReadCentralRecord(dir, at, e); f != ZipFault::None) return f;
  return at == dir.size() ? ZipFault::None : ZipFault::BadDirectory;
}

}  // namespace

bool ReadZip64Extra(const unsigned char* extra, size_t length, const Zip64Values& values) {
  uint64_t* const order[] = {values.size, values.packedSize, values.localOffset};
  bool found = false;
  for (size_t at = 0; at + 4 <= length;) {
    const uint16_t id = Get16(extra + at);
    const size_t size = Get16(extra + at + 2);
    if (size > length - at - 4) return false;
    if (id == kZip64ExtraId && !found) {
      found = true;
      size_t field = 0;
      for (uint64_t* target : order) {
        if (!target) continue;
        if (size < field + 8) return false;
        *target = Get64(extra + at + 4 + field);
        field += 8;
      }
    }
    at += 4 + size;
  }
  // Values that had to come from the block must have come.
  return found || (!values.size && !values.packedSize && !values.localOffset);
}

ZipFault ReadDirectory(const ByteSource& source, Directory& out) {
  EndValues end;
  uint64_t endAt = 0;
  if (!FindEndRecord(source, end, endAt)) return ZipFault::NoEndRecord;
  if (!ReadZip64End(source, endAt, end)) return ZipFault::BadZip64Record;
  if (end.disk != 0 || end.directoryDisk != 0 || end.entriesOnDisk != end.entries)
    return ZipFault::SplitArchive;
  // The directory ends exactly where the end records begin.
  if (end.directoryOffset > end.position || end.directorySize != end.position - end.directoryOffset)
    return ZipFault::BadDirectory;
  return ReadCentralRecords(source, end, out);
}

}  // namespace ziparc
