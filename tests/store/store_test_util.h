// Scratch files and byte helpers for the store tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/file_error.h"

namespace storetest {

// A fresh folder under the system's temp folder, removed with the object.
class ScratchDir {
 public:
  ScratchDir() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() /
           ("zv_store_" + std::to_string(rd()) + "_" + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string File(const std::string& name) const { return (dir_ / name).string(); }
  const std::filesystem::path& Folder() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

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
