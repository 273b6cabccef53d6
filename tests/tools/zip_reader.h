// Reads back a ZIP archive of stored entries for tests, checking its structure on the
// way: end record, central directory, matching local headers, sizes and CRC-32.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/shared/zip_writer.h"

namespace ziptest {

struct ReadEntry {
  std::string name;
  std::string data;
  uint16_t flags = 0;
  uint16_t time = 0;
  uint16_t date = 0;
};

struct ReadResult {
  std::vector<ReadEntry> entries;
  std::string error;  // empty when the archive is sound
};

inline uint32_t Get16(std::string_view b, size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

inline uint32_t Get32(std::string_view b, size_t at) {
  return Get16(b, at) | Get16(b, at + 2) << 16;
}

// Checks one central directory record at `at` against its local header; appends the entry.
inline std::string ReadCentralRecord(std::string_view b, size_t& at, size_t dirStart,
                                     ReadResult& out) {
  if (at + 46 > b.size() || Get32(b, at) != 0x02014b50) return "bad central record signature";
  const uint32_t method = Get16(b, at + 10), crc = Get32(b, at + 16);
  const uint32_t packed = Get32(b, at + 20), size = Get32(b, at + 24);
  const uint32_t nameLen = Get16(b, at + 28), extraLen = Get16(b, at + 30);
  const uint32_t commentLen = Get16(b, at + 32), local = Get32(b, at + 42);
  if (method != 0 || packed != size) return "entry not stored";
  if (at + 46 + nameLen + extraLen + commentLen > b.size()) return "central record overruns";
  const size_t rec = at;
  ReadEntry e;
  e.name = std::string(b.substr(at + 46, nameLen));
  e.flags = static_cast<uint16_t>(Get16(b, at + 8));
  e.time = static_cast<uint16_t>(Get16(b, at + 12));
  e.date = static_cast<uint16_t>(Get16(b, at + 14));
  at += 46 + nameLen + extraLen + commentLen;

  if (local + 30 > dirStart || Get32(b, local) != 0x04034b50) return "bad local header";
  if (b.substr(local + 6, 20) != b.substr(rec + 8, 20))
    return "local header differs from central record";
  const uint32_t localName = Get16(b, local + 26), localExtra = Get16(b, local + 28);
  if (b.substr(local + 30, localName) != e.name) return "local name differs";
  const size_t dataAt = local + 30 + localName + localExtra;
  if (dataAt + size > dirStart) return "entry data overruns";
  e.data = std::string(b.substr(dataAt, size));
  if (zip::Crc32(e.data) != crc) return "CRC-32 mismatch in " + e.name;
  out.entries.push_back(std::move(e));
  return {};
}

inline ReadResult ReadZip(std::string_view b) {
  ReadResult out;
  if (b.size() < 22) return {{}, "too short"};
  const size_t end = b.size() - 22;  // the writer adds no archive comment
  if (Get32(b, end) != 0x06054b50) return {{}, "no end record"};
  const uint32_t count = Get16(b, end + 10), dirSize = Get32(b, end + 12);
  const uint32_t dirStart = Get32(b, end + 16);
  if (Get16(b, end + 8) != count) return {{}, "entry counts differ"};
  if (static_cast<uint64_t>(dirStart) + dirSize != end) return {{}, "directory misplaced"};
  size_t at = dirStart;
  for (uint32_t i = 0; i < count; ++i) {
    out.error = ReadCentralRecord(b, at, dirStart, out);
    if (!out.error.empty()) return out;
  }
  if (at != end) out.error = "directory size mismatch";
  return out;
}

}  // namespace ziptest
