// Load and save rules beyond the layout: read conditions, values a file lacks, the
// 1C:Enterprise path, the save targets and what a failed save leaves behind.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "config/configuration.h"
#include "platform/system_error.h"
#include "store/settings_file.h"
#include "tests/config/config_fixture.h"
#include "tests/config/layout_writer.h"
#include "tree/infobase_tree.h"

namespace {

using platform::RegRoot;
using platform::RegValue;

class ConfigurationTest : public ::testing::Test {
 protected:
  ConfigurationTest() : tree(NoUsers(), [] {}) {
    fixture::RegisterInfobases(registry, {{"C:\\Trade", "Торговля"}});
    tree.RebuildFromRegistry(registry);
    seams.registry = &registry;
    seams.showError = [this](const std::string& text) { errors.push_back(text); };
    seams.setModified = [this](bool m) { modifiedCalls.push_back(m); };
    seams.registerLauncher = [this](const std::string& p, bool s) { registered.push_back({p, s}); };
    seams.fileErrorReporter = [this](const platform::FileError& e) { fileErrors.push_back(e); };
  }

  static UserListReader NoUsers() {
    return [](const std::string&, std::vector<std::string>&) { return false; };
  }

  void Load(const layout::File& file) {
    fixture::WriteAll(path, file.Bytes());
    LoadConfiguration(path, config, tree, seams);
  }

  InfobaseEntry EntryAt(const std::string& infobasePath) {
    for (const InfobaseEntry& e : tree.InfobaseEntries()) {
      if (e.path == infobasePath) return e;
    }
    ADD_FAILURE() << "no entry " << infobasePath;
    return {};
  }

  // Marks the registered infobase with the given jobs.
  void MarkTrade(const std::function<void(InfobaseEntry&)>& jobs) {
    InfobaseEntry e = EntryAt("C:\\Trade");
    jobs(e);
    tree.StoreInfobase(e);
    tree.ToggleMark(e.item);
  }

  int Save(SaveTarget target = SaveTarget::CurrentFile) {
    return SaveConfiguration(target, path, config, tree, seams);
  }

