#include "archive/inflate.h"

#include <algorithm>
#include <cstring>

#include "archive/zip_format.h"

namespace ziparc {
namespace {

// Lookup table entries: value << 16 | kind | extra bits << 5 | code length. A subtable
// pointer holds the subtable's offset as value, its index bits as extra, and the main
// table's bits as code length; every other entry holds the whole code's length.
constexpr uint32_t kLiteral = 0 << 9;  // value: the byte (or a code length's symbol)
constexpr uint32_t kBase = 1 << 9;     // value: a length or distance base, plus extra bits
constexpr uint32_t kEnd = 2 << 9;      // end of block
constexpr uint32_t kSub = 3 << 9;
constexpr uint32_t kInvalid = 4 << 9;
constexpr uint32_t kKindMask = 7 << 9;

constexpr uint32_t Entry(uint32_t value, uint32_t kind, uint32_t extra, uint32_t codeLength) {
  return value << 16 | kind | extra << 5 | codeLength;
}
inline uint32_t Kind(uint32_t e) { return e & kKindMask; }
inline unsigned CodeLength(uint32_t e) { return e & 31; }
inline unsigned Extra(uint32_t e) { return (e >> 5) & 15; }
inline unsigned Value(uint32_t e) { return e >> 16; }

constexpr unsigned kMaxCodeLength = 15;
constexpr unsigned kLitBits = 11;
constexpr unsigned kDistBits = 8;
constexpr unsigned kLengthsBits = 7;  // the code lengths' own code is at most 7 bits long
constexpr unsigned kLitSymbols = 288;
constexpr unsigned kDistSymbols = 32;
// The main table, and for each symbol at most one subtable of the longest size.
constexpr size_t kLitCapacity = (1u << kLitBits) + kLitSymbols * (1u << (15 - kLitBits));
constexpr size_t kDistCapacity = (1u << kDistBits) + kDistSymbols * (1u << (15 - kDistBits));

constexpr size_t kWindow = 32768;        // the farthest a match reaches back
constexpr size_t kOutPiece = 256 << 10;  // output CRC-ed at a time, while still in cache
// Room the fast loop needs: three literals or a longest match, whose copy in 8-byte
// words may write up to 15 bytes past its end.
constexpr size_t kOutMargin = 512;
constexpr size_t kInPiece = 256 << 10;
// Input the fast loop needs: two refills of at most 7 bytes, each loading 8.
constexpr size_t kInMargin = 32;
constexpr uint64_t kInterruptEvery = 1 << 20;  // bytes of output between stop questions

// What a code's lengths may leave unused: the code lengths' code must be complete; the
// others may be empty or hold one 1-bit code (a stream of one symbol), no more.
enum class CodeKind { Lengths, LitLen, Dist };

struct SymbolTables {
  uint16_t lengthBase[29];
  uint8_t lengthExtra[29];
  uint16_t distBase[30];
  uint8_t distExtra[30];
  constexpr SymbolTables() : lengthBase(), lengthExtra(), distBase(), distExtra() {
    unsigned base = 3;
    for (unsigned i = 0; i < 28; ++i) {
      lengthExtra[i] = static_cast<uint8_t>(i < 8 ? 0 : (i - 4) / 4);
      lengthBase[i] = static_cast<uint16_t>(base);
      base += 1u << lengthExtra[i];
    }
    lengthBase[28] = 258;  // the last length code stands alone
    lengthExtra[28] = 0;
    base = 1;
    for (unsigned i = 0; i < 30; ++i) {
      distExtra[i] = static_cast<uint8_t>(i < 4 ? 0 : i / 2 - 1);
      distBase[i] = static_cast<uint16_t>(base);
      base += 1u << distExtra[i];
    }
  }
};
constexpr SymbolTables kSymbols;

uint32_t SymbolEntry(CodeKind kind, unsigned symbol, unsigned length) {
  switch (kind) {
    case CodeKind::Lengths:
      return Entry(symbol, kLiteral, 0, length);
    case CodeKind::LitLen:
      if (symbol < 256) return Entry(symbol, kLiteral, 0, length);
      if (symbol == 256) return Entry(0, kEnd, 0, length);
      if (symbol < 286)
        return Entry(kSymbols.lengthBase[symbol - 257], kBase,
                     kSymbols.lengthExtra[symbol - 257], length);
      return Entry(0, kInvalid, 0, length);
    case CodeKind::Dist:
      if (symbol < 30)
        return Entry(kSymbols.distBase[symbol], kBase, kSymbols.distExtra[symbol], length);
      return Entry(0, kInvalid, 0, length);
  }
  return Entry(0, kInvalid, 0, length);
}

unsigned Reversed(unsigned code, unsigned length) {
  unsigned r = 0;
  for (unsigned i = 0; i < length; ++i, code >>= 1) r = r << 1 | (code & 1);
  return r;
}

// Fills a lookup table for the canonical code of these lengths, indexed by the next
// mainBits bits of input; longer codes go through a subtable. False when the lengths
// make no acceptable code.
bool BuildTable(const uint8_t* lengths, unsigned n, CodeKind kind, uint32_t* table,
                unsigned mainBits) {
  unsigned count[kMaxCodeLength + 1] = {};
  for (unsigned i = 0; i < n; ++i) ++count[lengths[i]];
  count[0] = 0;
  unsigned longest = kMaxCodeLength;
  while (longest > 0 && count[longest] == 0) --longest;
  const size_t mainSize = size_t{1} << mainBits;
  std::fill(table, table + mainSize, Entry(0, kInvalid, 0, 1));
  if (longest == 0) return kind == CodeKind::Dist;  // no distances: none may be used
  int left = 1;
  for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
    left = 2 * left - static_cast<int>(count[len]);
    if (left < 0) return false;  // over-subscribed
  }
  if (left > 0 && (kind == CodeKind::Lengths || longest != 1)) return false;  // incomplete
  unsigned next[kMaxCodeLength + 1] = {};
  for (unsigned len = 1, code = 0; len <= kMaxCodeLength; ++len) {
    code = (code + count[len - 1]) << 1;
    next[len] = code;
  }
  const unsigned subBits = longest > mainBits ? longest - mainBits : 0;
  size_t used = mainSize;
  for (unsigned symbol = 0; symbol < n; ++symbol) {
    const unsigned len = lengths[symbol];
    if (len == 0) continue;
    const unsigned code = Reversed(next[len]++, len);
    const uint32_t e = SymbolEntry(kind, symbol, len);
    if (len <= mainBits) {
      for (size_t i = code; i < mainSize; i += size_t{1} << len) table[i] = e;
      continue;
    }
    uint32_t& pointer = table[code & (mainSize - 1)];
    if (Kind(pointer) != kSub) {
      pointer = Entry(static_cast<uint32_t>(used), kSub, subBits, mainBits);
      std::fill(table + used, table + used + (size_t{1} << subBits), Entry(0, kInvalid, 0, 1));
      used += size_t{1} << subBits;
    }
    uint32_t* sub = table + Value(pointer);
    for (size_t i = code >> mainBits; i < (size_t{1} << subBits); i += size_t{1} << (len - mainBits))
      sub[i] = e;
  }
  return true;
}

inline uint32_t Lookup(const uint32_t* table, unsigned mainBits, uint64_t bits) {
  uint32_t e = table[bits & ((1u << mainBits) - 1)];
  if (Kind(e) == kSub) [[unlikely]]
    e = table[Value(e) + ((bits >> mainBits) & ((1u << Extra(e)) - 1))];
  return e;
}

inline uint64_t Load64(const unsigned char* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;  // little-endian machines only, as everything Zorvan runs on
}

// Copies a match of len bytes from distance back; may write up to 15 bytes past its end.
inline unsigned char* CopyMatch(unsigned char* op, unsigned distance, unsigned len) {
  const unsigned char* src = op - distance;
  unsigned char* const end = op + len;
  if (distance >= 8) {
    // Each word comes from bytes already written. Most matches are short: two words
    // without a loop.
    std::memcpy(op, src, 8);
    std::memcpy(op + 8, src + 8, 8);
    for (op += 16, src += 16; op < end; op += 8, src += 8) std::memcpy(op, src, 8);
  } else if (distance == 1) {
    std::memset(op, *src, len);
  } else {
    for (unsigned i = 0; i < len; ++i) op[i] = src[i];
  }
  return end;
}

}  // namespace

