// The main window without a window: the configuration being edited (general options,
// additional tasks, the infobase tree), its file, the modified flag, the file commands
// and the job run. The window is a MainView that shows what the controller holds and
// turns the operator's actions into these calls.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config/configuration.h"
#include "runner/job_run.h"
#include "tree/infobase_tree.h"

namespace platform {
class Registry;
}

namespace app {

// What the window shows and asks on the controller's behalf.
class MainView {
 public:
  virtual ~MainView() = default;
  // Puts the options, the configuration name and the enabling into the controls.
  virtual void ShowFields() = 0;
  // Takes the controls' values into the controller's options.
  virtual void TakeFields() = 0;
  virtual void ShowTree() = 0;
  virtual void ShowStatus(const std::string& text) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual Answer Ask(const std::string& text) = 0;
  virtual void ReportFileError(const platform::FileError& error) = 0;
  // The countdown prompt before an additional task; true: start it.
  virtual bool ConfirmTask(const std::string& text) = 0;
  // Called from the worker thread; each waits until the window thread handled it
  // (OnJobStarted, OnRunFinished).
  virtual void SendJobStarted(const InfobaseEntry& entry) = 0;
  virtual void SendRunFinished() = 0;
  // Running state: tray icon, hidden window, "Прервать", Run and Apply disabled.
  virtual void EnterRunning() = 0;
  virtual void LeaveRunning() = 0;
  virtual void ShowWindowAgain() = 0;
  virtual void CloseWindow() = 0;
  // Shuts the computer down; false when the system refused.
  virtual bool ShutDown() = 0;
};

struct AppFolders {
  std::string programFolder;
  std::string dataFolder;
  // Folders where older installations kept files named without a folder.
  std::vector<std::string> olderFolders;
};

enum class ConfigFileState { Missing, Empty, Readable, Unreadable };
ConfigFileState ProbeConfigFile(const std::string& path);

enum class CloseResult { Close, Stay };

// The launcher registration run after each successful save of the current file (whether
// the configuration has schedules); empty: nothing is registered.
using LauncherRegistration = std::function<void(const std::string& path, bool hasSchedules)>;

class MainController {
 public:
  MainController(MainView& view, platform::Registry& registry, AppFolders folders,
                 std::string configPath, bool autoRun,
                 LauncherRegistration registerLauncher = nullptr,
                 UserListReader readUsers = nullptr);
  ~MainController();

  // Loads the configuration; in AutoRun mode forces quitting after the run. True when
  // the window is to start a run at once.
  bool Open();

  Configuration& Config() { return config_; }
  InfobaseTree& Tree() { return tree_; }
  const AppFolders& Folders() const { return folders_; }
  const std::string& ConfigPath() const { return configPath_; }
  const std::string& DisplayName() const { return displayName_; }
  bool Modified() const { return modified_; }
  bool AutoRun() const { return autoRun_; }
  bool Running() const { return job_->Active(); }
  const std::string& Status() const { return status_; }

  void SetModified(bool modified) { modified_ = modified; }
  // The operator changed a general option (the view has taken the fields).
  void OptionsChanged();
  Answer AskToSave();

  // New: false when the operator cancelled; otherwise the view lets the name be typed.
  bool NewConfiguration();
  // The typed name accepted (focus left) or cancelled (Esc).
  void EndNaming(const std::string& name, bool accept);
  void OpenFile(const std::string& path);
  int SaveAs(const std::string& path);
  int Save();
  CloseResult Close();

  void ToggleArchiveFolder();
  void SetArchiveFolder(const std::string& folder);
  void SetEnterprisePath(const std::string& path);
  // 1C:Enterprise installations from HKLM: (subkey name, "1CPath").
  std::vector<std::pair<std::string, std::string>> EnterpriseInstallations();
  std::string JournalPath() const;
  // The infobase path shown under the tree for a selected item ("" for other items).
  std::string SelectedInfobasePath(ItemHandle item) const;
  void ToggleMark(ItemHandle item);

  void Run();
  void Abort();
  void OnJobStarted(const InfobaseEntry& entry);
  void OnRunFinished();

 private:
  void SetPath(const std::string& path);
  void LoadCurrent();
  bool ConfirmOverwriteUnread();
  void EndRun(bool aborted);
  // The run's record; writing it never stops the end of a run.
  void RecordRun(const RunOutcome& outcome, bool aborted, const std::string& journalPath);
  void ShowLastRun();
  void RunTask(const std::string& program, const std::string& arguments);
  void JournalMessage(const std::string& text);
  void ReportFileError(const platform::FileError& error);
  RunSeams MakeRunSeams();

  MainView& view_;
  platform::Registry& registry_;
  AppFolders folders_;
  std::string configPath_;
  std::string displayName_;
  bool autoRun_;
  bool modified_ = false;
  // The file a load found but could not read: never written over without asking.
  std::string unreadPath_;
  std::string status_;
  int64_t runStarted_ = 0;
  Configuration config_;
  InfobaseTree tree_;
  ConfigurationSeams configSeams_;
  std::unique_ptr<JobRun> job_;
};

}  // namespace app
