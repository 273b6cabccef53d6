// Minimal ZIP writer for the stand-in programs: stored (uncompressed) entries with
// CRC-32, local headers, a central directory and the end record. Names are written
// as given (Windows-1251 bytes, no UTF-8 flag). No Zip64: an entry or archive beyond
// 4 GiB, or more than 65535 entries, is refused. Portable, header-only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zip {

// Receives the archive bytes in order; returns false when they could not be written.
using Sink = std::function<bool(const char* data, size_t size)>;

// MS-DOS date and time of an entry (2-second resolution, years 1980-2107).
struct DosStamp {
  uint16_t time = 0;
  uint16_t date = (0 << 9) | (1 << 5) | 1;  // 1980-01-01
};

inline DosStamp MakeDosStamp(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1980 || year > 2107) return {};
  DosStamp s;
  s.date = static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
  s.time = static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
  return s;
}

namespace detail {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

inline constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

inline void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

inline void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace detail

// CRC-32 (IEEE, as ZIP uses it); pass the previous result to continue a running sum.
inline uint32_t Crc32(std::string_view data, uint32_t crc = 0) {
  crc = ~crc;
  for (unsigned char b : data) crc = detail::kCrcTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

class ZipWriter {
 public:
  explicit ZipWriter(Sink sink) : sink_(std::move(sink)) {}

  // Writes one stored entry. False when the sink failed, a limit was hit or the
  // archive was already finished; the writer then refuses everything further.
  bool Add(std::string_view name, std::string_view data, DosStamp stamp = {}) {
    if (failed_ || finished_) return Fail();
    if (name.size() > 0xFFFF || data.size() > 0xFFFFFFFFu || entries_.size() >= 0xFFFF)
      return Fail();
    Entry e{std::string(name), Crc32(data), static_cast<uint32_t>(data.size()), stamp,
            static_cast<uint32_t>(offset_)};
    std::string header;
    detail::Put32(header, 0x04034b50);
    PutEntryFields(header, e);
    detail::Put16(header, static_cast<uint32_t>(e.name.size()));
    detail::Put16(header, 0);  // no extra field
    header += e.name;
    if (offset_ + header.size() + data.size() > 0xFFFFFFFFu) return Fail();
    if (!Emit(header) || !Emit(data)) return Fail();
    entries_.push_back(std::move(e));
    return true;
  }

  // Writes the central directory and the end record. Called once.
  bool Finish() {
    if (failed_ || finished_) return Fail();
    finished_ = true;
    std::string dir;
    for (const Entry& e : entries_) {
      detail::Put32(dir, 0x02014b50);
      detail::Put16(dir, 20);  // made by: MS-DOS, version 2.0
      PutEntryFields(dir, e);
      detail::Put16(dir, static_cast<uint32_t>(e.name.size()));
      detail::Put16(dir, 0);  // extra field length
      detail::Put16(dir, 0);  // comment length
      detail::Put16(dir, 0);  // disk number
      detail::Put16(dir, 0);  // internal attributes
      detail::Put32(dir, 0);  // external attributes
      detail::Put32(dir, e.offset);
      dir += e.name;
    }
    if (offset_ + dir.size() > 0xFFFFFFFFu) return Fail();
    const uint32_t dirOffset = static_cast<uint32_t>(offset_);
    std::string end;
    detail::Put32(end, 0x06054b50);
    detail::Put16(end, 0);  // this disk
    detail::Put16(end, 0);  // disk with the directory
    detail::Put16(end, static_cast<uint32_t>(entries_.size()));
    detail::Put16(end, static_cast<uint32_t>(entries_.size()));
    detail::Put32(end, static_cast<uint32_t>(dir.size()));
    detail::Put32(end, dirOffset);
    detail::Put16(end, 0);  // comment length
    if (!Emit(dir) || !Emit(end)) return Fail();
    return true;
  }

 private:
  struct Entry {
    std::string name;
    uint32_t crc;
    uint32_t size;
    DosStamp stamp;
    uint32_t offset;
  };

  // Fields shared by the local header and the central directory record, from
  // "version needed" to "uncompressed size".
  static void PutEntryFields(std::string& out, const Entry& e) {
    detail::Put16(out, 10);  // version needed: 1.0, stored
    detail::Put16(out, 0);   // flags: no encryption, no descriptor, names not UTF-8
    detail::Put16(out, 0);   // method: stored
    detail::Put16(out, e.stamp.time);
    detail::Put16(out, e.stamp.date);
    detail::Put32(out, e.crc);
    detail::Put32(out, e.size);  // compressed size
    detail::Put32(out, e.size);  // uncompressed size
  }

  bool Emit(std::string_view bytes) {
    if (!bytes.empty() && !sink_(bytes.data(), bytes.size())) return false;
    offset_ += bytes.size();
    return true;
  }

  bool Fail() {
    failed_ = true;
    return false;
  }

  Sink sink_;
  std::vector<Entry> entries_;
  uint64_t offset_ = 0;
  bool failed_ = false;
  bool finished_ = false;
};

struct ZipEntry {
  std::string name;
  std::string data;
  DosStamp stamp;
};

// The whole archive in memory; empty when an entry broke a limit (an archive is
// never empty: even one without entries holds the 22-byte end record).
inline std::string BuildZip(const std::vector<ZipEntry>& entries) {
  std::string out;
  ZipWriter writer([&out](const char* data, size_t size) {
    out.append(data, size);
    return true;
  });
  for (const ZipEntry& e : entries)
    if (!writer.Add(e.name, e.data, e.stamp)) return {};
  if (!writer.Finish()) return {};
  return out;
}

}  // namespace zip