struct Inflater::State {
  uint32_t lit[kLitCapacity];
  uint32_t dist[kDistCapacity];
  uint32_t lengths[1u << kLengthsBits];
  uint32_t fixedLit[kLitCapacity];
  uint32_t fixedDist[kDistCapacity];
  unsigned char in[kInPiece + kInMargin];
  unsigned char out[kWindow + kOutPiece + kOutMargin];

  InflateFeed* feed = nullptr;
  uint64_t limit = 0;
  const unsigned char* ip = nullptr;  // next input byte not yet in the bit buffer
  const unsigned char* ipEnd = nullptr;
  bool inputEnded = false;
  bool stopped = false;
  bool tooLong = false;
  uint64_t inTotal = 0;  // bytes the feed gave
  // Input bits, next first; above count they hold zeros or the first bits of *ip.
  uint64_t bits = 0;
  unsigned count = 0;
  unsigned char* op = nullptr;       // next output byte
  unsigned char* crcFrom = nullptr;  // output not yet in crc
  uint64_t flushed = 0;              // output in crc
  uint32_t crc = 0;

  State() {
    uint8_t lens[kLitSymbols];
    std::fill(lens, lens + 144, 8);
    std::fill(lens + 144, lens + 256, 9);
    std::fill(lens + 256, lens + 280, 7);
    std::fill(lens + 280, lens + 288, 8);
    BuildTable(lens, kLitSymbols, CodeKind::LitLen, fixedLit, kLitBits);
    std::fill(lens, lens + kDistSymbols, 5);
    BuildTable(lens, kDistSymbols, CodeKind::Dist, fixedDist, kDistBits);
  }

