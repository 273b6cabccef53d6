#include "archive/zip_check.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "archive/zip_directory.h"
#include "archive/zip_format.h"

namespace ziparc {
namespace {

constexpr size_t kChunk = 1 << 20;

// Where an entry's data lies, once its local header agreed with the directory.
struct DataPlace {
  uint64_t offset = 0;
  uint64_t length = 0;
};

ZipFault CompareLocalSizes(const CentralEntry& e, const unsigned char* h,
                           const unsigned char* extra, size_t extraLength) {
  // With a data descriptor the local header may hold zeros: the directory decides.
  if (e.flags & kFlagDescriptor) return ZipFault::None;
  if (Get32(h + 14) != e.crc) return ZipFault::LocalHeaderDiffers;
  uint64_t packed = Get32(h + 18), size = Get32(h + 22);
  const Zip64Values wanted{size == 0xFFFFFFFFu ? &size : nullptr,
                           packed == 0xFFFFFFFFu ? &packed : nullptr, nullptr};
  if (!ReadZip64Extra(extra, extraLength, wanted)) return ZipFault::BadLocalHeader;
  return packed == e.packedSize && size == e.size ? ZipFault::None : ZipFault::LocalHeaderDiffers;
}

ZipFault ReadLocalHeader(ByteSource& source, const Directory& dir, const CentralEntry& e,
                         DataPlace& place) {
  unsigned char h[kLocalSize];
  if (!RangeWithin(e.localOffset, kLocalSize, dir.offset) ||
      !source.ReadAt(e.localOffset, h, sizeof h) || Get32(h) != kLocalSignature)
    return ZipFault::BadLocalHeader;
  const size_t nameLength = Get16(h + 26), extraLength = Get16(h + 28);
  const uint64_t variableAt = e.localOffset + kLocalSize;
  if (!RangeWithin(variableAt, nameLength + extraLength, dir.offset))
    return ZipFault::BadLocalHeader;
  std::vector<unsigned char> variable(nameLength + extraLength);
  if (!source.ReadAt(variableAt, variable.data(), variable.size())) return ZipFault::Unreadable;
  const bool sameName =
      std::equal(e.name.begin(), e.name.end(), variable.begin(), variable.begin() + nameLength,
                 [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; });
  // Flags that change how the entry is read must agree; the others are informational.
  constexpr uint16_t kReadingFlags = kFlagEncrypted | kFlagDescriptor | kFlagStrongEncryption;
  if (!sameName || Get16(h + 8) != e.method ||
      (Get16(h + 6) & kReadingFlags) != (e.flags & kReadingFlags))
    return ZipFault::LocalHeaderDiffers;
  if (ZipFault f = CompareLocalSizes(e, h, variable.data() + nameLength, extraLength);
      f != ZipFault::None)
    return f;
  place.offset = variableAt + nameLength + extraLength;
  place.length = e.packedSize;
  return RangeWithin(place.offset, place.length, dir.offset) ? ZipFault::None
                                                             : ZipFault::DataOutOfPlace;
}

// Reads an entry's data in chunks, decrypting it when a cipher is given, and hands each
// chunk to a consumer; checks the stop request between chunks.
class DataReader {
 public:
  DataReader(ByteSource& source, DataPlace place, ZipCipher* cipher,
             const std::function<bool()>& stopped)
      : source_(source), place_(place), cipher_(cipher), stopped_(stopped) {}

  template <typename Consume>
  ZipFault ForEachChunk(Consume consume) {
    std::vector<unsigned char> buffer(
        static_cast<size_t>(std::min<uint64_t>(place_.length, kChunk)));
    for (uint64_t done = 0; done < place_.length;) {
      if (stopped_ && stopped_()) return ZipFault::Aborted;
      const size_t n = static_cast<size_t>(std::min<uint64_t>(place_.length - done, kChunk));
      if (!source_.ReadAt(place_.offset + done, buffer.data(), n)) return ZipFault::Unreadable;
      if (cipher_) cipher_->Decrypt(buffer.data(), n);
      done += n;
      if (ZipFault f = consume(buffer.data(), n, done == place_.length); f != ZipFault::None)
        return f;
    }
    return ZipFault::None;
  }

