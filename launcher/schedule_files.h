// The schedules of the listed configuration files as the launcher last read them. A file
// is opened and read again only when its size or last write has changed, so a poll over
// many files costs one look at each, and holds none of them open while the main program
// may be saving it. A file read for the first time costs one open and one read.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "config/schedule_record.h"

namespace launcher {

class ScheduleFiles {
 public:
  // The file's schedules, read anew when it is new or changed since the last read.
  // nullptr when it cannot be read now (held by a save: it is tried again at the next
  // poll) or, with missing set, when no such file exists (a folder counts as none).
  const std::vector<ScheduleRecord>* Of(const std::string& path, bool& missing);
  // Forgets the files not asked for since the last call (dropped from the list).
  void ForgetUnused();
  size_t Size() const { return files_.size(); }

 private:
  struct Read {
    uint64_t size = 0;
    int64_t writeTime = 0;
    std::vector<ScheduleRecord> schedules;
    bool used = true;
  };
  std::map<std::string, Read> files_;
};

}  // namespace launcher
