// Shared by the configuration and tree tests: a private temporary folder, whole-file
// reads and writes, and a registry that holds registered infobases.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "tests/store/store_test_util.h"
#include "tree/infobase_tree.h"

namespace fixture {

using storetest::ReadAll;
using storetest::WriteAll;

class TempDir : public storetest::ScratchDir {
 public:
  // A path inside the folder (ASCII names only, so the narrow form is exact).
  std::string Path(const std::string& name) const { return File(name); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(Folder()))
      names.push_back(e.path().filename().string());
    return names;
  }
};

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

// A user list reader that never finds a users file.
inline UserListReader NoUsers() {
  return [](const std::string&, std::vector<std::string>&) { return false; };
}

// The tree item of the infobase with the given path, kNoItem when there is none.
inline ItemHandle ItemOf(const InfobaseTree& tree, const std::string& path) {
  for (const InfobaseEntry& e : tree.InfobaseEntries())
    if (e.path == path) return e.item;
  return kNoItem;
}

}  // namespace fixture
