#include "runner/worker.h"

#include <memory>

#include "config/config_schema.h"
#include "config/infobase_record.h"
#include "platform/fs.h"
#include "platform/temporary_file.h"
#include "runner/infobase_job.h"
#include "runner/job_run_journal.h"
#include "runner/journal_file.h"
#include "runner/run_files.h"
#include "store/settings_file.h"

namespace fs = platform::fs;

uint32_t TimeoutMilliseconds(uint32_t minutes, uint32_t msPerMinute) {
  if (msPerMinute != 0 && minutes > kLongestTimeoutMs / msPerMinute) return kLongestTimeoutMs;
  return minutes * msPerMinute;
}

std::string ExecutableFolder(const std::string& executablePath) {
  size_t slash = executablePath.rfind('\\');
  return slash == std::string::npos ? std::string() : executablePath.substr(0, slash + 1);
}

namespace {

void ReadFlag(CSettingsFile& file, int32_t id, const char* name, bool& out) {
  uint32_t v = out ? 1 : 0;
  ReadUInt32Value(file, id, name, v);
  out = v != 0;
}

}  // namespace

void ReadRunSettings(CSettingsFile& file, int32_t id, RunSettings& s, uint32_t msPerMinute) {
  RunValues& v = s.values;
  ReadTextValue(file, id, cfg::kBinaryDirectory, v.enterprisePath);
  v.enterpriseFolder = ExecutableFolder(v.enterprisePath);
  ReadTextValue(file, id, cfg::kDestinationDirectory, v.destination);
  ReadUInt32Value(file, id, cfg::kCopyCount, v.copyCount);
  ReadInt32Value(file, id, cfg::kSaveMode, v.saveMode);
  ReadFlag(file, id, cfg::kJournal, s.journal);
  if (s.journal) {
    ReadFlag(file, id, cfg::kClearJournal, s.clearJournal);
    if (!ReadTextValue(file, id, cfg::kJournalFileName, s.journalFileName))
      s.journalFileName = cfg::kRunJournalFallback;
  }
  uint32_t minutes = 0;
  if (ReadUInt32Value(file, id, cfg::kTimeOut, minutes))
    v.timeoutMs = TimeoutMilliseconds(minutes, msPerMinute);
  ReadFlag(file, id, cfg::kTerminateAfterTimeOut, v.terminateAfterTimeOut);
}

namespace {

class Worker {
 public:
  explicit Worker(const WorkerContext& c)
      : c_(c), control_(c.control), settings_(c.settings), values_(c.settings.values) {}

  // Everything up to the release of the journal; the snapshot is closed on return.
  void Run() {
    CSettingsFile file(c_.snapshotPath, SF_MODE_READ, platform::SilentFileErrorReporter());
    platform::FileError error;
    if (!file.Open(&error)) {
      control_.NoteUnreadable();
      if (c_.reportFileError) c_.reportFileError(error);
      return;
    }
    const int32_t root = file.OpenSectionPath(cfg::kRootSection);
    const int32_t general = root == 0 ? 0 : file.OpenSection(root, cfg::kGeneralSection);
    if (general == 0) {
      file.Close();
      control_.NoteUnreadable();
      if (c_.seams.showMessage) c_.seams.showMessage(ReadErrorText(ConfigPath()));
      return;
    }
    ReadRunSettings(file, general, settings_, c_.seams.msPerTimeoutMinute);
    OpenJournal();
    if (values_.destination.empty()) values_.destination = c_.environment.programFolder;
    const int32_t parameters = file.OpenSection(root, cfg::kParametersSection);
    if (parameters == 0) {
      control_.NoteUnreadable();
      Journal(ReadErrorText(ConfigPath()));
    } else {
      if (WalkInfobases(file, parameters) == 0) Journal("Нет заданий");
    }
    file.Close();
    if (parameters != 0) Journal(kStarsLine);
  }

 private:
  const std::string& ConfigPath() const { return c_.environment.currentConfigPath; }
  void Journal(const std::string& line) { control_.Journal(line); }
  bool Stopped() const { return control_.StopRequested() || c_.abortFlag.load(); }

  void OpenJournal() {
    settings_.journalPath.clear();
    if (!settings_.journal) return;
    std::string path = JournalPath(c_.environment.dataFolder, settings_.journalFileName);
    control_.SetJournal(std::make_unique<CJournalFile>(path, settings_.clearJournal));
    if (!control_.JournalOn()) return;  // off for this run, nothing shown
    settings_.journalPath = path;
    for (const std::string& line : JournalHeaderLines(fs::NowLocal(), ConfigPath())) Journal(line);
  }

  // Returns the number of infobase records found.
  int WalkInfobases(CSettingsFile& file, int32_t parameters) {
    int count = 0;
    std::string name;
    for (int32_t index = 0;; ++index) {
      const int32_t id = file.EnumSection(parameters, index, name);
      if (id == 0) break;
      ++count;
      InfobaseRecord record = ReadInfobaseRecord(file, id, name, RecordReader::Run);
      file.Close();  // not held while 1C:Enterprise runs
      RunInfobase(record.entry, record.State);
      if (Stopped()) break;
    }
    return count;
  }

  void RunInfobase(InfobaseEntry& entry, uint32_t state) {
    if (state != 0) {
      Journal("");
      Journal("Наименование БД: " + entry.BaseName);
      Journal("Путь к БД: " + entry.path);
    }
    if (state != 1) {
      Journal("Ошибка в параметрах задания");
      Failed(entry);
      return;
    }
    JobList jobs = BuildJobList(entry);
    for (const std::string& line : jobs.lines) Journal(line);
    if (jobs.jobCount == 0) {
      Journal("Задания не назначены");
      Failed(entry);
      return;
    }
    if (Stopped()) return;
    if (c_.seams.jobStarted) c_.seams.jobStarted(entry);
    // Each step has a batch file of its own: one that a child left running still holds
    // never stops the next infobase. It holds passwords: its owner removes it.
    fs::TemporaryFile batchFile = fs::TemporaryFile::Create(run_files::OwnFolder(), "~pak");
    values_.batchFilePath = batchFile.Path();
    bool success = RunInfobaseJob(entry, values_, control_, c_.registry);
    values_.batchFilePath.clear();
    // An infobase the operator's abort cut short did not finish: it counts as failed.
    control_.NoteInfobase(RecordName(entry), success);
    Journal(success ? "Обработка завершена" : "Обработка завершена с ошибками");
  }

  void Failed(const InfobaseEntry& entry) {
    control_.NoteInfobase(RecordName(entry), false);
    Journal("Обработка завершена с ошибками");
  }

  static const std::string& RecordName(const InfobaseEntry& entry) {
    return entry.BaseName.empty() ? entry.path : entry.BaseName;
  }

  const WorkerContext& c_;
  RunControl& control_;
  RunSettings& settings_;
  RunValues& values_;
};

}  // namespace

void RunWorker(const WorkerContext& c) {
  Worker(c).Run();
  c.control.ReleaseJournal();
  c.finalNotification.store(true);
  if (!c.control.StopRequested() && c.seams.runFinished) c.seams.runFinished();
}
