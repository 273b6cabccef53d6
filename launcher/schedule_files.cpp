#include "launcher/schedule_files.h"

#include <iterator>

namespace launcher {

const std::vector<ScheduleRecord>* ScheduleFiles::Of(const std::string& path,
                                                     const platform::fs::Attributes& file) {
  auto it = files_.find(path);
  if (it != files_.end() && it->second.size == file.size &&
      it->second.writeTime == file.writeTime) {
    it->second.used = true;
    return &it->second.schedules;
  }
  auto schedules = ReadConfigSchedules(path, platform::SilentFileErrorReporter());
  if (!schedules) {
    if (it != files_.end()) files_.erase(it);
    return nullptr;
  }
  Read& read = files_[path];
  read = Read{file.size, file.writeTime, std::move(*schedules)};
  return &read.schedules;
}

void ScheduleFiles::ForgetUnused() {
  for (auto it = files_.begin(); it != files_.end();) {
    it = it->second.used ? std::next(it) : files_.erase(it);
  }
  for (auto& [path, read] : files_) read.used = false;
}

}  // namespace launcher