  fixture::TempDir dir;
  std::string path = dir.Path("test.cfg");
  platform::MemoryRegistry registry;
  InfobaseTree tree;
  Configuration config;
  ConfigurationSeams seams;
  std::vector<std::string> errors;
  std::vector<bool> modifiedCalls;
  std::vector<std::pair<std::string, bool>> registered;
  std::vector<platform::FileError> fileErrors;
};

TEST_F(ConfigurationTest, LoadReadsInfobaseKeysOnlyUnderTheirConditions) {
  layout::File f;
  const int32_t root = f.Section(0, "Zorvan");
  const int32_t params = f.Section(root, "Parameters");
  const int32_t reg = f.Section(params, "C:\\Trade");
  f.Text(reg, "BaseName", "Другое имя");  // title of a registered infobase stays
  f.Text(reg, "UserName", "Admin");
  f.Dword(reg, "State", 1);
  f.Dword(reg, "SaveData", 1);
  f.Dword(reg, "UnloadData", 0);
  f.Dword(reg, "IncludeUserDef", 1);
  f.Text(reg, "PswdZIP", "zip");
  f.Dword(reg, "Reindex", 1);  // no "CheckAndRepair": the nine keys are not read
  f.Dword(reg, "AutoExchange", 0);
  f.Text(reg, "ReadFrom", "in.txt");
  f.Dword(reg, "SendByEmail", 1);  // read whatever AutoExchange says
  f.Text(reg, "ReceiveFrom", "Центр");
  f.Dword(reg, "UseExternalArchiver", 0);
  f.Text(reg, "ExternalArchiverName", "rar.exe");
  const int32_t manual = f.Section(params, "F:\\Manual");
  f.Text(manual, "BaseName", "Ручная");
  f.Text(manual, "UserName", "Admin");  // a hand-added infobase has no user
  f.Text(manual, "Pswd", "123");
  f.Dword(manual, "State", 0);  // and is marked whatever its state
  f.Dword(manual, "Type", 1);
  f.Dword(manual, "CheckAndRepair", 0x100);  // only the first byte counts on loading
  f.Dword(manual, "Pack", 1);
  f.Dword(manual, "SaveData", 0x101);
  Load(f);

  InfobaseEntry r = EntryAt("C:\\Trade");
  EXPECT_EQ(r.BaseName, "Торговля");
  EXPECT_EQ(r.UserName, "Admin");
  EXPECT_EQ(r.SaveData, 1);
  EXPECT_EQ(r.IncludeUserDef, 0);
  EXPECT_EQ(r.PswdZIP, "");
  EXPECT_EQ(r.Reindex, 0);
  EXPECT_EQ(r.ReadFrom, "");
  EXPECT_EQ(r.SendByEmail, 1);
  EXPECT_EQ(r.ReceiveFrom, "Центр");
  EXPECT_EQ(r.ExternalArchiverName, "");
  EXPECT_EQ(tree.GetMark(r.item), 1);

  InfobaseEntry m = EntryAt("F:\\Manual");
  EXPECT_EQ(m.BaseName, "Ручная");
  EXPECT_EQ(m.UserName, "");
  EXPECT_EQ(m.Pswd, "");
  EXPECT_EQ(m.Pack, 0);
  EXPECT_EQ(m.SaveData, 1);
  EXPECT_EQ(m.Type, 1);
  EXPECT_EQ(tree.GetMark(m.item), 1);
  EXPECT_EQ(tree.Item(m.item)->image, tree_image::kUnregisteredBase);
}

TEST_F(ConfigurationTest, RunReaderTakesWholeValuesAndGatesTheMailSides) {
  layout::File f;
  const int32_t root = f.Section(0, "Zorvan");
  const int32_t params = f.Section(root, "Parameters");
  const int32_t id = f.Section(params, "C:\\Trade");
  f.Text(id, "BaseName", "Торговля");
  f.Text(id, "UserName", "Admin");
  f.Dword(id, "Type", 1);
  f.Dword(id, "State", 0x102);
  f.Dword(id, "SendByEmail", 1);
  f.Text(id, "ReceiveFrom", "Центр");
  fixture::WriteAll(path, f.Bytes());

  CSettingsFile file(path, SF_MODE_READ, platform::SilentFileErrorReporter());
  std::string name;
  const int32_t parameters = file.OpenSection(file.OpenSectionPath("Zorvan"), "Parameters");
  const int32_t section = file.EnumSection(parameters, 0, name);
  ASSERT_NE(section, 0);
  const InfobaseRecord run = ReadInfobaseRecord(file, section, "C:\\Trade", RecordReader::Run);
  EXPECT_EQ(run.entry.BaseName, "Торговля");
  EXPECT_EQ(run.entry.UserName, "Admin");
  EXPECT_TRUE(run.hasState);
  EXPECT_EQ(run.State, 0x102u);
  EXPECT_EQ(run.entry.SendByEmail, 1);
  EXPECT_EQ(run.entry.ReceiveFrom, "");
  const InfobaseRecord load = ReadInfobaseRecord(file, section, "C:\\Trade", RecordReader::Load);
  EXPECT_EQ(load.entry.UserName, "");
  EXPECT_FALSE(load.hasState);
}

TEST_F(ConfigurationTest, MissingGeneralValuesKeepWhatWasThere) {
  config.options.TimeOut = 77;
  config.options.ClearJournal = 1;
  config.options.JournalFileName = "Старый.txt";
  config.options.BinaryDirectory = "C:\\1C\\1cv7.exe";
  layout::File a;
  const int32_t go = a.Section(a.Section(0, "Zorvan"), "GeneralOptions");
  a.Dword(go, "Journal", 0);  // journal off: its two values are not read
  a.Dword(go, "ClearJournal", 0);
  a.Text(go, "JournalFileName", "Новый.txt");
  a.Dword(go, "CopyCount", 0xFFFFFFF5u);  // general integers are read whole
  Load(a);
  EXPECT_EQ(config.options.TimeOut, 77);
  EXPECT_EQ(config.options.ClearJournal, 1);
  EXPECT_EQ(config.options.JournalFileName, "Старый.txt");
  EXPECT_EQ(config.options.CopyCount, 0xFFFFFFF5u);
  EXPECT_EQ(config.options.BinaryDirectory, "C:\\1C\\1cv7.exe");

  layout::File b;
  const int32_t go2 = b.Section(b.Section(0, "Zorvan"), "GeneralOptions");
  b.Dword(go2, "Journal", 1);  // journal on without a name: the lower-case default
  Load(b);
  EXPECT_EQ(config.options.JournalFileName, "journal.txt");
  EXPECT_EQ(config.options.ClearJournal, 1);
  EXPECT_EQ(config.options.TimeOut, 77);
}

TEST_F(ConfigurationTest, ZeroLengthOrMissingFileIsAnEmptyConfiguration) {
  fixture::WriteAll(path, "");
  LoadConfiguration(path, config, tree, seams);
  EXPECT_EQ(config.options, GeneralOptions{});
  LoadConfiguration(dir.Path("absent.cfg"), config, tree, seams);
  EXPECT_EQ(config.options, GeneralOptions{});
  EXPECT_EQ(tree.InfobaseEntries().size(), 1u);
  EXPECT_EQ(modifiedCalls, (std::vector<bool>{false, false}));
}

TEST_F(ConfigurationTest, OverlongTextsAreCutAndOverlongNamesSkipped) {
  layout::File f;
  const int32_t root = f.Section(0, "Zorvan");
  const int32_t go = f.Section(root, "GeneralOptions");
  f.Text(go, "DestinationDirectory", std::string(300, 'x'));
  const int32_t params = f.Section(root, "Parameters");
  const int32_t longName = f.Section(params, std::string(256, 'p'));
  f.Dword(longName, "Type", 1);
  const int32_t manual = f.Section(params, "F:\\Manual");
  f.Dword(manual, "Type", 1);
  f.Dword(manual, "UseExternalArchiver", 1);
  const int32_t list = f.Section(manual, "FileList");
  f.Section(list, std::string(256, 'm'));
  f.Section(list, std::string(255, 'k'));
  Load(f);
  EXPECT_LE(config.options.DestinationDirectory.size(), 259u);
  EXPECT_EQ(config.options.DestinationDirectory.find_first_not_of('x'), std::string::npos);
  ASSERT_EQ(tree.InfobaseEntries().size(), 2u);
  EXPECT_EQ(EntryAt("F:\\Manual").FileList, std::vector<std::string>{std::string(255, 'k')});
}

TEST_F(ConfigurationTest, LastInstallationWithAPathIsTheDefaultExecutable) {
  const std::string base = "SOFTWARE\\1C\\1Cv7\\7.7";
  registry.CreateKey(RegRoot::CurrentUser, base + "\\A");
  registry.WriteValue(RegRoot::CurrentUser, base + "\\A", "1CPath", RegValue::String("C:\\A\\1cv7.exe"));
  registry.CreateKey(RegRoot::CurrentUser, base + "\\B");
  registry.WriteValue(RegRoot::CurrentUser, base + "\\B", "1cpath", RegValue::String("C:\\X.exe"));
  registry.CreateKey(RegRoot::CurrentUser, base + "\\C");
  registry.WriteValue(RegRoot::CurrentUser, base + "\\C", "1CPath", RegValue::String("C:\\C\\1cv7s.exe"));
  registry.CreateKey(RegRoot::CurrentUser, base + "\\D");

  LoadConfiguration(path, config, tree, seams);
  EXPECT_EQ(config.options.BinaryDirectory, "C:\\C\\1cv7s.exe");

  config.options.BinaryDirectory = "D:\\own.exe";  // a path of the configuration wins
  LoadConfiguration(path, config, tree, seams);
  EXPECT_EQ(config.options.BinaryDirectory, "D:\\own.exe");
}

TEST_F(ConfigurationTest, EmptyEnterprisePathFailsAfterWritingTheFile) {
  registry.CreateKey(RegRoot::CurrentUser, "SOFTWARE\\Zorvan");
  MarkTrade([](InfobaseEntry& e) { e.SaveData = 1; });
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(errors, std::vector<std::string>{"Не указан путь к исполняемому файлу \"1С:Предприятия\"!"});
  EXPECT_FALSE(fixture::ReadAll(path).empty());
  EXPECT_TRUE(modifiedCalls.empty());
  EXPECT_TRUE(registered.empty());
  EXPECT_FALSE(registry.ReadValue(RegRoot::CurrentUser, "SOFTWARE\\Zorvan", "LastConfig"));

  // The file holds the configuration all the same.
  InfobaseTree back(NoUsers(), [] {});
  Configuration loaded;
  LoadConfiguration(path, loaded, back, seams);
  EXPECT_EQ(back.InfobaseEntries()[0].SaveData, 1);
}

TEST_F(ConfigurationTest, WrongEnterprisePathNamesTheSystemError) {
  config.options.BinaryDirectory = dir.Path("missing.exe");
  MarkTrade([](InfobaseEntry& e) { e.Reindex = 1; });
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(errors, std::vector<std::string>{
                        "Неверно указан путь к исполняемому файлу \"1С:Предприятия\"! " +
                        platform::GetSystemErrorText(2)});
  EXPECT_FALSE(fixture::ReadAll(path).empty());

  errors.clear();
  config.options.BinaryDirectory = dir.Path("");  // a folder is no executable
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(ConfigurationTest, ExternalArchiverAloneNeedsNoEnterprisePath) {
  MarkTrade([](InfobaseEntry& e) {
    e.UseExternalArchiver = 1;
    e.SendByEmail = 1;
  });
  EXPECT_EQ(Save(), 1);
  EXPECT_TRUE(errors.empty());
}

TEST_F(ConfigurationTest, SaveToCurrentFileRegistersAndRemembersIt) {
  registry.CreateKey(RegRoot::CurrentUser, "SOFTWARE\\Zorvan");
  EXPECT_EQ(Save(), 0);  // nothing marked: written, but no infobase
  EXPECT_EQ(modifiedCalls, std::vector<bool>{false});
  ASSERT_EQ(registered.size(), 1u);
  EXPECT_EQ(registered[0], std::make_pair(path, false));  // only the placeholder
  EXPECT_EQ(registry.ReadValue(RegRoot::CurrentUser, "SOFTWARE\\Zorvan", "LastConfig"),
            RegValue::String(path));

  ScheduleEntry daily;
  daily.name = "Каждый день";
  daily.Mode = 1;
  tree.ApplySchedule(daily);
  seams.autoRun = true;
  path = dir.Path("other.cfg");
  Save();
  EXPECT_EQ(registered.back(), std::make_pair(path, true));
  EXPECT_EQ(registry.ReadValue(RegRoot::CurrentUser, "SOFTWARE\\Zorvan", "LastConfig"),
            RegValue::String(dir.Path("test.cfg")));
}

TEST_F(ConfigurationTest, LastConfigKeyIsNeverCreated) {
  Save();
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, "SOFTWARE\\Zorvan"));
}

