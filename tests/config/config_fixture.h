// Shared by the configuration and tree tests: a registry that holds registered infobases.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "tests/support/scratch.h"
#include "tree/infobase_tree.h"

namespace fixture {

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
