// The schedules of the listed configuration files as the launcher last read them. A file
// is opened and read again only when its size or last write has changed, so a poll over
// many files costs one look at each, and holds none of them open while the main program
// may be saving it. A file read for the first time costs one open and one read.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/schedule_record.h"
#include "platform/registry.h"

namespace launcher {

class ScheduleFiles {
  struct Job;

 public:
  // Opening a file costs several waits for the system (long ones under Wine, where each
  // is a round trip to its server), so files are read on this many threads at once.
  static constexpr size_t kReaders = 4;

  // Starts the reader threads; they wait between polls.
  ScheduleFiles();
  ~ScheduleFiles();
  ScheduleFiles(const ScheduleFiles&) = delete;
  ScheduleFiles& operator=(const ScheduleFiles&) = delete;

  // What a poll found of one listed file.
  struct Found {
    std::string path;
    // nullptr when the file cannot be read now (held by a save: it is tried again at the
    // next poll) or, with missing set, when no such file exists (a folder counts as none).
    const std::vector<ScheduleRecord>* schedules = nullptr;
    bool missing = false;
  };

  // One poll's look at the files, given in list order. Finish reads the new and changed
  // ones on the poll's thread and the readers together, and gives what was found in list
  // order. The files not given are forgotten then.
  class Pass {
   public:
    explicit Pass(ScheduleFiles& files) : files_(files) {}

    void Add(const std::string& path);
    // Every file the list names (a value without a name names none). The names are read
    // by index on the readers too, each beside the open of its file; list must last until
    // Finish.
    void AddListed(platform::RegValueList& list);
    // The schedules stay valid until the next pass.
    std::vector<Found> Finish();

   private:
    ScheduleFiles& files_;
    std::vector<Job> jobs_;
  };

 private:
  // Unlisted: the list has no usable name at the index (any more).
  enum class Kind { Known, Missing, Read, Unlisted };
  struct Job {
    std::string path;
    platform::RegValueList* list = nullptr;  // whose name at index is still to be read
    uint32_t index = 0;
    Kind kind = Kind::Read;
    // Of a read: the schedules (nullopt when the file could not be read), the size and last
    // write of the file read, and whether the file is missing.
    std::optional<std::vector<ScheduleRecord>> schedules;
    platform::fs::Attributes read;
    bool missing = false;
  };
  struct Read {
    uint64_t size = 0;
    int64_t writeTime = 0;
    std::vector<ScheduleRecord> schedules;
    bool used = true;
  };

  void Classify(Job& job) const;
  void Take(Job& job) const;
  static void ReadFile(Job& job);
  void ReadAll(const std::vector<Job*>& reads);
  void ReadSideBySide(const std::vector<Job*>& reads);
  void Reader();

  std::map<std::string, Read> files_;
  // The reads of a pass: the readers join in while it is open, each taking the next read
  // not taken yet. Each wait here is a round trip to the server under Wine too, so a pass
  // wakes the readers once and waits once.
  std::mutex mutex_;
  std::condition_variable opened_;
  std::condition_variable readersDone_;
  const std::vector<Job*>* reads_ = nullptr;
  std::atomic<size_t> next_{0};
  uint64_t pass_ = 0;  // counts the passes opened
  bool open_ = false;
  size_t busy_ = 0;  // readers at the reads of the open pass
  bool closing_ = false;
  std::vector<std::jthread> readers_;
};

}  // namespace launcher
