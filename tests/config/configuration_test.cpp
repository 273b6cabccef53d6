// Load and save rules beyond the layout: values a file lacks, the 1C:Enterprise path, the
// save targets, what a failed save leaves behind, and the file held by the launcher's poll.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <thread>

#include "platform/codepage.h"
#include "platform/file.h"
#else
#include <sys/resource.h>

#include <csignal>
#endif

#include <cctype>
#include <tuple>

#include "config/configuration.h"
#include "platform/system_error.h"
#include "tests/config/config_fixture.h"
#include "tests/config/layout_writer.h"
#include "tree/infobase_tree.h"


namespace {

using platform::RegRoot;
using platform::RegValue;

class ConfigurationTest : public ::testing::Test {
 protected:
  ConfigurationTest() : tree(fixture::NoUsers(), [] {}) {
    fixture::RegisterInfobases(registry, {{"C:\\Trade", "Торговля"}});
    tree.RebuildFromRegistry(registry);
    seams.showError = [this](const std::string& text) { errors.push_back(text); };
    seams.setModified = [this](bool m) { modifiedCalls.push_back(m); };
    seams.registerLauncher = [this](const std::string& p, bool s) { registered.push_back({p, s}); };
  }

  void Load(const layout::File& file) {
    testsupport::Write(path, file.Bytes());
    LoadConfiguration(path, config, tree, seams);
  }

  InfobaseEntry EntryAt(const std::string& infobasePath) {
    return tree.FindInfobase(fixture::ItemOf(tree, infobasePath)).value_or(InfobaseEntry{});
  }

  int Save(SaveTarget target = SaveTarget::CurrentFile) {
    return SaveConfiguration(target, path, config, tree, seams);
  }

