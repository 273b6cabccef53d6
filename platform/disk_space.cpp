#include "platform/disk_space.h"

#include <algorithm>
#include <charconv>

#include "platform/fs.h"

namespace platform::fs {
namespace {

constexpr const char* kLimitName = "ZORVAN_FREE_SPACE_LIMIT";

// The folder itself when it exists, else the nearest existing parent ("" when none).
std::string NearestExistingFolder(std::string path) {
  for (;;) {
    if (GetAttributes(path).folder) return path;
    const size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return {};
    const bool root = cut == 0 || (cut == 2 && path[1] == ':');  // "\", "/" or "C:\"
    if (root && path.size() == cut + 1) return {};
    path.erase(root ? cut + 1 : cut);
  }
}

std::optional<uint64_t> Limit() {
  std::optional<std::string> text = detail::EnvironmentValue(kLimitName);
  uint64_t value = 0;
  if (!text || text->empty()) return std::nullopt;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (ec != std::errc() || end != text->data() + text->size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<uint64_t> FreeSpace(const std::string& folder, unsigned long* error) {
  const std::string existing = NearestExistingFolder(folder);
  std::optional<uint64_t> free =
      detail::VolumeFreeBytes(existing.empty() ? folder : existing, error);
  std::optional<uint64_t> limit = Limit();
  if (free && limit) return std::min(*free, *limit);
  return free;
}

void SetFreeSpaceLimit(std::optional<uint64_t> bytes) {
  detail::SetEnvironmentValue(
      kLimitName, bytes ? std::optional<std::string>(std::to_string(*bytes)) : std::nullopt);
}

}  // namespace platform::fs
