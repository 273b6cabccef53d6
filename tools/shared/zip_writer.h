// ZIP writer for the stand-in programs and the tests: stored or deflated entries with
// CRC-32, optionally under the traditional ZIP password, local headers, a central
// directory and the end record, with ZIP64 records on request (otherwise an entry or
// archive beyond 4 GiB, or more than 65535 entries, is refused). Names are written as
// given (Windows-1251 bytes, no UTF-8 flag). Portable, header-only, on zlib.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/zip_format.h"

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

using ziparc::Crc32;

// How the entries of one archive are written.
struct WriteOptions {
  bool deflate = false;  // deflate each entry (else stored)
  std::string password;  // the traditional ZIP password; empty: none
  bool zip64 = false;    // ZIP64 fields for every entry and the end
};

namespace detail {

inline void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

inline void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline void Put64(std::string& out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v));
  Put32(out, static_cast<uint32_t>(v >> 32));
}

// Raw deflate (no zlib header) at the default level; empty data gives the empty stream.
inline std::string Deflate(std::string_view data) {
  z_stream z{};
  if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK)
    return {};
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const bool done = deflate(&z, Z_FINISH) == Z_STREAM_END;
  out.resize(done ? z.total_out : 0);
  deflateEnd(&z);
  return out;
}

// The 12-byte header and the data under the password; the header ends with the CRC's
// high byte, by which readers test the password.
inline std::string Encrypt(std::string_view password, std::string_view data, uint32_t crc) {
  ziparc::ZipCipher cipher(password);
  std::string out;
  out.reserve(data.size() + ziparc::kEncryptionHeaderSize);
  for (size_t i = 0; i + 1 < ziparc::kEncryptionHeaderSize; ++i)
    out.push_back(static_cast<char>(cipher.Encrypt(static_cast<unsigned char>(i * 37 + crc))));
  out.push_back(static_cast<char>(cipher.Encrypt(static_cast<unsigned char>(crc >> 24))));
  for (char c : data)
    out.push_back(static_cast<char>(cipher.Encrypt(static_cast<unsigned char>(c))));
  return out;
}

}  // namespace detail

class ZipWriter {
 public:
  explicit ZipWriter(Sink sink, WriteOptions options = {})
      : sink_(std::move(sink)), options_(std::move(options)) {}

  // Writes one entry. False when the sink failed, a limit was hit or the archive was
  // already finished; the writer then refuses everything further.
  bool Add(std::string_view name, std::string_view data, DosStamp stamp = {}) {
    if (failed_ || finished_) return Fail();
    const uint64_t limit = options_.zip64 ? UINT64_MAX : 0xFFFFFFFFu;
    if (name.size() > 0xFFFF || data.size() > limit ||
        (!options_.zip64 && entries_.size() >= 0xFFFF))
      return Fail();
    Entry e{std::string(name), Crc32(data), data.size(), 0, stamp, offset_};
    std::string packed = options_.deflate ? detail::Deflate(data) : std::string(data);
    if (!options_.password.empty()) packed = detail::Encrypt(options_.password, packed, e.crc);
    e.packedSize = packed.size();
    std::string header;
    detail::Put32(header, ziparc::kLocalSignature);
    PutEntryFields(header, e);
    detail::Put16(header, static_cast<uint32_t>(e.name.size()));
    const std::string extra = options_.zip64 ? Zip64Extra(e, false) : std::string();
    detail::Put16(header, static_cast<uint32_t>(extra.size()));
    header += e.name + extra;
    if (offset_ + header.size() + packed.size() > limit) return Fail();
    if (!Emit(header) || !Emit(packed)) return Fail();
    entries_.push_back(std::move(e));
    return true;
  }

  // Writes the central directory and the end records. Called once.
  bool Finish() {
    if (failed_ || finished_) return Fail();
    finished_ = true;
    std::string dir;
    for (const Entry& e : entries_) PutCentralRecord(dir, e);
    const uint64_t dirOffset = offset_;
    if (!options_.zip64 && offset_ + dir.size() > 0xFFFFFFFFu) return Fail();
    std::string end = options_.zip64 ? Zip64End(dirOffset, dir.size()) : std::string();
    PutEnd(end, dirOffset, dir.size());
    return (Emit(dir) && Emit(end)) || Fail();
  }

