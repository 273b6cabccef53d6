#include "app/main_controller.h"

#include "app/options_rules.h"
#include "app/run_history.h"
#include "app/start_rules.h"
#include "config/config_schema.h"
#include "config/enterprise.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "runner/journal_file.h"
#include "store/settings_file.h"

namespace app {

namespace {

std::string SaveQuestion(const std::string& path) {
  return "Сохранить текущие настройки в файле " + path + "?";
}

std::string UnreadText(const std::string& path) {
  return "Не удалось прочитать файл настроек \"" + path +
         "\". Он не будет перезаписан без вашего согласия.";
}

std::string OverwriteUnreadQuestion(const std::string& path) {
  return "Файл настроек \"" + path + "\" не был прочитан. Записать текущие настройки поверх него?";
}

}  // namespace

ConfigFileState ProbeConfigFile(const std::string& path) {
  const std::optional<uint64_t> size = platform::fs::FileSize(path);
  if (!size)
    return platform::fs::GetAttributes(path).exists ? ConfigFileState::Unreadable
                                                    : ConfigFileState::Missing;
  if (*size == 0) return ConfigFileState::Empty;
  CSettingsFile file(path, SF_MODE_READ, platform::SilentFileErrorReporter());
  if (!file.Open()) return ConfigFileState::Unreadable;
  const bool hasRoot = file.OpenSectionPath(cfg::kRootSection) != 0;
  file.Close();
  return hasRoot ? ConfigFileState::Readable : ConfigFileState::Unreadable;
}

MainController::MainController(MainView& view, platform::Registry& registry, AppFolders folders,
                               std::string configPath, bool autoRun,
                               LauncherRegistration registerLauncher, UserListReader readUsers)
    : view_(view),
      registry_(registry),
      folders_(std::move(folders)),
      autoRun_(autoRun),
      tree_(std::move(readUsers), [this] { SetModified(true); }),
      configSeams_(registry, [this](const platform::FileError& e) { ReportFileError(e); }) {
  SetPath(configPath);
  configSeams_.showError = [this](const std::string& text) { view_.ShowMessage(text); };
  configSeams_.setModified = [this](bool modified) { SetModified(modified); };
  configSeams_.registerLauncher = std::move(registerLauncher);
  configSeams_.autoRun = autoRun_;
  job_ = std::make_unique<JobRun>(MakeRunSeams(), registry_,
                                  [this](const platform::FileError& e) { ReportFileError(e); });
}

MainController::~MainController() = default;

void MainController::ReportFileError(const platform::FileError& error) {
  JournalMessage(error.message);
  view_.ReportFileError(error);
}

RunSeams MainController::MakeRunSeams() {
  RunSeams seams;
  seams.jobStarted = [this](const InfobaseEntry& entry) { view_.SendJobStarted(entry); };
  seams.runFinished = [this] { view_.SendRunFinished(); };
  seams.showMessage = [this](const std::string& text) {
    JournalMessage(text);
    view_.ShowMessage(text);
  };
  seams.ask = [this](const std::string& text) { return view_.Ask(text); };
  seams.beforeWorker = [this] {
    view_.EnterRunning();
    RunTask(config_.tasks.PreProcessFileName, config_.tasks.PreProcessCmdLine);
  };
  return seams;
}

bool MainController::Open() {
  LoadCurrent();
  if (autoRun_) {
    config_.options.QuitAfterSave = 1;  // shown, not a change of the configuration
    view_.ShowFields();
  }
  SetModified(false);
  return autoRun_;
}

void MainController::SetPath(const std::string& path) {
  configPath_ = path;
  displayName_ = DisplayNameFor(path, folders_.dataFolder);
}

void MainController::LoadCurrent() {
  // Held past the load's retries, or not a configuration at all: never saved over unasked.
  const LoadResult result = LoadConfiguration(configPath_, config_, tree_, configSeams_);
  if (result == LoadResult::Unreadable ||
      (result == LoadResult::Loaded &&
       ProbeConfigFile(configPath_) == ConfigFileState::Unreadable)) {
    unreadPath_ = configPath_;
    view_.ShowMessage(UnreadText(configPath_));
  }
  SetModified(false);  // showing the loaded values is no change of the operator's
  view_.ShowTree();
  view_.ShowFields();
  if (!Running()) ShowLastRun();
}

void MainController::ShowLastRun() {
  status_ = LastRunStatusText(runs::ReadRecords(registry_, configPath_));
  view_.ShowStatus(status_);
}

void MainController::OptionsChanged() {
  NormalizeOptions(config_.options);
  SetModified(true);
  view_.ShowFields();
}

Answer MainController::AskToSave() {
  const Answer answer = view_.Ask(SaveQuestion(configPath_));
  if (answer == Answer::Yes) Save();
  return answer;
}

bool MainController::NewConfiguration() {
  if (modified_ && AskToSave() == Answer::Cancel) return false;
  view_.ShowFields();
  return true;
}

void MainController::EndNaming(const std::string& name, bool accept) {
  if (!accept || name.empty()) {
    view_.ShowFields();
    return;
  }
  view_.TakeFields();
  const std::string path = ConfigPathFor(WithConfigExtension(name), folders_.dataFolder);
  if (EqualsNoCase1251(path, configPath_)) {
    view_.ShowFields();
    return;
  }
  SetPath(path);
  view_.ShowFields();
  LoadCurrent();
}

void MainController::OpenFile(const std::string& path) {
  if (path != configPath_ && modified_ && AskToSave() == Answer::Cancel) return;
  SetPath(path);
  LoadCurrent();
}

int MainController::SaveAs(const std::string& path) {
  const std::string name = FileNameOf(path);
  SetPath(WithConfigExtension(name) == name ? path : path + kConfigExtension);
  view_.ShowFields();
  return Save();
}

bool MainController::ConfirmOverwriteUnread() {
  if (unreadPath_.empty() || !EqualsNoCase1251(unreadPath_, configPath_)) return true;
  return view_.Ask(OverwriteUnreadQuestion(configPath_)) == Answer::Yes;
}

int MainController::Save() {
  view_.TakeFields();
  if (!ConfirmOverwriteUnread()) return 0;
  const int written =
      SaveConfiguration(SaveTarget::CurrentFile, configPath_, config_, tree_, configSeams_);
  if (EqualsNoCase1251(unreadPath_, configPath_) &&
      ProbeConfigFile(configPath_) == ConfigFileState::Readable) {
    unreadPath_.clear();
  }
  return written;
}

CloseResult MainController::Close() {
  if (modified_ && AskToSave() == Answer::Cancel) return CloseResult::Stay;
  if (!Running()) return CloseResult::Close;
  Abort();
  return CloseResult::Stay;
}

void MainController::ToggleArchiveFolder() {
  view_.TakeFields();
  std::string& folder = config_.options.DestinationDirectory;
  if (!folder.empty()) {
    folder.clear();
    SetModified(true);
  } else {
    RestoreArchiveFolder(configPath_, config_.options);
    if (!folder.empty()) SetModified(true);
  }
  view_.ShowFields();
}

void MainController::SetArchiveFolder(const std::string& folder) {
  SetModified(true);
  config_.options.DestinationDirectory = folder;
  view_.ShowFields();
}

void MainController::SetEnterprisePath(const std::string& path) {
  if (EqualsNoCase1251(path, config_.options.BinaryDirectory)) return;
  config_.options.BinaryDirectory = path;
  SetModified(true);
  view_.ShowFields();
}

std::vector<std::pair<std::string, std::string>> MainController::EnterpriseInstallations() {
  using platform::RegRoot;
  std::vector<std::pair<std::string, std::string>> found;
  const auto subkeys = registry_.EnumSubkeys(RegRoot::LocalMachine, enterprise::kVersionKey);
  if (!subkeys) return found;
  for (const std::string& name : *subkeys) {
    const auto value = registry_.ReadValue(RegRoot::LocalMachine,
                                           std::string(enterprise::kVersionKey) + "\\" + name,
                                           enterprise::kInstallPathValue);
    if (!value) break;  // the list ends at the first installation without a path
    found.emplace_back(name, value->data.substr(0, value->data.find('\0')));
  }
  return found;
}

std::string MainController::JournalPath() const {
  return LocateBareName(config_.options.JournalFileName, folders_.dataFolder, folders_.olderFolders,
                        [](const std::string& p) { return platform::fs::FileExists(p); });
}

std::string MainController::SelectedInfobasePath(ItemHandle item) const {
  const TreeItem* it = tree_.Item(item);
  if (it == nullptr) return std::string();
  if (it->kind == ItemKind::UserItem || it->kind == ItemKind::PasswordItem ||
      it->kind == ItemKind::ParametersItem) {
    item = it->parent;
  }
  const std::optional<InfobaseEntry> entry = tree_.FindInfobase(item);
  return entry ? entry->path : std::string();
}

void MainController::ToggleMark(ItemHandle item) { tree_.ToggleMark(item); }

void MainController::Run() {
  if (Running()) return;
  if (!autoRun_) view_.TakeFields();
  RunSource source;
  source.environment.currentConfigPath = configPath_;
  source.environment.programFolder = folders_.programFolder;
  // A journal named without a folder that an older installation keeps elsewhere is
  // continued there.
  source.environment.dataFolder = FolderOf(JournalPath());
  if (config_.options.JournalFileName.find('\\') != std::string::npos) {
    source.environment.dataFolder = folders_.dataFolder;
  }
  if (!autoRun_)
    source.window.emplace(WindowConfiguration{config_, tree_, configSeams_, modified_});
  runStarted_ = platform::fs::NowStamp();
  const StartResult started = job_->StartRun(source);
  if (started == StartResult::Started || !autoRun_) return;
  // An unattended start that could not even begin is a run that failed, not silence.
  if (started == StartResult::Failed) RecordRun(RunOutcome{0, {}, true}, false, "");
  view_.CloseWindow();
}

void MainController::Abort() {
  if (!job_->AbortRun()) return;
  if (job_->FinishRun()) EndRun(true);
}

void MainController::OnJobStarted(const InfobaseEntry& entry) {
  view_.TakeFields();
  status_ = JobStatusText(entry.BaseName);
  view_.ShowStatus(status_);
}

void MainController::OnRunFinished() {
  if (job_->FinishRun()) EndRun(false);
}

void MainController::RecordRun(const RunOutcome& outcome, bool aborted,
                               const std::string& journalPath) {
  RunEnd end{autoRun_, aborted, runStarted_, platform::fs::NowStamp(), journalPath};
  runs::WriteRecord(registry_, configPath_, MakeRunRecord(outcome, end));
}

// The record comes first: the "after" task or a shut-down may end the program.
void MainController::EndRun(bool aborted) {
  RecordRun(job_->Outcome(), aborted, job_->Settings().journalPath);
  ShowLastRun();
  RunTask(config_.tasks.PostProcessFileName, config_.tasks.PostProcessCmdLine);
  view_.LeaveRunning();
  if (!config_.options.QuitAfterSave) {
    view_.ShowWindowAgain();
  } else if (!config_.options.ShutDownAfterSave || !view_.ShutDown()) {
    view_.CloseWindow();
  }
}

// Unattended, the messages of a run may be seen by nobody: the journal keeps them too.
void MainController::JournalMessage(const std::string& text) {
  if (!autoRun_ || config_.options.Journal == 0) return;
  CJournalFile journal(JournalPath(), false);
  if (journal.ErrorCode() == 0) journal.WriteLine(text);
}

void MainController::RunTask(const std::string& program, const std::string& arguments) {
  if (program.empty() || !view_.ConfirmTask(TaskPromptText(program))) return;
  const std::string commandLine = TaskCommandLine(
      program, arguments, [](const std::string& p) { return platform::fs::FileExists(p); });
  platform::Process process;
  if (process.Start(commandLine, "", platform::ShowWindow::Normal)) {
    process.Wait(platform::kWaitForever);
  }
}

}  // namespace app
