#include "runner/infobase_job.h"

#include "config/enterprise.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "platform/scope_guard.h"
#include "platform/system_error.h"
#include "runner/archive_names.h"
#include "runner/archive_rotation.h"
#include "runner/batch_file.h"
#include "runner/child_run.h"
#include "runner/event_log.h"
#include "runner/external_archiver.h"

namespace fs = platform::fs;

namespace {

constexpr ArchiveKind kKinds[] = {kSaveArchive, kUnloadArchive};

bool UsableFolder(const std::string& path) {
  fs::Attributes a = fs::GetAttributes(path);
  return a.exists && a.folder && !a.readOnly;
}

class InfobaseJob {
 public:
  InfobaseJob(InfobaseEntry& entry, const RunValues& values, RunControl& control,
              platform::Registry& registry)
      : e_(entry), values_(values), control_(control), registry_(registry) {}

  bool Run() {
    if (Stopped()) return false;
    stepStart_ = fs::NowStamp();
    if (e_.UseExternalArchiver) e_.SaveData = 1;
    plan_ = PlanArchives(e_, values_.destination);
    if (e_.AsksForArchive() && !PrepareArchives()) return false;
    if (Stopped()) return false;
    if (e_.Type == InfobaseType::Registered &&
        !fs::FileExists(e_.path + enterprise::kMetadataFile)) {
      Journal("Нет доступа к БД");
      return false;
    }
    if (NothingToDo()) {
      removeCreatedFolder_.Dismiss();
      return true;
    }
    if (Stopped()) return false;
    // The batch file holds the password: never left behind, not even after an abort.
    platform::ScopeGuard removeBatchFile([this] { fs::RemoveFile(values_.batchFilePath); });
    if (!fs::WriteWholeFile(values_.batchFilePath, BuildBatchFile(e_, plan_))) {
      Journal("Ошибка создания файла пакетного запуска");
      return false;
    }
    bool success = RunChildren();
    if (!Stopped() && (success || archiverSuccess_)) {
      removeCreatedFolder_.Dismiss();
      CopyDuplicates();
    }
    return success && !Stopped();
  }

 private:
  bool Stopped() const { return control_.StopRequested(); }
  void Journal(const std::string& line) { control_.Journal(line); }
  void JournalError(unsigned long error) { Journal(platform::GetSystemErrorText(error)); }

  // Destination and archive folders, archive names and rotation.
  bool PrepareArchives() {
    unsigned long error = 0;
    const std::string& destination = values_.destination;
    if (!UsableFolder(destination) && !fs::CreateFolder(destination, &error)) {
      Journal("Нет доступа к папке: \"" + destination + "\"");
      JournalError(error);
      return false;
    }
    bool folderFailed = false;
    if (!fs::GetAttributes(plan_.folder).exists) {
      if (fs::CreateFolder(plan_.folder, &error)) {
        // A folder made for archives that were not made is removed again (when empty).
        removeCreatedFolder_ = platform::ScopeGuard([this] { fs::RemoveFolder(plan_.folder); });
      } else {
        JournalError(error);
        folderFailed = true;
      }
    }
    for (ArchiveKind kind : kKinds) {
      if (!plan_.wanted[kind] || Stopped()) continue;
      Journal("Имя архива \"" + plan_.path[kind] + "\"");
      RotateArchiveCopies(plan_.Name(kind), plan_.path[kind], plan_.folder, plan_.skip[kind],
                          plan_.extension, values_, control_);
    }
    return !folderFailed;
  }

  bool NothingToDo() const {
    bool save = e_.SaveData == 1, unload = e_.UnloadData == 1;
    bool saveSkipped = plan_.skip[kSaveArchive], unloadSkipped = plan_.skip[kUnloadArchive];
    return (save && saveSkipped && !unload) || (unload && unloadSkipped && !save) ||
           (save && unload && saveSkipped && unloadSkipped);
  }

  void SwitchOffStartupTip() {
    platform::RegValue zero{platform::RegType::Dword, std::string(4, '\0')};
    registry_.WriteValue(platform::RegRoot::CurrentUser, enterprise::TipOfTheDayKey(e_.BaseName),
                         enterprise::kTipValue, zero);
  }