  testsupport::ScratchFolder dir;
  std::string path = dir / "test.cfg";
  platform::MemoryRegistry registry;
  InfobaseTree tree;
  Configuration config;
  ConfigurationSeams seams{registry,
                           [this](const platform::FileError& e) { fileErrors.push_back(e); }};
  std::vector<std::string> errors;
  std::vector<bool> modifiedCalls;
  std::vector<std::pair<std::string, bool>> registered;
  std::vector<platform::FileError> fileErrors;
};

TEST_F(ConfigurationTest, MissingGeneralValuesKeepWhatWasThere) {
  config.options = {.BinaryDirectory = "C:\\1C\\1cv7.exe", .JournalFileName = "Старый.txt",
                    .ClearJournal = 1, .TimeOut = 77};
  GeneralOptions expected = config.options;
  expected.CopyCount = 0xFFFFFFF5u;
  expected.Journal = 0;
  layout::File a;
  a.Values(a.Section(a.Section(0, "Zorvan"), "GeneralOptions"),
           {{"Journal", 0},  // journal off: its two values are not read
            {"ClearJournal", 0}, {"JournalFileName", "Новый.txt"},
            {"CopyCount", -11}});  // general integers are read whole
  Load(a);
  EXPECT_EQ(config.options, expected);

  layout::File b;
  b.Dword(b.Section(b.Section(0, "Zorvan"), "GeneralOptions"), "Journal", 1);
  Load(b);  // journal on without a name: the lower-case default
  expected.Journal = 1;
  expected.JournalFileName = "journal.txt";
  EXPECT_EQ(config.options, expected);
}

TEST_F(ConfigurationTest, LastInstallationWithAPathIsTheDefaultExecutable) {
  for (const auto& [key, name, value] :
       {std::tuple{"A", "1CPath", "C:\\A\\1cv7.exe"}, {"B", "1cpath", "C:\\X.exe"},
        {"C", "1CPath", "C:\\C\\1cv7s.exe"}, {"D", "", ""}}) {
    const std::string at = std::string("SOFTWARE\\1C\\1Cv7\\7.7\\") + key;
    registry.CreateKey(RegRoot::CurrentUser, at);
    if (*name) registry.WriteValue(RegRoot::CurrentUser, at, name, RegValue::String(value));
  }

  LoadConfiguration(path, config, tree, seams);
  EXPECT_EQ(config.options.BinaryDirectory, "C:\\C\\1cv7s.exe");

  config.options.BinaryDirectory = "D:\\own.exe";  // a path of the configuration wins
  LoadConfiguration(path, config, tree, seams);
  EXPECT_EQ(config.options.BinaryDirectory, "D:\\own.exe");
}

// Jobs that start 1C:Enterprise need its path; the file is written all the same.
TEST_F(ConfigurationTest, EnterprisePathIsCheckedOnlyForJobsThatNeedIt) {
  registry.CreateKey(RegRoot::CurrentUser, "SOFTWARE\\Zorvan");
  InfobaseEntry e = EntryAt("C:\\Trade");  // marked, with a job
  e.SaveData = 1;
  tree.StoreInfobase(e);
  tree.ToggleMark(e.item);
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(errors,
            std::vector<std::string>{"Не указан путь к исполняемому файлу \"1С:Предприятия\"!"});
  EXPECT_TRUE(modifiedCalls.empty());
  EXPECT_TRUE(registered.empty());
  EXPECT_FALSE(registry.ReadValue(RegRoot::CurrentUser, "SOFTWARE\\Zorvan", "LastConfig"));
  InfobaseTree back(fixture::NoUsers(), [] {});
  LoadConfiguration(path, config, back, seams);
  EXPECT_EQ(back.InfobaseEntries()[0].SaveData, 1);

  errors.clear();
  config.options.BinaryDirectory = dir / "missing.exe";
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(errors, std::vector<std::string>{
                        "Неверно указан путь к исполняемому файлу \"1С:Предприятия\"! " +
                        platform::GetSystemErrorText(2)});
  config.options.BinaryDirectory = dir.path();  // a folder is no executable
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(errors.size(), 2u);
  errors.clear();
  e.SaveData = 0;  // the external archiver alone
  e.UseExternalArchiver = 1;
  tree.StoreInfobase(e);
  EXPECT_EQ(Save(), 1);
  EXPECT_TRUE(errors.empty());
}

TEST_F(ConfigurationTest, SaveToCurrentFileRegistersAndRemembersIt) {
  Save();
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, "SOFTWARE\\Zorvan")) << "never created";
  registry.CreateKey(RegRoot::CurrentUser, "SOFTWARE\\Zorvan");
  registered.clear();
  modifiedCalls.clear();
  EXPECT_EQ(Save(), 0);  // nothing marked: written, but no infobase
  EXPECT_EQ(modifiedCalls, std::vector<bool>{false});
  ASSERT_EQ(registered.size(), 1u);
  EXPECT_EQ(registered[0], std::make_pair(path, false));  // only the placeholder
  EXPECT_EQ(registry.ReadValue(RegRoot::CurrentUser, "SOFTWARE\\Zorvan", "LastConfig"),
            RegValue::String(path));

  tree.ApplySchedule({.name = "Каждый день", .Mode = ScheduleMode::Daily});
  seams.autoRun = true;
  path = dir / "other.cfg";
  Save();
  EXPECT_EQ(registered.back(), std::make_pair(path, true));
  EXPECT_EQ(registry.ReadValue(RegRoot::CurrentUser, "SOFTWARE\\Zorvan", "LastConfig"),
            RegValue::String(dir / "test.cfg"));

  // A run's snapshot leaves the window's state alone.
  registered.clear();
  modifiedCalls.clear();
  seams.autoRun = false;
  path = dir / "~pak1.tmp";
  Save(SaveTarget::RunSnapshot);
  EXPECT_TRUE(modifiedCalls.empty() && registered.empty());
  EXPECT_EQ(registry.ReadValue(RegRoot::CurrentUser, "SOFTWARE\\Zorvan", "LastConfig"),
            RegValue::String(dir / "test.cfg"));
}

