// Little-endian numbers and counted texts (16-bit length) for the small binary values the
// two programs keep in the registry. The reader stays inside its bytes: a short read
// returns false and the caller gives up the whole value.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace bytes {

inline constexpr size_t kMaxText = 0xFFFF;  // longer texts are cut

class Writer {
 public:
  void Bytes(const void* data, size_t size) { out_.append(static_cast<const char*>(data), size); }
  template <typename T>
  void Number(T v) {
    for (size_t i = 0; i < sizeof(T); ++i) out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  void Text(const std::string& s) {
    const size_t n = std::min(s.size(), kMaxText);
    Number(static_cast<uint16_t>(n));
    Bytes(s.data(), n);
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

class Reader {
 public:
  explicit Reader(const std::string& in) : in_(in) {}
  template <typename T>
  bool Number(T& v) {
    if (in_.size() - pos_ < sizeof(T)) return false;
    uint64_t u = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
      u |= uint64_t{static_cast<unsigned char>(in_[pos_ + i])} << (8 * i);
    v = static_cast<T>(u);
    pos_ += sizeof(T);
    return true;
  }
  bool Text(std::string& s) {
    uint16_t n = 0;
    if (!Number(n) || in_.size() - pos_ < n) return false;
    s.assign(in_, pos_, n);
    pos_ += n;
    return true;
  }
  bool Skip(size_t n) {
    if (in_.size() - pos_ < n) return false;
    pos_ += n;
    return true;
  }
  bool AtEnd() const { return pos_ == in_.size(); }

 private:
  const std::string& in_;
  size_t pos_ = 0;
};

}  // namespace bytes
