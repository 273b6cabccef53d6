// A whole configuration saved byte for byte as the layout tables state it (infobases that
// do not run kept aside with their parameters), loaded back field for field, and read as
// a run reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "config/configuration.h"
#include "store/settings_file.h"
#include "tests/config/config_fixture.h"
#include "tests/config/layout_writer.h"
#include "tree/infobase_tree.h"


namespace {

constexpr uint32_t kTimeA = 1700000000;
constexpr uint32_t kTimeB = 1700003600;

class GoldenTest : public ::testing::Test {
 protected:
  GoldenTest() : tree(fixture::NoUsers(), [] {}) {
    fixture::RegisterInfobases(registry, {{"C:\\Bases\\Trade", "Торговля"},
                                          {"\\\\srv\\bases\\Acc", "Бухгалтерия"},
                                          {"D:\\Old", "Архив"},
                                          {"C:\\Bases\\Empty", "Пустая"}});
    enterprise = dir / "1cv7s.exe";
    testsupport::Write(enterprise, "MZ");
    seams.showError = [this](const std::string& text) { errors.push_back(text); };
  }

  // Gives a registered infobase its jobs and marks it the operator's way.
  void Mark(const std::string& path, InfobaseEntry jobs, bool mark = true) {
    const InfobaseEntry found = *tree.FindInfobase(fixture::ItemOf(tree, path));
    jobs.item = found.item;
    jobs.BaseName = found.BaseName;
    jobs.path = path;
    tree.StoreInfobase(jobs);
    if (mark) tree.ToggleMark(jobs.item);
  }

  void BuildModel() {
    tree.RebuildFromRegistry(registry);
    // SendByEmail without AutoExchange: not written, yet read back when a file holds it.
    Mark("C:\\Bases\\Trade",
         {.UserName = "Admin", .Pswd = "секрет", .DuplicateDirectory = "E:\\Copy",
          .ArchiveName = "trade", .SaveData = 1, .UnloadData = 1, .IncludeUserDef = 1,
          .PswdZIP = "zip", .SendByEmail = 1, .Reindex = 1, .ReceiveFrom = "nowhere",
          .CheckAndRepairMode = 1, .LinksCreatingMode = 2, .ObjectsCreatingMode = 1});
    Mark("\\\\srv\\bases\\Acc",
         {.UserName = "Кассир", .AutoExchange = 1, .SendByEmail = 1, .PhisicalIntegrity = 1,
          .LogicalIntegrity = 1, .RecalcSecondaries = 1, .RecalcTotals = 1, .Pack = 1,
          .ReadFrom = "\\\\srv\\in.txt", .WriteTo = "\\\\srv\\out.txt", .ReceiveFrom = "Центр",
          .SendTo = "Филиал"});
    Mark("D:\\Old", {.UserName = "Старый", .SaveData = 1}, false);  // kept aside, never run
    tree.ToggleMark(fixture::ItemOf(tree, "C:\\Bases\\Empty"));  // no job: blocked, not written

    tree.ApplyInfobaseRecord({.entry = {.BaseName = "Ручная",
                                        .path = "F:\\Manual",
                                        .UseExternalArchiver = 1,
                                        .ExternalArchiverName = "C:\\Tools\\rar.exe",
                                        .ExternalArchiveExtention = "rar",
                                        .ExternalArchiverParameters = "a -r",
                                        .FileList = {"*.dbf", "", "1cv7.md", "*.dbf"},
                                        .Type = InfobaseType::AddedByHand}});
    tree.ApplyInfobaseRecord({.entry = {.BaseName = "Выгрузка",
                                        .path = "G:\\Unload",
                                        .UnloadData = 1,
                                        .Type = InfobaseType::AddedByHand}});
    tree.ToggleMark(fixture::ItemOf(tree, "G:\\Unload"));  // unticked: kept aside as well

    tree.ApplySchedule({.name = "02:00 каждый день", .Mode = ScheduleMode::Daily, .Time = kTimeA});
    tree.ApplySchedule({.name = "При включении компьютера",
                        .Days = 0x41,
                        .Mode = ScheduleMode::AtStartUp,
                        .Time = kTimeB,
                        .Date = 15,
                        .Once = 1});
    // Read without a start time (written by other means): saved without one, never due.
    tree.ApplySchedule(
        {.name = "без времени", .Mode = ScheduleMode::Daily, .Time = kNoScheduleTime});
    tree.ApplySchedule({.Mode = ScheduleMode::Daily});  // no name: skipped, no failure

    config.tasks = {"C:\\pre.exe", "", "/q", ""};
    config.options = {.BinaryDirectory = enterprise, .DestinationDirectory = "E:\\Archive",
                      .CopyCount = 3, .SaveMode = 0, .JournalFileName = "Ночной.txt",
                      .ClearJournal = 1, .TimeOut = 45, .TerminateAfterTimeOut = 1,
                      .QuitAfterSave = 1, .ShutDownAfterSave = 1};
  }