 private:
  struct Entry {
    std::string name;
    uint32_t crc;
    uint64_t size;
    uint64_t packedSize;
    DosStamp stamp;
    uint64_t offset;
  };

  uint32_t Field32(uint64_t v) const {
    return options_.zip64 ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
  }

  // Fields shared by the local header and the central directory record, from
  // "version needed" to "uncompressed size".
  void PutEntryFields(std::string& out, const Entry& e) const {
    const bool plain = !options_.deflate && options_.password.empty();
    detail::Put16(out, options_.zip64 ? 45 : plain ? 10 : 20);  // version needed
    detail::Put16(out, options_.password.empty() ? 0 : ziparc::kFlagEncrypted);
    detail::Put16(out, options_.deflate ? ziparc::kMethodDeflate : ziparc::kMethodStored);
    detail::Put16(out, e.stamp.time);
    detail::Put16(out, e.stamp.date);
    detail::Put32(out, e.crc);
    detail::Put32(out, Field32(e.packedSize));
    detail::Put32(out, Field32(e.size));
  }

  // The ZIP64 extra field: sizes, and in the directory the local header's offset.
  static std::string Zip64Extra(const Entry& e, bool central) {
    std::string x;
    detail::Put16(x, ziparc::kZip64ExtraId);
    detail::Put16(x, central ? 24 : 16);
    detail::Put64(x, e.size);
    detail::Put64(x, e.packedSize);
    if (central) detail::Put64(x, e.offset);
    return x;
  }

  void PutCentralRecord(std::string& dir, const Entry& e) const {
    detail::Put32(dir, ziparc::kCentralSignature);
    detail::Put16(dir, options_.zip64 ? 45 : 20);  // made by: MS-DOS
    PutEntryFields(dir, e);
    const std::string extra = options_.zip64 ? Zip64Extra(e, true) : std::string();
    detail::Put16(dir, static_cast<uint32_t>(e.name.size()));
    detail::Put16(dir, static_cast<uint32_t>(extra.size()));
    detail::Put16(dir, 0);  // comment length
    detail::Put16(dir, 0);  // disk number
    detail::Put16(dir, 0);  // internal attributes
    detail::Put32(dir, 0);  // external attributes
    detail::Put32(dir, Field32(e.offset));
    dir += e.name + extra;
  }

  // The ZIP64 end record and its locator, which precede the classic end record.
  std::string Zip64End(uint64_t dirOffset, uint64_t dirSize) const {
    std::string r;
    detail::Put32(r, ziparc::kZip64EndSignature);
    detail::Put64(r, ziparc::kZip64EndSize - 12);
    detail::Put16(r, 45);
    detail::Put16(r, 45);
    detail::Put32(r, 0);  // this disk
    detail::Put32(r, 0);  // disk with the directory
    detail::Put64(r, entries_.size());
    detail::Put64(r, entries_.size());
    detail::Put64(r, dirSize);
    detail::Put64(r, dirOffset);
    detail::Put32(r, ziparc::kZip64LocatorSignature);
    detail::Put32(r, 0);
    detail::Put64(r, dirOffset + dirSize);
    detail::Put32(r, 1);  // disks in all
    return r;
  }

  void PutEnd(std::string& end, uint64_t dirOffset, uint64_t dirSize) const {
    const uint32_t count = options_.zip64 ? 0xFFFF : static_cast<uint32_t>(entries_.size());
    detail::Put32(end, ziparc::kEndSignature);
    detail::Put16(end, 0);  // this disk
    detail::Put16(end, 0);  // disk with the directory
    detail::Put16(end, count);
    detail::Put16(end, count);
    detail::Put32(end, Field32(dirSize));
    detail::Put32(end, Field32(dirOffset));
    detail::Put16(end, 0);  // comment length
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
  WriteOptions options_;
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
inline std::string BuildZip(const std::vector<ZipEntry>& entries,
                            const WriteOptions& options = {}) {
  std::string out;
  ZipWriter writer(
      [&out](const char* data, size_t size) {
        out.append(data, size);
        return true;
      },
      options);
  for (const ZipEntry& e : entries)
    if (!writer.Add(e.name, e.data, e.stamp)) return {};
  if (!writer.Finish()) return {};
  return out;
}

}  // namespace zip
