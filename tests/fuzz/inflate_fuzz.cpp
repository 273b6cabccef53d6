// Inflates arbitrary bytes as a raw DEFLATE stream with zlib and with our decoder, fed in
// pieces of sizes the input chooses, and wants the same verdict: the same output length,
// CRC-32 and end of stream when zlib succeeds, a failure when it fails.
// The first byte picks the piece size and the output limit; the rest is the stream.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/inflate.h"
#include "tests/support/piece_feed.h"

namespace {

struct Reference {
  bool ended = false;
  uint64_t size = 0;
  uint32_t crc = 0;
  uint64_t consumed = 0;
};

Reference ZlibInflate(const unsigned char* data, size_t size) {
  Reference r;
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) std::abort();
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = static_cast<uInt>(size);
  std::vector<unsigned char> out(1 << 16);
  for (;;) {
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_NO_FLUSH);
    const size_t got = out.size() - z.avail_out;
    r.size += got;
    r.crc = static_cast<uint32_t>(crc32(r.crc, out.data(), static_cast<uInt>(got)));
    if (rc == Z_STREAM_END) {
      r.ended = true;
      r.consumed = size - z.avail_in;
      break;
    }
    if (rc != Z_OK || (got == 0 && z.avail_in == 0)) break;
  }
  inflateEnd(&z);
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const size_t kPieces[] = {1, 2, 3, 7, 64, 1000, size_t{1} << 30, size_t{1} << 30};
  const size_t piece = kPieces[data[0] & 7];
  const uint64_t limit = (data[0] & 8) ? 1000 : uint64_t{1} << 40;
  ++data;
  --size;
  const Reference want = ZlibInflate(data, size);
  static ziparc::Inflater inflater;
  testsupport::PieceFeed feed({reinterpret_cast<const char*>(data), size}, piece);
  const ziparc::InflateResult got = inflater.Run(feed, limit);
  if (want.ended && want.size <= limit) {
    if (got.status != ziparc::InflateStatus::Ended || got.size != want.size ||
        got.crc != want.crc || got.consumed != want.consumed)
      std::abort();
  } else if (want.ended) {
    if (got.status != ziparc::InflateStatus::TooLong) std::abort();
  } else if (got.status == ziparc::InflateStatus::Ended) {
    std::abort();
  }
  return 0;
}