  // The file as the layout tables describe it, values in table order. With ignored, it
  // also holds what a load must pass over or cut: a registered infobase's own title, keys
  // whose condition is off, a hand-added one's user and state, bytes past a flag's first,
  // names too long for a section and a text too long.
  std::string ExpectedBytes(bool ignored = false) const {
    layout::File f;
    const int32_t root = f.Section(0, "Zorvan");
    f.Values(f.Section(root, "GeneralOptions"),
             {{"PreProcessFileName", "C:\\pre.exe"}, {"PostProcessFileName", ""},
              {"PreProcessCmdLine", "/q"}, {"PostProcessCmdLine", ""},
              {"BinaryDirectory", enterprise}, {"DestinationDirectory", "E:\\Archive"},
              {"CopyCount", 3}, {"SaveMode", 0}, {"Journal", 1}, {"JournalFileName", "Ночной.txt"},
              {"ClearJournal", 1}, {"TimeOut", 45}, {"TerminateAfterTimeOut", 1},
              {"QuitAfterSave", 1}, {"ShutDownAfterSave", 1}});

    const int32_t params = f.Section(root, "Parameters");
    if (ignored) f.Dword(f.Section(params, std::string(256, 'p')), "Type", 1);  // name too long
    const int32_t trade = f.Section(params, "C:\\Bases\\Trade");
    if (ignored)  // read whatever AutoExchange says, though not written without it
      f.Values(trade, {{"ExternalArchiverName", "rar.exe"}, {"SendByEmail", 1},
                       {"ReceiveFrom", "nowhere"}});
    f.Values(trade,
             {{"BaseName", ignored ? "Другое имя" : "Торговля"}, {"UserName", "Admin"},
              {"Pswd", "секрет"}, {"State", 1}, {"Type", 0}, {"DuplicateDirectory", "E:\\Copy"},
              {"ArchiveName", ignored ? std::string(300, 'x') : "trade"},  // cut when read
              {"SaveData", 1}, {"UnloadData", 1}, {"IncludeUserDef", 1}, {"PswdZIP", "zip"},
              {"CheckAndRepair", 1}, {"CheckAndRepairMode", 1}, {"LinksCreatingMode", 2},
              {"ObjectsCreatingMode", 1}, {"PhisicalIntegrity", 0}, {"Reindex", 1},
              {"LogicalIntegrity", 0}, {"RecalcSecondaries", 0}, {"RecalcTotals", 0}, {"Pack", 0},
              {"AutoExchange", 0}, {"UseExternalArchiver", 0}});
    const int32_t acc = f.Section(params, "\\\\srv\\bases\\Acc");
    if (ignored) f.Values(acc, {{"IncludeUserDef", 1}, {"PswdZIP", "zip"}});
    f.Values(acc,
             {{"BaseName", "Бухгалтерия"}, {"UserName", "Кассир"}, {"Pswd", ""}, {"State", 1},
              {"Type", 0}, {"DuplicateDirectory", ""}, {"ArchiveName", ""}, {"SaveData", 0},
              {"UnloadData", 0}, {"CheckAndRepair", 1}, {"CheckAndRepairMode", 0},
              {"LinksCreatingMode", 0}, {"ObjectsCreatingMode", 0}, {"PhisicalIntegrity", 1},
              {"Reindex", 0}, {"LogicalIntegrity", 1}, {"RecalcSecondaries", 1},
              {"RecalcTotals", 1}, {"Pack", 1}, {"AutoExchange", 1},
              {"ReadFrom", "\\\\srv\\in.txt"}, {"WriteTo", "\\\\srv\\out.txt"},
              {"SendByEmail", 1}, {"ReceiveFrom", "Центр"}, {"SendTo", "Филиал"},
              {"UseExternalArchiver", 0}});
    const int32_t manual = f.Section(params, "F:\\Manual");
    f.Values(manual, {{"BaseName", "Ручная"}, {"UserName", ignored ? "Admin" : ""},
                      {"Pswd", ignored ? "123" : ""}, {"State", ignored ? 0x100 : 1}, {"Type", 1},
                      {"DuplicateDirectory", ""}, {"ArchiveName", ""}, {"SaveData", 0},
                      {"UnloadData", 0}, {"CheckAndRepair", ignored ? 0x100 : 0},
                      {"AutoExchange", 0}, {"UseExternalArchiver", 1},
                      {"ExternalArchiverName", "C:\\Tools\\rar.exe"},
                      {"ExternalArchiveExtention", "rar"}, {"ExternalArchiverParameters", "a -r"}});
    if (ignored) f.Values(manual, {{"Pack", 1}, {"ReadFrom", "in.txt"}});
    const int32_t list = f.Section(manual, "FileList");
    f.Section(list, "*.dbf");  // the repeated mask shares one section, the empty one none
    f.Section(list, "1cv7.md");
    if (ignored) f.Section(list, std::string(256, 'm'));  // too long: skipped
    if (ignored) f.Section(list, std::string(255, 'k'));
    const int32_t inactive = f.Section(root, "Inactive");
    // Kept, never run: the state comes last, written again as 0.
    f.Values(f.Section(inactive, "D:\\Old"),
             {{"BaseName", "Архив"}, {"UserName", "Старый"}, {"Pswd", ""}, {"Type", 0},
              {"DuplicateDirectory", ""}, {"ArchiveName", ""}, {"SaveData", 1}, {"UnloadData", 0},
              {"CheckAndRepair", 0}, {"AutoExchange", 0}, {"UseExternalArchiver", 0},
              {"State", 0}});
    f.Values(f.Section(inactive, "G:\\Unload"),
             {{"BaseName", "Выгрузка"}, {"UserName", ""}, {"Pswd", ""}, {"Type", 1},
              {"DuplicateDirectory", ""}, {"ArchiveName", ""}, {"SaveData", ignored ? 0x100 : 0},
              {"UnloadData", 1}, {"IncludeUserDef", 0}, {"PswdZIP", ""}, {"CheckAndRepair", 0},
              {"AutoExchange", 0}, {"UseExternalArchiver", 0}, {"State", 0}});

    const int32_t schedule = f.Section(root, "Schedule");
    for (const auto& [name, date, days, mode, time, once] :
         {std::tuple{"02:00 каждый день", 1, 0, 1, kTimeA, 0},
          {"При включении компьютера", 15, 0x41, 4, kTimeB, 1},
          {"без времени", 1, 0, 1, kNoScheduleTime, 0}}) {
      const int32_t id = f.Section(schedule, name);
      f.Byte(id, "Date", date);
      f.Byte(id, "Days", days);
      f.Byte(id, "Mode", mode);
      if (time != kNoScheduleTime) f.Binary32(id, "Time", time);
      f.Byte(id, "Once", once);
    }
    return f.Bytes();
  }

