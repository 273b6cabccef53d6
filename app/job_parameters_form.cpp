#include "app/job_parameters_form.h"

#include <string_view>

#include "app/start_rules.h"

namespace app {

namespace {

constexpr char kForbidden[] = "\\/:*.?<>|\"";

bool On(int32_t flag) { return flag != 0; }

// The fields an entry shows: its archiver texts and file list only while it uses the
// external archiver.
JobFields FieldsOf(const InfobaseEntry& e) {
  JobFields f;
  f.title = e.BaseName;
  f.path = e.path;
  f.saveData = On(e.SaveData);
  f.unloadData = On(e.UnloadData);
  f.includeUserDef = On(e.IncludeUserDef);
  f.archiveName = ReplaceForbiddenArchiveChars(e.ArchiveName.empty() ? e.BaseName : e.ArchiveName);
  f.pswdZip = e.PswdZIP;
  f.duplicateFolder = e.DuplicateDirectory;
  f.physical = On(e.PhisicalIntegrity);
  f.reindex = On(e.Reindex);
  f.logical = On(e.LogicalIntegrity);
  f.recalcSecondaries = On(e.RecalcSecondaries);
  f.recalcTotals = On(e.RecalcTotals);
  f.pack = On(e.Pack);
  f.useArchiver = On(e.UseExternalArchiver);
  if (f.useArchiver) {
    f.archiver = e.ExternalArchiverName;
    f.extension = e.ExternalArchiveExtention;
    f.parameters = e.ExternalArchiverParameters;
    f.fileList = e.FileList;
  }
  f.autoExchange = On(e.AutoExchange);
  f.sendByEmail = On(e.SendByEmail);
  f.readFrom = e.ReadFrom;
  f.writeTo = e.WriteTo;
  f.receiveFrom = e.ReceiveFrom;
  f.sendTo = e.SendTo;
  return f;
}

std::array<bool*, 6> RepairBoxes(JobFields& f) {
  return {&f.physical, &f.reindex, &f.logical, &f.recalcSecondaries, &f.recalcTotals, &f.pack};
}

int CountBoxes(const JobFields& f) {
  const bool boxes[] = {f.saveData, f.unloadData,   f.useArchiver,       f.physical,
                        f.reindex,  f.logical,      f.recalcSecondaries, f.recalcTotals,
                        f.pack,     f.autoExchange, f.sendByEmail,       f.includeUserDef};
  int count = 0;
  for (bool b : boxes) count += b ? 1 : 0;
  return count;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line;
  return all;
}

// The last component of a folder path, one trailing "\" ignored.
std::string LastComponent(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string ReplaceForbiddenArchiveChars(std::string name) {
  for (char& c : name) {
    if (std::string_view(kForbidden).find(c) != std::string_view::npos) c = '_';
  }
  return name;
}

bool HasForbiddenArchiveChars(const std::string& name) {
  return name.find_first_of(kForbidden) != std::string::npos;
}

JobParametersForm::JobParametersForm(const InfobaseEntry& entry,
                                     const std::vector<std::string>& defaultFiles)
    : entry_(entry), shown_(FieldsOf(entry)), fields_(shown_) {
  if (fields_.fileList.empty()) fields_.fileList = defaultFiles;
  ExchangeRule();
}

void JobParametersForm::ExchangeRule() {
  JobFields& f = fields_;
  if (!f.autoExchange) f.sendByEmail = false;
  if (f.autoExchange && f.readFrom.empty() && f.writeTo.empty()) f.readFrom = f.writeTo = "*";
  MailRule();
}

void JobParametersForm::MailRule() {
  JobFields& f = fields_;
  if (f.autoExchange && f.sendByEmail && f.receiveFrom.empty() && f.sendTo.empty()) {
    f.receiveFrom = f.sendTo = "*";
  }
}

void JobParametersForm::AutoExchangeClicked() { ExchangeRule(); }
void JobParametersForm::SendByEmailClicked() { MailRule(); }

void JobParametersForm::ArchiveNameLeft() {
  fields_.archiveName = ReplaceForbiddenArchiveChars(fields_.archiveName);
}

bool JobParametersForm::ToggleDuplicateFolder() {
  if (fields_.duplicateFolder.empty()) {
    fields_.duplicateFolder = entry_.DuplicateDirectory;
  } else {
    fields_.duplicateFolder.clear();
  }
  return !fields_.duplicateFolder.empty();
}

void JobParametersForm::PathChosen(const std::string& folder, bool chosen) {
  if (chosen) fields_.path = folder;
  fields_.title = fields_.archiveName = LastComponent(fields_.path);
}

void JobParametersForm::ArchiverChosen(const std::string& program) {
  JobFields& f = fields_;
  f.archiver = program.find(' ') == std::string::npos ? program : "\"" + program + "\"";
  const std::string name = Upper1251(LastComponent(program));
  const auto has = [&](const char* part) { return name.find(part) != std::string::npos; };
  if (has("PKZIP")) {
    f.extension = ".zip";
    if (has("PKZIP25")) f.parameters = "-add -directories";
  } else if (has("ARJ")) {
    f.extension = ".arj";
    if (has("ARJ32")) f.parameters = "a -r -u";
  } else if (has("RAR")) {
    f.extension = ".rar";
    f.parameters = "a -r -o+";
  } else {
    f.extension.clear();
    f.parameters.clear();
  }
}

void JobParametersForm::AddFile(const std::string& line) {
  fields_.fileList.push_back(line);
  fields_.selected = static_cast<int>(fields_.fileList.size()) - 1;
}

void JobParametersForm::ReplaceSelectedFile(const std::string& line) {
  auto& list = fields_.fileList;
  if (fields_.selected >= 0 && fields_.selected < static_cast<int>(list.size())) {
    list[fields_.selected] = line;
  }
}

void JobParametersForm::DeleteSelectedFile() {
  auto& list = fields_.fileList;
  const int at = fields_.selected;
  if (at < 0 || at >= static_cast<int>(list.size())) return;
  list.erase(list.begin() + at);
  const int last = static_cast<int>(list.size()) - 1;
  fields_.selected = at <= last ? at : last;
}

bool JobParametersForm::Changed() const {
  const JobFields& f = fields_;
  const JobFields& s = shown_;
  const bool texts =
      f.title != s.title || f.path != s.path || f.duplicateFolder != s.duplicateFolder ||
      f.archiveName != s.archiveName || f.readFrom != s.readFrom || f.writeTo != s.writeTo ||
      f.receiveFrom != s.receiveFrom || f.sendTo != s.sendTo || f.pswdZip != s.pswdZip;
  // The archiver values are written back only while the archiver is on; the default file
  // list offered to an infobase without it is no change.
  const bool archiver =
      f.useArchiver &&
      (f.archiver != s.archiver || f.extension != s.extension || f.parameters != s.parameters ||
       !EqualsNoCase1251(Joined(f.fileList), Joined(s.fileList)));
  const bool boxes =
      f.saveData != s.saveData || f.unloadData != s.unloadData || f.useArchiver != s.useArchiver ||
      f.physical != s.physical || f.reindex != s.reindex || f.logical != s.logical ||
      f.recalcSecondaries != s.recalcSecondaries || f.recalcTotals != s.recalcTotals ||
      f.pack != s.pack || f.autoExchange != s.autoExchange || f.sendByEmail != s.sendByEmail ||
      f.includeUserDef != s.includeUserDef;
  return texts || boxes || archiver;
}

// Boxes that do not apply are switched off: packing in the test-only mode, the repairs
// and the 1C:Enterprise archives while the external archiver makes the archive.
void JobParametersForm::SwitchOff() {
  JobFields& f = fields_;
  if (entry_.CheckAndRepairMode == 1) f.pack = false;
  if (!f.useArchiver) return;
  for (bool* box : RepairBoxes(f)) *box = false;
  f.saveData = f.unloadData = false;
}

JobState JobParametersForm::Enabling() const {
  using C = JobControl;
  const JobFields& f = fields_;
  const bool registered = Registered(), archiver = f.useArchiver;
  const bool testOnly = entry_.CheckAndRepairMode == 1;
  const bool repairs =
      f.physical || f.reindex || f.logical || f.recalcSecondaries || f.recalcTotals || f.pack;
  const bool selected = f.selected >= 0 && f.selected < static_cast<int>(f.fileList.size());
  const bool archives = f.saveData || f.unloadData || archiver;
  JobState s;
  auto set = [&s](std::initializer_list<C> controls, bool on) {
    for (C c : controls) s.enabled[static_cast<size_t>(c)] = on;
  };
  set({C::Physical, C::Reindex, C::Logical, C::RecalcSecondaries, C::RecalcTotals},
      registered && !archiver);
  set({C::Pack}, registered && !archiver && !testOnly);
  set({C::UseArchiver, C::AutoExchange}, registered);
  // E-mail goes with the exchange: it is stored only under it.
  set({C::SendByEmail}, registered && f.autoExchange);
  set({C::ExchangeGroup, C::ReadFromLabel, C::ReadFrom, C::WriteToLabel, C::WriteTo},
      f.autoExchange);
  set({C::MailGroup, C::ReceiveLabel, C::Receive, C::SendLabel, C::Send},
      f.autoExchange && f.sendByEmail);
  set({C::IncludeUserDef, C::PswdZip}, f.unloadData);
  set({C::RepairSettings}, (repairs || testOnly) && !archiver && registered);
  set({C::Title, C::Path, C::PathChoose}, !registered);
  set({C::ArchiverLabel, C::Archiver, C::ArchiverChoose, C::ExtensionLabel, C::Extension,
       C::ParametersLabel, C::Parameters, C::FileListLabel, C::FileList, C::FileAdd},
      archiver);
  set({C::FileEdit, C::FileDelete}, archiver && selected);
  set({C::SaveData, C::UnloadData}, registered && !archiver);
  set({C::ArchiveName, C::ArchiveNameLabel, C::DuplicateLabel, C::DuplicateToggle,
       C::DuplicateChoose},
      archives);
  return s;
}

bool JobParametersForm::Valid() const {
  const JobFields& f = fields_;
  if (f.useArchiver &&
      (f.fileList.empty() || f.archiver.empty() || f.extension.empty() || f.parameters.empty())) {
    return false;
  }
  if (!Registered() && (f.title.empty() || f.path.empty())) return false;
  const bool archives = f.saveData || f.unloadData || f.useArchiver;
  return !archives || (!f.archiveName.empty() && !HasForbiddenArchiveChars(f.archiveName));
}

JobState JobParametersForm::Update() {
  SwitchOff();
  JobState s = Enabling();
  s.valid = Valid();
  s.changed = Changed();
  // Confirmed repair settings are a change of their own; an invalid dialog never applies.
  s.enabled[static_cast<size_t>(JobControl::Apply)] =
      s.valid && ((CountBoxes(fields_) > 0 && s.changed) || repairConfirmed_);
  return s;
}

const InfobaseEntry& JobParametersForm::Apply() {
  const JobFields& f = fields_;
  InfobaseEntry& e = entry_;
  e.BaseName = f.title;
  e.path = f.path;
  e.SaveData = f.saveData;
  e.UnloadData = f.unloadData;
  e.IncludeUserDef = f.includeUserDef;
  e.PswdZIP = f.pswdZip;
  e.PhisicalIntegrity = f.physical;
  e.Reindex = f.reindex;
  e.LogicalIntegrity = f.logical;
  e.RecalcSecondaries = f.recalcSecondaries;
  e.RecalcTotals = f.recalcTotals;
  e.Pack = f.pack;
  e.AutoExchange = f.autoExchange;
  e.SendByEmail = f.sendByEmail;
  e.ReadFrom = f.readFrom;
  e.WriteTo = f.writeTo;
  e.ReceiveFrom = f.receiveFrom;
  e.SendTo = f.sendTo;
  e.DuplicateDirectory = f.duplicateFolder;
  e.ArchiveName = f.archiveName;
  e.UseExternalArchiver = f.useArchiver;
  if (f.useArchiver) {
    e.ExternalArchiverName = f.archiver;
    e.ExternalArchiveExtention = f.extension;
    e.ExternalArchiverParameters = f.parameters;
    e.FileList = f.fileList;
  }
  return e;
}

}  // namespace app
