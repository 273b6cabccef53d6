// The check's DEFLATE decoder on streams of each block kind, fed whole and in small
// pieces, and on each kind of malformed stream.
#include "archive/inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/zip_format.h"

namespace {

using ziparc::InflateStatus;

std::string Deflated(const std::string& data, int level, int strategy) {
  z_stream z{};
  deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, strategy);
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// Text with near and far repeats, long enough to cross several output pieces.
std::string Records(size_t n) {
  std::string s;
  for (size_t i = 0; s.size() < n; ++i)
    s += "record " + std::to_string(i * 7919 % 100003) + std::string(i % 40, ' ') + "|";
  s.resize(n);
  return s;
}

class PieceFeed : public ziparc::InflateFeed {
 public:
  PieceFeed(const std::string& data, size_t piece, bool failRead = false,
            bool interrupt = false)
      : data_(data), piece_(piece), failRead_(failRead), interrupt_(interrupt) {}
  bool Read(unsigned char* to, size_t room, size_t& got) override {
    if (failRead_ && done_ > 0) return false;
    got = std::min({room, piece_, data_.size() - done_});
    std::copy_n(data_.data() + done_, got, to);
    done_ += got;
    return true;
  }
  bool Interrupted() override { return interrupt_; }

 private:
  const std::string& data_;
  size_t piece_, done_ = 0;
  bool failRead_, interrupt_;
};

ziparc::InflateResult Inflate(const std::string& stream, size_t piece = 1 << 20,
                              uint64_t limit = uint64_t{1} << 40) {
  static ziparc::Inflater inflater;  // reused, as by a checking thread
  PieceFeed feed(stream, piece);
  return inflater.Run(feed, limit);
}

TEST(Inflate, EveryBlockKindFedWholeAndInPieces) {
  const std::string text = Records(700000);
  const struct {
    const char* name;
    std::string data;
    int level, strategy;
  } cases[] = {
      {"stored", text.substr(0, 150000), 0, Z_DEFAULT_STRATEGY},
      {"fixed", text, 6, Z_FIXED},
      {"dynamic", text, 6, Z_DEFAULT_STRATEGY},
      {"runs", std::string(300000, 'x') + "xy" + std::string(5000, 'y'), 9, Z_RLE},
      {"literals only", text.substr(0, 100000), 6, Z_HUFFMAN_ONLY},
      {"empty", "", 6, Z_DEFAULT_STRATEGY},
  };
  for (const auto& c : cases) {
    const std::string stream = Deflated(c.data, c.level, c.strategy);
    for (size_t piece : {size_t{1} << 20, size_t{1}, size_t{7}}) {
      SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
      const ziparc::InflateResult r = Inflate(stream + "trailing", piece);
      EXPECT_EQ(r.status, InflateStatus::Ended);
      EXPECT_EQ(r.size, c.data.size());
      EXPECT_EQ(r.crc, ziparc::Crc32(c.data));
      EXPECT_EQ(r.consumed, stream.size());
    }
  }
}

// Writes bits as DEFLATE packs them: fields from the low bit, Huffman codes from the high.
struct Bits {
  std::string bytes;
  unsigned used = 0;
  Bits& Put(unsigned value, unsigned n) {
    for (unsigned i = 0; i < n; ++i, ++used) {
      if (used % 8 == 0) bytes.push_back(0);
      if (i < 32 && (value >> i & 1)) bytes.back() = static_cast<char>(bytes.back() | 1 << (used % 8));
    }
    return *this;
  }
  Bits& Code(unsigned code, unsigned n) {
    for (unsigned i = n; i-- > 0;) Put(code >> i & 1, 1);
    return *this;
  }
};

// The header of a last dynamic block whose code lengths' code is 0: "0", 2: "10",
// 18: "11" (zeros; without zeroRuns it has no code, which leaves the code incomplete),
// with lit/len lengths of 2 for these symbols and no distances.
Bits DynamicHeader(const std::vector<unsigned>& twoBitSymbols, bool zeroRuns = true) {
  Bits b;
  b.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(14, 4);  // 257, 1, 18 length codes
  // Order 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2 14 1: 18 and 0 get 2 and 1, 2 gets 2.
  const unsigned order[] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1};
  for (unsigned s : order) b.Put(s == 0 ? 1 : s == 2 || (s == 18 && zeroRuns) ? 2 : 0, 3);
  std::vector<unsigned> lens(258, 0);
  for (unsigned s : twoBitSymbols) lens[s] = 2;
  for (size_t i = 0; i < lens.size();) {
    size_t run = 0;
    while (i + run < lens.size() && lens[i + run] == 0 && run < 138) ++run;
    if (run >= 11 && zeroRuns) {
      b.Code(3, 2).Put(static_cast<unsigned>(run - 11), 7);
      i += run;
    } else {
      b.Code(lens[i] == 2 ? 2 : 0, lens[i] == 2 ? 2 : 1);
      ++i;
    }
  }
  return b;
}

