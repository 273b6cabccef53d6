// The job parameters of one infobase without a window: the values the dialog shows,
// the rules that switch boxes off and decide what is enabled, whether "Применить" may
// be pressed, and the entry written back. The dialog copies its controls into
// JobFields, asks the form, and shows the result.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "config/entries.h"

namespace app {

struct JobFields {
  std::string title, path;
  bool saveData = false, unloadData = false, includeUserDef = false;
  std::string archiveName, pswdZip, duplicateFolder;
  // The six maintenance boxes.
  bool physical = false, reindex = false, logical = false;
  bool recalcSecondaries = false, recalcTotals = false, pack = false;
  bool useArchiver = false;
  std::string archiver, extension, parameters;
  std::vector<std::string> fileList;
  int selected = -1;  // selected line of the file list, -1: none
  bool autoExchange = false, sendByEmail = false;
  std::string readFrom, writeTo, receiveFrom, sendTo;

  bool operator==(const JobFields&) const = default;
};

// Controls whose enabled state the rules decide.
// clang-format off
enum class JobControl {
  Title, Path, PathChoose,
  SaveData, UnloadData, IncludeUserDef, PswdZip,
  ArchiveName, ArchiveNameLabel,
  DuplicateLabel, DuplicateToggle, DuplicateChoose,
  Physical, Reindex, Logical, RecalcSecondaries, RecalcTotals, Pack, RepairSettings,
  UseArchiver, ArchiverLabel, Archiver, ArchiverChoose, ExtensionLabel, Extension,
  ParametersLabel, Parameters, FileListLabel, FileList, FileAdd, FileEdit, FileDelete,
  AutoExchange, ExchangeGroup, ReadFromLabel, ReadFrom, WriteToLabel, WriteTo,
  SendByEmail, MailGroup, ReceiveLabel, Receive, SendLabel, Send,
  Apply,
  Count
};
// clang-format on

struct JobState {
  std::array<bool, static_cast<size_t>(JobControl::Count)> enabled{};
  bool valid = false;
  bool changed = false;

  bool Enabled(JobControl c) const { return enabled[static_cast<size_t>(c)]; }
};

// The ten characters an archive name may not hold, each replaced by "_".
std::string ReplaceForbiddenArchiveChars(std::string name);
bool HasForbiddenArchiveChars(const std::string& name);

class JobParametersForm {
 public:
  // defaultFiles: the list the dialog offers when the entry brings none (the lines of
  // the list file beside 1C:Enterprise).
  JobParametersForm(const InfobaseEntry& entry, const std::vector<std::string>& defaultFiles);

  JobFields& Fields() { return fields_; }
  const JobFields& Fields() const { return fields_; }
  // The entry copy the dialog edits (the repair settings write their modes into it).
  InfobaseEntry& Entry() { return entry_; }
  bool Registered() const { return entry_.Type == InfobaseType::Registered; }

  // Runs the rules on the fields (switching boxes off where they do not apply) and
  // returns what is enabled. Called after every change the operator makes.
  JobState Update();

  // Clicks on "Выполнить автообмен" and "Отправить по e-mail" (the box already toggled).
  void AutoExchangeClicked();
  void SendByEmailClicked();
  // "Имя архива:" lost the focus.
  void ArchiveNameLeft();
  // Clears the duplicate folder, or gives back the stored one; true when it is set now.
  bool ToggleDuplicateFolder();
  // The infobase folder was chosen (or the choice cancelled): its last component
  // becomes the title and the archive name.
  void PathChosen(const std::string& folder, bool chosen);
  // A program file chosen for the archiver, with the presets its name brings.
  void ArchiverChosen(const std::string& program);
  // File list editing; each keeps the selection where the operator expects it.
  void AddFile(const std::string& line);
  void ReplaceSelectedFile(const std::string& line);
  void DeleteSelectedFile();
  void RepairSettingsConfirmed() { repairConfirmed_ = true; }

  // "Применить": the entry copy with the dialog's values.
  const InfobaseEntry& Apply();

 private:
  void ExchangeRule();
  void MailRule();
  void SwitchOff();
  JobState Enabling() const;
  bool Valid() const;
  bool Changed() const;

  InfobaseEntry entry_;
  JobFields shown_;  // what the entry shows when the dialog opens
  JobFields fields_;
  bool repairConfirmed_ = false;
};

}  // namespace app
