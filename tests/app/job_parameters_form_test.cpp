// The job parameters rules without a window: enabling, presets, archive names, the
// exchange names, when "Применить" applies and what it writes; the default file list.
#include "app/job_parameters_form.h"

#include <gtest/gtest.h>

#include "app/job_file_list.h"

namespace {

using app::JobControl;
using app::JobParametersForm;

InfobaseEntry Registered() {
  return {.BaseName = "Торговля", .path = "C:\\Base\\", .ArchiveName = "trade", .SaveData = 1};
}
InfobaseEntry ByHand() { return {.UseExternalArchiver = 1, .Type = InfobaseType::AddedByHand}; }

TEST(JobParametersForm, RulesSwitchBoxesOffAndEnableWhatApplies) {
  using C = JobControl;
  struct Case {
    const char* what;
    InfobaseEntry entry;
    std::function<void(app::JobFields&)> edit;
    std::vector<C> on, off;
  } cases[] = {
      // clang-format off
      {"registered, no archiver", Registered(), [](auto&) {},
       {C::SaveData, C::Pack, C::UseArchiver, C::ArchiveName},
       {C::Title, C::Path, C::Archiver, C::RepairSettings, C::IncludeUserDef, C::SendByEmail,
        C::ReadFrom}},
      {"repair box on, unload on", Registered(), [](auto& f) { f.reindex = f.unloadData = true; },
       {C::RepairSettings, C::IncludeUserDef, C::PswdZip}, {}},
      {"archiver on", Registered(), [](auto& f) { f.useArchiver = f.pack = true; },
       {C::Archiver, C::FileAdd, C::DuplicateChoose},
       {C::SaveData, C::UnloadData, C::Pack, C::Physical, C::RepairSettings, C::FileEdit}},
      {"by hand", ByHand(), [](auto& f) { f.fileList = {"a"}, f.selected = 0; },
       {C::Title, C::Path, C::PathChoose, C::FileEdit},
       {C::UseArchiver, C::AutoExchange, C::Reindex, C::SaveData}},
      {"exchange and e-mail", Registered(), [](auto& f) { f.autoExchange = f.sendByEmail = true; },
       {C::SendByEmail, C::WriteTo, C::MailGroup, C::Send}, {}},
      {"test only: no packing, the settings stay reachable",
       [] { InfobaseEntry e = Registered(); e.Pack = e.CheckAndRepairMode = 1; return e; }(),
       [](auto&) {}, {C::RepairSettings}, {C::Pack}},
      {"nothing archived", Registered(), [](auto& f) { f.saveData = false; }, {},
       {C::ArchiveName, C::DuplicateToggle, C::DuplicateLabel}},
      // clang-format on
  };
  for (Case& c : cases) {
    JobParametersForm form(c.entry, {});
    c.edit(form.Fields());
    const app::JobState s = form.Update();
    for (C on : c.on) EXPECT_TRUE(s.Enabled(on)) << c.what << " " << int(on);
    for (C off : c.off) EXPECT_FALSE(s.Enabled(off)) << c.what << " " << int(off);
    const app::JobFields& f = form.Fields();
    EXPECT_FALSE(f.useArchiver && (f.reindex || f.saveData)) << c.what;
    EXPECT_FALSE((f.useArchiver || c.entry.CheckAndRepairMode == 1) && f.pack) << c.what;
  }
}

TEST(JobParametersForm, ArchiverPresetsFollowTheProgramName) {
  struct Case {
    std::string program, archiver, extension, parameters;
  } cases[] = {
      {"C:\\Program Files\\PK\\PKZIP25.EXE", "\"C:\\Program Files\\PK\\PKZIP25.EXE\"", ".zip",
       "-add -directories"},
      {"C:\\PK\\pkzip.exe", "C:\\PK\\pkzip.exe", ".zip", "keep"},
      {"C:\\A\\ARJ32.EXE", "C:\\A\\ARJ32.EXE", ".arj", "a -r -u"},
      {"C:\\A\\arj.exe", "C:\\A\\arj.exe", ".arj", "keep"},
      {"C:\\R\\WinRAR.exe", "C:\\R\\WinRAR.exe", ".rar", "a -r -o+"},
      {"C:\\RAR\\7Z.EXE", "C:\\RAR\\7Z.EXE", "", ""},  // only the file name counts
  };
  for (const Case& c : cases) {
    JobParametersForm form(ByHand(), {});
    form.Fields().extension = ".old";
    form.Fields().parameters = "keep";
    form.ArchiverChosen(c.program);
    EXPECT_EQ(form.Fields().archiver, c.archiver);
    EXPECT_EQ(form.Fields().extension, c.extension) << c.program;
    EXPECT_EQ(form.Fields().parameters, c.parameters) << c.program;
  }
}

TEST(JobParametersForm, ForbiddenArchiveNameCharactersBlockApplyUntilReplaced) {
  EXPECT_EQ(app::ReplaceForbiddenArchiveChars("a\\b/c:d*e.f?g<h>i|j\"k"), "a_b_c_d_e_f_g_h_i_j_k");
  InfobaseEntry e = Registered();
  e.ArchiveName.clear();
  e.BaseName = "base.2005";
  JobParametersForm form(e, {});
  EXPECT_EQ(form.Fields().archiveName, "base_2005");  // shown replaced
  form.Fields().archiveName = "base.2006";
  EXPECT_FALSE(form.Update().Enabled(JobControl::Apply));
  form.ArchiveNameLeft();
  EXPECT_EQ(form.Fields().archiveName, "base_2006");
  EXPECT_TRUE(form.Update().Enabled(JobControl::Apply));
}

TEST(JobParametersForm, ExchangeFillsStarsAndTurningItOffClearsEmail) {
  JobParametersForm form(Registered(), {});
  app::JobFields& f = form.Fields();
  f.autoExchange = f.sendByEmail = true;
  form.SendByEmailClicked();
  EXPECT_EQ(f.receiveFrom + f.sendTo, "**");
  f.writeTo = "out.txt";
  f.autoExchange = false;
  form.AutoExchangeClicked();
  EXPECT_FALSE(f.sendByEmail);
  f.autoExchange = true;
  form.AutoExchangeClicked();  // one name is set: nothing is filled
  EXPECT_EQ(f.writeTo, "out.txt");
}

TEST(JobParametersForm, ApplyNeedsAChangeOrConfirmedRepairAndAValidDialog) {
  JobParametersForm same(Registered(), {});
  EXPECT_FALSE(same.Update().Enabled(JobControl::Apply));
  same.Fields().fileList = {"X"};  // hidden while the archiver is off: no change
  EXPECT_FALSE(same.Update().Enabled(JobControl::Apply));
  same.RepairSettingsConfirmed();
  EXPECT_TRUE(same.Update().Enabled(JobControl::Apply));
  same.Fields().archiveName.clear();  // invalid: confirmed settings do not apply it
  EXPECT_FALSE(same.Update().Enabled(JobControl::Apply));

  JobParametersForm added(ByHand(), {"1Cv7.MD", "*.DBF"});
  app::JobFields& f = added.Fields();
  EXPECT_EQ(f.fileList, (std::vector<std::string>{"1Cv7.MD", "*.DBF"}));
  const std::pair<std::string app::JobFields::*, const char*> steps[] = {
      {&app::JobFields::title, "Склад"},    {&app::JobFields::path, "D:\\Склад"},
      {&app::JobFields::archiveName, "sk"}, {&app::JobFields::archiver, "rar.exe"},
      {&app::JobFields::extension, ".rar"}, {&app::JobFields::parameters, "a -r"}};
  for (const auto& [field, value] : steps) {
    EXPECT_FALSE(added.Update().Enabled(JobControl::Apply)) << value;
    f.*field = value;
  }
  EXPECT_TRUE(added.Update().Enabled(JobControl::Apply));
}

TEST(JobParametersForm, ApplyKeepsStoredArchiverValuesWhileTheArchiverIsOff) {
  InfobaseEntry e = Registered();
  e.ExternalArchiverName = "rar.exe";
  e.FileList = {"*.*"};
  e.CheckAndRepairMode = 1;  // the repair settings write into the copy
  JobParametersForm form(e, {"1Cv7.MD"});
  EXPECT_EQ(form.Fields().archiver, "");
  form.Fields().unloadData = true;
  form.Fields().pswdZip = "zip";
  form.Update();
  const InfobaseEntry out = form.Apply();
  EXPECT_EQ(out.ExternalArchiverName, "rar.exe");
  EXPECT_EQ(out.FileList, std::vector<std::string>{"*.*"});
  EXPECT_EQ(out.UnloadData, 1);
  EXPECT_EQ(out.PswdZIP, "zip");
  EXPECT_EQ(out.CheckAndRepairMode, 1);
}

TEST(JobParametersForm, FileListEditingAndFolderChoice) {
  JobParametersForm form(ByHand(), {"a", "b", "c"});
  app::JobFields& f = form.Fields();
  f.selected = 2;
  form.DeleteSelectedFile();  // the last: the new last is selected
  EXPECT_EQ(f.selected, 1);
  form.AddFile("");  // an empty line is taken as it is
  form.ReplaceSelectedFile("*.txt");
  EXPECT_EQ(f.fileList, (std::vector<std::string>{"a", "b", "*.txt"}));

  form.PathChosen("D:\\Bases\\Склад", true);
  EXPECT_EQ(f.title + "|" + f.archiveName, "Склад|Склад");
  f.path = "E:\\Old\\";
  form.PathChosen("ignored", false);  // cancelled: the typed path still names it
  EXPECT_EQ(f.title, "Old");
}

TEST(JobFileList, LinesFromTheirSecondCharacter) {
  const std::string longLine = "+" + std::string(300, 'x');
  struct Case {
    std::string bytes;
    std::vector<std::string> names;
  } cases[] = {
      {"+1Cv7.MD\r\n+*.DBF\r\n", {"1Cv7.MD", "*.DBF"}},
      {"-a\r\n\r\n+\r\n+last", {"a", "last"}},  // empty lines skipped, no final CR LF
      {longLine + "\r\n+b", {std::string(258, 'x'), "b"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(app::ParseFileListText(c.bytes), c.names);
  EXPECT_TRUE(app::ReadDefaultFileList("1cv7s.exe").empty());
}

}  // namespace