  unsigned char* OutEnd() { return out + kWindow + kOutPiece + kOutMargin; }

  void Consume(unsigned n) {
    bits >>= n;
    count -= n;
  }

  // Tops the bit buffer up to at least 56 bits; needs 8 bytes of input at ip.
  void Refill() {
    bits |= Load64(ip) << count;
    ip += (63 - count) >> 3;
    count |= 56;
  }

  // Moves the unread input to the front and reads more after it; false when none came.
  bool TopUp() {
    if (inputEnded || stopped) return false;
    const size_t keep = static_cast<size_t>(ipEnd - ip);
    std::memmove(in, ip, keep);
    size_t got = 0;
    if (!feed->Read(in + keep, kInPiece, got)) {
      stopped = true;
      return false;
    }
    got = std::min(got, kInPiece);
    inTotal += got;
    inputEnded = got == 0;
    ip = in;
    ipEnd = in + keep + got;
    return got > 0;
  }

  // Gets n (at most 57) bits into the buffer one byte at a time; false when the input
  // ends first.
  bool NeedBits(unsigned n) {
    while (count < n) {
      if (ip == ipEnd && !TopUp()) return false;
      bits |= static_cast<uint64_t>(*ip++) << count;
      count += 8;
    }
    return true;
  }

  unsigned TakeBits(unsigned n) {
    const unsigned v = static_cast<unsigned>(bits & ((uint64_t{1} << n) - 1));
    Consume(n);
    return v;
  }

  // Looks up the next symbol where the input may run short; false when it ends inside it.
  bool SlowSymbol(const uint32_t* table, unsigned mainBits, uint32_t& e) {
    while (count < kMaxCodeLength && (ip < ipEnd || TopUp())) {
      bits |= static_cast<uint64_t>(*ip++) << count;
      count += 8;
    }
    e = Lookup(table, mainBits, bits);
    return CodeLength(e) <= count;
  }

  // CRC-s the output since the last time, keeps the window for later matches, asks the
  // feed whether to go on now and then; false to end.
  bool Flush() {
    const size_t n = static_cast<size_t>(op - crcFrom);
    crc = Crc32({reinterpret_cast<const char*>(crcFrom), n}, crc);
    const bool ask = (flushed + n) / kInterruptEvery != flushed / kInterruptEvery;
    flushed += n;
    crcFrom = op;
    if (flushed > limit) {
      tooLong = true;
      return false;
    }
    if (ask && feed->Interrupted()) {
      stopped = true;
      return false;
    }
    if (OutEnd() - op < static_cast<ptrdiff_t>(kOutMargin)) {
      std::memmove(out, op - kWindow, kWindow);
      op = crcFrom = out + kWindow;
    }
    return true;
  }

  bool RoomOut() { return OutEnd() - op >= static_cast<ptrdiff_t>(kOutMargin) || Flush(); }