  // The external archiver, then 1C:Enterprise when the job needs it.
  bool RunChildren() {
    if (e_.Type == InfobaseType::Registered) SwitchOffStartupTip();
    if (e_.UseExternalArchiver) {
      ArchiverResult archiver =
          RunExternalArchiver(e_, plan_.path[kSaveArchive], values_, control_);
      if (archiver.aborted || !archiver.started) return false;
      archiverSuccess_ = archiver.success && CheckArchiveWritten(kSaveArchive);
      if (archiver.success && !archiverSuccess_) archiveMissing_ = true;
    }
    if (Stopped()) return false;
    bool success = e_.StartsEnterprise() ? RunEnterprise() : true;
    return success && !archiveMissing_;
  }

  bool RunEnterprise() {
    std::string line = enterprise::BuildCommandLine(values_.enterprisePath, e_.path, e_.UserName,
                                                    e_.Pswd, values_.batchFilePath);
    std::string shown = enterprise::BuildJournalCommandLine(
        values_.enterprisePath, e_.path, e_.UserName, e_.Pswd, values_.batchFilePath);
    EventLog log = SetAsideEventLog(e_.path);
    ChildRun run = RunChild(line, shown, values_.enterpriseFolder, platform::ShowWindow::Hidden,
                            values_, control_);
    if (run.outcome == ChildOutcome::Aborted) return false;  // the next run merges the log
    bool notStarted = run.outcome == ChildOutcome::NotStarted;
    // A child still running after its time-out may write on: leave the log for the next run.
    std::optional<std::string> entries = CollectEventLog(log, run.ended || notStarted);
    if (notStarted) return false;
    if (entries) JournalEventLog(*entries);
    if (run.outcome != ChildOutcome::EndedInTime) return false;
    bool written = true;
    for (ArchiveKind kind : kKinds)
      if (BatchRequestsArchive(e_, plan_, kind)) written = CheckArchiveWritten(kind) && written;
    return written;
  }

  void JournalEventLog(const std::string& entries) {
    Journal("");
    Journal("========== 1c syslog =========");
    Journal(TrimFinalLineBreak(entries));
    Journal("==============================");
    Journal("");
  }

  // An archive asked for must have been written in this step: present, not empty, and
  // not older than the step's start (a stale one is not passed off as a new backup).
  // Two seconds of slack cover file systems that keep write times in 2-second steps.
  bool CheckArchiveWritten(ArchiveKind kind) {
    std::string path = RemoveQuotes(plan_.path[kind]);
    std::optional<int64_t> written = fs::GetLastWriteStamp(path);
    std::optional<uint64_t> size = fs::FileSize(path);
    if (written && size && *size > 0 && *written >= stepStart_ - 2) return true;
    Journal("Архив не создан: \"" + path + "\"");
    return false;
  }

  // Copies of the new archives in the duplicate folder, rotated there as well.
  void CopyDuplicates() {
    const std::string& duplicate = e_.DuplicateDirectory;
    if (duplicate.empty() || duplicate == plan_.folder || !e_.AsksForArchive()) return;
    std::string target = JoinPath(duplicate, plan_.baseName);
    if (!UsableFolder(target) && !fs::CreateFolder(target)) {
      Journal("Нет доступа к папке: \"" + target + "\"");
      target = duplicate;
    }
    for (ArchiveKind kind : kKinds) {
      if (!plan_.wanted[kind] || plan_.skip[kind] || Stopped()) continue;
      std::string name = plan_.Name(kind);
      std::string targetPath = JoinPath(target, name + plan_.extension);
      bool unused = false;
      RotateArchiveCopies(name, targetPath, target, unused, plan_.extension, values_, control_);
      unsigned long error = 0;
      if (fs::CopyOver(RemoveQuotes(plan_.path[kind]), RemoveQuotes(targetPath), &error))
        Journal("Файл " + name + plan_.extension + " скопирован в папку " + target);
      else
        JournalError(error);
    }
  }

  InfobaseEntry& e_;
  const RunValues& values_;
  RunControl& control_;
  platform::Registry& registry_;
  ArchivePlan plan_;
  int64_t stepStart_ = 0;
  bool archiverSuccess_ = false;
  bool archiveMissing_ = false;
  platform::ScopeGuard removeCreatedFolder_;  // last: runs while plan_ still exists
};

}  // namespace

bool RunInfobaseJob(InfobaseEntry& entry, const RunValues& values, RunControl& control,
                    platform::Registry& registry) {
  return InfobaseJob(entry, values, control, registry).Run();
}
