#include "runner/run_files.h"

#include <optional>

#include "platform/fs.h"
#include "platform/process.h"

namespace fs = platform::fs;

namespace run_files {
namespace {

constexpr std::string_view kPrefix = "Zorvan.";

std::string FolderOf(uint32_t processId) {
  return fs::TempPath() + std::string(kPrefix) + std::to_string(processId);
}

// The process id a folder name carries, or nullopt for any other name.
std::optional<uint32_t> OwnerOf(const std::string& name) {
  if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 10 ||
      name.compare(0, kPrefix.size(), kPrefix) != 0)
    return std::nullopt;
  uint64_t id = 0;
  for (size_t i = kPrefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return std::nullopt;
    id = id * 10 + static_cast<uint64_t>(name[i] - '0');
  }
  if (id > UINT32_MAX) return std::nullopt;
  return static_cast<uint32_t>(id);
}

void RemoveFolderWithFiles(const std::string& folder) {
  for (const std::string& name : fs::FolderEntries(folder)) fs::RemoveFile(folder + "\\" + name);
  fs::RemoveFolder(folder);
}

}  // namespace

std::string OwnFolder() {
  std::string folder = FolderOf(platform::CurrentProcessId());
  if (!fs::GetAttributes(folder).folder) fs::CreateFolder(folder);
  return folder;
}

void RemoveOrphans() {
  const uint32_t self = platform::CurrentProcessId();
  for (const std::string& name : fs::FolderEntries(fs::TempPath())) {
    std::optional<uint32_t> owner = OwnerOf(name);
    if (owner && *owner != self && !platform::ProcessRunning(*owner))
      RemoveFolderWithFiles(FolderOf(*owner));
  }
}

void RemoveOwnFolderIfEmpty() { fs::RemoveFolder(FolderOf(platform::CurrentProcessId())); }

}  // namespace run_files
