#include "runner/infobase_job.h"

#include "config/enterprise.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "platform/scope_guard.h"
#include "platform/system_error.h"
#include "runner/archive_check.h"
#include "runner/archive_names.h"
#include "runner/archive_rotation.h"
#include "runner/archive_set_aside.h"
#include "runner/batch_file.h"
#include "runner/child_run.h"
#include "runner/event_log.h"
#include "runner/external_archiver.h"
#include "runner/space_guard.h"

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
      // Everything asked for is an archive of today that stays: nothing else runs either.
      Journal("Архив за сегодня оставлен без изменений, обработка пропущена");
      removeCreatedFolder_.Dismiss();
      return true;
    }
    if (Stopped()) return false;
    if (!ArchivesFit()) return false;
    // The batch file holds the password: never left behind, not even after an abort.
    platform::ScopeGuard removeBatchFile([this] { fs::RemoveFile(values_.batchFilePath); });
    if (!fs::WriteWholeFile(values_.batchFilePath, BuildBatchFile(e_, plan_))) {
      Journal("Ошибка создания файла пакетного запуска");
      return false;
    }
    if (!SetArchivesAside()) return false;
    bool success = RunChildren();
    SettleArchives();
    if (!Stopped() && (success || archiverSuccess_)) {
      removeCreatedFolder_.Dismiss();
      CopyDuplicates();
    }
    return success && !Stopped() && !duplicateRefused_;
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
    bool held = false;
    for (ArchiveKind kind : kKinds) {
      if (!plan_.wanted[kind] || Stopped()) continue;
      Journal("Имя архива \"" + plan_.path[kind] + "\"");
      held = !DecideArchive(kind) || held;
    }
    return !folderFailed && !held;
  }

  // Puts back an archive an interrupted step left aside, then applies the same-day rule.
  // False when the archive path is held (a child of an earlier step may still write it).
  bool DecideArchive(ArchiveKind kind) {
    const std::string path = plan_.path[kind];
    plan_.path[kind] = Quote(path);
    RemoveRotationSpares(plan_.Name(kind), plan_.folder, plan_.extension, CopyCount());
    unsigned long error = 0;
    if (!PutArchiveBack(path, &error)) {
      JournalArchiveHeld(path, error);
      return false;
    }
    decision_[kind] = DecideRotation(path, values_);
    if (decision_[kind].retain) {
      Journal("    Копия архива уже существует");
      plan_.skip[kind] = true;
    }
    return true;
  }

  void JournalArchiveHeld(const std::string& path, unsigned long error) {
    Journal("Нет доступа к архиву: \"" + path + "\"");
    JournalError(error);
  }

  int CopyCount() const { return static_cast<int>(values_.copyCount); }
  bool Writes(ArchiveKind kind) const { return plan_.wanted[kind] && !plan_.skip[kind]; }
  std::string PathOf(ArchiveKind kind) const { return RemoveQuotes(plan_.path[kind]); }

  // The children always create fresh archives: the previous ones wait under side names.
  // An archive that cannot be moved aside fails the step before anything starts.
  bool SetArchivesAside() {
    for (ArchiveKind kind : kKinds) {
      unsigned long error = 0;
      if (!Writes(kind) || SetArchiveAside(PathOf(kind), &error)) continue;
      JournalArchiveHeld(PathOf(kind), error);
      for (ArchiveKind k : kKinds)
        if (Writes(k)) PutArchiveBack(PathOf(k));
      return false;
    }
    return true;
  }

  // A verified archive rotates the previous one into the copies; any other outcome
  // leaves the folder as it was. A file a child may still be writing is left alone, with
  // the previous archive aside for the next step to put back.
  void SettleArchives() {
    for (ArchiveKind kind : kKinds) {
      if (!Writes(kind) || held_[kind]) continue;
      const std::string path = PathOf(kind);
      if (verified_[kind]) {
        SettleArchive(plan_.Name(kind), path, plan_.folder, plan_.extension, CopyCount(),
                      decision_[kind].shift);
        continue;
      }
      if (fs::FileExists(path)) fs::RemoveFile(path);
      PutArchiveBack(path);
    }
  }

  bool CopiesToDuplicate() const {
    const std::string& duplicate = e_.DuplicateDirectory;
    return !duplicate.empty() && duplicate != plan_.folder && e_.AsksForArchive();
  }

  // A step is refused before anything moves when the archive folder's volume, or the
  // duplicate folder's, lacks the room of the archives it is about to replace.
  bool ArchivesFit() {
    std::optional<uint64_t> previous;
    for (ArchiveKind kind : kKinds) {
      std::optional<uint64_t> size = Writes(kind) ? fs::FileSize(PathOf(kind)) : std::nullopt;
      if (size) previous = previous.value_or(0) + *size;
    }
    std::optional<SpaceShortage> shortage = FindSpaceShortage(plan_.folder, previous);
    if (!shortage && CopiesToDuplicate())
      shortage = FindSpaceShortage(JoinPath(e_.DuplicateDirectory, plan_.baseName), previous);
    if (!shortage) return true;
    Journal(SpaceShortageLine(*shortage));
    return false;
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
      held_[kSaveArchive] = archiver.started && !archiver.ended;
      if (archiver.aborted || !archiver.started) return false;
      // An archiver that did not end in time leaves no archive to trust.
      if (archiver.success)
        archiverSuccess_ = CheckArchiveWritten(kSaveArchive);
      else
        JournalArchiveMissing(kSaveArchive);
      verified_[kSaveArchive] = archiverSuccess_;
    }
    if (Stopped()) return false;
    bool success = e_.StartsEnterprise() ? RunEnterprise() : true;
    return success && (archiverSuccess_ || !e_.UseExternalArchiver);
  }

  bool RunEnterprise() {
    std::string line = enterprise::BuildCommandLine(values_.enterprisePath, e_.path, e_.UserName,
                                                    e_.Pswd, values_.batchFilePath);
    std::string shown = enterprise::BuildJournalCommandLine(
        values_.enterprisePath, e_.path, e_.UserName, e_.Pswd, values_.batchFilePath);
    EventLog log = SetAsideEventLog(e_.path);
    ChildRun run = RunChild(line, shown, values_.enterpriseFolder, platform::ShowWindow::Hidden,
                            values_, control_);
    for (ArchiveKind kind : kKinds)
      if (BatchRequestsArchive(e_, plan_, kind)) held_[kind] = !run.ended;
    if (run.outcome == ChildOutcome::Aborted) return false;  // the next run merges the log
    bool notStarted = run.outcome == ChildOutcome::NotStarted;
    // A child still running after its time-out may write on: leave the log for the next run.
    std::optional<std::string> entries = CollectEventLog(log, run.ended || notStarted);
    if (notStarted) return false;
    if (entries) JournalEventLog(*entries);
    if (run.outcome != ChildOutcome::EndedInTime) return false;
    bool written = true;
    for (ArchiveKind kind : kKinds) {
      if (!BatchRequestsArchive(e_, plan_, kind)) continue;
      verified_[kind] = CheckArchiveWritten(kind);
      written = verified_[kind] && written;
    }
    return written;
  }

  void JournalEventLog(const std::string& entries) {
    Journal("");
    Journal("========== 1c syslog =========");
    Journal(TrimFinalLineBreak(entries));
    Journal("==============================");
    Journal("");
  }

  // An archive asked for must have been written in this step. Nothing was at its path
  // when the child started (the previous one was set aside), so present and not empty
  // is enough: no clock of a file server is compared with ours.
  bool CheckArchiveWritten(ArchiveKind kind) {
    std::optional<uint64_t> size = fs::FileSize(PathOf(kind));
    if (!size || *size == 0) {
      JournalArchiveMissing(kind);
      return false;
    }
    // A ZIP archive counts only when it reads back whole (the unload one under its password).
    if (!IsZipArchivePath(PathOf(kind))) return true;
    const std::string password = kind == kUnloadArchive ? e_.PswdZIP : std::string();
    return VerifyZipArchive(PathOf(kind), password, control_) == ArchiveVerdict::Sound;
  }
  void JournalArchiveMissing(ArchiveKind kind) {
    Journal("Архив не создан: \"" + PathOf(kind) + "\"");
  }

  // Copies of the new archives in the duplicate folder, rotated there as well.
  void CopyDuplicates() {
    const std::string& duplicate = e_.DuplicateDirectory;
    if (!CopiesToDuplicate()) return;
    std::string target = JoinPath(duplicate, plan_.baseName);
    if (!UsableFolder(target) && !fs::CreateFolder(target)) {
      Journal("Нет доступа к папке: \"" + target + "\"");
      target = duplicate;
    }
    for (ArchiveKind kind : kKinds) {
      if (!Writes(kind) || !verified_[kind] || Stopped()) continue;  // never a stale one
      std::string name = plan_.Name(kind);
      std::string targetPath = JoinPath(target, name + plan_.extension);
      // The copy must fit beside what the duplicate folder's volume holds, before its
      // rotation starts to move anything there.
      if (auto shortage = FindSpaceShortage(target, fs::FileSize(PathOf(kind)))) {
        Journal(SpaceShortageLine(*shortage));
        duplicateRefused_ = true;
        continue;
      }
      bool unused = false;
      RotateArchiveCopies(name, targetPath, target, unused, plan_.extension, values_, control_);
      unsigned long error = 0;
      fs::CopyResult copied = fs::CopyStoppable(
          PathOf(kind), RemoveQuotes(targetPath), [this] { return Stopped(); }, &error);
      if (copied == fs::CopyResult::Copied)
        Journal("Файл " + name + plan_.extension + " скопирован в папку " + target);
      else if (copied == fs::CopyResult::Failed)
        JournalError(error);
    }
  }

  InfobaseEntry& e_;
  const RunValues& values_;
  RunControl& control_;
  platform::Registry& registry_;
  ArchivePlan plan_;
  RotationDecision decision_[2];
  bool verified_[2] = {false, false};  // written in this step by a child that ended in time
  bool held_[2] = {false, false};      // its child may still be running
  bool archiverSuccess_ = false;
  bool duplicateRefused_ = false;             // a copy into the duplicate folder did not fit
  platform::ScopeGuard removeCreatedFolder_;  // last: runs while plan_ still exists
};

}  // namespace

bool RunInfobaseJob(InfobaseEntry& entry, const RunValues& values, RunControl& control,
                    platform::Registry& registry) {
  return InfobaseJob(entry, values, control, registry).Run();
}
