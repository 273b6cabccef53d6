// File times in local calendar fields, through the one local-time conversion of the system.
#include "platform/fs.h"

namespace platform::fs {

std::optional<LocalTime> GetLastWriteTime(const std::string& path) {
  std::optional<int64_t> stamp = GetLastWriteStamp(path);
  return stamp ? ToLocalTime(*stamp) : std::nullopt;
}

bool SetLastWriteTime(const std::string& path, const LocalTime& time) {
  std::optional<int64_t> stamp = FromLocalTime(time);
  return stamp && SetLastWriteStamp(path, *stamp);
}

LocalTime NowLocal() { return ToLocalTime(NowStamp()).value_or(LocalTime{}); }

}  // namespace platform::fs
