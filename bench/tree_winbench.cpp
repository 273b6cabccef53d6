// The infobase tree of the real main window under Wine.
//   tree_winbench.exe [infobases [rounds]]  times the tree rebuilt from that many
//       registered infobases and a configuration naming all of them (each validated
//       against its users file), and a toggle of their group that marks them all.
//   tree_winbench.exe show <seconds>  shows a small tree with every kind of item and
//       mark at the screen's top-left corner for a screenshot, then ends.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/win32/main_window.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "tests/tree/compound_file.h"

namespace {

constexpr char kTitles[] = "Software\\1C\\1Cv7\\7.7\\Titles";
using Clock = std::chrono::steady_clock;

std::string Scratch() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = platform::Narrow(temp) + "zv_tree_bench_" +
                             std::to_string(GetCurrentProcessId());
  platform::fs::CreateFolder(folder);
  return folder;
}

// A registered infobase folder with a users file naming "Admin" and "Иванов".
std::string MakeInfobase(platform::Registry& registry, const std::string& scratch,
                         const std::string& name, const std::string& title) {
  const std::string folder = scratch + "\\" + name;
  platform::fs::CreateFolder(folder);
  platform::fs::CreateFolder(folder + "\\usrdef");
  testtree::WriteCompoundFile(platform::Widen(folder + "\\usrdef\\users.usr"),
                              L"Container.Contents", testtree::kTwoUsers);
  registry.WriteValue(platform::RegRoot::CurrentUser, kTitles, folder + "\\",
                      platform::RegValue::String(title));
  return folder + "\\";
}

void SaveModel(platform::Registry& registry, const std::string& path,
               const std::function<void(InfobaseTree&, Configuration&)>& build) {
  InfobaseTree tree(ReadUserList, nullptr);
  Configuration config;
  tree.RebuildFromRegistry(registry);
  build(tree, config);
  ConfigurationSeams seams(registry, platform::SilentFileErrorReporter());
  seams.autoRun = true;
  SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams);
}

void GiveJobs(InfobaseTree& tree, ItemHandle item, const std::string& user, bool mark) {
  InfobaseEntry e = *tree.FindInfobase(item);
  e.SaveData = 1;
  e.UserName = user;
  tree.StoreInfobase(e);
  if (mark) tree.ToggleMark(item);
}

std::unique_ptr<app::MainWindow> OpenWindow(platform::Registry& registry, const std::string& scratch,
                                            const std::string& config) {
  app::MainWindowParams params;
  params.registry = &registry;
  params.folders = {scratch, scratch, {}};
  params.configPath = config;
  params.services.message = [](const std::string&) {};
  params.services.ask = [](const std::string&) { return Answer::No; };
  auto window = std::make_unique<app::MainWindow>(std::move(params));
  if (!window->Create()) return nullptr;
  window->Pump();
  return window;
}

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

int Measure(int count, int rounds) {
  platform::MemoryRegistry registry;
  registry.CreateKey(platform::RegRoot::CurrentUser, kTitles);
  const std::string scratch = Scratch();
  for (int i = 0; i < count; ++i) {
    MakeInfobase(registry, scratch, "base" + std::to_string(i), "База " + std::to_string(i));
  }
  const std::string config = scratch + "\\bench.cfg";
  SaveModel(registry, config, [](InfobaseTree& tree, Configuration&) {
    for (const InfobaseEntry& e : std::vector<InfobaseEntry>(tree.InfobaseEntries())) {
      GiveJobs(tree, e.item, "Admin", true);
    }
  });
  auto window = OpenWindow(registry, scratch, config);
  if (!window) return 1;
  double rebuild = 1e9, mark = 1e9, unmark = 1e9;
  for (int r = 0; r < rounds; ++r) {
    auto start = Clock::now();
    window->Controller().OpenFile(config);
    window->Pump();
    rebuild = std::min(rebuild, Seconds(start));
    const ItemHandle group = window->Controller().Tree().LocalGroup();
    start = Clock::now();
    window->Tree().ToggleMark(group);  // all marked: unmarks them
    unmark = std::min(unmark, Seconds(start));
    start = Clock::now();
    window->Tree().ToggleMark(group);  // marks and validates every one
    mark = std::min(mark, Seconds(start));
  }
  std::printf("%d infobases, best of %d: rebuild %.3f s, group mark %.3f s, group unmark %.3f s, "
              "%zu control items\n",
              count, rounds, rebuild, mark, unmark, window->Tree().View().Count());
  return 0;
}

