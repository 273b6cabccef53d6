#include "runner/worker.h"

#include <memory>

#include "config/infobase_record.h"
#include "platform/fs.h"
#include "runner/infobase_job.h"
#include "runner/job_run_journal.h"
#include "runner/journal_file.h"
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
  ReadTextValue(file, id, "BinaryDirectory", v.enterprisePath);
  v.enterpriseFolder = ExecutableFolder(v.enterprisePath);
  ReadTextValue(file, id, "DestinationDirectory", v.destination);
  ReadUInt32Value(file, id, "CopyCount", v.copyCount);
  ReadInt32Value(file, id, "SaveMode", v.saveMode);
  ReadFlag(file, id, "Journal", s.journal);
  if (s.journal) {
    ReadFlag(file, id, "ClearJournal", s.clearJournal);
    if (!ReadTextValue(file, id, "JournalFileName", s.journalFileName))
      s.journalFileName = "Journal.txt";
  }
  uint32_t minutes = 0;
  if (ReadUInt32Value(file, id, "TimeOut", minutes))
    v.timeoutMs = TimeoutMilliseconds(minutes, msPerMinute);
  ReadFlag(file, id, "TerminateAfterTimeOut", v.terminateAfterTimeOut);
}

namespace {

class Worker {
 public:
  explicit Worker(const WorkerContext& c)
      : c_(c), control_(*c.control), settings_(*c.settings), values_(c.settings->values) {}

  // Everything up to the release of the journal; the snapshot is closed on return.
  void Run() {
    CSettingsFile file(c_.snapshotPath, SF_MODE_READ, platform::SilentFileErrorReporter());
    platform::FileError error;
    if (!file.Open(&error)) {
      if (c_.seams->fileErrorReporter) c_.seams->fileErrorReporter(error);
      return;
    }
    const int32_t root = file.OpenSectionPath("Zorvan");
    const int32_t general = root == 0 ? 0 : file.OpenSection(root, "GeneralOptions");
    if (general == 0) {
      file.Close();
      if (c_.seams->showMessage) c_.seams->showMessage(ReadErrorText(ConfigPath()));
      return;
    }
    ReadRunSettings(file, general, settings_, c_.seams->msPerTimeoutMinute);
    OpenJournal();
    if (values_.destination.empty()) values_.destination = c_.environment.programFolder;
    CreateBatchFile();
    const int32_t parameters = file.OpenSection(root, "Parameters");
    if (parameters == 0) {
      Journal(ReadErrorText(ConfigPath()));
    } else {
      if (WalkInfobases(file, parameters) == 0) Journal("Нет заданий");
    }
    file.Close();
    RemoveBatchFile();
    if (parameters != 0) Journal(kStarsLine);
  }

  ~Worker() { RemoveBatchFile(); }

 private:
  const std::string& ConfigPath() const { return c_.environment.currentConfigPath; }
  void Journal(const std::string& line) { control_.Journal(line); }
  bool Stopped() const {
    return control_.StopRequested() || (c_.abortFlag != nullptr && c_.abortFlag->load());
  }

  void OpenJournal() {
    settings_.journalPath.clear();
    if (!settings_.journal) return;
    std::string path = JournalPath(c_.environment.dataFolder, settings_.journalFileName);
    control_.SetJournal(std::make_unique<CJournalFile>(path, settings_.clearJournal));
    if (!control_.JournalOn()) return;  // off for this run, nothing shown
    settings_.journalPath = path;
    for (const std::string& line : JournalHeaderLines(fs::NowLocal(), ConfigPath())) Journal(line);
  }

  // The batch file holds passwords once written: it is removed on every way out.
  void CreateBatchFile() {
    values_.batchFilePath = fs::CreateTempFile(fs::TempPath(), "~pak").value_or("");
  }
  void RemoveBatchFile() {
    if (values_.batchFilePath.empty()) return;
    fs::RemoveFile(values_.batchFilePath);
    values_.batchFilePath.clear();
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
      Journal("Обработка завершена с ошибками");
      return;
    }
    JobList jobs = BuildJobList(entry);
    for (const std::string& line : jobs.lines) Journal(line);
    if (jobs.jobCount == 0) {
      Journal("Задания не назначены");
      Journal("Обработка завершена с ошибками");
      return;
    }
    if (Stopped()) return;
    if (c_.seams->jobStarted) c_.seams->jobStarted(entry);
    bool success = RunInfobaseJob(entry, values_, control_, *c_.registry);
    Journal(success ? "Обработка завершена" : "Обработка завершена с ошибками");
  }

  const WorkerContext& c_;
  RunControl& control_;
  RunSettings& settings_;
  RunValues& values_;
};

}  // namespace

void RunWorker(const WorkerContext& c) {
  Worker(c).Run();
  c.control->ReleaseJournal();
  if (c.finalNotification) c.finalNotification->store(true);
  if (!c.control->StopRequested() && c.seams->runFinished) c.seams->runFinished();
}