// A file whose path is at the length limit must still save: the files written beside it
// are never longer, stay in its folder and never take its name or each other's.
TEST(SideFileName, NeverLongerThanTheTargetAndDistinct) {
  using platform::fs::SideFile;
  for (const std::string target : {"C:\\Базы\\nightly.cfg", "C:\\d\\a", "C:\\d\\ab", "x~zv",
                                   "C:\\d\\X$ZV", "C:\\d\\~", "C:\\d\\$"}) {
    // names differ only when they differ without regard to case
    const auto lower = [](std::string s) {
      for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return s;
    };
    const std::string replacement = lower(SideFileName(target, SideFile::Replacement));
    const std::string backup = lower(SideFileName(target, SideFile::Backup));
    const size_t folder = target.find_last_of('\\') + 1;
    for (const std::string& side : {replacement, backup}) {
      EXPECT_EQ(side.size(), target.size()) << target;
      EXPECT_EQ(side.substr(0, folder), lower(target.substr(0, folder))) << target;
    }
    EXPECT_NE(replacement, lower(target));
    EXPECT_NE(backup, lower(target));
    EXPECT_NE(replacement, backup);
  }
  EXPECT_EQ(SideFileName("C:\\d\\test.cfg", SideFile::Replacement), "C:\\d\\test.~zv");
}

#ifdef _WIN32
// The launcher's poll holds the file without sharing. A load tells that from a missing or
// empty file, and a retry that gets the file loads it whole; a save held out throughout
// keeps the old file, one whose retry gets the file replaces it.
TEST_F(ConfigurationTest, FileHeldByTheLaunchersPoll) {
  EXPECT_EQ(LoadConfiguration(path, config, tree, seams), LoadResult::Empty);
  testsupport::Write(path, "");
  EXPECT_EQ(LoadConfiguration(path, config, tree, seams), LoadResult::Empty);
  config.options.DestinationDirectory = "E:\\Архивы";
  EXPECT_EQ(Save(), 0);
  const std::string saved = testsupport::Read(path);

  platform::File held;
  ASSERT_TRUE(held.Open(path, 0));
  Configuration loaded;
  EXPECT_EQ(LoadConfiguration(path, loaded, tree, seams), LoadResult::Unreadable);
  config.options.DestinationDirectory = "E:\\Новый";
  EXPECT_EQ(Save(), 0);
  held.Close();
  EXPECT_EQ(testsupport::Read(path), saved);
  ASSERT_EQ(fileErrors.size(), 1u);
  EXPECT_EQ(fileErrors[0].path, path);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"test.cfg"});

  auto holdBriefly = [&] {
    EXPECT_TRUE(held.Open(path, 0));
    return std::thread([&] {
      Sleep(300);
      held.Close();
    });
  };
  std::thread release = holdBriefly();
  const LoadResult result = LoadConfiguration(path, loaded, tree, seams);
  release.join();
  ASSERT_EQ(result, LoadResult::Loaded);
  EXPECT_EQ(loaded.options.DestinationDirectory, "E:\\Архивы");
  release = holdBriefly();
  EXPECT_EQ(Save(), 0);
  release.join();
  EXPECT_EQ(fileErrors.size(), 1u);
  GeneralOptions back;
  RestoreArchiveFolder(path, back);
  EXPECT_EQ(back.DestinationDirectory, "E:\\Новый");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"test.cfg"});
}

// The operator's hidden (or otherwise marked) configuration stays so after a save.
TEST_F(ConfigurationTest, AtomicSaveKeepsTheAttributesOfTheFileItReplaces) {
  testsupport::Write(path, "old");
  const std::wstring wide = platform::Widen(path);
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(Save(), 0);
  EXPECT_NE(testsupport::Read(path), "old");
  EXPECT_TRUE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"test.cfg"});
}
#else
TEST_F(ConfigurationTest, WriteFailureMidwayKeepsThePreviousFile) {
  const std::string previous(400, 'p');
  testsupport::Write(path, previous);
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
  EXPECT_EQ(testsupport::Read(path), previous);
  EXPECT_EQ(fileErrors.size(), 1u);
  EXPECT_TRUE(registered.empty() && modifiedCalls.empty());
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"test.cfg"});
}
#endif

}  // namespace