  bool Stored() {
    Consume(count & 7);
    if (!NeedBits(32)) return false;
    unsigned len = TakeBits(16);
    if (TakeBits(16) != (~len & 0xFFFF)) return false;
    for (; len > 0 && count >= 8; --len) {
      if (!RoomOut()) return false;
      *op++ = static_cast<unsigned char>(TakeBits(8));
    }
    if (len == 0) return true;
    bits = 0;  // count is 0 and ip moves on: no stale bits of *ip may stay
    while (len > 0) {
      if (!RoomOut()) return false;
      if (ip == ipEnd && !TopUp()) return false;
      const size_t n = std::min<size_t>(
          {len, static_cast<size_t>(ipEnd - ip), static_cast<size_t>(OutEnd() - op)});
      std::memcpy(op, ip, n);
      op += n;
      ip += n;
      len -= static_cast<unsigned>(n);
    }
    return true;
  }

  bool Dynamic() {
    if (!NeedBits(14)) return false;
    const unsigned nlen = TakeBits(5) + 257, ndist = TakeBits(5) + 1, ncode = TakeBits(4) + 4;
    if (nlen > 286 || ndist > 30) return false;
    static constexpr uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                           11, 4,  12, 3, 13, 2, 14, 1, 15};
    uint8_t lens[286 + 30] = {};
    for (unsigned i = 0; i < ncode; ++i) {
      if (!NeedBits(3)) return false;
      lens[kOrder[i]] = static_cast<uint8_t>(TakeBits(3));
    }
    if (!BuildTable(lens, 19, CodeKind::Lengths, lengths, kLengthsBits)) return false;
    std::fill(lens, lens + 19, 0);
    for (unsigned n = 0; n < nlen + ndist;) {
      uint32_t e;
      if (!SlowSymbol(lengths, kLengthsBits, e)) return false;
      Consume(CodeLength(e));
      const unsigned symbol = Value(e);
      if (symbol < 16) {
        lens[n++] = static_cast<uint8_t>(symbol);
        continue;
      }
      uint8_t repeated = 0;
      unsigned times;
      if (symbol == 16) {
        if (n == 0 || !NeedBits(2)) return false;
        repeated = lens[n - 1];
        times = 3 + TakeBits(2);
      } else if (symbol == 17) {
        if (!NeedBits(3)) return false;
        times = 3 + TakeBits(3);
      } else {
        if (!NeedBits(7)) return false;
        times = 11 + TakeBits(7);
      }
      if (n + times > nlen + ndist) return false;
      std::fill(lens + n, lens + n + times, repeated);
      n += times;
    }
    if (lens[256] == 0) return false;  // no end of block
    return BuildTable(lens, nlen, CodeKind::LitLen, lit, kLitBits) &&
           BuildTable(lens + nlen, ndist, CodeKind::Dist, dist, kDistBits);
  }

  // Decodes a block's symbols up to its end.
  bool Codes(const uint32_t* litTable, const uint32_t* distTable) {
    for (;;) {
      if (!RoomOut()) return false;
      if (ipEnd - ip < static_cast<ptrdiff_t>(kInMargin)) TopUp();
      if (stopped) return false;
      if (ipEnd - ip >= static_cast<ptrdiff_t>(kInMargin)) {
        // The fast loop: input and output have room for a whole step. It works on local
        // copies, which its byte writes cannot alias.
        enum { kMargin, kEndOfBlock, kMalformed } outcome = kMargin;
        unsigned char* const opLimit = OutEnd() - kOutMargin;
        const unsigned char* const ipLimit = ipEnd - kInMargin;
        const unsigned char* const windowStart = out;
        uint64_t b = bits;
        unsigned c = count;
        const unsigned char* in = ip;
        unsigned char* o = op;
        const auto refill = [&] {
          b |= Load64(in) << c;
          in += (63 - c) >> 3;
          c |= 56;
        };
        const auto consume = [&](unsigned n) {
          b >>= n;
          c -= n;
        };
        constexpr uint64_t kLitMask = (1u << kLitBits) - 1;
        do {
          refill();
          // Literals in the main table go out at once; long codes go the longer way.
          uint32_t e = litTable[b & kLitMask];
          if (Kind(e) == kLiteral) {
            consume(CodeLength(e));
            *o++ = static_cast<unsigned char>(Value(e));
            e = litTable[b & kLitMask];
            if (Kind(e) == kLiteral) {
              consume(CodeLength(e));
              *o++ = static_cast<unsigned char>(Value(e));
              e = litTable[b & kLitMask];
              if (Kind(e) == kLiteral) {
                consume(CodeLength(e));
                *o++ = static_cast<unsigned char>(Value(e));
                continue;
              }
            }
          }
          // At least 26 bits left: enough for a length and its extra bits.
          if (Kind(e) == kSub) [[unlikely]] {
            e = Lookup(litTable, kLitBits, b);
            if (Kind(e) == kLiteral) {
              consume(CodeLength(e));
              *o++ = static_cast<unsigned char>(Value(e));
              continue;
            }
          }
          if (Kind(e) != kBase) [[unlikely]] {
            if (Kind(e) == kEnd) {
              consume(CodeLength(e));
              outcome = kEndOfBlock;
            } else {
              outcome = kMalformed;
            }
            break;
          }
          unsigned codeLength = CodeLength(e), extra = Extra(e);
          const unsigned len =
              Value(e) + static_cast<unsigned>((b >> codeLength) & ((1u << extra) - 1));
          consume(codeLength + extra);
          refill();
          e = Lookup(distTable, kDistBits, b);
          codeLength = CodeLength(e);
          extra = Extra(e);
          const unsigned distance =
              Value(e) + static_cast<unsigned>((b >> codeLength) & ((1u << extra) - 1));
          consume(codeLength + extra);
          if (Kind(e) != kBase || distance > static_cast<size_t>(o - windowStart)) [[unlikely]] {
            outcome = kMalformed;
            break;
          }
          o = CopyMatch(o, distance, len);
        } while (o <= opLimit && in <= ipLimit);
        bits = b;
        count = c;
        ip = in;
        op = o;
        if (outcome == kMargin) continue;
        return outcome == kEndOfBlock;
      }
      // The slow path, one symbol at a time, while the input runs out.
      uint32_t e;
      if (!SlowSymbol(litTable, kLitBits, e)) return false;
      Consume(CodeLength(e));
      if (Kind(e) == kLiteral) {
        *op++ = static_cast<unsigned char>(Value(e));
        continue;
      }
      if (Kind(e) == kEnd) return true;
      if (Kind(e) != kBase || !NeedBits(Extra(e))) return false;
      const unsigned len = Value(e) + TakeBits(Extra(e));
      if (!SlowSymbol(distTable, kDistBits, e)) return false;
      Consume(CodeLength(e));
      if (Kind(e) != kBase || !NeedBits(Extra(e))) return false;
      const unsigned distance = Value(e) + TakeBits(Extra(e));
      if (distance > static_cast<size_t>(op - out)) return false;
      op = CopyMatch(op, distance, len);
    }
  }

  bool Blocks() {
    for (;;) {
      if (!NeedBits(3)) return false;
      const bool last = TakeBits(1);
      const unsigned type = TakeBits(2);
      bool ok = false;
      if (type == 0)
        ok = Stored();
      else if (type == 1)
        ok = Codes(fixedLit, fixedDist);
      else if (type == 2)
        ok = Dynamic() && Codes(lit, dist);
      if (!ok) return false;
      if (last) return true;
    }
  }
};