  testsupport::ScratchFolder dir;
  platform::MemoryRegistry registry;
  InfobaseTree tree;
  Configuration config;
  ConfigurationSeams seams{registry, platform::SilentFileErrorReporter()};
  std::string enterprise;
  std::vector<std::string> errors;
};

TEST_F(GoldenTest, SaveWritesTheLayoutByteForByte) {
  BuildModel();
  const std::string path = dir / "night.cfg";
  EXPECT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams), 3);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(testsupport::Read(path), ExpectedBytes());
  std::vector<std::string> names = dir.Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"1cv7s.exe", "night.cfg"}));  // no temporary left
}

TEST_F(GoldenTest, LoadGivesBackEveryFieldAndOnlyWhatItsConditionAllows) {
  BuildModel();
  const std::string path = dir / "night.cfg";
  testsupport::Write(path, ExpectedBytes(/*ignored=*/true));
  InfobaseTree loaded(fixture::NoUsers(), [] {});
  Configuration back;
  LoadConfiguration(path, back, loaded, seams);

  EXPECT_EQ(back.options, config.options);
  EXPECT_EQ(back.tasks, config.tasks);
  EXPECT_EQ(loaded.InfobaseEntries().size(), tree.InfobaseEntries().size());
  for (const InfobaseEntry& saved : tree.InfobaseEntries()) {
    SCOPED_TRACE(saved.path);
    const ItemHandle item = fixture::ItemOf(loaded, saved.path);
    ASSERT_NE(item, kNoItem);
    InfobaseEntry expected = saved;
    expected.item = item;
    // The blocked one without a job comes back unmarked.
    EXPECT_EQ(loaded.GetMark(item), tree.GetMark(saved.item) == Mark::Marked ? Mark::Marked
                                                                               : Mark::Unmarked);
    if (saved.path == "F:\\Manual") expected.FileList = {"*.dbf", "1cv7.md", std::string(255, 'k')};
    if (saved.path == "C:\\Bases\\Trade") expected.ArchiveName = std::string(259, 'x');
    if (saved.Type == InfobaseType::AddedByHand)
      EXPECT_EQ(loaded.Item(item)->image, tree_image::kUnregisteredBase);
    EXPECT_EQ(*loaded.FindInfobase(item), expected);
  }

  const std::vector<ScheduleEntry>& schedules = loaded.ScheduleEntries();
  ASSERT_EQ(schedules.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    ScheduleEntry expected = tree.ScheduleEntries()[i];
    expected.item = schedules[i].item;
    EXPECT_EQ(schedules[i], expected);
  }

  // The run's reader takes what a load passes over (a hand-added one's user and state, and
  // whole flags), and the mail sides only with the exchange on.
  CSettingsFile file(path, SF_MODE_READ, platform::SilentFileErrorReporter());
  const int32_t params = file.OpenSectionPath("Zorvan\\Parameters");
  const auto run = [&](const std::string& name) {
    return ReadInfobaseRecord(file, file.OpenSection(params, name), name, RecordReader::Run);
  };
  const InfobaseRecord manual = run("F:\\Manual"), trade = run("C:\\Bases\\Trade");
  EXPECT_EQ(manual.entry.UserName + "|" + manual.entry.BaseName, "Admin|Ручная");
  EXPECT_TRUE(manual.hasState && manual.State == 0x100u && manual.entry.Pack == 1);
  EXPECT_EQ(trade.entry.SendByEmail, 1);
  EXPECT_EQ(trade.entry.ReceiveFrom, "");
}

}  // namespace
