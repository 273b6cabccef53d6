// Byte helpers and a counting reporter for the store tests.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_error.h"

namespace storetest {

// Little-endian 32-bit fields, as the record file stores them.
inline std::string Le32(int32_t v) {
  auto u = static_cast<uint32_t>(v);
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(u >> (8 * i));
  return s;
}

inline int32_t FieldAt(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i)
    v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes.at(offset + i))) << (8 * i);
  return static_cast<int32_t>(v);
}

// A reporter that counts the reports it gets.
struct CountingReporter {
  int count = 0;
  platform::FileError last;
  platform::FileErrorReporter Get() {
    return [this](const platform::FileError& e) {
      ++count;
      last = e;
    };
  }
};

}  // namespace storetest
