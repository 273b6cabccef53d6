#include "archive/zip_check.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "archive/inflate.h"
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

ZipFault ReadLocalHeader(const ByteSource& source, const Directory& dir, const CentralEntry& e,
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

// Tells an entry's check to end early: a stop request, or a fault in an earlier entry.
using Interruption = std::function<bool()>;

// Reads an entry's data piece by piece, decrypting it when a cipher is given; asks whether
// to end early before each piece.
class DataReader {
 public:
  DataReader(const ByteSource& source, DataPlace place, ZipCipher* cipher,
             const Interruption& interrupted)
      : source_(source), place_(place), cipher_(cipher), interrupted_(interrupted) {}

  bool Interrupted() const { return interrupted_(); }

  // Reads the next up to room bytes, none at the end of the data.
  ZipFault Read(unsigned char* to, size_t room, size_t& got) {
    got = 0;
    if (interrupted_()) return ZipFault::Aborted;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(place_.length - done_, room));
    if (n == 0) return ZipFault::None;
    if (!source_.ReadAt(place_.offset + done_, to, n)) return ZipFault::Unreadable;
    if (cipher_) cipher_->Decrypt(to, n);
    done_ += n;
    got = n;
    return ZipFault::None;
  }

 private:
  const ByteSource& source_;
  DataPlace place_;
  ZipCipher* cipher_;
  const Interruption& interrupted_;
  uint64_t done_ = 0;  // read so far
};

ZipFault CheckStored(DataReader& reader, const CentralEntry& e, uint64_t length) {
  if (length != e.size) return ZipFault::SizeMismatch;
  std::vector<unsigned char> buffer(static_cast<size_t>(std::min<uint64_t>(length, kChunk)));
  uint32_t crc = 0;
  for (uint64_t left = length; left > 0;) {
    size_t got = 0;
    if (ZipFault f = reader.Read(buffer.data(), buffer.size(), got); f != ZipFault::None)
      return f;
    if (got == 0) return ZipFault::Unreadable;  // cannot happen: the place lies in the file
    crc = Crc32({reinterpret_cast<const char*>(buffer.data()), got}, crc);
    left -= got;
  }
  return crc == e.crc ? ZipFault::None : ZipFault::CrcMismatch;
}

// Feeds an entry's data to the decoder and keeps the reason when it ends it early.
class EntryFeed : public InflateFeed {
 public:
  explicit EntryFeed(DataReader& reader) : reader_(reader) {}
  bool Read(unsigned char* to, size_t room, size_t& got) override {
    fault_ = reader_.Read(to, room, got);
    return fault_ == ZipFault::None;
  }
  bool Interrupted() override {
    if (!reader_.Interrupted()) return false;
    fault_ = ZipFault::Aborted;
    return true;
  }
  ZipFault Fault() const { return fault_; }

 private:
  DataReader& reader_;
  ZipFault fault_ = ZipFault::None;
};

// The stream must end exactly with the entry's data, no longer than the directory says
// (so a crafted entry cannot make it inflate without end).
ZipFault CheckDeflated(DataReader& reader, const CentralEntry& e, uint64_t length) {
  // Some writers mark an empty entry deflated without writing a stream.
  if (length == 0) return e.size == 0 && e.crc == 0 ? ZipFault::None : ZipFault::SizeMismatch;
  EntryFeed feed(reader);
  Inflater inflater;
  const InflateResult r = inflater.Run(feed, e.size);
  switch (r.status) {
    case InflateStatus::Stopped:
      return feed.Fault();
    case InflateStatus::TooLong:
      return ZipFault::SizeMismatch;
    case InflateStatus::Bad:
      return ZipFault::BadCompressedData;
    case InflateStatus::Ended:
      break;
  }
  if (r.consumed != length) return ZipFault::BadCompressedData;  // data after the stream
  if (r.size != e.size) return ZipFault::SizeMismatch;
  return r.crc == e.crc ? ZipFault::None : ZipFault::CrcMismatch;
}

// What the check of one entry found; an entry counts as not reached until it ends.
struct EntryOutcome {
  ZipFault fault = ZipFault::Aborted;
  unsigned unchecked = 0;     // ZipUnchecked bits
  bool refused = false;       // its encryption header refused the password
  bool passwordFits = false;  // its encryption header took the password
};

// Prepares the cipher for an encrypted entry and moves place past its header. False
// when the entry can only be checked for its structure.
bool OpenCipher(const ByteSource& source, const std::string& password, const CentralEntry& e,
                DataPlace& place, std::optional<ZipCipher>& cipher, EntryOutcome& out) {
  if ((e.flags & kFlagStrongEncryption) || e.method == kMethodAes) {
    out.unchecked |= kUncheckedEncryption;
    return false;
  }
  if (password.empty()) {
    out.unchecked |= kUncheckedNoPassword;
    return false;
  }
  unsigned char header[kEncryptionHeaderSize];
  if (place.length < sizeof header || !source.ReadAt(place.offset, header, sizeof header))
    return true;  // no room for the header: damaged
  ZipCipher c(password);
  c.Decrypt(header, sizeof header);
  // The last header byte repeats the CRC's high byte, or with a data descriptor the
  // high byte of the time, as writers differ.
  const unsigned char check = header[kEncryptionHeaderSize - 1];
  const bool fits =
      check == (e.crc >> 24) || ((e.flags & kFlagDescriptor) && check == (e.time >> 8));
  if (!fits) {
    out.refused = true;
    return false;
  }
  out.passwordFits = true;
  place.offset += sizeof header;
  place.length -= sizeof header;
  cipher.emplace(c);
  return true;
}

