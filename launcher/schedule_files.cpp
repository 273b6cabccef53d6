#include "launcher/schedule_files.h"

#include <iterator>

#include "platform/fs.h"

namespace launcher {
namespace {

bool IsMissing(const platform::fs::Attributes& file) { return !file.exists || file.folder; }

}  // namespace

const std::vector<ScheduleRecord>* ScheduleFiles::Of(const std::string& path, bool& missing) {
  missing = false;
  auto it = files_.find(path);
  if (it != files_.end()) {
    const platform::fs::Attributes file = platform::fs::GetAttributes(path);
    if (IsMissing(file)) {
      missing = true;
      return nullptr;
    }
    if (it->second.size == file.size && it->second.writeTime == file.writeTime) {
      it->second.used = true;
      return &it->second.schedules;
    }
  }
  // A file not read before is opened at once: the open file gives its size and last
  // write, and only a failed open needs a look at the path.
  platform::fs::Attributes read;
  auto schedules = ReadConfigSchedules(path, platform::SilentFileErrorReporter(), &read);
  if (!schedules) {
    if (it != files_.end()) files_.erase(it);
    missing = IsMissing(platform::fs::GetAttributes(path));
    return nullptr;
  }
  Read& entry = files_[path];
  entry = Read{read.size, read.writeTime, std::move(*schedules)};
  return &entry.schedules;
}

void ScheduleFiles::ForgetUnused() {
  for (auto it = files_.begin(); it != files_.end();) {
    it = it->second.used ? std::next(it) : files_.erase(it);
  }
  for (auto& [path, read] : files_) read.used = false;
}

}  // namespace launcher
