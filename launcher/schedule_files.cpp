#include "launcher/schedule_files.h"

#include <iterator>
#include <system_error>
#include <utility>

#include "platform/fs.h"

namespace launcher {
namespace {

bool IsMissing(const platform::fs::Attributes& file) { return !file.exists || file.folder; }

}  // namespace

ScheduleFiles::ScheduleFiles() {
  for (size_t i = 0; i < kReaders; ++i) {
    try {
      readers_.emplace_back([this] { ReadQueued(); });
    } catch (const std::system_error&) {
      break;  // no more threads to be had: fewer read, and the poll reads what is left
    }
  }
}

ScheduleFiles::~ScheduleFiles() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  queued_.notify_all();
  readers_.clear();  // joins them
}

// A file not read before is opened at once: the open file gives its size and last write,
// and only a failed open needs a look at the path.
void ScheduleFiles::ReadFile(Job& job) {
  job.schedules = ReadConfigSchedules(job.path, platform::SilentFileErrorReporter(), &job.read);
  job.missing = !job.schedules && IsMissing(platform::fs::GetAttributes(job.path));
}

void ScheduleFiles::Queue(Job& job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(&job);
  }
  queued_.notify_one();
}

// A reader's life: the next queued read, until the files are dropped.
void ScheduleFiles::ReadQueued() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    queued_.wait(lock, [this] { return closing_ || !queue_.empty(); });
    if (closing_) return;
    Job* job = queue_.front();
    queue_.pop_front();
    ++reading_;
    lock.unlock();
    ReadFile(*job);
    lock.lock();
    if (--reading_ == 0) readsDone_.notify_all();
  }
}

ScheduleFiles::Job* ScheduleFiles::TakeQueued() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (queue_.empty()) return nullptr;
  Job* job = queue_.front();
  queue_.pop_front();
  return job;
}

void ScheduleFiles::AwaitReads() {
  std::unique_lock<std::mutex> lock(mutex_);
  readsDone_.wait(lock, [this] { return reading_ == 0; });
}

ScheduleFiles::Pass::~Pass() {
  {
    std::lock_guard<std::mutex> lock(files_.mutex_);
    files_.queue_.clear();  // only this pass queues
  }
  files_.AwaitReads();
}

void ScheduleFiles::Pass::Add(const std::string& path) {
  Job& job = jobs_.emplace_back();
  job.path = path;
  auto it = files_.files_.find(path);
  if (it != files_.files_.end()) {
    const platform::fs::Attributes file = platform::fs::GetAttributes(path);
    if (IsMissing(file)) {
      job.kind = Kind::Missing;
      return;
    }
    if (it->second.size == file.size && it->second.writeTime == file.writeTime) {
      job.kind = Kind::Known;
      return;
    }
  }
  files_.Queue(job);
}

std::vector<ScheduleFiles::Found> ScheduleFiles::Pass::Finish() {
  // The poll's own thread reads too rather than wait.
  while (Job* job = files_.TakeQueued()) ReadFile(*job);
  files_.AwaitReads();
  std::map<std::string, Read>& files = files_.files_;
  std::vector<Found> found;
  found.reserve(jobs_.size());
  for (Job& job : jobs_) {
    Found& f = found.emplace_back(Found{job.path});
    if (job.kind == Kind::Missing) {
      f.missing = true;
    } else if (job.kind == Kind::Known) {
      Read& known = files.at(job.path);
      known.used = true;
      f.schedules = &known.schedules;
    } else {
      // Two spellings of one file in the list are two reads that may have met: the one
      // refused is tried again now that no reader holds the file.
      if (!job.schedules && !job.missing) ReadFile(job);
      if (job.schedules) {
        Read& entry = files[job.path];
        entry = Read{job.read.size, job.read.writeTime, std::move(*job.schedules)};
        f.schedules = &entry.schedules;
      } else {
        files.erase(job.path);
        f.missing = job.missing;
      }
    }
  }
  // The files not listed any more are forgotten.
  for (auto it = files.begin(); it != files.end();) {
    it = it->second.used ? std::next(it) : files.erase(it);
  }
  for (auto& [path, read] : files) read.used = false;
  return found;
}

}  // namespace launcher