ZipFault CheckEntry(const ByteSource& source, const std::string& password, const Directory& dir,
                    const CentralEntry& e, const Interruption& interrupted, EntryOutcome& out) {
  if (interrupted()) return ZipFault::Aborted;
  DataPlace place;
  if (ZipFault f = ReadLocalHeader(source, dir, e, place); f != ZipFault::None) return f;
  std::optional<ZipCipher> cipher;
  if (e.flags & kFlagEncrypted) {
    if (!OpenCipher(source, password, e, place, cipher, out)) return ZipFault::None;
    if (!cipher) return ZipFault::BadEncryptionHeader;
  }
  if (e.method != kMethodStored && e.method != kMethodDeflate) {
    out.unchecked |= kUncheckedMethod;
    return ZipFault::None;
  }
  DataReader reader(source, place, cipher ? &*cipher : nullptr, interrupted);
  return e.method == kMethodStored ? CheckStored(reader, e, place.length)
                                   : CheckDeflated(reader, e, place.length);
}

// Checks the entries on as many threads as the processor runs at once, the calling one
// among them; each takes the next entry in directory order. A fault ends the checks of
// later entries only, so the first entry at fault is the one reported, as in one pass.
// The stop request is asked on the calling thread alone.
class Checker {
 public:
  Checker(const ByteSource& source, const ZipCheckOptions& options, const Directory& dir)
      : source_(source),
        options_(options),
        dir_(dir),
        outcomes_(dir.entries.size()),
        firstFault_(dir.entries.size()) {}

  void Run() {
    if (StopAsked()) return;
    const size_t workers = std::min<size_t>(
        {std::max(1u, std::thread::hardware_concurrency()), kMaxWorkers, dir_.entries.size()});
    std::vector<std::thread> helpers;
    for (size_t i = 1; i < workers; ++i) {
      try {
        helpers.emplace_back([this] {
          Work(false);
          std::lock_guard<std::mutex> lock(mutex_);
          ++helpersDone_;
          helperEnded_.notify_one();
        });
      } catch (const std::system_error&) {
        break;  // no more threads to be had: fewer do the work
      }
    }
    Work(true);
    AwaitHelpers(helpers.size());
    for (std::thread& t : helpers) t.join();
  }

  ZipCheckResult Result() const {
    ZipCheckResult result;
    result.entries = dir_.entries.size();
    bool passwordFits = false;
    const std::string* refused = nullptr;
    for (size_t i = 0; i < outcomes_.size(); ++i) {
      const EntryOutcome& o = outcomes_[i];
      if (o.fault != ZipFault::None) {
        result.fault = o.fault;
        result.entry = dir_.entries[i].name;
        return result;
      }
      result.unchecked |= o.unchecked;
      passwordFits = passwordFits || o.passwordFits;
      if (o.refused && !refused) refused = &dir_.entries[i].name;
    }
    if (stop_) {
      result.fault = ZipFault::Aborted;
    } else if (refused && passwordFits) {
      // The password opened other entries: this one is damaged, not locked.
      result.fault = ZipFault::BadEncryptionHeader;
      result.entry = *refused;
    } else if (refused) {
      result.unchecked |= kUncheckedWrongPassword;
    }
    return result;
  }

 private:
  static constexpr size_t kMaxWorkers = 16;
  static constexpr std::chrono::milliseconds kStopPoll{50};

  void Work(bool callingThread) {
    for (;;) {
      const size_t i = next_.fetch_add(1);
      if (i >= dir_.entries.size() || i > firstFault_ || stop_) return;
      const Interruption interrupted = [this, i, callingThread] {
        if (callingThread) StopAsked();
        return stop_ || i > firstFault_;
      };
      EntryOutcome& out = outcomes_[i];
      out.fault = CheckEntry(source_, options_.password, dir_, dir_.entries[i], interrupted, out);
      if (out.fault != ZipFault::None && out.fault != ZipFault::Aborted) NoteFault(i);
    }
  }

  void NoteFault(size_t i) {
    size_t first = firstFault_;
    while (i < first && !firstFault_.compare_exchange_weak(first, i)) {
    }
  }

  // Asks the stop request once it has not yet been granted; true once it has.
  bool StopAsked() {
    if (!stop_ && options_.stopped && options_.stopped()) stop_ = true;
    return stop_;
  }

  // Keeps asking the stop request while the helpers finish their entries.
  void AwaitHelpers(size_t count) {
    for (;;) {
      StopAsked();
      std::unique_lock<std::mutex> lock(mutex_);
      if (helperEnded_.wait_for(lock, kStopPoll, [&] { return helpersDone_ == count; })) return;
    }
  }

  const ByteSource& source_;
  const ZipCheckOptions& options_;
  const Directory& dir_;
  std::vector<EntryOutcome> outcomes_;  // each written by the thread that checks the entry
  std::atomic<size_t> next_{0};         // the next entry to take
  std::atomic<size_t> firstFault_;      // the earliest entry found at fault so far
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable helperEnded_;
  size_t helpersDone_ = 0;
};

}  // namespace

ZipCheckResult CheckZip(ByteSource& source, const ZipCheckOptions& options) {
  Directory dir;
  if (ZipFault f = ReadDirectory(source, dir); f != ZipFault::None) {
    ZipCheckResult result;
    result.fault = f;
    result.entries = dir.entries.size();
    return result;
  }
  Checker checker(source, options, dir);
  checker.Run();
  return checker.Result();
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