 private:
  ByteSource& source_;
  DataPlace place_;
  ZipCipher* cipher_;
  const std::function<bool()>& stopped_;
};

ZipFault CheckStored(DataReader& reader, const CentralEntry& e, uint64_t length) {
  if (length != e.size) return ZipFault::SizeMismatch;
  uint32_t crc = 0;
  ZipFault f = reader.ForEachChunk([&crc](const unsigned char* p, size_t n, bool) {
    crc = Crc32({reinterpret_cast<const char*>(p), n}, crc);
    return ZipFault::None;
  });
  if (f != ZipFault::None) return f;
  return crc == e.crc ? ZipFault::None : ZipFault::CrcMismatch;
}

struct Inflater {
  Inflater() { ok = inflateInit2(&stream, -MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (ok) inflateEnd(&stream);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  z_stream stream{};
  bool ok = false;
};

// Inflates every chunk; the stream must end exactly with the entry's data, no longer
// than the directory says (so a crafted entry cannot make it inflate without end).
ZipFault CheckDeflated(DataReader& reader, const CentralEntry& e, uint64_t length) {
  // Some writers mark an empty entry deflated without writing a stream.
  if (length == 0) return e.size == 0 && e.crc == 0 ? ZipFault::None : ZipFault::SizeMismatch;
  Inflater z;
  if (!z.ok) return ZipFault::Unreadable;
  std::vector<unsigned char> out(kChunk);
  uint64_t produced = 0;
  uint32_t crc = 0;
  bool ended = false;
  auto consume = [&](const unsigned char* p, size_t n, bool last) {
    if (ended) return ZipFault::BadCompressedData;  // data after the stream's end
    z.stream.next_in = const_cast<Bytef*>(p);
    z.stream.avail_in = static_cast<uInt>(n);
    while (!ended && (z.stream.avail_in > 0 || last)) {
      z.stream.next_out = out.data();
      z.stream.avail_out = static_cast<uInt>(out.size());
      const int rc = inflate(&z.stream, Z_NO_FLUSH);
      const size_t got = out.size() - z.stream.avail_out;
      produced += got;
      if (produced > e.size) return ZipFault::SizeMismatch;
      crc = Crc32({reinterpret_cast<const char*>(out.data()), got}, crc);
      if (rc == Z_STREAM_END)
        ended = true;
      else if (rc == Z_BUF_ERROR && got == 0)
        return ZipFault::BadCompressedData;
      else if (rc != Z_OK)
        return ZipFault::BadCompressedData;
    }
    return ended && z.stream.avail_in > 0 ? ZipFault::BadCompressedData : ZipFault::None;
  };
  ZipFault f = reader.ForEachChunk(consume);
  if (f != ZipFault::None) return f;
  if (!ended) return ZipFault::BadCompressedData;
  if (produced != e.size) return ZipFault::SizeMismatch;
  return crc == e.crc ? ZipFault::None : ZipFault::CrcMismatch;
}

class Checker {
 public:
  Checker(ByteSource& source, const ZipCheckOptions& options)
      : source_(source), options_(options) {}

  ZipCheckResult Run() {
    Directory dir;
    result_.fault = ReadDirectory(source_, dir);
    result_.entries = dir.entries.size();
    for (const CentralEntry& e : dir.entries) {
      if (result_.fault != ZipFault::None) break;
      result_.fault = CheckEntry(dir, e);
      if (result_.fault != ZipFault::None) result_.entry = e.name;
    }
    if (result_.fault == ZipFault::None && !refused_.empty()) {
      // The password opened other entries: these ones are damaged, not locked.
      if (passwordFits_) {
        result_.fault = ZipFault::BadEncryptionHeader;
        result_.entry = refused_.front();
      } else {
        result_.unchecked |= kUncheckedWrongPassword;
      }
    }
    return result_;
  }

 private:
  ZipFault CheckEntry(const Directory& dir, const CentralEntry& e) {
    if (options_.stopped && options_.stopped()) return ZipFault::Aborted;
    DataPlace place;
    if (ZipFault f = ReadLocalHeader(source_, dir, e, place); f != ZipFault::None) return f;
    std::optional<ZipCipher> cipher;
    if (e.flags & kFlagEncrypted) {
      if (!OpenCipher(e, place, cipher)) return ZipFault::None;
      if (!cipher) return ZipFault::BadEncryptionHeader;
    }
    if (e.method != kMethodStored && e.method != kMethodDeflate) {
      result_.unchecked |= kUncheckedMethod;
      return ZipFault::None;
    }
    DataReader reader(source_, place, cipher ? &*cipher : nullptr, options_.stopped);
    return e.method == kMethodStored ? CheckStored(reader, e, place.length)
                                     : CheckDeflated(reader, e, place.length);
  }

  // Prepares the cipher for an encrypted entry and moves place past its header. False
  // when the entry can only be checked for its structure.
  bool OpenCipher(const CentralEntry& e, DataPlace& place, std::optional<ZipCipher>& cipher) {
    if ((e.flags & kFlagStrongEncryption) || e.method == kMethodAes) {
      result_.unchecked |= kUncheckedEncryption;
      return false;
    }
    if (options_.password.empty()) {
      result_.unchecked |= kUncheckedNoPassword;
      return false;
    }
    unsigned char header[kEncryptionHeaderSize];
    if (place.length < sizeof header || !source_.ReadAt(place.offset, header, sizeof header))
      return true;  // no room for the header: damaged
    ZipCipher c(options_.password);
    c.Decrypt(header, sizeof header);
    // The last header byte repeats the CRC's high byte, or with a data descriptor the
    // high byte of the time, as writers differ.
    const unsigned char check = header[kEncryptionHeaderSize - 1];
    const bool fits =
        check == (e.crc >> 24) || ((e.flags & kFlagDescriptor) && check == (e.time >> 8));
    if (!fits) {
      refused_.push_back(e.name);
      return false;
    }
    passwordFits_ = true;
    place.offset += sizeof header;
    place.length -= sizeof header;
    cipher.emplace(c);
    return true;
  }

  ByteSource& source_;
  const ZipCheckOptions& options_;
  ZipCheckResult result_;
  std::vector<std::string> refused_;  // entries whose header refused the password
  bool passwordFits_ = false;
};

}  // namespace

ZipCheckResult CheckZip(ByteSource& source, const ZipCheckOptions& options) {
  return Checker(source, options).Run();
}

ZipCheckResult CheckZipFile(const std::string& path, const ZipCheckOptions& options) {
  FileSource source(path);
  if (!source.Open()) {
    ZipCheckResult unreadable;
    unreadable.fault = ZipFault::Unreadable;
    return unreadable;
  }
  return CheckZip(source, options);
}

const char* ZipFaultName(ZipFault fault) {
  switch (fault) {
    case ZipFault::None:
      return "none";
    case ZipFault::Unreadable:
      return "unreadable";
    case ZipFault::NoEndRecord:
      return "no end record";
    case ZipFault::SplitArchive:
      return "split archive";
    case ZipFault::BadZip64Record:
      return "bad ZIP64 record";
    case ZipFault::BadDirectory:
      return "bad central directory";
    case ZipFault::BadLocalHeader:
      return "bad local header";
    case ZipFault::LocalHeaderDiffers:
      return "local header differs";
    case ZipFault::DataOutOfPlace:
      return "data out of place";
    case ZipFault::BadEncryptionHeader:
      return "bad encryption header";
    case ZipFault::BadCompressedData:
      return "bad compressed data";
    case ZipFault::SizeMismatch:
      return "size mismatch";
    case ZipFault::CrcMismatch:
      return "CRC-32 mismatch";
    case ZipFault::Aborted:
      return "aborted";
  }
  return "?";
}

}  // namespace ziparc