TEST(Inflate, MalformedStreamsFail) {
  const std::string sound = Deflated(Records(300000), 6, Z_DEFAULT_STRATEGY);
  Bits fixedFarMatch;  // 'a', then length 3 at distance 2; padded for the fast loop
  fixedFarMatch.Put(1, 1).Put(1, 2).Code(0x30 + 'a', 8).Code(1, 7).Code(1, 5).Put(0, 400);
  Bits repeatFirst;  // code lengths' code 16: "1", 0: "0"; first symbol repeats nothing
  repeatFirst.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(0, 4);
  repeatFirst.Put(1, 3).Put(0, 3).Put(0, 3).Put(1, 3).Code(1, 1);
  Bits overSubscribed;  // code lengths' code: three codes of one bit
  overSubscribed.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(0, 4).Put(1, 3).Put(1, 3);
  overSubscribed.Put(1, 3).Put(0, 3).Put(0, 8);
  const struct {
    const char* name;
    std::string stream;
    InflateStatus want;
    uint64_t limit = uint64_t{1} << 40;
  } cases[] = {
      {"reserved block type", Bits().Put(1, 1).Put(3, 2).bytes, InflateStatus::Bad},
      {"stored length mismatch", Bits().Put(1, 3).bytes + std::string("\x05\x00\x00\x00" "abcde", 9),
       InflateStatus::Bad},
      {"distance beyond the start", fixedFarMatch.bytes, InflateStatus::Bad},
      {"repeat of no length", repeatFirst.bytes, InflateStatus::Bad},
      {"over-subscribed lengths code", overSubscribed.bytes, InflateStatus::Bad},
      // Each of these would decode "a" but for its flaw.
      {"incomplete lengths code",
       DynamicHeader({'a', 'b', 'c', 256}, false).Code(0, 2).Code(3, 2).bytes, InflateStatus::Bad},
      {"incomplete lit/len code", DynamicHeader({'a', 256}).Code(0, 2).Code(1, 2).bytes,
       InflateStatus::Bad},
      {"over-subscribed lit/len code", DynamicHeader({'a', 'b', 'c', 'd', 256}).bytes,
       InflateStatus::Bad},
      {"cut short by a byte", sound.substr(0, sound.size() - 1), InflateStatus::Bad},
      {"cut short in the middle", sound.substr(0, sound.size() / 2), InflateStatus::Bad},
      {"longer than the limit", sound, InflateStatus::TooLong, 100000},
  };
  for (const auto& c : cases) {
    for (size_t piece : {size_t{1} << 20, size_t{1}}) {
      SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
      EXPECT_EQ(Inflate(c.stream, piece, c.limit).status, c.want);
    }
  }
  // The same header with a complete code does decode: the cases above fail for their flaw.
  // 'a' "00", 'b' "01", end "11" ('c' is "10")
  const Bits decodable = DynamicHeader({'a', 'b', 'c', 256}).Code(0, 2).Code(1, 2).Code(3, 2);
  const ziparc::InflateResult r = Inflate(decodable.bytes);
  EXPECT_EQ(r.status, InflateStatus::Ended);
  EXPECT_EQ(r.crc, ziparc::Crc32("ab"));
}

TEST(Inflate, FeedEndsItEarly) {
  const std::string stream = Deflated(Records(3 << 20), 6, Z_DEFAULT_STRATEGY);
  ziparc::Inflater inflater;
  PieceFeed unreadable(stream, 4096, true), interrupted(stream, 1 << 20, false, true);
  EXPECT_EQ(inflater.Run(unreadable, uint64_t{1} << 40).status, InflateStatus::Stopped);
  EXPECT_EQ(inflater.Run(interrupted, uint64_t{1} << 40).status, InflateStatus::Stopped);
}

}  // namespace
