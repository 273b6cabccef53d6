// A raw DEFLATE decoder for checking data, not for keeping it: it keeps the last 32 KiB
// of output that matches may refer to and hands back only the CRC-32 and the length of
// everything it produced. Whatever the bytes say, it reads and writes only inside its
// own buffers and ends: every step consumes input or produces output up to a limit.
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace ziparc {

// Supplies the compressed bytes piece by piece and says when to end early.
class InflateFeed {
 public:
  virtual ~InflateFeed() = default;
  // Puts up to room bytes at to and sets got to their number, 0 when no more follow.
  // False ends the decoding at once (the data could not be read, or a stop request).
  virtual bool Read(unsigned char* to, size_t room, size_t& got) = 0;
  // Asked after every large piece of output; true ends the decoding.
  virtual bool Interrupted() = 0;
};

enum class InflateStatus {
  Ended,    // the last block ended
  Bad,      // malformed, or the input ended inside the stream
  TooLong,  // more output than the limit allowed
  Stopped,  // the feed ended it (Read returned false or Interrupted true)
};

struct InflateResult {
  InflateStatus status = InflateStatus::Bad;
  uint64_t size = 0;      // bytes produced (those checked, when not Ended)
  uint32_t crc = 0;       // their CRC-32
  uint64_t consumed = 0;  // input bytes up to the end of the stream's last byte (Ended)
};

// Holds the tables and buffers (about 640 KiB); one per thread, reusable.
class Inflater {
 public:
  Inflater();
  ~Inflater();
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // Decodes one raw DEFLATE stream from the feed; more than limit bytes of output is
  // TooLong. The feed may hold more after the stream: consumed says where it ended.
  InflateResult Run(InflateFeed& feed, uint64_t limit);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace ziparc