Inflater::Inflater() : state_(std::make_unique<State>()) {}
Inflater::~Inflater() = default;

InflateResult Inflater::Run(InflateFeed& feed, uint64_t limit) {
  State& s = *state_;
  s.feed = &feed;
  s.limit = limit;
  s.ip = s.ipEnd = s.in;
  s.inputEnded = s.stopped = s.tooLong = false;
  s.inTotal = 0;
  s.bits = 0;
  s.count = 0;
  s.op = s.crcFrom = s.out;
  s.flushed = 0;
  s.crc = 0;
  const bool ended = s.Blocks();
  const size_t rest = static_cast<size_t>(s.op - s.crcFrom);
  s.crc = Crc32({reinterpret_cast<const char*>(s.crcFrom), rest}, s.crc);
  s.flushed += rest;
  InflateResult r;
  r.size = s.flushed;
  r.crc = s.crc;
  if (s.stopped) {  // even when the bits at hand happened to end the stream
    r.status = InflateStatus::Stopped;
  } else if (ended && s.flushed <= limit) {
    r.status = InflateStatus::Ended;
    r.consumed = s.inTotal - static_cast<uint64_t>(s.ipEnd - s.ip) - s.count / 8;
  } else {
    r.status = s.tooLong || s.flushed > limit ? InflateStatus::TooLong : InflateStatus::Bad;
  }
  return r;
}

}  // namespace ziparc
