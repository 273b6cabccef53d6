#include "runner/event_log.h"

#include "platform/fs.h"
#include "runner/archive_names.h"
#include "config/enterprise.h"

namespace fs = platform::fs;

namespace {

// Appends entries to the backup, which then replaces the log. On failure both files are
// as they were, so a later merge neither loses nor repeats entries.
bool AppendAndReplace(const std::string& backup, const std::string& log,
                      const std::string& entries) {
  std::optional<uint64_t> size = fs::FileSize(backup);
  if (!size || (!entries.empty() && !fs::AppendFile(backup, entries))) return false;
  if (fs::MoveReplace(backup, log)) return true;
  fs::SetFileLength(backup, *size);
  return false;
}

// Puts the entries of the log after those of the backup and makes the result the log.
bool MergeBackup(const std::string& backup, const std::string& log) {
  if (!fs::FileExists(log)) return fs::MoveReplace(backup, log);
  std::optional<std::string> entries = fs::ReadWholeFile(log);
  return entries && AppendAndReplace(backup, log, *entries);
}

}  // namespace

EventLog SetAsideEventLog(const std::string& infobasePath) {
  EventLog e{JoinPath(infobasePath, enterprise::kEventLog),
             JoinPath(infobasePath, enterprise::kEventLogBackup)};
  // A backup left by an interrupted run holds the earlier log: merge it back first.
  if (fs::FileExists(e.backup) && !MergeBackup(e.backup, e.log)) return e;
  if (!fs::Rename(e.log, e.backup)) return e;
  // Never truncate: a log that appeared meanwhile holds entries to merge.
  if (!fs::CreateNewFile(e.log) && !fs::FileExists(e.log)) {
    fs::MoveReplace(e.backup, e.log);
    return e;
  }
  e.setAside = true;
  return e;
}

std::optional<std::string> CollectEventLog(EventLog& e, bool merge) {
  if (!e.setAside) return std::nullopt;
  std::optional<std::string> entries = fs::ReadWholeFile(e.log);
  if (!merge || !entries) return entries && !entries->empty() ? entries : std::nullopt;
  if (AppendAndReplace(e.backup, e.log, *entries)) e.setAside = false;
  if (entries->empty()) return std::nullopt;
  return entries;
}

std::string TrimFinalLineBreak(std::string text) {
  if (text.empty() || text.back() != '\n') return text;
  text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}
