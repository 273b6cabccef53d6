// A fresh folder per test under the temporary folder, removed with everything in it,
// and whole-file reads and writes. Paths are Windows-1251 texts; by default the folder's
// name holds Cyrillic letters, so that every path crosses the 1251 boundary.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/fs.h"

#ifdef _WIN32
#include "platform/codepage.h"
#endif

namespace testsupport {

inline std::filesystem::path FsPath(const std::string& path1251) {
#ifdef _WIN32
  return std::filesystem::path(platform::Widen(path1251));
#else
  std::string p = path1251;
  std::replace(p.begin(), p.end(), '\\', '/');
  return std::filesystem::path(p);
#endif
}

class ScratchFolder {
 public:
  // tag names the folder; an ASCII tag gives a path that survives a narrow command line.
  explicit ScratchFolder(const std::string& tag = "Тест") {
    static std::atomic<int> counter{0};
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    path_ = platform::fs::TempPath() + "zv_" + tag + "_" + (info ? info->name() : "") + "_" +
            std::to_string(counter++) + "_" + std::to_string(std::random_device()());
    std::filesystem::remove_all(FsPath(path_));
    platform::fs::CreateFolder(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FsPath(path_), ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  // Names in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(FsPath(path_)))
#ifdef _WIN32
      names.push_back(platform::Narrow(e.path().filename().wstring()));
#else
      names.push_back(e.path().filename().string());
#endif
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

// The whole file, or "<missing>" when it cannot be read.
inline std::string Read(const std::string& path) {
  return platform::fs::ReadWholeFile(path).value_or("<missing>");
}

inline void Write(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(platform::fs::WriteWholeFile(path, bytes)) << path;
}

inline bool Exists(const std::string& path) { return platform::fs::GetAttributes(path).exists; }

}  // namespace testsupport