TEST_F(ConfigurationTest, SnapshotLeavesWindowStateAlone) {
  registry.CreateKey(RegRoot::CurrentUser, "SOFTWARE\\Zorvan");
  config.options.BinaryDirectory = dir.Path("1cv7.exe");
  fixture::WriteAll(config.options.BinaryDirectory, "MZ");
  MarkTrade([](InfobaseEntry& e) { e.SaveData = 1; });
  path = dir.Path("~pak1.tmp");
  EXPECT_EQ(Save(SaveTarget::RunSnapshot), 1);
  EXPECT_TRUE(modifiedCalls.empty());
  EXPECT_TRUE(registered.empty());
  EXPECT_FALSE(registry.ReadValue(RegRoot::CurrentUser, "SOFTWARE\\Zorvan", "LastConfig"));
}

TEST_F(ConfigurationTest, FailedSaveKeepsThePreviousFile) {
  fixture::WriteAll(path, "previous bytes");
  std::filesystem::create_directory(path + ".~new");  // the temporary cannot be written
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(fixture::ReadAll(path), "previous bytes");
  EXPECT_EQ(fileErrors.size(), 1u);
  EXPECT_TRUE(modifiedCalls.empty());
  EXPECT_TRUE(registered.empty());
}

#ifndef _WIN32
TEST_F(ConfigurationTest, WriteFailureMidwayKeepsThePreviousFile) {
  const std::string previous(400, 'p');
  fixture::WriteAll(path, previous);
  config.options.DestinationDirectory = std::string(200, 'd');
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 300;  // the new file cannot grow past 300 bytes
  setrlimit(RLIMIT_FSIZE, &small);
  const int written = Save();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(written, 0);
  EXPECT_EQ(fixture::ReadAll(path), previous);
  EXPECT_EQ(fileErrors.size(), 1u);
  EXPECT_TRUE(registered.empty());
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"test.cfg"});
}
#endif

