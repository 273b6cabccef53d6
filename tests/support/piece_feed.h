// Input for the DEFLATE decoder in pieces of one size; it can fail every read after the
// first, or ask the decoder to stop.
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

#include "archive/inflate.h"

namespace testsupport {

class PieceFeed : public ziparc::InflateFeed {
 public:
  PieceFeed(std::string_view data, size_t piece, bool failRead = false, bool interrupt = false)
      : data_(data), piece_(piece), failRead_(failRead), interrupt_(interrupt) {}
  bool Read(unsigned char* to, size_t room, size_t& got) override {
    if (failRead_ && done_ > 0) return false;
    got = std::min({room, piece_, data_.size() - done_});
    std::memcpy(to, data_.data() + done_, got);
    done_ += got;
    return true;
  }
  bool Interrupted() override { return interrupt_; }

 private:
  std::string_view data_;
  size_t piece_, done_ = 0;
  bool failRead_, interrupt_;
};

}  // namespace testsupport