int Show(int seconds) {
  platform::MemoryRegistry registry;
  registry.CreateKey(platform::RegRoot::CurrentUser, kTitles);
  const std::string scratch = Scratch();
  const std::string trade = MakeInfobase(registry, scratch, "trade", "Торговля и склад");
  const std::string salary = MakeInfobase(registry, scratch, "salary", "Зарплата и кадры");
  MakeInfobase(registry, scratch, "old", "Архив 2019");
  registry.WriteValue(platform::RegRoot::CurrentUser, kTitles, "\\\\srv\\bases\\acc\\",
                      platform::RegValue::String("Бухгалтерия (сервер)"));
  const std::string config = scratch + "\\show.cfg";
  SaveModel(registry, config, [&](InfobaseTree& tree, Configuration& c) {
    auto item = [&](const std::string& path) {
      for (const InfobaseEntry& e : tree.InfobaseEntries())
        if (e.path == path) return e.item;
      return kNoItem;
    };
    GiveJobs(tree, item(trade), "Иванов", true);
    GiveJobs(tree, item(salary), "Петров", false);  // marked below: not in its users list
    GiveJobs(tree, item("\\\\srv\\bases\\acc\\"), "Admin", true);
    ScheduleEntry s;
    s.name = "02:00 каждый день";
    s.Mode = ScheduleMode::Daily;
    tree.ApplySchedule(s);
    c.tasks.PreProcessFileName = "C:\\Tools\\stop_users.cmd";
    tree.ApplyInfobaseRecord({.entry = {.BaseName = "Склад (копия)", .path = "E:\\Копии\\Склад\\",
                                        .UseExternalArchiver = 1,
                                        .Type = InfobaseType::AddedByHand}});
    InfobaseEntry kept{.BaseName = "Филиал", .path = "E:\\Филиал\\", .UseExternalArchiver = 1,
                       .Type = InfobaseType::AddedByHand};
    tree.ToggleMark(tree.AddUnregistered(kept, Mark::Marked));  // kept unmarked
  });
  auto window = OpenWindow(registry, scratch, config);
  if (!window) return 1;
  InfobaseTree& model = window->Controller().Tree();
  for (const InfobaseEntry& e : model.InfobaseEntries()) {
    if (e.path == salary) window->Tree().ToggleMark(e.item);  // red: blocked
  }
  for (ItemHandle root : model.Items().Children(kNoItem)) window->Tree().View().Expand(root);
  window->Tree().View().Expand(model.Items().Children(model.LocalGroup()).back());
  window->Tree().View().Select(model.Items().Children(kNoItem)[0]);
  SendMessageW(window->Tree().View().Handle(), WM_VSCROLL, SB_TOP, 0);
  SetWindowPos(window->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
  RECT r;
  GetWindowRect(window->Handle(), &r);
  std::printf("%ldx%ld\n", r.right - r.left, r.bottom - r.top);
  std::fflush(stdout);
  const auto start = Clock::now();
  while (Seconds(start) < seconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    window->Pump();
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  OleInitialize(nullptr);
  if (argc >= 2 && std::string(argv[1]) == "show") return Show(argc >= 3 ? std::atoi(argv[2]) : 5);
  const int count = argc >= 2 ? std::atoi(argv[1]) : 300;
  const int rounds = argc >= 3 ? std::atoi(argv[2]) : 3;
  return Measure(count, rounds);
}