TEST_F(ConfigurationTest, EmptyNamesAreSkippedWithoutFailingTheSave) {
  MarkTrade([](InfobaseEntry& e) {
    e.UseExternalArchiver = 1;
    e.FileList = {"", "*.dbf"};
  });
  ScheduleEntry unnamed;
  unnamed.Mode = 1;
  tree.ApplySchedule(unnamed);
  EXPECT_EQ(Save(), 1);
  EXPECT_TRUE(fileErrors.empty());
  InfobaseTree back(NoUsers(), [] {});
  LoadConfiguration(path, config, back, seams);
  EXPECT_EQ(back.InfobaseEntries()[0].FileList, std::vector<std::string>{"*.dbf"});
}

TEST_F(ConfigurationTest, RestoreArchiveFolderRereadsOneValue) {
  layout::File f;
  const int32_t go = f.Section(f.Section(0, "Zorvan"), "GeneralOptions");
  f.Text(go, "DestinationDirectory", "E:\\Архив");
  f.Dword(go, "TimeOut", 5);
  fixture::WriteAll(path, f.Bytes());
  RestoreArchiveFolder(path, config.options);
  EXPECT_EQ(config.options.DestinationDirectory, "E:\\Архив");
  EXPECT_EQ(config.options.TimeOut, 30);
  RestoreArchiveFolder(dir.Path("absent.cfg"), config.options);
  EXPECT_EQ(config.options.DestinationDirectory, "E:\\Архив");
}

}  // namespace
