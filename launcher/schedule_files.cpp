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
      readers_.emplace_back([this] { Reader(); });
    } catch (const std::system_error&) {
      break;  // no more threads to be had: fewer read, the poll's thread among them
    }
  }
}

ScheduleFiles::~ScheduleFiles() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  opened_.notify_all();
  readers_.clear();  // joins them
}

// A file not read before is opened at once: the open file gives its size and last write,
// and only a failed open needs a look at the path.
void ScheduleFiles::ReadFile(Job& job) {
  job.schedules = ReadConfigSchedules(job.path, platform::SilentFileErrorReporter(), &job.read);
  job.missing = !job.schedules && IsMissing(platform::fs::GetAttributes(job.path));
}

// A file read before is read again only when its size or last write changed. The cache
// is only read while a pass is open, so the readers may look at once.
void ScheduleFiles::Classify(Job& job) const {
  auto it = files_.find(job.path);
  if (it == files_.end()) return;
  const platform::fs::Attributes file = platform::fs::GetAttributes(job.path);
  if (IsMissing(file))
    job.kind = Kind::Missing;
  else if (it->second.size == file.size && it->second.writeTime == file.writeTime)
    job.kind = Kind::Known;
}

// Names a listed job, then reads its file if that is needed.
void ScheduleFiles::Take(Job& job) const {
  if (job.list) {
    platform::RegNamedValue value;
    const platform::EnumStep step = job.list->At(job.index, value);
    job.list = nullptr;
    if (step != platform::EnumStep::Value || value.name.empty()) {
      job.kind = Kind::Unlisted;
      return;
    }
    job.path = std::move(value.name);
    Classify(job);
  }
  if (job.kind == Kind::Read) ReadFile(job);
}

void ScheduleFiles::ReadAll(const std::vector<Job*>& reads) {
  for (size_t i = next_++; i < reads.size(); i = next_++) Take(*reads[i]);
}

// The calling thread reads too; when it finds no read left, every one is taken, and all are
// done once no reader is busy. A reader waking later finds the pass closed.
void ScheduleFiles::ReadSideBySide(const std::vector<Job*>& reads) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    reads_ = &reads;
    next_ = 0;
    ++pass_;
    open_ = true;
  }
  opened_.notify_all();
  ReadAll(reads);
  std::unique_lock<std::mutex> lock(mutex_);
  readersDone_.wait(lock, [this] { return busy_ == 0; });
  open_ = false;
}

// A reader's life: the reads of each pass it finds open, until the files are dropped.
void ScheduleFiles::Reader() {
  uint64_t joined = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    opened_.wait(lock, [&] { return closing_ || (open_ && pass_ != joined); });
    if (closing_) return;
    joined = pass_;
    ++busy_;
    const std::vector<Job*>& reads = *reads_;
    lock.unlock();
    ReadAll(reads);
    lock.lock();
    if (--busy_ == 0) readersDone_.notify_all();
  }
}

void ScheduleFiles::Pass::Add(const std::string& path) {
  Job& job = jobs_.emplace_back();
  job.path = path;
  files_.Classify(job);
}

// Names added after the list was opened wait for the next pass: they changed its stamp.
void ScheduleFiles::Pass::AddListed(platform::RegValueList& list) {
  for (uint32_t i = 0; i < list.Count(); ++i) {
    Job& job = jobs_.emplace_back();
    job.list = &list;
    job.index = i;
  }
}

std::vector<ScheduleFiles::Found> ScheduleFiles::Pass::Finish() {
  std::vector<Job*> reads;
  for (Job& job : jobs_)
    if (job.kind == Kind::Read) reads.push_back(&job);
  const bool sideBySide = reads.size() > 1;
  if (sideBySide)
    files_.ReadSideBySide(reads);
  else if (!reads.empty())
    files_.Take(*reads.front());
  std::map<std::string, Read>& files = files_.files_;
  std::vector<Found> found;
  found.reserve(jobs_.size());
  for (Job& job : jobs_) {
    if (job.kind == Kind::Unlisted) continue;
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
      if (sideBySide && !job.schedules && !job.missing) ReadFile(job);
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
