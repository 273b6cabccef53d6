#include "config/configuration.h"

#include <chrono>
#include <thread>

#include "config/config_schema.h"
#include "config/enterprise.h"
#include "config/inactive_records.h"
#include "config/schedule_record.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "platform/system_error.h"
#include "store/settings_file.h"

namespace {

constexpr uint32_t kReplaceTimeoutMs = 2000;  // the launcher holds the file only for a poll
constexpr long kWriteFault = 29;  // a write that failed without a system error of its own

void ReadGeneralOptions(CSettingsFile& file, int32_t id, Configuration& config,
                        ConfigurationTree& tree) {
  GeneralOptions& o = config.options;
  AdditionalTasks& t = config.tasks;
  ReadTextValue(file, id, cfg::kBinaryDirectory, o.BinaryDirectory);
  ReadTextValue(file, id, cfg::kPreProcessFileName, t.PreProcessFileName);
  ReadTextValue(file, id, cfg::kPostProcessFileName, t.PostProcessFileName);
  ReadTextValue(file, id, cfg::kPreProcessCmdLine, t.PreProcessCmdLine);
  ReadTextValue(file, id, cfg::kPostProcessCmdLine, t.PostProcessCmdLine);
  tree.ApplyAdditionalTasks(t);
  ReadTextValue(file, id, cfg::kDestinationDirectory, o.DestinationDirectory);
  ReadUInt32Value(file, id, cfg::kCopyCount, o.CopyCount);
  ReadInt32Value(file, id, cfg::kSaveMode, o.SaveMode);
  ReadInt32Value(file, id, cfg::kJournal, o.Journal);
  if (o.Journal != 0) {
    ReadInt32Value(file, id, cfg::kClearJournal, o.ClearJournal);
    if (!ReadTextValue(file, id, cfg::kJournalFileName, o.JournalFileName)) {
      o.JournalFileName = cfg::kWindowJournalFallback;
    }
  }
  ReadInt32Value(file, id, cfg::kTimeOut, o.TimeOut);
  ReadInt32Value(file, id, cfg::kTerminateAfterTimeOut, o.TerminateAfterTimeOut);
  ReadInt32Value(file, id, cfg::kQuitAfterSave, o.QuitAfterSave);
  ReadInt32Value(file, id, cfg::kShutDownAfterSave, o.ShutDownAfterSave);
}

void ApplyInfobaseRecords(CSettingsFile& file, int32_t parametersId, ConfigurationTree& tree) {
  std::string name;
  for (int32_t i = 0;; ++i) {
    const int32_t id = file.EnumSection(parametersId, i, name);
    if (id == 0) break;
    if (name.size() > cfg::kMaxSectionName) continue;
    tree.ApplyInfobaseRecord(ReadInfobaseRecord(file, id, name, RecordReader::Load));
  }
}

// The launcher holds each configuration file for a moment at every poll: a load that
// meets it tries again for a while before it gives up.
bool OpenForLoad(CSettingsFile& file) {
  constexpr int kAttempts = kReplaceTimeoutMs / 50;
  for (int i = 0; i < kAttempts; ++i) {
    if (file.Open()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return file.Open();
}

LoadResult ApplyFile(const std::string& path, Configuration& config, ConfigurationTree& tree) {
  if (!platform::fs::FileExists(path) || platform::fs::FileSize(path) == uint64_t{0})
    return LoadResult::Empty;
  CSettingsFile file(path, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
  if (!OpenForLoad(file)) return LoadResult::Unreadable;
  const int32_t root = file.OpenSectionPath(cfg::kRootSection);
  if (const int32_t general = file.OpenSection(root, cfg::kGeneralSection)) {
    ReadGeneralOptions(file, general, config, tree);
  }
  if (const int32_t parameters = file.OpenSection(root, cfg::kParametersSection)) {
    ApplyInfobaseRecords(file, parameters, tree);
  }
  ApplyInactiveRecords(file, root, tree);
  for (const ScheduleRecord& record : ReadSchedules(file, root)) {
    ScheduleEntry entry = record.entry;
    if (!record.hasTime) entry.Time = kNoScheduleTime;  // stays without one when saved
    tree.ApplySchedule(entry);
  }
  file.Close();
  return LoadResult::Loaded;
}

void WriteGeneralOptions(RecordWriter& out, int32_t root, const Configuration& config) {
  const int32_t id = out.Section(cfg::kGeneralSection, root);
  const GeneralOptions& o = config.options;
  const AdditionalTasks& t = config.tasks;
  out.Text(id, cfg::kPreProcessFileName, t.PreProcessFileName);
  out.Text(id, cfg::kPostProcessFileName, t.PostProcessFileName);
  out.Text(id, cfg::kPreProcessCmdLine, t.PreProcessCmdLine);
  out.Text(id, cfg::kPostProcessCmdLine, t.PostProcessCmdLine);
  out.Text(id, cfg::kBinaryDirectory, o.BinaryDirectory);
  out.Text(id, cfg::kDestinationDirectory, o.DestinationDirectory);
  out.Dword(id, cfg::kCopyCount, o.CopyCount);
  out.Dword(id, cfg::kSaveMode, static_cast<uint32_t>(o.SaveMode));
  out.Dword(id, cfg::kJournal, static_cast<uint32_t>(o.Journal));
  out.Text(id, cfg::kJournalFileName, o.JournalFileName);
  out.Dword(id, cfg::kClearJournal, static_cast<uint32_t>(o.ClearJournal));
  out.Dword(id, cfg::kTimeOut, static_cast<uint32_t>(o.TimeOut));
  out.Dword(id, cfg::kTerminateAfterTimeOut, static_cast<uint32_t>(o.TerminateAfterTimeOut));
  out.Dword(id, cfg::kQuitAfterSave, static_cast<uint32_t>(o.QuitAfterSave));
  out.Dword(id, cfg::kShutDownAfterSave, static_cast<uint32_t>(o.ShutDownAfterSave));
}

struct WrittenCounts {
  int infobases = 0;
  int needsEnterprise = 0;
};

WrittenCounts WriteInfobases(RecordWriter& out, int32_t root, const ConfigurationTree& tree) {
  WrittenCounts counts;
  const int32_t parameters = out.Section(cfg::kParametersSection, root);
  for (const InfobaseEntry& e : tree.InfobaseEntries()) {
    if (tree.GetMark(e.item) != Mark::Marked)
      continue;  // unmarked and blocked infobases do not run
    ++counts.infobases;
    if (WriteInfobaseRecord(out, parameters, e) == 0) continue;
    if (e.AsksForEnterpriseJob()) ++counts.needsEnterprise;
  }
  return counts;
}

// Schedules with an empty name cannot be stored and are skipped, as a failed section
// always was; a failure of the others is a failed write.
bool WriteNamedSchedules(CSettingsFile& file, int32_t root, const ConfigurationTree& tree) {
  std::vector<ScheduleEntry> named;
  for (const ScheduleEntry& s : tree.ScheduleEntries()) {
    if (!s.name.empty()) named.push_back(s);
  }
  return WriteSchedules(file, root, named);
}

// The platform's file-error text for a configuration file that could not be written.
platform::FileError FileErrorFor(const std::string& path, long osError) {
  platform::FileError e;
  e.osError = osError;
  e.path = path;
  e.message = path + "\r\n" + platform::GetSystemErrorText(static_cast<unsigned long>(osError));
  return e;
}

void Report(const ConfigurationSeams& seams, const platform::FileError& error) {
  if (seams.fileErrorReporter) seams.fileErrorReporter(error);
}

// Writes the whole configuration into the file at path; nullopt with error filled when
// it could not be opened or a write failed.
std::optional<WrittenCounts> WriteFile(const std::string& path, const Configuration& config,
                                       const ConfigurationTree& tree, platform::FileError& error) {
  CSettingsFile file(path, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
  if (!file.Open(&error)) {
    if (error.osError == -1) error = FileErrorFor(path, kWriteFault);
    return std::nullopt;
  }
  RecordWriter out(file);
  const bool cleared = file.Clear();
  const int32_t root = out.Section(cfg::kRootSection, 0);
  WriteGeneralOptions(out, root, config);
  const WrittenCounts counts = WriteInfobases(out, root, tree);
  WriteInactiveRecords(out, root, tree);
  const bool schedulesWritten = WriteNamedSchedules(file, root, tree);
  file.Close();
  if (!cleared || !out.Complete() || !schedulesWritten) {
    error = FileErrorFor(path, kWriteFault);
    return std::nullopt;
  }
  return counts;
}

void ShowError(const ConfigurationSeams& seams, const std::string& text) {
  if (seams.showError) seams.showError(text);
}

bool CheckEnterprisePath(const std::string& enterprisePath, const ConfigurationSeams& seams) {
  if (enterprisePath.empty()) {
    ShowError(seams, "Не указан путь к исполняемому файлу \"1С:Предприятия\"!");
    return false;
  }
  unsigned long error = 0;
  if (!platform::fs::FileExists(enterprisePath, &error)) {
    ShowError(seams, "Неверно указан путь к исполняемому файлу \"1С:Предприятия\"! " +
                         platform::GetSystemErrorText(error));
    return false;
  }
  return true;
}

// The current file is written beside itself and then put in place in one step, so a
// crash in the middle of a save never leaves a damaged or empty configuration.
std::optional<WrittenCounts> WriteCurrentFile(const std::string& path,
                                              const Configuration& config,
                                              const ConfigurationTree& tree,
                                              const ConfigurationSeams& seams) {
  const std::string temporary = platform::fs::SideFileName(path, platform::fs::SideFile::Replacement);
  platform::FileError error;
  const std::optional<WrittenCounts> counts = WriteFile(temporary, config, tree, error);
  if (counts) {
    unsigned long code = 0;
    if (platform::fs::ReplaceDurably(temporary, path, kReplaceTimeoutMs, &code)) return counts;
    Report(seams, FileErrorFor(path, static_cast<long>(code)));
  } else {
    Report(seams, FileErrorFor(path, error.osError));  // name the file the operator knows
  }
  platform::fs::RemoveFile(temporary);
  return std::nullopt;
}

}  // namespace

LoadResult LoadConfiguration(const std::string& path, Configuration& config,
                             ConfigurationTree& tree, const ConfigurationSeams& seams) {
  if (seams.setModified) seams.setModified(false);
  tree.RebuildFromRegistry(seams.registry);
  const LoadResult result = ApplyFile(path, config, tree);
  tree.SortGroups();
  if (config.options.BinaryDirectory.empty()) {
    FindDefaultEnterprisePath(seams.registry, config.options.BinaryDirectory);
  }
  return result;
}

int SaveConfiguration(SaveTarget target, const std::string& path, const Configuration& config,
                      const ConfigurationTree& tree, const ConfigurationSeams& seams) {
  const bool snapshot = target == SaveTarget::RunSnapshot;
  std::optional<WrittenCounts> counts;
  if (snapshot) {
    platform::FileError error;
    counts = WriteFile(path, config, tree, error);
    if (!counts) Report(seams, error);
  } else {
    counts = WriteCurrentFile(path, config, tree, seams);
  }
  if (!counts) return 0;
  if (counts->needsEnterprise > 0 && !CheckEnterprisePath(config.options.BinaryDirectory, seams)) {
    return 0;
  }
  if (snapshot) return counts->infobases;
  if (seams.setModified) seams.setModified(false);
  if (seams.registerLauncher) seams.registerLauncher(path, tree.ScheduleEntries().size() >= 2);
  if (!seams.autoRun) {
    seams.registry.WriteValue(platform::RegRoot::CurrentUser, cfg::kProgramKey,
                              cfg::kLastConfigValue, platform::RegValue::String(path));
  }
  return counts->infobases;
}

void FindDefaultEnterprisePath(platform::Registry& registry, std::string& binaryDirectory) {
  using platform::RegRoot;
  const auto subkeys = registry.EnumSubkeys(RegRoot::CurrentUser, enterprise::kVersionKey);
  if (!subkeys) return;
  for (const std::string& subkey : *subkeys) {
    if (subkey.size() > cfg::kMaxSectionName) continue;
    const auto values =
        registry.EnumValues(RegRoot::CurrentUser, std::string(enterprise::kVersionKey) + "\\" + subkey);
    if (!values) continue;
    for (const platform::RegNamedValue& v : *values) {
      if (v.name != enterprise::kInstallPathValue) continue;
      const std::string data = v.value.data.substr(0, v.value.data.find('\0'));
      binaryDirectory = data.substr(0, cfg::kMaxSectionName);
      break;
    }
  }
}

void RestoreArchiveFolder(const std::string& path, GeneralOptions& options) {
  CSettingsFile file(path, SF_MODE_READ, platform::SilentFileErrorReporter());
  if (!file.Open()) return;
  const int32_t general =
      file.OpenSection(file.OpenSectionPath(cfg::kRootSection), cfg::kGeneralSection);
  if (general != 0)
    ReadTextValue(file, general, cfg::kDestinationDirectory, options.DestinationDirectory);
  file.Close();
}
