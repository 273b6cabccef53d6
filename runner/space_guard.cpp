#include "runner/space_guard.h"

#include "platform/disk_space.h"

namespace {

constexpr uint64_t kMiB = 1 << 20;

// Whole MiB: the free room rounded down, the needed room up, so the line never
// understates the shortage.
std::string Megabytes(uint64_t bytes, bool roundUp) {
  return std::to_string(bytes / kMiB + (roundUp && bytes % kMiB != 0));
}

}  // namespace

uint64_t SpaceNeeded(uint64_t previousTotal) {
  const uint64_t growth = previousTotal / 20 + kMiB;
  return previousTotal > UINT64_MAX - growth ? UINT64_MAX : previousTotal + growth;
}

std::optional<SpaceShortage> FindSpaceShortage(const std::string& folder,
                                               std::optional<uint64_t> previousTotal) {
  if (!previousTotal) return std::nullopt;
  std::optional<uint64_t> free = platform::fs::FreeSpace(folder);
  const uint64_t needed = SpaceNeeded(*previousTotal);
  if (!free || *free >= needed) return std::nullopt;
  return SpaceShortage{folder, needed, *free};
}

std::string SpaceShortageLine(const SpaceShortage& s) {
  return "Недостаточно места на диске: \"" + s.folder + "\" - свободно " +
         Megabytes(s.free, false) + " МБ, нужно " + Megabytes(s.needed, true) + " МБ";
}
