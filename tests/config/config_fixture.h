// Shared by the configuration and tree tests: a private temporary folder, whole-file
// reads and writes, and a registry that holds registered infobases.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace fixture {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() /
           ("zvcfg_" + std::to_string(rd()) + "_" + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // A path inside the folder (ASCII names only, so the narrow form is exact).
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) {
      names.push_back(e.path().filename().string());
    }
    return names;
  }

 private:
  std::filesystem::path dir_;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline constexpr const char* kTitlesKey = "Software\\1C\\1Cv7\\7.7\\Titles";

// Registers infobases (path, title) for the current user, in the given order.
inline void RegisterInfobases(platform::Registry& registry,
                              const std::vector<std::pair<std::string, std::string>>& bases) {
  registry.CreateKey(platform::RegRoot::CurrentUser, kTitlesKey);
  for (const auto& [path, title] : bases) {
    registry.WriteValue(platform::RegRoot::CurrentUser, kTitlesKey, path,
                        platform::RegValue::String(title));
  }
}

}  // namespace fixture
